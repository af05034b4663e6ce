// The questions of the dialogues, one record each: its prompt, the keyword
// that answers it on the command line, its range and a scripted run's
// default. The dialogues ask them and the named answers answer them by these
// records, so that no prompt or range is written twice.
#pragma once

#include <cstdint>
#include <string>

#include "state.h"

extern const Question ParamsQuestion;        // whether to change the parameters (and end)
extern const Question TitleQuestion;         // a new title, or Enter for the current one
extern const Question ErrorTypeQuestion;     // constant or size errors
extern const Question MinSizeQuestion;       // the minimal dom/fun/reg size
extern const Question ValuesQuestion;        // block values or none
extern const Question WeightChoiceQuestion;  // stop, priorities, or the weight to change
extern const Question NewWeightQuestion;
extern const Question DiaDensityQuestion;
extern const Question OutDensityQuestion;
extern const Question PriorityQuestion;      // one type's priority
extern const Question RunQuestion;           // stop, read a partition file, or a random series
extern const Question RowClustersQuestion;
extern const Question ColClustersQuestion;
extern const Question ClustersQuestion;      // the one count of one partition (onemode=1)
extern const Question RepetitionsQuestion;
extern const Question SaveQuestion;          // the save option
extern const Question ListQuestion;          // the listing level
extern const Question KeepQuestion;          // whether to save a clustering, with save option 1

// Every question that a keyword answers, for the reading of the arguments.
extern const Question* const KeywordQuestions[];
extern const int NumKeywordQuestions;

// The largest answer q takes: its Max, or the bound of the network and model
// once they are read.
int32_t UpperBound(const Question& q);

// Asks q on the console (range q.Min..UpperBound(q)), unless an argument
// answers it or a scripted run takes its default, echoed as if typed.
int32_t AskNumber(const Question& q);
double AskRealNumber(const Question& q);
// The first character of the answer to q, 0 for an empty one.
char AskLetter(const Question& q);
// The line that answers q, whose prompt the caller has written.
std::string AnswerLine(const Question& q);
