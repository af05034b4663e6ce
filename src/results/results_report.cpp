// The report of a series: its summary, its ten best results and the
// blockmodel of the best, so that the listing of a series closes with the
// matrices of its best blockmodel. Making the best result current is a step
// of its own, before the report, which only reads it (and evaluates it for
// its matrices, as every listed blockmodel is).
#include "results/results_report.h"

#include <cstring>

#include "console/listing_pages.h"
#include "console/output.h"
#include "criterion/block_listings.h"
#include "criterion/total_error.h"
#include "network/matrix_listings.h"
#include "results/result_files.h"
#include "search/accepted_partitions.h"
#include "search/cluster_listings.h"

bool MakeBestCurrent() {
    // A best entry the list leaves out for its size is still a result; with
    // no result there is nothing to make current: its sets are not a
    // partition of the units.
    if (TopTen[1].Error >= NoResultError) return false;
    for (int s = RowSide; s <= ColSide; ++s) {
        SideClusters[s] = TopTen[1].Clusters[s];
        std::memcpy(AcceptedPartition[s], TopTen[1].Partitions[s].data(), static_cast<size_t>(SideUnits[s]) + 1);
        std::memset(AcceptedClusterSize[s], 0, sizeof AcceptedClusterSize[s]);
        for (int u = 1; u <= SideUnits[s]; ++u) ++AcceptedClusterSize[s][AcceptedPartition[s][u]];
        BuildListingOrder(AcceptedPartition[s], ListingOrder[s], SideClusters[s], SideUnits[s]);
    }
    CopyAcceptedToWorking();
    return true;
}

// The ten best, best first.
static void WriteTopTen() {
    NewLines(-15);
    NewLines(4);
    ListEndLine();
    ListLine(" T O P   T E N");
    ListEndLine();
    for (int d = 1; d <= TopTenSize; ++d) {
        const TopTenEntry& entry = TopTen[d];
        if (entry.Error >= ListedErrorLimit) continue;
        NewLines(1);
        ListPrint("%6d:", entry.Rep);
        WriteClusterSets(entry.Partitions[RowSide].data(), entry.Clusters[RowSide], SideUnits[RowSide]);
        ListEndLine();
        ListPrint("       ");
        WriteClusterSets(entry.Partitions[ColSide].data(), entry.Clusters[ColSide], SideUnits[ColSide]);
        ListEndLine();
        ListLine("P = %8s", ErrorText(entry.Error).c_str());
    }
    ListEndLine();
}

// The blockmodel of the current best result, at every list level.
static void WriteBestBlockmodel() {
    if (ListTrace) {
        for (int s = RowSide; s <= ColSide; ++s) WriteClusterListing(s, AcceptedPartition[s], AcceptedClusterSize[s]);
    }
    WriteNetworkMatrix();
    CurrentError = TotalError(true);
    // The sweep picture and the summary show the best error of every pair.
    if (Sweep) SweepError[SideClusters[RowSide]][SideClusters[ColSide]] = CurrentError;
    WriteModelMatrix();
    WriteErrorMatrix();
    if (ValuesRule == AverageValues) WriteValueMatrix();
    ListLine("final error =%12s", ErrorText(CurrentError).c_str());
    WriteResultFiles();
}

void WriteSeriesReport(const int32_t clusters[2]) {
    // The best result decides the cluster counts shown: later entries may
    // come from partition files read with other counts.
    bool result = TopTen[1].Error < NoResultError;
    NewLines(-5);
    NewLines(5);
    ListEndLine();
    ListLine(" NUMBER OF UNITS       = %6d", NumUnits);
    ListLine(" NUMBER OF CLUSTERS    = %3d%3d", result ? TopTen[1].Clusters[RowSide] : clusters[RowSide],
             result ? TopTen[1].Clusters[ColSide] : clusters[ColSide]);
    ListLine(" NUMBER OF CLUSTERINGS = %6d", RepCount - 1);
    WriteTopTen();
    if (result) WriteBestBlockmodel();
    LatestReport = ReportedResult{result, TopTen[1].Rep, CurrentError, RepCount - 1,
                                  {SideClusters[RowSide], SideClusters[ColSide]}};
}
