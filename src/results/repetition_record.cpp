// Recording the result of a repetition. It reads the main thread's copy of
// the search state, which is the search's own in a single-threaded series and
// the copy of a worker's result otherwise, and it alone writes the results of
// the series, the console lines and the listing, so that a series writes the
// same bytes however many threads search it.
#include "results/repetition_record.h"

#include <cstring>

#include "console/listing_pages.h"
#include "console/output.h"
#include "console/prompts.h"
#include "criterion/block_listings.h"
#include "results/partition_files.h"
#include "results/progress_line.h"
#include "search/cluster_listings.h"
#include "search/local_optimization.h"
#include "settings/questions.h"
#include "state.h"

static const double NearZero = 0.000001;  // tolerance of near-best, exact fit and "opt"

void WriteProgressMark() {
    if (ProgressLineShown()) return;
    if (RepCount % 50 == 1) {
        ConEndLine();
        ConMark("%7d>", RepCount);
    } else {
        ConMark(".");
    }
    ConFlush();
}

// The result lines: "P*" before any series, the sets and "P =" when listing moves.
static void WriteResultLines() {
    if (!HaveSolution) {
        ConLine("P*                 = %11s", ErrorText(CurrentError).c_str());
        WaitForEnter();
        NewLines(1);
        ListLine("final error =%12s", ErrorText(CurrentError).c_str());
    } else if (ListMoves) {
        NewLines(1);
        ListPrint("%6d:", RepCount);
        WriteClusterSets(AcceptedPartition[RowSide], SideClusters[RowSide], SideUnits[RowSide]);
        ListEndLine();
        ListPrint("       ");
        WriteClusterSets(AcceptedPartition[ColSide], SideClusters[ColSide], SideUnits[ColSide]);
        ListEndLine();
        ListLine("P = %8s", ErrorText(CurrentError).c_str());
    }
}

void EnterTopTen(int32_t rep, double error) {
    if (!(error < TopTen[TopTenSize].Error)) return;  // a tie with the last stays out
    TopTenEntry& candidate = TopTen[0];
    candidate.Rep = rep;
    candidate.Error = error;
    for (int s = RowSide; s <= ColSide; ++s)
        candidate.Partitions[s].assign(AcceptedPartition[s], AcceptedPartition[s] + SideUnits[s] + 1);
    candidate.Clusters[RowSide] = SideClusters[RowSide];
    candidate.Clusters[ColSide] = SideClusters[ColSide];
    // Entry 0 holds the error itself, so the scan stops at 1 at the latest;
    // equal errors keep their order of arrival.
    int d = TopTenSize;
    while (TopTen[d - 1].Error > error) {
        TopTen[d] = TopTen[d - 1];
        --d;
    }
    TopTen[d] = candidate;
}

void RecordResult() {
    WriteResultLines();
    double e = CurrentError;
    int32_t r = RepCount;
    EnterTopTen(r, e);
    bool progressLine = ProgressLineShown();
    if (e < TopTen[1].Error + NearZero) {
        ListLine("%6d P = %8s", r, ErrorText(e).c_str());
        if (!progressLine) {
            ConEndLine();
            ConLine("%7d P = %8s", r, ErrorText(e).c_str());
            ConPrint("%7d>", r);
        }
    }
    if (e < NearZero) {
        if (!EquivalencesListed) {
            EquivalencesListed = true;
            NewLines(-15);
            NewLines(3);
            ListEndLine();
            ListLine(" E Q U I V A L E N C E S");
            ListEndLine();
        }
        NewLines(1);
        ListPrint("%6d:", r);
        WriteClusterSets(AcceptedPartition[RowSide], SideClusters[RowSide], SideUnits[RowSide]);
        ListEndLine();
        WriteClusterSets(AcceptedPartition[ColSide], SideClusters[ColSide], SideUnits[ColSide]);
        ListEndLine();
    }
    if (SaveOption == SaveBest) SaveThis = e <= BestError + NearZero;  // judged before this result
    if (e < BestError) {
        BestError = e;
        BestRep = r;
    }
    FlushListing();
    if (progressLine) UpdateProgressLine();
}

void SaveResult() {
    if (AskSave) {
        char answer = AskLetter(KeepQuestion);
        SaveThis = answer == 'y' || answer == 'Y';
    }
    if (SaveThis) WritePartition();
}

void LocalOptimization() {
    SearchLocalOptimum(RepCount);
    RecordResult();
}
