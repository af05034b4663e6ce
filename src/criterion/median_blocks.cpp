// criterion=ad in the incremental criterion. A block's complete error is the
// sum of the distances of its values to their median, which no kept sum
// gives; gathering the values of every changed block costs a trial the
// cells of two clusters. Here every kept block's values stay sorted, with
// prefix sums, so a trial finds the median of "the block less the values of
// the unit that leaves, plus those of the unit that comes" by binary search,
// and the distances from the prefix sums: a trial costs the clusters times
// a logarithm, plus the values of the units it moves. Accepting a trial
// merges the changed blocks and copies the rest, which costs the network's
// values once. The median is the lower middle value, every cell counting,
// and all sums are exact, so the errors are the full scan's, bit for bit.
#include "criterion/median_blocks.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "criterion/grown_tables.h"
#include "criterion/valued_errors.h"
#include "state.h"

namespace {
struct MedianStore {
    std::vector<FixedSum> Pool, PoolPrefix, PoolSpare, Moving[2];
};
}  // namespace
static thread_local MedianStore* Store;

void ReleaseMedianBlocks() {
    delete Store;
    Store = nullptr;
}

static void SizeTables() {
    if (Store == nullptr) Store = new MedianStore;
    ValuedTablesRecord& t = ValuedTables;
    const size_t values = CellTerm.size() + 1;
    t.Pool = Grown(Store->Pool, values);
    t.PoolSpare = Grown(Store->PoolSpare, values);
    t.PoolPrefix = Grown(Store->PoolPrefix, values + 1);
    const size_t line = static_cast<size_t>(Max(SideUnits[RowSide], SideUnits[ColSide])) + 1;
    for (int w = 0; w < 2; ++w) t.Moving[w] = Grown(Store->Moving[w], line);
}

static int BlockIndex(int r, int c) { return (r - 1) * SideClusters[ColSide] + (c - 1); }
static int BlockRow(int s, int own, int other) { return s == RowSide ? own : other; }
static int BlockCol(int s, int own, int other) { return s == RowSide ? other : own; }

static void SumPrefix() {
    ValuedTablesRecord& t = ValuedTables;
    const int32_t values = t.PoolStart[SideClusters[RowSide] * SideClusters[ColSide]];
    t.PoolPrefix[0] = 0;
    for (int32_t i = 0; i < values; ++i) t.PoolPrefix[i + 1] = t.PoolPrefix[i] + t.Pool[i];
}

static FixedSum Magnitude(FixedSum v) { return v < 0 ? -v : v; }

// The values of a sorted run [first, last) with their count and sum, above
// (or below) a value, by binary search and the prefix sums.
static void PoolAbove(int32_t first, int32_t last, FixedSum m, int64_t& count, FixedSum& sum) {
    const FixedSum* pool = ValuedTables.Pool;
    const int32_t at = static_cast<int32_t>(std::upper_bound(pool + first, pool + last, m) - pool);
    count = last - at;
    sum = ValuedTables.PoolPrefix[last] - ValuedTables.PoolPrefix[at];
}
static void PoolBelow(int32_t first, int32_t last, FixedSum m, int64_t& count, FixedSum& sum) {
    const FixedSum* pool = ValuedTables.Pool;
    const int32_t at = static_cast<int32_t>(std::lower_bound(pool + first, pool + last, m) - pool);
    count = at - first;
    sum = ValuedTables.PoolPrefix[at] - ValuedTables.PoolPrefix[first];
}

// The median (the lower middle value, zeros counting) of the block of
// values [first, last) of the pool less the values gone and with the values
// come, and zeros more; and the sum of the distances to it.
static FixedSum ChangedDeviation(int32_t first, int32_t last, const FixedSum* gone, int32_t goneCount,
                                 const FixedSum* come, int32_t comeCount, int64_t zeros, FixedSum& median) {
    const FixedSum* pool = ValuedTables.Pool;
    const int64_t cells = (last - first) - goneCount + comeCount + zeros;
    median = 0;
    if (cells == 0) return 0;
    const int64_t middle = (cells - 1) / 2;
    // The cells at or below v.
    auto atOrBelow = [&](FixedSum v) {
        int64_t count = std::upper_bound(pool + first, pool + last, v) - (pool + first);
        for (int32_t i = 0; i < goneCount; ++i) count -= gone[i] <= v ? 1 : 0;
        for (int32_t i = 0; i < comeCount; ++i) count += come[i] <= v ? 1 : 0;
        return v >= 0 ? count + zeros : count;
    };
    // The median is the least value of the block with more than middle
    // cells at or below it; a value gone from the block never is less.
    int32_t low = first, high = last;
    while (low < high) {
        const int32_t mid = low + (high - low) / 2;
        if (atOrBelow(pool[mid]) > middle)
            high = mid;
        else
            low = mid + 1;
    }
    bool found = low < last;
    if (found) median = pool[low];
    for (int32_t i = 0; i < comeCount; ++i)
        if ((!found || come[i] < median) && atOrBelow(come[i]) > middle) median = come[i], found = true;
    if (zeros > 0 && (!found || median > 0) && atOrBelow(0) > middle) median = 0, found = true;
    assert(found);

    int64_t above, below;
    FixedSum sumAbove, sumBelow;
    PoolAbove(first, last, median, above, sumAbove);
    PoolBelow(first, last, median, below, sumBelow);
    for (int32_t i = 0; i < goneCount; ++i) {
        if (gone[i] > median) --above, sumAbove -= gone[i];
        if (gone[i] < median) --below, sumBelow -= gone[i];
    }
    for (int32_t i = 0; i < comeCount; ++i) {
        if (come[i] > median) ++above, sumAbove += come[i];
        if (come[i] < median) ++below, sumBelow += come[i];
    }
    return (sumAbove - static_cast<FixedSum>(above) * median) + (static_cast<FixedSum>(below) * median - sumBelow) +
           static_cast<FixedSum>(zeros) * Magnitude(median);
}

// The values of unit u of side s, sorted within each cluster of the other
// side, into Moving[w].
static void SortMoving(int w, int s, int u) {
    ValuedTablesRecord& t = ValuedTables;
    const int o = 1 - s, clusters = SideClusters[o];
    int32_t* start = t.MovingStart[w];
    for (int k = 0; k <= clusters + 1; ++k) start[k] = 0;
    const bool rows = s == RowSide;
    const int32_t begin = rows ? ValuedCells.Start[u] : ValuedColumns.Start[u];
    const int32_t end = rows ? ValuedCells.Start[u + 1] : ValuedColumns.Start[u + 1];
    const std::vector<int32_t>& units = rows ? ValuedCells.Units : ValuedColumns.Units;
    for (int32_t n = begin; n < end; ++n) ++start[t.KeptCluster[o][units[n]] + 1];
    for (int k = 1; k <= clusters + 1; ++k) start[k] += start[k - 1];
    int32_t next[MaxModelSize + 1];
    std::memcpy(next, start, sizeof(int32_t) * static_cast<size_t>(clusters + 1));
    for (int32_t n = begin; n < end; ++n)
        t.Moving[w][next[t.KeptCluster[o][units[n]]]++] = CellTerm[rows ? n : ColumnCell[n]].A;
    for (int k = 1; k <= clusters; ++k) std::sort(t.Moving[w] + start[k], t.Moving[w] + start[k + 1]);
}

static FixedSum MagnitudeSum(const FixedSum* values, int32_t count) {
    FixedSum sum = 0;
    for (int32_t i = 0; i < count; ++i) sum += Magnitude(values[i]);
    return sum;
}

// The error of block (r, c) of the kept pool less gone, with come.
static double ChangedError(int r, int c, int64_t cells, const FixedSum* gone, int32_t goneCount, const FixedSum* come,
                           int32_t comeCount) {
    const ValuedTablesRecord& t = ValuedTables;
    const int b = BlockIndex(r, c);
    ValuedBlock block{};
    block.Cells = cells;
    block.Sums.B = t.Sums[r][c].B - MagnitudeSum(gone, goneCount) + MagnitudeSum(come, comeCount);
    const int64_t values = (t.PoolStart[b + 1] - t.PoolStart[b]) - goneCount + comeCount;
    // Only a complete block asks for the median.
    if (ModelMatrix[r][c] >> CompleteType & 1)
        block.Deviation = ChangedDeviation(t.PoolStart[b], t.PoolStart[b + 1], gone, goneCount, come, comeCount,
                                           cells - values, block.Median);
    return ValuedChosenError(r, c, block);
}

void MedianStep(int s, int p, int q, int x, int y) {
    ValuedTablesRecord& t = ValuedTables;
    const int o = 1 - s;
    SortMoving(0, s, x);
    if (y > 0) SortMoving(1, s, y);
    const int32_t moved = y > 0 ? 0 : 1;
    const int64_t sizeP = t.KeptClusterSize[s][p] - moved, sizeQ = t.KeptClusterSize[s][q] + moved;
    int32_t blocks = 0;
    for (int k = 1; k <= SideClusters[o]; ++k) {
        const FixedSum* ofX = t.Moving[0] + t.MovingStart[0][k];
        const int32_t countX = t.MovingStart[0][k + 1] - t.MovingStart[0][k];
        const FixedSum* ofY = t.Moving[1] + (y > 0 ? t.MovingStart[1][k] : 0);
        const int32_t countY = y > 0 ? t.MovingStart[1][k + 1] - t.MovingStart[1][k] : 0;
        const int64_t otherSize = t.KeptClusterSize[o][k];
        const int rp = BlockRow(s, p, k), cp = BlockCol(s, p, k);
        const int rq = BlockRow(s, q, k), cq = BlockCol(s, q, k);
        t.TrialRow[blocks] = static_cast<uint8_t>(rp);
        t.TrialCol[blocks] = static_cast<uint8_t>(cp);
        t.TrialError[blocks++] = ChangedError(rp, cp, sizeP * otherSize, ofX, countX, ofY, countY);
        t.TrialRow[blocks] = static_cast<uint8_t>(rq);
        t.TrialCol[blocks] = static_cast<uint8_t>(cq);
        t.TrialError[blocks++] = ChangedError(rq, cq, sizeQ * otherSize, ofY, countY, ofX, countX);
    }
    t.TrialBlocks = blocks;
}

// Writes the sorted run [first, last) of the pool less gone (all in it),
// merged with come, to out; gives the end of what it wrote.
static FixedSum* MergeChanged(const FixedSum* first, const FixedSum* last, const FixedSum* gone, int32_t goneCount,
                              const FixedSum* come, int32_t comeCount, FixedSum* out) {
    const FixedSum *goneEnd = gone + goneCount, *comeEnd = come + comeCount;
    while (first != last || come != comeEnd) {
        if (first != last && gone != goneEnd && *first == *gone) {  // one of equal values goes
            ++first;
            ++gone;
        } else if (come == comeEnd || (first != last && *first <= *come)) {
            *out++ = *first++;
        } else {
            *out++ = *come++;
        }
    }
    assert(gone == goneEnd);
    return out;
}

void KeepMedianStep(int s, int p, int q, int x, int y) {
    ValuedTablesRecord& t = ValuedTables;
    const int rows = SideClusters[RowSide], cols = SideClusters[ColSide];
    SortMoving(0, s, x);
    if (y > 0) SortMoving(1, s, y);
    // The blocks of p and q merged, the others copied, into the spare pool.
    FixedSum* out = t.PoolSpare;
    int32_t newStart[MaxModelSize * MaxModelSize + 1];
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            const int b = BlockIndex(r, c);
            newStart[b] = static_cast<int32_t>(out - t.PoolSpare);
            const FixedSum* first = t.Pool + t.PoolStart[b];
            const FixedSum* last = t.Pool + t.PoolStart[b + 1];
            const int own = s == RowSide ? r : c, k = s == RowSide ? c : r;
            if (own != p && own != q) {
                out = std::copy(first, last, out);
                continue;
            }
            const FixedSum* ofX = t.Moving[0] + t.MovingStart[0][k];
            const int32_t countX = t.MovingStart[0][k + 1] - t.MovingStart[0][k];
            const FixedSum* ofY = t.Moving[1] + (y > 0 ? t.MovingStart[1][k] : 0);
            const int32_t countY = y > 0 ? t.MovingStart[1][k + 1] - t.MovingStart[1][k] : 0;
            const bool leaves = own == p;  // x leaves the blocks of p, y those of q
            out = MergeChanged(first, last, leaves ? ofX : ofY, leaves ? countX : countY, leaves ? ofY : ofX,
                               leaves ? countY : countX, out);
            const FixedSum change = MagnitudeSum(ofY, countY) - MagnitudeSum(ofX, countX);
            t.Sums[r][c].B += leaves ? change : -change;
        }
    }
    newStart[rows * cols] = static_cast<int32_t>(out - t.PoolSpare);
    std::memcpy(t.PoolStart, newStart, sizeof(int32_t) * static_cast<size_t>(rows * cols + 1));
    std::swap(Store->Pool, Store->PoolSpare);
    t.Pool = Store->Pool.data();
    t.PoolSpare = Store->PoolSpare.data();
    SumPrefix();
}

void BuildMedianBlocks() {
    ValuedTablesRecord& t = ValuedTables;
    SizeTables();
    const int rows = SideClusters[RowSide], cols = SideClusters[ColSide];
    int32_t* start = t.PoolStart;
    for (int b = 0; b <= rows * cols; ++b) start[b] = 0;
    const uint8_t* rowOf = t.KeptCluster[RowSide];
    const uint8_t* colOf = t.KeptCluster[ColSide];
    for (int i = 1; i <= SideUnits[RowSide]; ++i)
        for (int32_t n = ValuedCells.Start[i]; n < ValuedCells.Start[i + 1]; ++n)
            ++start[BlockIndex(rowOf[i], colOf[ValuedCells.Units[n]]) + 1];
    for (int b = 1; b <= rows * cols; ++b) start[b] += start[b - 1];
    int32_t next[MaxModelSize * MaxModelSize];
    std::memcpy(next, start, sizeof(int32_t) * static_cast<size_t>(rows * cols));
    for (int i = 1; i <= SideUnits[RowSide]; ++i)
        for (int32_t n = ValuedCells.Start[i]; n < ValuedCells.Start[i + 1]; ++n)
            t.Pool[next[BlockIndex(rowOf[i], colOf[ValuedCells.Units[n]])]++] = CellTerm[n].A;
    for (int b = 0; b < rows * cols; ++b) std::sort(t.Pool + start[b], t.Pool + start[b + 1]);
    SumPrefix();
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) {
            const int b = BlockIndex(r, c);
            t.Sums[r][c].A = 0;
            t.Sums[r][c].B = MagnitudeSum(t.Pool + start[b], start[b + 1] - start[b]);
            const int64_t cells =
                static_cast<int64_t>(t.KeptClusterSize[RowSide][r]) * t.KeptClusterSize[ColSide][c];
            t.Error[r][c] = ChangedError(r, c, cells, nullptr, 0, nullptr, 0);
        }
}
