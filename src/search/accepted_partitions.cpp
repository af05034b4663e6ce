// Copies of the partition pairs and the forms of the accepted pair that the
// listings and the ten best keep. All of it works on the calling thread's
// copy of the search's state.
#include "search/accepted_partitions.h"

#include <cstring>


static void AddToSet(UnitSet& set, int u) { set.Bits[u >> 6] |= uint64_t{1} << (u & 63); }

void CopyAcceptedToWorking() {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(Partition[s] + 1, AcceptedPartition[s] + 1, static_cast<size_t>(SideUnits[s]));
        std::memcpy(ClusterSize[s], AcceptedClusterSize[s], MaxModelSize + 1);
    }
}

void CopyWorkingToAccepted() {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(AcceptedPartition[s] + 1, Partition[s] + 1, static_cast<size_t>(SideUnits[s]));
        std::memcpy(AcceptedClusterSize[s], ClusterSize[s], MaxModelSize + 1);
    }
}

void BuildListingOrder(const uint8_t partition[], uint8_t order[], int k, int n) {
    int pos = 0;
    for (int c = 1; c <= k; ++c)
        for (int u = 1; u <= n; ++u)
            if (partition[u] == c) order[++pos] = static_cast<uint8_t>(u);
}

void BuildClusterSets(const uint8_t partition[], UnitSet sets[], int n) {
    std::memset(sets + 1, 0, MaxModelSize * sizeof(UnitSet));
    for (int u = 1; u <= n; ++u) AddToSet(sets[partition[u]], u);
}
