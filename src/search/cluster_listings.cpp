// Clusterings in the listing: the clusters of a side unit by unit, which also
// fixes the listing order (built even when nothing is written), and the set
// notation of the ten best. The search lists its clusters at the trace levels,
// the reports list the results with them.
#include "search/cluster_listings.h"

#include "console/listing_pages.h"
#include "console/output.h"
#include "search/accepted_partitions.h"

void WriteClusterListing(int s, const uint8_t partition[], const int32_t sizes[]) {
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

void WriteClusterSets(const uint8_t partition[], int k, int n) {
    for (int c = 1; c <= k; ++c) {
        ListPrint(" { ");
        for (int u = 1; u <= n; ++u)
            if (partition[u] == c) ListPrint("%d ", u);
        ListPrint("}");
    }
    ListPrint("  ");
}
