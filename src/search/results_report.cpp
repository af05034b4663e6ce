// Clusterings in the listing. The cluster listing also fixes the listing
// order, so it is built even when nothing is written. The series report ends
// by making the best result current again, so that the listing of a series
// closes with the matrices of its best blockmodel.
#include "search/results_report.h"

#include <cstring>

#include "console/listing_pages.h"
#include "console/output.h"
#include "criterion/block_listings.h"
#include "criterion/total_error.h"
#include "network/matrix_listings.h"
#include "search/accepted_partitions.h"
#include "search/result_files.h"

void WriteClusterListing(int s, const uint8_t partition[], const uint8_t sizes[]) {
    BuildListingOrder(partition, ListingOrder[s], SideClusters[s], SideUnits[s]);
    if (!ListClusters) return;
    for (int c = 1; c <= SideClusters[s]; ++c) {
        NewLines(1);
        ListLine("%s-CLUSTER %d / %d", SideHeading[s], c, sizes[c]);
        int count = 0;
        for (int u = 1; u <= SideUnits[s]; ++u) {
            if (partition[u] != c) continue;
            // Announced before its first unit, so a page header never
            // lands inside a member line.
            if (count % 5 == 0) NewLines(1);
            ListPrint("%5d %-10s", u, UnitName[NameOffset(s) + u]);
            ++count;
            if (count % 5 == 0) ListEndLine();
        }
        if (count % 5 != 0) ListEndLine();
    }
}

void WriteClusterSets(const UnitSet sets[], int k, int n) {
    for (int c = 1; c <= k; ++c) {
        ListPrint(" { ");
        for (int u = 1; u <= n; ++u)
            if (InSet(sets[c], u)) ListPrint("%d ", u);
        ListPrint("}");
    }
    ListPrint("  ");
}

void WriteSeriesReport() {
    // The best result decides the cluster counts shown: later entries may
    // come from partition files read with other counts.
    int32_t rowClusters = SideClusters[RowSide], colClusters = SideClusters[ColSide];
    if (TopTen[1].Error < NoResultError) {
        rowClusters = TopTen[1].Clusters[RowSide];
        colClusters = TopTen[1].Clusters[ColSide];
    }
    NewLines(-5);
    NewLines(5);
    ListEndLine();
    ListLine(" NUMBER OF UNITS       = %6d", NumUnits);
    ListLine(" NUMBER OF CLUSTERS    = %3d%3d", rowClusters, colClusters);
    ListLine(" NUMBER OF CLUSTERINGS = %6d", RepCount - 1);
    WriteTopTen();
}

// Makes the cluster sets of one side its accepted partition, with sizes and order.
static void AcceptSets(int s) {
    int pos = 0;
    for (int c = 1; c <= SideClusters[s]; ++c) {
        int count = 0;
        for (int u = 1; u <= SideUnits[s]; ++u) {
            if (!InSet(ClusterSets[s][c], u)) continue;
            ListingOrder[s][++pos] = static_cast<uint8_t>(u);
            AcceptedPartition[s][u] = static_cast<uint8_t>(c);
            ++count;
        }
        AcceptedClusterSize[s][c] = static_cast<uint8_t>(count);
    }
}

void WriteTopTen() {
    NewLines(-15);
    NewLines(4);
    ListEndLine();
    ListLine(" T O P   T E N");
    ListEndLine();
    for (int d = 1; d <= 10; ++d) {
        const TopTenEntry& entry = TopTen[d];
        if (entry.Error >= 1e10) continue;
        NewLines(1);
        ListPrint("%6d:", entry.Rep);
        WriteClusterSets(entry.Sets[RowSide], entry.Clusters[RowSide], SideUnits[RowSide]);
        ListEndLine();
        ListPrint("       ");
        WriteClusterSets(entry.Sets[ColSide], entry.Clusters[ColSide], SideUnits[ColSide]);
        ListEndLine();
        ListLine("P = %8.3f", entry.Error);
    }
    ListEndLine();
    // A best entry the list leaves out for its size is still a result; with
    // no result there is nothing to make current: its sets are not a
    // partition of the units.
    if (TopTen[1].Error >= NoResultError) return;

    SideClusters[RowSide] = TopTen[1].Clusters[RowSide];
    SideClusters[ColSide] = TopTen[1].Clusters[ColSide];
    std::memcpy(ClusterSets[RowSide], TopTen[1].Sets[RowSide], sizeof ClusterSets[RowSide]);
    std::memcpy(ClusterSets[ColSide], TopTen[1].Sets[ColSide], sizeof ClusterSets[ColSide]);
    for (int s = RowSide; s <= ColSide; ++s) AcceptSets(s);
    if (ListLevel > 3) {
        for (int s = RowSide; s <= ColSide; ++s) {
            WriteClusterListing(s, AcceptedPartition[s], AcceptedClusterSize[s]);
        }
    }
    CopyAcceptedToWorking();

    WriteNetworkMatrix();
    CurrentError = TotalError(true);
    WriteModelMatrix();
    WriteErrorMatrix();
    if (ValuesRule == 1) WriteValueMatrix();
    ListLine("final error =%12.3f", CurrentError);
    WriteResultFiles();
}
