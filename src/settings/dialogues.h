// The dialogues of the program flow: the parameters question, the title, the
// run dialogue, the questions of a random series and the listing level. Each
// asks its questions from the table of questions.
#pragma once

#include <cstdint>

// True when the parameters question is answered with y or Y.
bool ParametersToChange();
// The title dialogue: the current title shown, a new one or Enter to keep it;
// the title becomes the listing's and the reports' too.
void TitleDialogue();
// The run dialogue's heading and question: sets RunMode.
void AskRunMode();
// The numbers of clusters of a random series, by side; one count for one
// partition. A side of a single unit asks without a range; its only count is 1.
void AskClusterCounts(int32_t clusters[2]);
// The repetitions and the save option of a random series (RepLimit,
// SaveOption and what follows from it), then its heading on the console.
void AskSeriesSettings(const int32_t clusters[2]);
// The listing level, and the flags that follow from it.
void AskListLevel();
