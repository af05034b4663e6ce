// The dialogues of the program flow. Their texts around the questions are
// the console's; the questions themselves, prompts and ranges, come from the
// table, whose records the named answers answer.
#include "settings/dialogues.h"

#include <string>

#include "console/output.h"
#include "console/visible_text.h"
#include "settings/questions.h"
#include "state.h"

bool ParametersToChange() {
    char answer = AskLetter(ParamsQuestion);
    return answer == 'y' || answer == 'Y';
}

void TitleDialogue() {
    ConLine("***  ORVEN / KORVEL - 2 mode blockmodeling by local optimization ");
    ConLine("Title = %s", Title.c_str());
    ConEndLine();
    ConLine("%s", TitleQuestion.Prompt);
    // The title is saved as one line of the environment file: it ends at a
    // control character (a line end or Ctrl-Z among them) typed inside the answer.
    std::string title = CutTitle(AnswerLine(TitleQuestion));
    if (!title.empty()) Title = title;
    ListTitle = Title;
    TitleText = Title;
}

void AskRunMode() {
    ConEndLine();
    ConLine("***  O R V E N  - 2 mode KORVEL");
    ConLine("blockmodeling by local optimization");
    RunMode = AskNumber(RunQuestion);
}

// A count asked without a range (a bound of 1) can only be 1.
static int32_t AskClusterCount(const Question& q) {
    int32_t count = AskNumber(q);
    return UpperBound(q) <= 1 ? 1 : count;
}

void AskClusterCounts(int32_t clusters[2]) {
    if (OneMode) {
        // One partition: its clusters index both the model's rows and columns.
        clusters[RowSide] = clusters[ColSide] = AskClusterCount(ClustersQuestion);
    } else {
        clusters[RowSide] = AskClusterCount(RowClustersQuestion);
        clusters[ColSide] = AskClusterCount(ColClustersQuestion);
    }
}

void AskSeriesSettings(const int32_t clusters[2]) {
    RepLimit = AskNumber(RepetitionsQuestion);
    SaveOption = AskNumber(SaveQuestion);
    SaveThis = SaveOption == SaveAll;
    HaveSolution = true;
    AskSave = SaveOption == SaveAsked;
    RunLabel = "RANDOM     ";
    Title = FirstCharacters(TitleText, MaxTitleLength);
    ConLine("***  O R V E N  -  KORVEL");
    ConLine("2 mode blockmodeling by local optimization");
    ConLine("NETWORK FILE : %s", NetFileName.c_str());
    ConLine("NUMBER OF UNITS    = %6d", NumUnits);
    ConLine("NUMBER OF CLUSTERS = %3d%3d", clusters[RowSide], clusters[ColSide]);
}

void AskListLevel() {
    ListLevel = AskNumber(ListQuestion);
    ListMoves = ListLevel >= MovesListed;
    ListTrace = ListLevel >= TrialsTraced;
}
