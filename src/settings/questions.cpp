// The table of questions and the asking of one. An answer named on the
// command line is taken by the record of its question; a scripted run,
// which waits for no console, takes the question's default when none is
// named; a typed run asks the console.
#include "settings/questions.h"

#include <cstdlib>

#include "console/prompts.h"
#include "settings/cluster_sweep.h"

// clang-format off
const Question ParamsQuestion = {"Change parameters? (y/n) ", "params", AnswerKind::YesNo, 0, 0, DataLimit::None, "n"};
const Question TitleQuestion = {"New title or <ENTER> : ", "title", AnswerKind::Text, 0, 0, DataLimit::None, ""};
const Question ErrorTypeQuestion = {"error type:  1 - constant,  2 - size  = ", "errors", AnswerKind::Integer,
                                    ConstantErrors, SizeErrors, DataLimit::None, "1"};
const Question MinSizeQuestion = {"minimal dom/fun/reg size  = ", "minsize", AnswerKind::Integer, 1, 2 * MaxSideUnits,
                                  DataLimit::Units, "1"};
const Question ValuesQuestion = {"values: 0 - without,  1 - average  = ", "values", AnswerKind::Integer,
                                 WithoutValues, AverageValues, DataLimit::None, "0"};
// The weights dialogue's questions are answered by weights=, priorities=,
// diadensity= and outdensity=, each read into a queue of answers in the
// order the dialogue asks them.
const Question WeightChoiceQuestion = {"-1 - stop, 13 - priority, i - change i-th weight  = ", "", AnswerKind::Integer,
                                       -1, NumTypeCodes, DataLimit::None, "-1"};
const Question NewWeightQuestion = {"new weight = ", "", AnswerKind::Real, 0, 999999, DataLimit::None, nullptr};
const Question DiaDensityQuestion = {"dia-density = ", "", AnswerKind::Real, 0.00001, 1, DataLimit::None, nullptr};
const Question OutDensityQuestion = {"out-density = ", "", AnswerKind::Real, 0.00001, 1, DataLimit::None, nullptr};
const Question PriorityQuestion = {"priority  = ", "", AnswerKind::Integer, 0, NumTypeCodes, DataLimit::None, nullptr};
const Question RunQuestion = {"0 - stop,  1 - read file,  2 - random  = ", "run", AnswerKind::Integer, StopRun,
                              RandomRun, DataLimit::None, "0"};
const Question RowClustersQuestion = {"Number of Row clusters = ", "rows", AnswerKind::Integer, 1, MaxModelSize,
                                      DataLimit::RowClusters, "2"};
const Question ColClustersQuestion = {"Number of Col clusters = ", "cols", AnswerKind::Integer, 1, MaxModelSize,
                                      DataLimit::ColClusters, "2"};
const Question ClustersQuestion = {"Number of clusters = ", "rows", AnswerKind::Integer, 1, MaxModelSize,
                                   DataLimit::Clusters, "2"};
const Question RepetitionsQuestion = {"Number of random repetitions              = ", "reps", AnswerKind::Integer, 0,
                                      MaxRepetitions, DataLimit::None, "100"};
const Question SaveQuestion = {"Save: 0 - no, 1 - ask, 2 - opt, 3 - all   = ", "save", AnswerKind::Integer, SaveNone,
                               SaveAll, DataLimit::None, "0"};
const Question ListQuestion = {"1 - short list,  2 - list all  = ", "list", AnswerKind::Integer, ShortListing,
                               FullListing, DataLimit::None, "1"};
const Question KeepQuestion = {"save clustering (Yes/No) ? ", "keep", AnswerKind::YesNo, 0, 0, DataLimit::None, "n"};
// clang-format on

const Question* const KeywordQuestions[] = {
    &ParamsQuestion, &TitleQuestion,         &ErrorTypeQuestion,   &MinSizeQuestion,
    &ValuesQuestion, &RunQuestion,           &RowClustersQuestion, &ColClustersQuestion,
    &ClustersQuestion, &RepetitionsQuestion, &SaveQuestion,        &ListQuestion,
    &KeepQuestion,
};
const int NumKeywordQuestions = sizeof KeywordQuestions / sizeof KeywordQuestions[0];

int32_t UpperBound(const Question& q) {
    const int32_t rows = Min(SideUnits[RowSide], ModelRows), cols = Min(SideUnits[ColSide], ModelCols);
    switch (q.Limit) {
        case DataLimit::RowClusters: return rows;
        case DataLimit::ColClusters: return cols;
        case DataLimit::Clusters: return Min(rows, cols);
        case DataLimit::Units: return NumUnits;
        case DataLimit::None: break;
    }
    return static_cast<int32_t>(q.Max);
}

// The answer given in advance to q: the count of a sweep's current pair, the
// next one named for it on the command line, else in a scripted run its
// default (within the data's bound). False when the console must be asked.
static bool GivenAnswerTo(const Question& q, GivenAnswer& given) {
    if (SweepAnswer(q, given)) return true;
    for (int n = 0; n < NumNamedAnswers; ++n) {
        NamedAnswerEntry& entry = NamedAnswers[n];
        if (entry.Taken || entry.Asked != &q) continue;
        if (!entry.Repeats) entry.Taken = true;
        given = GivenAnswer{entry.Keyword, entry.Text};
        return true;
    }
    if (!ScriptedRun || q.Default == nullptr) return false;
    // Where a scripted run would stop, a sweep runs the series of its next pair.
    if (&q == &RunQuestion && NextSweepPair()) {
        given = GivenAnswer{"", std::to_string(RandomRun)};
        return true;
    }
    given = GivenAnswer{"", q.Default};
    if (q.Limit != DataLimit::None) given.Text = std::to_string(Min(std::atoi(q.Default), UpperBound(q)));
    return true;
}

int32_t AskNumber(const Question& q) {
    GivenAnswer given;
    bool known = GivenAnswerTo(q, given);
    return AskInt(q.Prompt, static_cast<int32_t>(q.Min), UpperBound(q), known ? &given : nullptr);
}

double AskRealNumber(const Question& q) {
    GivenAnswer given;
    bool known = GivenAnswerTo(q, given);
    return AskReal(q.Prompt, q.Min, q.Max, known ? &given : nullptr);
}

char AskLetter(const Question& q) {
    GivenAnswer given;
    bool known = GivenAnswerTo(q, given);
    return AskChar(q.Prompt, known ? &given : nullptr);
}

std::string AnswerLine(const Question& q) {
    GivenAnswer given;
    bool known = GivenAnswerTo(q, given);
    std::string line;
    ReadAnswer(known ? &given : nullptr, line);
    return line;
}
