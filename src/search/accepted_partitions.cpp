// Copies of the partition pairs and the forms of the accepted pair that the
// listings and the ten best keep. All of it works on the calling thread's
// copy of the search's state.
#include "search/accepted_partitions.h"

#include <cstring>


void CopyAcceptedToWorking() {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(Partition[s] + 1, AcceptedPartition[s] + 1, static_cast<size_t>(SideUnits[s]));
        std::memcpy(ClusterSize[s], AcceptedClusterSize[s], sizeof ClusterSize[s]);
    }
}

void CopyWorkingToAccepted() {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(AcceptedPartition[s] + 1, Partition[s] + 1, static_cast<size_t>(SideUnits[s]));
        std::memcpy(AcceptedClusterSize[s], ClusterSize[s], sizeof ClusterSize[s]);
    }
}

// Counted by cluster first, so that the order costs the units, not the
// units times the clusters; within a cluster the units stay in order.
void BuildListingOrder(const uint8_t partition[], int32_t order[], int k, int n) {
    int32_t next[MaxModelSize + 2] = {};
    for (int u = 1; u <= n; ++u)
        if (partition[u] >= 1 && partition[u] <= k) ++next[partition[u] + 1];
    next[1] = 1;
    for (int c = 2; c <= k; ++c) next[c] += next[c - 1];
    for (int u = 1; u <= n; ++u)
        if (partition[u] >= 1 && partition[u] <= k) order[next[partition[u]]++] = u;
}
