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
#include "search/sides.h"

void WriteClusterListing(int s, const uint8_t partition[], const uint8_t sizes[]) {
    const SideTable side = Side(s);
    BuildListingOrder(partition, side.Order, side.Clusters, side.Units);
    if (!ListClusters) return;
    for (int c = 1; c <= side.Clusters; ++c) {
        NewLines(1);
        ListLine("%s-CLUSTER %d / %d", side.Upper, c, sizes[c]);
        int count = 0;
        for (int u = 1; u <= side.Units; ++u) {
            if (partition[u] != c) continue;
            // Announced before its first unit, so a page header never
            // lands inside a member line.
            if (count % 5 == 0) NewLines(1);
            ListPrint("%5d %-10s", u, UnitName[side.NameOffset + u]);
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
    int32_t rowClusters = NumRowClusters, colClusters = NumColClusters;
    if (TopTen[1].Error < NoResultError) {
        rowClusters = TopTen[1].NumRowClusters;
        colClusters = TopTen[1].NumColClusters;
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
static void AcceptSets(const SideTable& side) {
    int pos = 0;
    for (int c = 1; c <= side.Clusters; ++c) {
        int count = 0;
        for (int u = 1; u <= side.Units; ++u) {
            if (!InSet(side.ClusterSets[c], u)) continue;
            side.Order[++pos] = static_cast<uint8_t>(u);
            side.AcceptedPartition[u] = static_cast<uint8_t>(c);
            ++count;
        }
        side.AcceptedClusterSize[c] = static_cast<uint8_t>(count);
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
        WriteClusterSets(entry.RowSets, entry.NumRowClusters, NumRows);
        ListEndLine();
        ListPrint("       ");
        WriteClusterSets(entry.ColSets, entry.NumColClusters, NumCols);
        ListEndLine();
        ListLine("P = %8.3f", entry.Error);
    }
    ListEndLine();
    // A best entry the list leaves out for its size is still a result; with
    // no result there is nothing to make current: its sets are not a
    // partition of the units.
    if (TopTen[1].Error >= NoResultError) return;

    NumRowClusters = TopTen[1].NumRowClusters;
    NumColClusters = TopTen[1].NumColClusters;
    std::memcpy(RowClusterSets, TopTen[1].RowSets, sizeof RowClusterSets);
    std::memcpy(ColClusterSets, TopTen[1].ColSets, sizeof ColClusterSets);
    for (int s = RowSide; s <= ColSide; ++s) AcceptSets(Side(s));
    if (ListLevel > 3) {
        for (int s = RowSide; s <= ColSide; ++s) {
            const SideTable side = Side(s);
            WriteClusterListing(s, side.AcceptedPartition, side.AcceptedClusterSize);
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
