// The incremental criterion under a valued criterion. ss and val judge a
// block by the sums of its cells' terms, so a trial of one side takes the
// sums of the moving units' lines by cluster of the other side away from
// the blocks of one cluster and adds them to those of the other: what a
// binary trial costs. ad needs the median of each block, which no kept sum
// gives: it keeps every block's values sorted (criterion/median_blocks.cpp);
// a trial of one partition on both sides gathers the values of the blocks
// it changes, and only those, from the working partitions, which hold it.
//
// Exactness: every sum is a fixed-point integer, the same whatever the order
// of its additions, and the errors come from the procedures of the full
// scan, so each block error, and the total summed in the full scan's order,
// equal TotalError's bit for bit. That also makes taking a step back exact,
// which the trials of one partition on both sides use.
#include "criterion/valued_incremental.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "criterion/grown_tables.h"
#include "criterion/median_blocks.h"
#include "criterion/total_error.h"
#include "criterion/valued_errors.h"
#include "state.h"

// The tables that grow with the network, this thread's.
namespace {
struct ValuedStore {
    std::vector<uint8_t> KeptCluster[2];
    std::vector<CellTerms> LineSums[2];
    std::vector<FixedSum> Gathered;
};
}  // namespace
static thread_local ValuedStore* Store;

void ReleaseValuedTables() {
    delete Store;
    Store = nullptr;
    ReleaseMedianBlocks();
}

static CellTerms* LineSumsOf(int s, int u) {
    return ValuedTables.LineSums[s] + static_cast<size_t>(u) * static_cast<size_t>(ValuedTables.LineStride[s]);
}

static void AddTerms(CellTerms& sums, const CellTerms& terms) {
    sums.A += terms.A;
    sums.B += terms.B;
}
static void SubtractTerms(CellTerms& sums, const CellTerms& terms) {
    sums.A -= terms.A;
    sums.B -= terms.B;
}

// visit(j, terms) for every valued cell of unit u of side s, j its unit of the other side.
template <typename Visit>
static void ForCells(int s, int u, Visit visit) {
    if (s == RowSide) {
        for (int32_t n = ValuedCells.Start[u]; n < ValuedCells.Start[u + 1]; ++n)
            visit(ValuedCells.Units[n], CellTerm[n]);
    } else {
        for (int32_t at = ValuedColumns.Start[u]; at < ValuedColumns.Start[u + 1]; ++at)
            visit(ValuedColumns.Units[at], CellTerm[ColumnCell[at]]);
    }
}

static int BlockRow(int s, int own, int other) { return s == RowSide ? own : other; }
static int BlockCol(int s, int own, int other) { return s == RowSide ? other : own; }

// The error of a block of sums and cells (ss, val).
static double SumsError(int r, int c, const CellTerms& sums, int64_t cells) {
    const int32_t blockKey = r << 8 | c;
    const uint64_t a = static_cast<uint64_t>(sums.A) ^ static_cast<uint64_t>(sums.A >> 64) * 0x9E3779B97F4A7C15ull;
    const uint64_t b = static_cast<uint64_t>(sums.B) ^ static_cast<uint64_t>(sums.B >> 64) * 0xD6E8FEB86659FD93ull;
    const uint64_t hash = (a * 0xC2B2AE3D27D4EB4Full ^ b ^ static_cast<uint64_t>(cells) << 16 ^
                           static_cast<uint64_t>(blockKey)) * 0x9E3779B97F4A7C15ull;
    ValuedMemo& memo = ValuedTables.Memo[hash >> (64 - MemoBits)];
    if (memo.Search == ValuedTables.MemoSearch && memo.Block == blockKey && memo.Cells == cells &&
        memo.Sums.A == sums.A && memo.Sums.B == sums.B)
        return memo.Error;
    ValuedBlock block{};
    block.Cells = cells;
    block.Sums = sums;
    memo.Sums = sums;
    memo.Cells = cells;
    memo.Block = blockKey;
    memo.Search = ValuedTables.MemoSearch;
    memo.Error = ValuedChosenError(r, c, block);
    return memo.Error;
}

static int64_t KeptCells(int r, int c) {
    return static_cast<int64_t>(ValuedTables.KeptClusterSize[RowSide][r]) * ValuedTables.KeptClusterSize[ColSide][c];
}

// ad: the changed blocks, those of the row clusters and the column clusters
// marked, gathered from the working partitions; their errors become the
// trial's.
static void GatherChangedBlocks(const bool rowChanged[], const bool colChanged[]) {
    ValuedTablesRecord& t = ValuedTables;
    int32_t blocks = 0;
    for (int r = 1; r <= SideClusters[RowSide]; ++r)
        for (int c = 1; c <= SideClusters[ColSide]; ++c) {
            if (!rowChanged[r] && !colChanged[c]) {
                t.Slot[r][c] = -1;
                continue;
            }
            t.Slot[r][c] = static_cast<int16_t>(blocks);
            t.TrialRow[blocks] = static_cast<uint8_t>(r);
            t.TrialCol[blocks] = static_cast<uint8_t>(c);
            ++blocks;
        }
    t.TrialBlocks = blocks;

    // Each changed cell once: by its row where the row cluster changed,
    // else by its column.
    const uint8_t* rowOf = Partition[RowSide];
    const uint8_t* colOf = Partition[ColSide];
    auto forChangedCells = [&](auto visit) {
        for (int i = 1; i <= SideUnits[RowSide]; ++i) {
            if (!rowChanged[rowOf[i]]) continue;
            const int16_t* slots = t.Slot[rowOf[i]];
            for (int32_t n = ValuedCells.Start[i]; n < ValuedCells.Start[i + 1]; ++n)
                visit(slots[colOf[ValuedCells.Units[n]]], n);
        }
        for (int j = 1; j <= SideUnits[ColSide]; ++j) {
            const int c = colOf[j];
            if (!colChanged[c]) continue;
            for (int32_t at = ValuedColumns.Start[j]; at < ValuedColumns.Start[j + 1]; ++at) {
                const int r = rowOf[ValuedColumns.Units[at]];
                if (!rowChanged[r]) visit(t.Slot[r][c], ColumnCell[at]);
            }
        }
    };
    int32_t* start = t.GatherStart;
    for (int32_t b = 0; b <= blocks; ++b) start[b] = 0;
    forChangedCells([&](int slot, int32_t) { ++start[slot + 1]; });
    for (int32_t b = 1; b <= blocks; ++b) start[b] += start[b - 1];
    int32_t next[MaxTrialBlocks];
    std::memcpy(next, start, sizeof(int32_t) * static_cast<size_t>(blocks));
    CellTerms sums[MaxTrialBlocks];
    std::memset(static_cast<void*>(sums), 0, sizeof(CellTerms) * static_cast<size_t>(blocks));
    forChangedCells([&](int slot, int32_t n) {
        t.Gathered[next[slot]++] = CellTerm[n].A;
        sums[slot].B += CellTerm[n].B;
    });

    for (int32_t b = 0; b < blocks; ++b) {
        const int r = t.TrialRow[b], c = t.TrialCol[b];
        ValuedBlock block{};
        block.Cells = static_cast<int64_t>(ClusterSize[RowSide][r]) * ClusterSize[ColSide][c];
        block.Sums = sums[b];
        const int32_t count = start[b + 1] - start[b];
        // Only a complete block asks for the median.
        if (ModelMatrix[r][c] >> CompleteType & 1)
            block.Deviation = AbsoluteDeviation(t.Gathered + start[b], count, block.Cells - count, block.Median);
        t.TrialError[b] = ValuedChosenError(r, c, block);
    }
}

// BlockSum, ErrorMagnitude and WholeErrors of the kept errors.
static void SumKeptErrors() {
    ValuedTablesRecord& t = ValuedTables;
    double sum = 0.0;
    long double magnitude = 0.0L;
    bool whole = true;
    for (int r = 1; r <= SideClusters[RowSide]; ++r)
        for (int c = 1; c <= SideClusters[ColSide]; ++c) {
            sum = AddExtended(sum, t.Error[r][c]);
            magnitude += std::fabs(static_cast<long double>(t.Error[r][c]));
            whole = whole && t.Error[r][c] == std::floor(t.Error[r][c]);
        }
    t.BlockSum = sum;
    t.ErrorMagnitude = magnitude;
    t.WholeErrors = whole;
}

// True when the trial's total is certainly not below the kept one, as the
// binary criterion's evaluator bounds it: each rounded addition of a total
// of n blocks is off by at most 2^-52 of a partial sum, no partial sum
// exceeds the sum of the magnitudes A, so totals whose exact block sums
// differ by more than (n + 1) x 2^-51 x (A_kept + A_trial) are in that order
// once rounded. Without constraints a total is its rounded block sum.
// A trial that leaves every block error as it was has the kept total, bit
// for bit (two units alike in every cluster, say); and when every error,
// kept and trial, is a whole number and their magnitudes add up to less
// than 2^53, every partial sum is exact, so the totals differ by the change.
static bool TrialNotBelow() {
    const ValuedTablesRecord& t = ValuedTables;
    if (NumConstraints > 0) return false;
    long double change = 0.0L, trialMagnitude = t.ErrorMagnitude;
    bool same = true, whole = t.WholeErrors;
    for (int32_t b = 0; b < t.TrialBlocks; ++b) {
        const double trial = t.TrialError[b], kept = t.Error[t.TrialRow[b]][t.TrialCol[b]];
        change += static_cast<long double>(trial) - kept;
        trialMagnitude += std::fabs(static_cast<long double>(trial));
        same = same && trial == kept;
        whole = whole && trial == std::floor(trial);
    }
    if (same) return true;
    if (whole && t.ErrorMagnitude + trialMagnitude < 0x1p53L) return change >= 0.0L;
    const long double blocks = static_cast<long double>(SideClusters[RowSide] * SideClusters[ColSide]);
    return change > (blocks + 1.0L) * 0x1p-51L * (t.ErrorMagnitude + trialMagnitude);
}

// The total with the trial's blocks in place of the kept ones, summed in the
// full scan's order, and the constraints' penalties of the working partitions.
// Infinity instead when limit is at most the kept total and the trial's
// total certainly not below it: the search, which takes only totals below
// limit, takes the same trials.
static double TrialTotal(double limit = NoLimit) {
    ValuedTablesRecord& t = ValuedTables;
    if (limit <= t.BlockSum && TrialNotBelow()) return NoLimit;
    double kept[MaxTrialBlocks];
    for (int32_t b = 0; b < t.TrialBlocks; ++b) {
        kept[b] = t.Error[t.TrialRow[b]][t.TrialCol[b]];
        t.Error[t.TrialRow[b]][t.TrialCol[b]] = t.TrialError[b];
    }
    double sum = 0.0;
    for (int r = 1; r <= SideClusters[RowSide]; ++r)
        for (int c = 1; c <= SideClusters[ColSide]; ++c) sum = AddExtended(sum, t.Error[r][c]);
    for (int32_t b = 0; b < t.TrialBlocks; ++b) t.Error[t.TrialRow[b]][t.TrialCol[b]] = kept[b];
    return AddExtended(sum, ConstraintPenalty());
}

static void NoteTrial(int s, int p, int q, int x, int y, bool bothSides) {
    ValuedTablesRecord& t = ValuedTables;
    t.TrialReady = true;
    t.TrialBothSides = bothSides;
    t.TrialSide = s;
    t.TrialFrom = p;
    t.TrialTo = q;
    t.TrialUnit = x;
    t.TrialPartner = y;
}

// The trial blocks of unit x of side s from p to q and y (0: none) from q to
// p, from the kept sums (ss, val).
static void SumStep(int s, int p, int q, int x, int y) {
    ValuedTablesRecord& t = ValuedTables;
    const int o = 1 - s;
    const int32_t moved = y > 0 ? 0 : 1;
    const int64_t sizeP = t.KeptClusterSize[s][p] - moved, sizeQ = t.KeptClusterSize[s][q] + moved;
    const CellTerms* ofX = LineSumsOf(s, x);
    const CellTerms* ofY = y > 0 ? LineSumsOf(s, y) : nullptr;
    int32_t blocks = 0;
    for (int k = 1; k <= SideClusters[o]; ++k) {
        const int rp = BlockRow(s, p, k), cp = BlockCol(s, p, k);
        const int rq = BlockRow(s, q, k), cq = BlockCol(s, q, k);
        CellTerms from = t.Sums[rp][cp], to = t.Sums[rq][cq];
        SubtractTerms(from, ofX[k]);
        AddTerms(to, ofX[k]);
        if (y > 0) {
            AddTerms(from, ofY[k]);
            SubtractTerms(to, ofY[k]);
        }
        const int64_t otherSize = t.KeptClusterSize[o][k];
        t.TrialRow[blocks] = static_cast<uint8_t>(rp);
        t.TrialCol[blocks] = static_cast<uint8_t>(cp);
        t.TrialError[blocks++] = SumsError(rp, cp, from, sizeP * otherSize);
        t.TrialRow[blocks] = static_cast<uint8_t>(rq);
        t.TrialCol[blocks] = static_cast<uint8_t>(cq);
        t.TrialError[blocks++] = SumsError(rq, cq, to, sizeQ * otherSize);
    }
    t.TrialBlocks = blocks;
}

static double StepError(int s, int p, int q, int x, int y, double limit) {
    NoteTrial(s, p, q, x, y, false);
    if (Criterion == AbsoluteCriterion) {
        MedianStep(s, p, q, x, y);
    } else {
        SumStep(s, p, q, x, y);
    }
    return TrialTotal(limit);
}

double ValuedMoveError(int s, int u, int c, double limit) {
    return StepError(s, ValuedTables.KeptCluster[s][u], c, u, 0, limit);
}

double ValuedExchangeError(int s, int a, int b, double limit) {
    return StepError(s, ValuedTables.KeptCluster[s][a], ValuedTables.KeptCluster[s][b], a, b, limit);
}

// The kept partition of side s after the step.
static void KeepPartition(int s, int p, int q, int x, int y) {
    ValuedTablesRecord& t = ValuedTables;
    t.KeptCluster[s][x] = static_cast<uint8_t>(q);
    if (y > 0) {
        t.KeptCluster[s][y] = static_cast<uint8_t>(p);
    } else {
        --t.KeptClusterSize[s][p];
        ++t.KeptClusterSize[s][q];
    }
}

// Makes the step the kept state (ss, val): the sums of the blocks and of the
// other side's lines, the partition and the errors of the changed blocks.
static void KeepSumStep(int s, int p, int q, int x, int y) {
    ValuedTablesRecord& t = ValuedTables;
    const int o = 1 - s;
    const CellTerms* ofX = LineSumsOf(s, x);
    const CellTerms* ofY = y > 0 ? LineSumsOf(s, y) : nullptr;
    for (int k = 1; k <= SideClusters[o]; ++k) {
        CellTerms& from = t.Sums[BlockRow(s, p, k)][BlockCol(s, p, k)];
        CellTerms& to = t.Sums[BlockRow(s, q, k)][BlockCol(s, q, k)];
        SubtractTerms(from, ofX[k]);
        AddTerms(to, ofX[k]);
        if (y > 0) {
            AddTerms(from, ofY[k]);
            SubtractTerms(to, ofY[k]);
        }
    }
    ForCells(s, x, [&](int j, const CellTerms& terms) {
        CellTerms* line = LineSumsOf(o, j);
        SubtractTerms(line[p], terms);
        AddTerms(line[q], terms);
    });
    if (y > 0)
        ForCells(s, y, [&](int j, const CellTerms& terms) {
            CellTerms* line = LineSumsOf(o, j);
            SubtractTerms(line[q], terms);
            AddTerms(line[p], terms);
        });
    KeepPartition(s, p, q, x, y);
    for (int k = 1; k <= SideClusters[o]; ++k) {
        for (int own : {p, q}) {
            const int r = BlockRow(s, own, k), c = BlockCol(s, own, k);
            t.Error[r][c] = SumsError(r, c, t.Sums[r][c], KeptCells(r, c));
        }
    }
}

double ValuedBothSidesError(int x, int y, int q) {
    const int p = ValuedTables.KeptCluster[RowSide][x];
    double total;
    if (Criterion == AbsoluteCriterion) {
        bool changed[MaxModelSize + 1] = {};
        changed[p] = changed[q] = true;
        GatherChangedBlocks(changed, changed);
        total = TrialTotal();
    } else {
        // The row step kept, the column step tried from it, and the row step
        // taken back: the sums are whole numbers, so the way back is exact.
        KeepSumStep(RowSide, p, q, x, y);
        SumStep(ColSide, p, q, x, y);
        total = TrialTotal();
        KeepSumStep(RowSide, q, p, x, y);
    }
    NoteTrial(RowSide, p, q, x, y, true);
    return total;
}

void AcceptValuedTrial() {
    ValuedTablesRecord& t = ValuedTables;
    t.TrialReady = false;
    const int s = t.TrialSide, p = t.TrialFrom, q = t.TrialTo, x = t.TrialUnit, y = t.TrialPartner;
    if (Criterion == AbsoluteCriterion && t.TrialBothSides) {
        // Rare enough (one partition, accepted trials) to sort every block again.
        KeepPartition(RowSide, p, q, x, y);
        KeepPartition(ColSide, p, q, x, y);
        BuildMedianBlocks();
    } else if (Criterion == AbsoluteCriterion) {
        KeepMedianStep(s, p, q, x, y);
        for (int32_t b = 0; b < t.TrialBlocks; ++b) t.Error[t.TrialRow[b]][t.TrialCol[b]] = t.TrialError[b];
        KeepPartition(s, p, q, x, y);
    } else {
        KeepSumStep(s, p, q, x, y);
        if (t.TrialBothSides) KeepSumStep(ColSide, p, q, x, y);
    }
    SumKeptErrors();
}

// Sizes this thread's tables for the network and the clusters of the search.
static void SizeTables() {
    if (Store == nullptr) Store = new ValuedStore;
    for (int s = RowSide; s <= ColSide; ++s) {
        const size_t units = static_cast<size_t>(SideUnits[s]) + 1;
        ValuedTables.KeptCluster[s] = Grown(Store->KeptCluster[s], units);
        ValuedTables.LineStride[s] = SideClusters[1 - s] + 1;
        const bool sums = Criterion != AbsoluteCriterion;
        ValuedTables.LineSums[s] =
            sums ? Grown(Store->LineSums[s], units * static_cast<size_t>(ValuedTables.LineStride[s])) : nullptr;
    }
    ValuedTables.Gathered = Criterion == AbsoluteCriterion ? Grown(Store->Gathered, CellTerm.size() + 1) : nullptr;
}

void StartValuedIncremental() {
    ValuedTablesRecord& t = ValuedTables;
    SizeTables();
    std::memset(t.KeptClusterSize, 0, sizeof t.KeptClusterSize);
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(t.KeptCluster[s], Partition[s], static_cast<size_t>(SideUnits[s]) + 1);
        for (int u = 1; u <= SideUnits[s]; ++u) ++t.KeptClusterSize[s][t.KeptCluster[s][u]];
    }
    t.TrialReady = false;
    const int rowClusters = SideClusters[RowSide], colClusters = SideClusters[ColSide];
    // The model and the weights may have changed since the last search.
    if (++t.MemoSearch == 0) {  // after 2^32 searches the marks start again
        for (ValuedMemo& memo : t.Memo) memo.Search = 0;
        t.MemoSearch = 1;
    }
    if (Criterion == AbsoluteCriterion) {
        BuildMedianBlocks();
        SumKeptErrors();
        return;
    }
    for (int s = RowSide; s <= ColSide; ++s)
        std::memset(static_cast<void*>(t.LineSums[s]), 0,
                    sizeof(CellTerms) * (static_cast<size_t>(SideUnits[s]) + 1) * static_cast<size_t>(t.LineStride[s]));
    for (int i = 1; i <= SideUnits[RowSide]; ++i) {
        CellTerms* rowSums = LineSumsOf(RowSide, i);
        const int r = t.KeptCluster[RowSide][i];
        ForCells(RowSide, i, [&](int j, const CellTerms& terms) {
            AddTerms(rowSums[t.KeptCluster[ColSide][j]], terms);
            AddTerms(LineSumsOf(ColSide, j)[r], terms);
        });
    }
    std::memset(static_cast<void*>(t.Sums), 0, sizeof t.Sums);
    for (int i = 1; i <= SideUnits[RowSide]; ++i) {
        const CellTerms* rowSums = LineSumsOf(RowSide, i);
        for (int c = 1; c <= colClusters; ++c) AddTerms(t.Sums[t.KeptCluster[RowSide][i]][c], rowSums[c]);
    }
    for (int r = 1; r <= rowClusters; ++r)
        for (int c = 1; c <= colClusters; ++c) t.Error[r][c] = SumsError(r, c, t.Sums[r][c], KeptCells(r, c));
    SumKeptErrors();
}
