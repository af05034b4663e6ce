// Copies of the partition pairs and the forms of the accepted pair that the
// listings and the ten best keep. All of it works on the calling thread's
// copy of the search's state.
#include "search/accepted_partitions.h"

#include <cstring>

#include "search/sides.h"

static void AddToSet(UnitSet& set, int u) { set.Bits[u >> 6] |= uint64_t{1} << (u & 63); }

void CopyAcceptedToWorking() {
    for (int s = RowSide; s <= ColSide; ++s) {
        const SideTable side = Side(s);
        std::memcpy(side.Partition + 1, side.AcceptedPartition + 1, static_cast<size_t>(side.Units));
        std::memcpy(side.ClusterSize, side.AcceptedClusterSize, MaxModelSize + 1);
    }
}

void CopyWorkingToAccepted() {
    for (int s = RowSide; s <= ColSide; ++s) {
        const SideTable side = Side(s);
        std::memcpy(side.AcceptedPartition + 1, side.Partition + 1, static_cast<size_t>(side.Units));
        std::memcpy(side.AcceptedClusterSize, side.ClusterSize, MaxModelSize + 1);
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
