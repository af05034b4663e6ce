// Grow-only: a table once sized for a network serves every search of the run,
// so that no search allocates while it runs.
#include "state_memory.h"

#include <unistd.h>

#include <array>
#include <vector>

#include "state.h"

static std::vector<std::array<char, NameBytes + 1>> NameStore;
static std::vector<uint32_t> LabelStartStore;

// This thread's search tables.
namespace {
struct SearchStore {
    std::vector<uint8_t> Partition[2];
    std::vector<uint8_t> AcceptedPartition[2];
    std::vector<int32_t> ListingOrder[2];
};
}  // namespace
static thread_local SearchStore* ThreadStore;

template <typename T>
static T* Sized(std::vector<T>& store, int32_t units) {
    if (store.size() < static_cast<size_t>(units) + 1) store.resize(static_cast<size_t>(units) + 1, T{});
    return store.data();
}

void SizeSearchState() {
    if (ThreadStore == nullptr) ThreadStore = new SearchStore;
    for (int s = RowSide; s <= ColSide; ++s) {
        Partition[s] = Sized(ThreadStore->Partition[s], SideUnits[s]);
        AcceptedPartition[s] = Sized(ThreadStore->AcceptedPartition[s], SideUnits[s]);
        ListingOrder[s] = Sized(ThreadStore->ListingOrder[s], SideUnits[s]);
    }
}

void ReleaseSearchState() {
    delete ThreadStore;
    ThreadStore = nullptr;
    for (int s = RowSide; s <= ColSide; ++s) {
        Partition[s] = AcceptedPartition[s] = nullptr;
        ListingOrder[s] = nullptr;
    }
}

void SizeNetworkState() {
    if (NameStore.size() < static_cast<size_t>(NumUnits) + 1) NameStore.resize(static_cast<size_t>(NumUnits) + 1);
    UnitName = reinterpret_cast<char(*)[NameBytes + 1]>(NameStore.data()->data());
    if (LabelStartStore.size() < static_cast<size_t>(NumUnits) + 2)
        LabelStartStore.resize(static_cast<size_t>(NumUnits) + 2);
    LabelStart = LabelStartStore.data();
    SizeSearchState();
}

int64_t NetworkMegabytes(int64_t rows, int64_t cols, int threads) {
    const double units = static_cast<double>(rows + cols + 2);
    // Shared: names, the starts of the whole labels, the list starts of
    // ties, asymmetric cells and values.
    double shared = units * (NameBytes + 1) + units * 4.0 + units * 4.0 * 5;
    // A thread: partitions and order, then the criterion's counts by
    // cluster, line flags and unit sums of the larger side.
    const double larger = static_cast<double>((rows > cols ? rows : cols) + 1);
    double thread = units * (1 + 1 + 4) + units * ClusterStride * 2 * 2 + larger * ClusterStride * 8 +
                    larger * (MaxUnitFlags * 8 + 4);
    double bytes = shared + thread * (threads > 0 ? threads : 1);
    return static_cast<int64_t>(bytes / (1024.0 * 1024.0)) + 1;
}

int64_t MachineMegabytes() {
    long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<int64_t>(pages) * pageSize / (1024 * 1024);
}
