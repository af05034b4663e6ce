// The weights dialogue: error type, minimal block size, block
// values, the weight of every ideal block type, the two densities and the
// priorities that break ties between block types of equal error.
#include "settings/weights_dialogue.h"

#include "console/listing_pages.h"
#include "console/output.h"
#include "settings/questions.h"
#include "state.h"

void SetCriterionDefaults() {
    DiaDensity = 0.75;
    OutDensity = 0.5;
    PrioritySequence[0] = -1;
    for (int k = 0; k <= MaxTypeCode; ++k) {
        TypeWeight[k] = 1.0;
        TypePriority[k] = static_cast<uint8_t>(k + 1);
        PrioritySequence[k + 1] = k;
    }
}

void ShowWeightRow(int k) {
    ConPrint("%2d%9.3f  %s", k, TypeWeight[k], TypeName[k]);
    if (k == DensityType) ConPrint(" = %8.5f%9.5f", DiaDensity, OutDensity);
    ConEndLine();
}

// The weights table and the priorities line on the console; the empty line
// between them belongs to the first showing only, so that the table shown
// again after a priority entry runs straight into its priorities line.
static void ShowWeights(bool emptyLine) {
    for (int k = 0; k <= MaxTypeCode; ++k) ShowWeightRow(k);
    if (emptyLine) ConEndLine();
    ConPrint("Priorities: %3d", TypePriority[0]);
    for (int k = 1; k <= MaxTypeCode; ++k) ConPrint(",%3d", TypePriority[k]);
    ConEndLine();
}

// Choice 13: all priorities anew, until no two types share one.
static void EnterPriorities() {
    bool duplicate;
    do {
        for (int k = 0; k <= MaxTypeCode; ++k) {
            TypePriority[k] = static_cast<uint8_t>(AskNumber(PriorityQuestion));
        }
        for (int p = 0; p <= MaxTypeCode + 1; ++p) PrioritySequence[p] = -1;
        duplicate = false;
        for (int k = 0; k <= MaxTypeCode; ++k) {
            int p = TypePriority[k];
            if (p == 0) continue;
            if (PrioritySequence[p] == -1) {
                PrioritySequence[p] = k;
            } else {
                PrioritySequence[p] = 99;
                duplicate = true;
            }
        }
        ShowWeights(false);
    } while (duplicate);
}

void WeightsDialogue() {
    ConLine("***  ORVEN / KORVEL - blockmodeling by local optimization ");
    ConLine("W E I G H T S");
    ErrorType = AskNumber(ErrorTypeQuestion);
    // The valued criteria's errors are constant (errors=2 never gets here).
    while (ValuedCriterion() && ErrorType == SizeErrors) {
        ConLine("criterion=%s has constant errors only", CriterionName[Criterion]);
        ErrorType = AskNumber(ErrorTypeQuestion);
    }
    MinBlockSize = AskNumber(MinSizeQuestion);
    // With a single unit the prompt shows no range and takes any integer;
    // 1 is then the only size in range, as for the cluster counts.
    if (NumUnits <= 1) MinBlockSize = 1;
    ValuesRule = AskNumber(ValuesQuestion);

    ListLine("error type = %s", ErrorType == SizeErrors ? "size" : "constant");
    ListLine(" minimal dom/fun/par size  = %5d", MinBlockSize);
    ListLine(" averaging rule no/ave/med = %5d", ValuesRule);
    ListEndLine();
    NewLines(4);

    SetCriterionDefaults();
    ShowWeights(true);

    for (;;) {
        int32_t choice = AskNumber(WeightChoiceQuestion);
        if (choice < 0) break;
        if (choice == NumTypeCodes) {
            EnterPriorities();
            continue;
        }
        TypeWeight[choice] = AskRealNumber(NewWeightQuestion);
        if (choice == DensityType) {
            DiaDensity = AskRealNumber(DiaDensityQuestion);
            OutDensity = AskRealNumber(OutDensityQuestion);
        }
        ShowWeightRow(choice);
    }

    NewLines(3);
    ListEndLine();
    ListLine("Weights, Priorities, Sequence");
    ListEndLine();
    for (int k = 0; k <= MaxTypeCode; ++k) {
        NewLines(1);
        ListLine("%5d : %9.3f%5d%5d", k, TypeWeight[k], TypePriority[k], PrioritySequence[k + 1]);
    }
    ListLine("density = %8.5f%9.5f", DiaDensity, OutDensity);
    ListEndLine();
}
