// The incremental criterion. For the accepted pair it keeps, per unit, its
// ties counted by cluster of the other side, per block the statistics every
// type's error is made of (with histograms of the line sums, so that the
// largest line sum stays exact when a line leaves), and the weighted error of
// every block. A trial of one side changes only the blocks of the two
// clusters it touches: their statistics come from the kept counts, and only
// the lines of the other side in which the two units differ change a sum.
// An exchange phase tries every pair against one accepted pair, so there
// each unit's lines are summed by cluster once, and a trial walks only the
// ties its two units share. The sets of ties and asymmetric cells of the
// network are compared as bit rows where those are short, else as sorted
// lists, so a trial costs what the degrees of its units and the clusters
// make it, not the number of units.
//
// Exactness: the block errors come from the same procedures as in the full
// scan, and the total adds them in its order (row cluster by row cluster,
// then column cluster) with every sum rounded to double, so a total here
// equals TotalError's bit for bit. A sum of unchanged leading block rows is
// kept, since each rounding depends only on what was added before. A trial
// the search is bound to reject, its total certainly not below the
// accepted one, may skip the sum (TrialNotBelow).
//
// The code is written once for both sides: side s is the side whose units
// move, o = 1 - s the other one; "own lines" of a block are its lines of
// side s (rows for a row trial), "other lines" those of side o.
#include "criterion/incremental_error.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <vector>

#include "criterion/grown_tables.h"
#include "criterion/total_error.h"
#include "criterion/type_errors.h"
#include "criterion/valued_incremental.h"
#include "state.h"

// The fields of the packed counts of Fall and Rise.
constexpr int SumZeroField = 0;     // the line's sum is 0
constexpr int SumOneField = 16;     // the line's sum is 1
constexpr int SumTopField = 32;     // the line's sum is the block's largest
constexpr int BelowTopField = 48;   // the line's sum is one below the block's largest

// The tables that grow with the network, this thread's, and the units they
// were sized for.
namespace {
struct TableStore {
    std::vector<uint8_t> KeptCluster[2];
    std::vector<uint16_t> TieCount[2], AsymmetryCount[2], LineSums[2];
    std::vector<uint64_t> LineFlags, UnitFlags;
    std::vector<uint32_t> UnitFlagsState;
};
}  // namespace
static thread_local TableStore* Store;

void ReleaseIncrementalTables() {
    ReleaseValuedTables();
    delete Store;
    Store = nullptr;
}

// Sizes the tables for the network and the cluster counts of this search.
static void SizeTables() {
    if (Store == nullptr) Store = new TableStore;
    const size_t larger = static_cast<size_t>(Max(SideUnits[RowSide], SideUnits[ColSide])) + 1;
    for (int s = RowSide; s <= ColSide; ++s) {
        const size_t units = static_cast<size_t>(SideUnits[s]) + 1;
        Tables.KeptCluster[s] = Grown(Store->KeptCluster[s], units);
        Tables.TieCount[s] = Grown(Store->TieCount[s], units * ClusterStride);
        Tables.AsymmetryCount[s] = Grown(Store->AsymmetryCount[s], units * ClusterStride);
    }
    Tables.LineFlags = Grown(Store->LineFlags, larger * ClusterStride);
    Tables.UnitFlags = Grown(Store->UnitFlags, larger * MaxUnitFlags);
    Tables.UnitFlagsState = Grown(Store->UnitFlagsState, larger);

    // Where every allowed type is judged by the ties and cells of the block
    // alone (null, complete, density, non-null, do not care), the other
    // lines of a trial change nothing that counts, and are not followed.
    constexpr uint16_t OnesTypes = 1 << NullType | 1 << CompleteType | 1 << DensityType | 1 << DoNotCareType |
                                   1 << NonNullType;
    Tables.OnesOnly = true;
    for (int r = 1; r <= SideClusters[RowSide]; ++r)
        for (int c = 1; c <= SideClusters[ColSide]; ++c)
            if ((ModelMatrix[r][c] & ~OnesTypes) != 0) Tables.OnesOnly = false;

    // The largest line sums count only for the dominant types; their
    // histograms grow with the blocks times the units, so they are kept only
    // where the model asks for them.
    Tables.KeepsLargestSums = false;
    for (int r = 1; r <= SideClusters[RowSide]; ++r)
        for (int c = 1; c <= SideClusters[ColSide]; ++c)
            if ((ModelMatrix[r][c] >> RowDominantType & 1) || (ModelMatrix[r][c] >> ColDominantType & 1))
                Tables.KeepsLargestSums = true;
    const size_t blocks = static_cast<size_t>(SideClusters[RowSide]) * SideClusters[ColSide];
    for (int s = RowSide; s <= ColSide; ++s) {
        Tables.LargestSumCells[s] = Tables.KeepsLargestSums ? SideUnits[1 - s] + 1 : 1;
        Tables.LineSums[s] = Grown(Store->LineSums[s], blocks * static_cast<size_t>(Tables.LargestSumCells[s]));
    }
}

// The counts by cluster of the other side of unit u of side s.
static uint16_t* TieCountsOf(int s, int u) { return Tables.TieCount[s] + static_cast<size_t>(u) * ClusterStride; }
static uint16_t* AsymmetryCountsOf(int s, int u) {
    return Tables.AsymmetryCount[s] + static_cast<size_t>(u) * ClusterStride;
}
// The histogram of the line sums of side s in block (r, c).
static uint16_t* SumsOf(int s, int r, int c) {
    size_t block = static_cast<size_t>(r - 1) * SideClusters[ColSide] + static_cast<size_t>(c - 1);
    return Tables.LineSums[s] + block * static_cast<size_t>(Tables.LargestSumCells[s]);
}
static uint64_t* LineFlagsOf(int j) { return Tables.LineFlags + static_cast<size_t>(j) * ClusterStride; }

// Marks every table stale. After 2^32 states the marks start again.
static void DropTables() {
    if (++Tables.TableState != 0) return;
    const size_t units = static_cast<size_t>(Max(SideUnits[RowSide], SideUnits[ColSide])) + 1;
    std::memset(Tables.UnitFlagsState, 0, sizeof(uint32_t) * units);
    Tables.LineFlagsState = 0;
    Tables.TableState = 1;
}

// The units of lists, for unit u.
static const int32_t* ListBegin(const UnitLists& lists, int u) { return lists.Units.data() + lists.Start[u]; }
static const int32_t* ListEnd(const UnitLists& lists, int u) { return lists.Units.data() + lists.Start[u + 1]; }
// Whether the sets of a and b are compared as bit rows: where the rows are
// no longer than the lists.
static bool ByBits(const UnitLists& lists, int a, int b) {
    if (lists.Bits.empty()) return false;
    return lists.Words <= lists.Start[a + 1] - lists.Start[a] + lists.Start[b + 1] - lists.Start[b];
}
static const uint64_t* BitRow(const UnitLists& lists, int u) {
    return lists.Bits.data() + static_cast<size_t>(u) * static_cast<size_t>(lists.Words);
}

// visit(j, inA) for every unit j in the set of a or of b but not both.
template <typename Visit>
static void ForDiffering(const UnitLists& lists, int a, int b, Visit visit) {
    if (ByBits(lists, a, b)) {
        const uint64_t* rowA = BitRow(lists, a);
        const uint64_t* rowB = BitRow(lists, b);
        for (int w = 0; w < lists.Words; ++w) {
            for (uint64_t only = rowA[w] & ~rowB[w]; only != 0; only &= only - 1)
                visit(w * 64 + __builtin_ctzll(only), true);
            for (uint64_t only = rowB[w] & ~rowA[w]; only != 0; only &= only - 1)
                visit(w * 64 + __builtin_ctzll(only), false);
        }
        return;
    }
    const int32_t *x = ListBegin(lists, a), *xEnd = ListEnd(lists, a);
    const int32_t *y = ListBegin(lists, b), *yEnd = ListEnd(lists, b);
    while (x != xEnd && y != yEnd) {
        if (*x < *y) {
            visit(*x++, true);
        } else if (*y < *x) {
            visit(*y++, false);
        } else {
            ++x;
            ++y;
        }
    }
    while (x != xEnd) visit(*x++, true);
    while (y != yEnd) visit(*y++, false);
}

// visit(j) for every unit j in the sets of both a and b.
template <typename Visit>
static void ForShared(const UnitLists& lists, int a, int b, Visit visit) {
    if (ByBits(lists, a, b)) {
        const uint64_t* rowA = BitRow(lists, a);
        const uint64_t* rowB = BitRow(lists, b);
        for (int w = 0; w < lists.Words; ++w)
            for (uint64_t shared = rowA[w] & rowB[w]; shared != 0; shared &= shared - 1)
                visit(w * 64 + __builtin_ctzll(shared));
        return;
    }
    const int32_t *x = ListBegin(lists, a), *xEnd = ListEnd(lists, a);
    const int32_t *y = ListBegin(lists, b), *yEnd = ListEnd(lists, b);
    while (x != xEnd && y != yEnd) {
        if (*x < *y) {
            ++x;
        } else if (*y < *x) {
            ++y;
        } else {
            visit(*x);
            ++x;
            ++y;
        }
    }
}

// Block (r, c) of the cluster own of side s and the cluster other of side o.
static int BlockRow(int s, int own, int other) { return s == RowSide ? own : other; }
static int BlockCol(int s, int own, int other) { return s == RowSide ? other : own; }

// The weighted error of the chosen type of block (r, c) with these statistics.
static double ChosenError(int r, int c, const BlockStatistics& stats) {
    // Line counts and sums fit 16 bits (65,535 lines a side), ties and
    // asymmetric cells 32; the cells follow from the units.
    uint64_t lines = static_cast<uint64_t>(stats.Units[RowSide]) |
                     static_cast<uint64_t>(stats.Units[ColSide]) << 16 |
                     static_cast<uint64_t>(stats.NonNull[RowSide]) << 32 |
                     static_cast<uint64_t>(stats.NonNull[ColSide]) << 48;
    uint64_t sums = static_cast<uint64_t>(stats.MaxSum[RowSide]) |
                    static_cast<uint64_t>(stats.MaxSum[ColSide]) << 16 |
                    static_cast<uint64_t>(static_cast<uint32_t>(stats.Ones)) << 32;
    uint64_t block = static_cast<uint64_t>(static_cast<uint32_t>(stats.Asymmetry)) |
                     static_cast<uint64_t>(r) << 32 | static_cast<uint64_t>(c) << 40;
    if (Tables.OnesOnly) {
        // Only the ties and the cells count: the other counts, which such a
        // search does not keep, must not split one error over many entries.
        lines &= 0xFFFFFFFFull;
        sums &= 0xFFFFFFFF00000000ull;
        block &= ~0xFFFFFFFFull;
    }
    uint64_t hash = (lines ^ sums * 0x9E3779B97F4A7C15ull ^ block * 0xD6E8FEB86659FD93ull) * 0xC2B2AE3D27D4EB4Full;
    ChosenErrorMemo& memo = Tables.Memo[hash >> (64 - MemoBits)];
    if (memo.Search == Tables.MemoSearch && memo.Lines == lines && memo.Sums == sums && memo.Block == block)
        return memo.Error;

    int32_t rawErrors[NumTypeCodes];
    double typeErrors[NumTypeCodes];
    TypeErrorsFromStatistics(r, c, stats, rawErrors, typeErrors);
    double best;
    ChosenType(typeErrors, best);
    memo.Lines = lines;
    memo.Sums = sums;
    memo.Block = block;
    memo.Search = Tables.MemoSearch;
    memo.Error = best;
    return best;
}

// The largest line sum present in a histogram at or below top; 0 for none.
static int32_t LargestSum(const uint16_t histogram[], int32_t top) {
    while (top > 0 && histogram[top] == 0) --top;
    return top;
}

// The own lines of a trial block: the line with sum out leaves (out < 0:
// none) and the line with sum in arrives (in < 0: none).
static void ChangeOwnLines(int s, const uint16_t histogram[], int32_t out, int32_t in,
                           BlockStatistics& stats) {
    if (out >= 0) {
        --stats.Units[s];
        if (out > 0) --stats.NonNull[s];
    }
    if (in >= 0) {
        ++stats.Units[s];
        if (in > 0) ++stats.NonNull[s];
    }
    if (!Tables.KeepsLargestSums) return;
    int32_t top = stats.MaxSum[s];
    if (in >= top) {
        stats.MaxSum[s] = in;
        return;
    }
    // The leaving line was the only one at the top: the next sum present.
    if (out == top && top > 0 && histogram[top] == 1) top = LargestSum(histogram, top - 1);
    stats.MaxSum[s] = in > top ? in : top;
}

static int32_t FlagCount(uint64_t flags, int field) { return static_cast<int32_t>(flags >> field & 0xFFFF); }

// The flags of a line whose sum is sum in a block whose largest is top
// (sum <= top): by the sum from 0 up, and by its distance to the top.
static uint64_t SumFlags(int32_t sum, int32_t top) {
    static const uint64_t LowSum[3] = {uint64_t{1} << SumZeroField, uint64_t{1} << SumOneField, 0};
    static const uint64_t NearTop[3] = {uint64_t{1} << SumTopField, uint64_t{1} << BelowTopField, 0};
    int32_t below = top - sum;
    assert(below >= 0);
    return LowSum[sum < 2 ? sum : 2] | NearTop[below < 2 ? below : 2];
}

// The other lines of a trial block: the lines of fall lost a tie, those of
// rise gained one. No line's sum exceeds the block's largest, so a rise
// passes it only from the top, and when every line at the top fell, the
// largest is one lower unless a line rose from just below the top.
static void ChangeOtherLines(int o, const uint16_t histogram[], uint64_t fall, uint64_t rise,
                             BlockStatistics& stats) {
    stats.NonNull[o] += FlagCount(rise, SumZeroField) - FlagCount(fall, SumOneField);
    if (!Tables.KeepsLargestSums) return;
    int32_t top = stats.MaxSum[o];
    int32_t fallen = FlagCount(fall, SumTopField);
    if (FlagCount(rise, SumTopField) > 0)
        stats.MaxSum[o] = top + 1;
    else if (fallen > 0 && histogram[top] == fallen)
        stats.MaxSum[o] = FlagCount(rise, BelowTopField) > 0 ? top : top - 1;
}

// The rounded total over all blocks, the trial blocks in place of the kept ones.
static double TrialBlockSum() {
    const int p = Tables.TrialFrom, q = Tables.TrialTo;
    if (Tables.TrialSide == RowSide) {
        int first = p < q ? p : q;
        double sum = Tables.RowPrefix[first];
        for (int r = first; r <= SideClusters[RowSide]; ++r) {
            const double* errors = r == p   ? Tables.TrialBlockError[0]
                                   : r == q ? Tables.TrialBlockError[1]
                                            : Tables.Error[r];
            for (int c = 1; c <= SideClusters[ColSide]; ++c) sum = AddExtended(sum, errors[c]);
        }
        return sum;
    }
    double sum = 0.0;
    for (int r = 1; r <= SideClusters[RowSide]; ++r) {
        for (int c = 1; c <= SideClusters[ColSide]; ++c) {
            double e = c == p   ? Tables.TrialBlockError[0][r]
                       : c == q ? Tables.TrialBlockError[1][r]
                                : Tables.Error[r][c];
            sum = AddExtended(sum, e);
        }
    }
    return sum;
}

// The largest line sum of side o in the block of cluster own of side s and
// cluster k of side o. Where no largest sum is kept, one above every sum, so
// that no line's flags say it is at the top.
static int32_t OtherTop(int s, int own, int k) {
    if (!Tables.KeepsLargestSums) return MaxSideUnits;
    return Tables.Stats[BlockRow(s, own, k)][BlockCol(s, own, k)].MaxSum[1 - s];
}

// Fall and Rise of a trial of side s from the lines where x and y differ.
static void WalkDifferingTies(int s, int p, int q, int x, int y) {
    const int o = 1 - s;
    int32_t topInP[MaxModelSize + 1], topInQ[MaxModelSize + 1];
    for (int k = 1; k <= SideClusters[o]; ++k) {
        Tables.Fall[0][k] = Tables.Fall[1][k] = Tables.Rise[0][k] = Tables.Rise[1][k] = 0;
        topInP[k] = OtherTop(s, p, k);
        topInQ[k] = OtherTop(s, q, k);
    }
    ForDiffering(Ties[s], x, y, [&](int j, bool ofX) {
        int k = Tables.KeptCluster[o][j];
        const uint16_t* counts = TieCountsOf(o, j);
        if (ofX) {  // x takes the tie from p to q
            Tables.Fall[0][k] += SumFlags(counts[p], topInP[k]);
            Tables.Rise[1][k] += SumFlags(counts[q], topInQ[k]);
        } else {  // y brings it from q to p
            Tables.Fall[1][k] += SumFlags(counts[q], topInQ[k]);
            Tables.Rise[0][k] += SumFlags(counts[p], topInP[k]);
        }
    });
}

// The exchange tables of side s for the kept state, built when first needed.
static void BuildLineFlags(int s) {
    const int o = 1 - s;
    if (Tables.LineFlagsState == Tables.TableState && Tables.LineFlagsSide == s) return;
    if (Tables.LineFlagsState == Tables.TableState) DropTables();  // the unit sums are the other side's
    Tables.LineFlagsState = Tables.TableState;
    Tables.LineFlagsSide = s;
    for (int j = 1; j <= SideUnits[o]; ++j) {
        int k = Tables.KeptCluster[o][j];
        const uint16_t* counts = TieCountsOf(o, j);
        uint64_t* flags = LineFlagsOf(j);
        for (int c = 1; c <= SideClusters[s]; ++c) flags[c] = SumFlags(counts[c], OtherTop(s, c, k));
    }
}

// The unit sums of unit u of side s, at (k - 1) x clusters of s + c - 1.
static const uint64_t* UnitFlagsOf(int s, int u) {
    uint64_t* flags = Tables.UnitFlags + static_cast<size_t>(u) * MaxUnitFlags;
    if (Tables.UnitFlagsState[u] == Tables.TableState) return flags;
    Tables.UnitFlagsState[u] = Tables.TableState;
    const int o = 1 - s, clusters = SideClusters[s];
    std::memset(flags, 0, sizeof(uint64_t) * static_cast<size_t>(SideClusters[o] * clusters));
    for (const int32_t *j = ListBegin(Ties[s], u), *end = ListEnd(Ties[s], u); j != end; ++j) {
        uint64_t* sums = flags + (Tables.KeptCluster[o][*j] - 1) * clusters - 1;
        const uint64_t* lineFlags = LineFlagsOf(*j);
        for (int c = 1; c <= clusters; ++c) sums[c] += lineFlags[c];
    }
    return flags;
}

// Fall and Rise of an exchange of x in p and y in q from the unit sums: what
// x's ties do is the same for every partner, so only the ties x and y share,
// which change no sum, are walked to take them out again.
static void SumExchangeFlags(int s, int p, int q, int x, int y) {
    const int o = 1 - s, clusters = SideClusters[s];
    BuildLineFlags(s);
    const uint64_t* flagsX = UnitFlagsOf(s, x);
    const uint64_t* flagsY = UnitFlagsOf(s, y);
    uint64_t sharedInP[MaxModelSize + 1], sharedInQ[MaxModelSize + 1];
    for (int k = 1; k <= SideClusters[o]; ++k) sharedInP[k] = sharedInQ[k] = 0;
    ForShared(Ties[s], x, y, [&](int j) {
        int k = Tables.KeptCluster[o][j];
        const uint64_t* lineFlags = LineFlagsOf(j);
        sharedInP[k] += lineFlags[p];
        sharedInQ[k] += lineFlags[q];
    });
    for (int k = 1; k <= SideClusters[o]; ++k) {
        int at = (k - 1) * clusters - 1;
        Tables.Fall[0][k] = flagsX[at + p] - sharedInP[k];
        Tables.Rise[1][k] = flagsX[at + q] - sharedInQ[k];
        Tables.Fall[1][k] = flagsY[at + q] - sharedInQ[k];
        Tables.Rise[0][k] = flagsY[at + p] - sharedInP[k];
    }
}

// A whole number below 2^53 in magnitude, which a double holds exactly.
// Above 2^52 every double is whole; below it, adding 2^52 rounds the
// magnitude to a whole number, which is cheaper than a conversion.
static bool ExactWhole(double e) {
    const double magnitude = std::fabs(e);
    if (magnitude >= 0x1p53) return false;
    return magnitude >= 0x1p52 || (magnitude + 0x1p52) - 0x1p52 == magnitude;
}

// True when the trial's total is certainly not below the kept total, so the
// search rejects it. Without constraints a total is its rounded block sum.
// When every block error, kept and trial, is a whole number and their
// magnitudes add up to less than 2^53, every partial sum is a whole number a
// double holds, so both totals are exact and their difference is that of the
// changed blocks. Otherwise: each rounded addition of a total of n blocks is
// off by at most 2^-52 of a partial sum, and no partial sum exceeds the sum A
// of the magnitudes, so a total is within n x 2^-52 x A of the exact sum of
// its blocks (to a factor 1 + 10^-11 for n up to 75 x 75). Two totals whose
// exact sums differ by more than (n + 1) x 2^-51 x (A_kept + A_trial) are
// thus in that order once rounded; the difference of the changed blocks,
// formed in extended precision, is off by far less than the slack.
static bool TrialNotBelow() {
    if (NumConstraints > 0) return false;
    const int s = Tables.TrialSide, o = 1 - s, p = Tables.TrialFrom, q = Tables.TrialTo;
    long double change = 0.0L, trialMagnitude = Tables.ErrorMagnitude;
    bool whole = Tables.WholeErrors;
    for (int k = 1; k <= SideClusters[o]; ++k) {
        const double fromError = Tables.TrialBlockError[0][k], toError = Tables.TrialBlockError[1][k];
        const double keptFrom = Tables.Error[BlockRow(s, p, k)][BlockCol(s, p, k)];
        const double keptTo = Tables.Error[BlockRow(s, q, k)][BlockCol(s, q, k)];
        change += static_cast<long double>(fromError) - keptFrom;
        change += static_cast<long double>(toError) - keptTo;
        trialMagnitude += std::fabs(static_cast<long double>(fromError)) + std::fabs(static_cast<long double>(toError));
        // A block that kept its error is whole when every kept one is.
        if (whole)
            whole = (fromError == keptFrom || ExactWhole(fromError)) && (toError == keptTo || ExactWhole(toError));
    }
    if (whole && Tables.ErrorMagnitude + trialMagnitude < 0x1p53L) return change >= 0.0L;
    const long double blocks = static_cast<long double>(SideClusters[RowSide] * SideClusters[ColSide]);
    const long double slack = (blocks + 1.0L) * 0x1p-51L * (Tables.ErrorMagnitude + trialMagnitude);
    return change > slack;
}

// The latest trial, kept for AcceptIncrementalTrial.
static void NoteTrial(int s, int p, int q, int x, int y) {
    Tables.TrialReady = true;
    Tables.TrialSide = s;
    Tables.TrialFrom = p;
    Tables.TrialTo = q;
    Tables.TrialUnit = x;
    Tables.TrialPartner = y;
}

// The total error after unit x of side s goes from p to q and unit y (0:
// none) from q to p; keeps the trial for AcceptIncrementalTrial. Infinity
// when limit is at most the kept total and the total certainly not below it.
// The side is a constant of each copy: the compiler then folds the choices
// between the two sides out of the trial's inner loops.
template <int s>
static double StepError(int p, int q, int x, int y, double limit) {
    const int o = 1 - s;
    const int otherClusters = SideClusters[o];
    NoteTrial(s, p, q, x, y);

    // Other lines: only where x and y differ does a line's sum in p and in q
    // change, by one each way; where blocks are judged by their ties and
    // cells alone, nothing of them counts and they are not followed.
    const bool exchangeTables = y > 0 && !Tables.StepByStep && otherClusters * SideClusters[s] <= MaxUnitFlags;
    if (!Tables.OnesOnly && exchangeTables) SumExchangeFlags(s, p, q, x, y);
    if (!Tables.OnesOnly && !exchangeTables) WalkDifferingTies(s, p, q, x, y);

    // Own lines: the blocks of p lose x and gain y, those of q the reverse;
    // then the other lines and the trial blocks' errors.
    const int32_t none = -1;
    const uint16_t *tiesOfX = TieCountsOf(s, x), *tiesOfY = TieCountsOf(s, y);
    const uint16_t *asymmetryOfX = AsymmetryCountsOf(s, x), *asymmetryOfY = AsymmetryCountsOf(s, y);
    for (int k = 1; k <= otherClusters; ++k) {
        int32_t sumX = tiesOfX[k], sumY = y > 0 ? tiesOfY[k] : none;
        int32_t ones = (y > 0 ? sumY : 0) - sumX;  // ones the blocks of p gain
        int32_t asymmetry = asymmetryOfY[k] - asymmetryOfX[k];
        int rp = BlockRow(s, p, k), cp = BlockCol(s, p, k);
        int rq = BlockRow(s, q, k), cq = BlockCol(s, q, k);
        if (Tables.OnesOnly && ones == 0 && y > 0) {
            // Two units with as many ties into k leave both blocks as they are.
            Tables.TrialStats[0][k] = Tables.Stats[rp][cp];
            Tables.TrialStats[1][k] = Tables.Stats[rq][cq];
            Tables.TrialBlockError[0][k] = Tables.Error[rp][cp];
            Tables.TrialBlockError[1][k] = Tables.Error[rq][cq];
            continue;
        }

        BlockStatistics& fromStats = Tables.TrialStats[0][k];
        fromStats = Tables.Stats[rp][cp];
        fromStats.Ones += ones;
        fromStats.Asymmetry += asymmetry;
        ChangeOwnLines(s, SumsOf(s, rp, cp), sumX, sumY, fromStats);
        if (!Tables.OnesOnly)
            ChangeOtherLines(o, SumsOf(o, rp, cp), Tables.Fall[0][k], Tables.Rise[0][k], fromStats);
        fromStats.Cells = fromStats.Units[RowSide] * fromStats.Units[ColSide];
        Tables.TrialBlockError[0][k] = ChosenError(rp, cp, fromStats);

        BlockStatistics& toStats = Tables.TrialStats[1][k];
        toStats = Tables.Stats[rq][cq];
        toStats.Ones -= ones;
        toStats.Asymmetry -= asymmetry;
        ChangeOwnLines(s, SumsOf(s, rq, cq), sumY, sumX, toStats);
        if (!Tables.OnesOnly)
            ChangeOtherLines(o, SumsOf(o, rq, cq), Tables.Fall[1][k], Tables.Rise[1][k], toStats);
        toStats.Cells = toStats.Units[RowSide] * toStats.Units[ColSide];
        Tables.TrialBlockError[1][k] = ChosenError(rq, cq, toStats);
    }

    if (Tables.TotalUnwanted) return NoLimit;
    if (limit <= Tables.RowPrefix[SideClusters[RowSide] + 1] && TrialNotBelow()) return NoLimit;
    return AddExtended(TrialBlockSum(), ConstraintPenalty());
}

double MoveError(int s, int u, int c, double limit) {
    if (ValuedCriterion()) return ValuedMoveError(s, u, c, limit);
    int p = Tables.KeptCluster[s][u];
    return s == RowSide ? StepError<RowSide>(p, c, u, 0, limit) : StepError<ColSide>(p, c, u, 0, limit);
}

double ExchangeError(int s, int a, int b, double limit) {
    if (ValuedCriterion()) return ValuedExchangeError(s, a, b, limit);
    int p = Tables.KeptCluster[s][a], q = Tables.KeptCluster[s][b];
    return s == RowSide ? StepError<RowSide>(p, q, a, b, limit) : StepError<ColSide>(p, q, a, b, limit);
}

static void AcceptStep(bool sumRows = true);

// The total after the trial on both sides. The row step is kept for the
// column step to start from and then taken back by the reverse step; the
// kept counts are whole numbers and every kept error is the chosen error of
// its counts, so the reverse step restores the kept state bit for bit. The
// column step's total is the exact full total of the trial; no certain
// rejection applies, since the kept total is then the row step's. Neither
// the sums of block rows nor the reverse step's total are wanted on the
// way: the column step sums every block, and the sums of the kept state
// are what they were.
static double BothSidesError(int x, int y, int q) {
    const int p = Tables.KeptCluster[RowSide][x];
    double rowPrefix[MaxModelSize + 2];
    std::memcpy(rowPrefix, Tables.RowPrefix, sizeof rowPrefix);
    const long double errorMagnitude = Tables.ErrorMagnitude;
    const bool wholeErrors = Tables.WholeErrors;
    Tables.StepByStep = true;
    StepError<RowSide>(p, q, x, y, NoLimit);
    AcceptStep(false);
    assert(Tables.KeptCluster[ColSide][x] == p && (y == 0 || Tables.KeptCluster[ColSide][y] == q));  // one partition
    double total = StepError<ColSide>(p, q, x, y, NoLimit);
    Tables.TotalUnwanted = true;
    StepError<RowSide>(q, p, x, y, NoLimit);
    Tables.TotalUnwanted = false;
    AcceptStep(false);
    std::memcpy(Tables.RowPrefix, rowPrefix, sizeof rowPrefix);
    Tables.ErrorMagnitude = errorMagnitude;
    Tables.WholeErrors = wholeErrors;
    Tables.StepByStep = false;
    NoteTrial(RowSide, p, q, x, y);
    Tables.TrialBothSides = true;
    return total;
}

// Whether row unit i has a tie with column unit j.
static bool HasTie(int i, int j) {
    const UnitLists& ties = Ties[RowSide];
    if (!ties.Bits.empty()) return (BitRow(ties, i)[j >> 6] >> (j & 63) & 1) != 0;
    return std::binary_search(ListBegin(ties, i), ListEnd(ties, i), j);
}

// The column counts of unit u by row cluster once row x has gone from p to
// q and row y (0: none) from q to p.
static void MoveColumnCounts(int u, int x, int y, int p, int q) {
    uint16_t* counts = TieCountsOf(ColSide, u);
    if (HasTie(x, u)) --counts[p], ++counts[q];
    if (y > 0 && HasTie(y, u)) --counts[q], ++counts[p];
}

// The same total where blocks are judged by their ties and cells alone:
// the column step then reads, of all the row step changes, only the blocks
// of rows p and q, the rows' clusters and the counts of columns x and y,
// so only these are set for it and put back after it, whatever the degrees.
static double OnesOnlyBothSidesError(int x, int y, int q) {
    const int p = Tables.KeptCluster[RowSide][x];
    const int cols = SideClusters[ColSide];
    Tables.StepByStep = true;
    Tables.TotalUnwanted = true;
    StepError<RowSide>(p, q, x, y, NoLimit);
    Tables.TotalUnwanted = false;
    BlockStatistics keptStats[2][MaxModelSize + 1];
    double keptErrors[2][MaxModelSize + 1];
    for (int side = 0; side < 2; ++side) {
        const int r = side == 0 ? p : q;
        for (int c = 1; c <= cols; ++c) {
            keptStats[side][c] = Tables.Stats[r][c];
            keptErrors[side][c] = Tables.Error[r][c];
            Tables.Stats[r][c] = Tables.TrialStats[side][c];
            Tables.Error[r][c] = Tables.TrialBlockError[side][c];
        }
    }
    Tables.KeptCluster[RowSide][x] = static_cast<uint8_t>(q);
    if (y > 0) Tables.KeptCluster[RowSide][y] = static_cast<uint8_t>(p);
    MoveColumnCounts(x, x, y, p, q);
    if (y > 0) MoveColumnCounts(y, x, y, p, q);

    double total = StepError<ColSide>(p, q, x, y, NoLimit);

    MoveColumnCounts(x, x, y, q, p);
    if (y > 0) MoveColumnCounts(y, x, y, q, p);
    Tables.KeptCluster[RowSide][x] = static_cast<uint8_t>(p);
    if (y > 0) Tables.KeptCluster[RowSide][y] = static_cast<uint8_t>(q);
    for (int side = 0; side < 2; ++side) {
        const int r = side == 0 ? p : q;
        for (int c = 1; c <= cols; ++c) {
            Tables.Stats[r][c] = keptStats[side][c];
            Tables.Error[r][c] = keptErrors[side][c];
        }
    }
    Tables.StepByStep = false;
    NoteTrial(RowSide, p, q, x, y);
    Tables.TrialBothSides = true;
    return total;
}

double BothSidesMoveError(int u, int c) {
    if (ValuedCriterion()) return ValuedBothSidesError(u, 0, c);
    return Tables.OnesOnly ? OnesOnlyBothSidesError(u, 0, c) : BothSidesError(u, 0, c);
}

double BothSidesExchangeError(int a, int b) {
    if (ValuedCriterion()) return ValuedBothSidesError(a, b, ValuedTables.KeptCluster[RowSide][b]);
    const int q = Tables.KeptCluster[RowSide][b];
    return Tables.OnesOnly ? OnesOnlyBothSidesError(a, b, q) : BothSidesError(a, b, q);
}

// RowPrefix, ErrorMagnitude and WholeErrors from the kept block errors.
static void SumBlockRows() {
    double sum = 0.0;
    Tables.ErrorMagnitude = 0.0L;
    Tables.WholeErrors = true;
    for (int r = 1; r <= SideClusters[RowSide]; ++r) {
        Tables.RowPrefix[r] = sum;
        for (int c = 1; c <= SideClusters[ColSide]; ++c) {
            sum = AddExtended(sum, Tables.Error[r][c]);
            Tables.ErrorMagnitude += std::fabs(static_cast<long double>(Tables.Error[r][c]));
            Tables.WholeErrors = Tables.WholeErrors && ExactWhole(Tables.Error[r][c]);
        }
    }
    Tables.RowPrefix[SideClusters[RowSide] + 1] = sum;
}

// One tie count of unit j of side o into cluster from goes to cluster to,
// with the line-sum histograms of the two blocks.
static void MoveTieCount(int o, int j, int from, int to) {
    int k = Tables.KeptCluster[o][j];
    int s = 1 - o;
    uint16_t& fromSum = TieCountsOf(o, j)[from];
    uint16_t& toSum = TieCountsOf(o, j)[to];
    if (!Tables.KeepsLargestSums) {
        --fromSum;
        ++toSum;
        return;
    }
    uint16_t* fromHistogram = SumsOf(o, BlockRow(s, from, k), BlockCol(s, from, k));
    uint16_t* toHistogram = SumsOf(o, BlockRow(s, to, k), BlockCol(s, to, k));
    --fromHistogram[fromSum];
    --fromSum;
    ++fromHistogram[fromSum];
    --toHistogram[toSum];
    ++toSum;
    ++toHistogram[toSum];
}

// Makes the latest step the kept state.
static void AcceptStep(bool sumRows) {
    Tables.TrialReady = false;
    DropTables();
    const int s = Tables.TrialSide, o = 1 - s;
    const int p = Tables.TrialFrom, q = Tables.TrialTo, x = Tables.TrialUnit, y = Tables.TrialPartner;

    // The other side's counts and histograms, where x and y differ.
    ForDiffering(Ties[s], x, y, [&](int j, bool ofX) {
        if (ofX)
            MoveTieCount(o, j, p, q);
        else
            MoveTieCount(o, j, q, p);
    });
    ForDiffering(Asymmetric[s], x, y, [&](int j, bool ofX) {
        uint16_t* counts = AsymmetryCountsOf(o, j);
        --counts[ofX ? p : q];
        ++counts[ofX ? q : p];
    });

    // The own lines' histograms, and the trial blocks become the kept ones.
    const uint16_t *tiesOfX = TieCountsOf(s, x), *tiesOfY = TieCountsOf(s, y);
    for (int k = 1; k <= SideClusters[o]; ++k) {
        int rp = BlockRow(s, p, k), cp = BlockCol(s, p, k);
        int rq = BlockRow(s, q, k), cq = BlockCol(s, q, k);
        if (Tables.KeepsLargestSums) {
            --SumsOf(s, rp, cp)[tiesOfX[k]];
            ++SumsOf(s, rq, cq)[tiesOfX[k]];
            if (y > 0) {
                --SumsOf(s, rq, cq)[tiesOfY[k]];
                ++SumsOf(s, rp, cp)[tiesOfY[k]];
            }
        }
        Tables.Stats[rp][cp] = Tables.TrialStats[0][k];
        Tables.Stats[rq][cq] = Tables.TrialStats[1][k];
        Tables.Error[rp][cp] = Tables.TrialBlockError[0][k];
        Tables.Error[rq][cq] = Tables.TrialBlockError[1][k];
    }

    Tables.KeptCluster[s][x] = static_cast<uint8_t>(q);
    if (y > 0) {
        Tables.KeptCluster[s][y] = static_cast<uint8_t>(p);
    } else {
        --Tables.KeptClusterSize[s][p];
        ++Tables.KeptClusterSize[s][q];
    }
    if (sumRows) SumBlockRows();
}

void AcceptIncrementalTrial() {
    if (ValuedCriterion()) {
        AcceptValuedTrial();
        return;
    }
    assert(Tables.TrialReady);  // the search accepts only the trial it has just evaluated
    if (!Tables.TrialBothSides) {
        AcceptStep();
        return;
    }
    // Both steps again, this time kept.
    const int p = Tables.TrialFrom, q = Tables.TrialTo, x = Tables.TrialUnit, y = Tables.TrialPartner;
    Tables.TrialBothSides = false;
    Tables.StepByStep = true;
    StepError<RowSide>(p, q, x, y, NoLimit);
    AcceptStep();
    StepError<ColSide>(p, q, x, y, NoLimit);
    AcceptStep();
    Tables.StepByStep = false;
}

// Ties and asymmetric cells counted by cluster of the other side.
static void CountTies() {
    for (int s = RowSide; s <= ColSide; ++s) {
        const int o = 1 - s;
        const size_t entries = (static_cast<size_t>(SideUnits[s]) + 1) * ClusterStride;
        std::memset(Tables.TieCount[s], 0, entries * sizeof(uint16_t));
        std::memset(Tables.AsymmetryCount[s], 0, entries * sizeof(uint16_t));
        for (int u = 1; u <= SideUnits[s]; ++u) {
            uint16_t* ties = TieCountsOf(s, u);
            for (const int32_t *j = ListBegin(Ties[s], u), *end = ListEnd(Ties[s], u); j != end; ++j)
                ++ties[Tables.KeptCluster[o][*j]];
            uint16_t* asymmetry = AsymmetryCountsOf(s, u);
            for (const int32_t *j = ListBegin(Asymmetric[s], u), *end = ListEnd(Asymmetric[s], u); j != end; ++j)
                ++asymmetry[Tables.KeptCluster[o][*j]];
        }
    }
}

void StartIncrementalError() {
    if (ValuedCriterion()) {
        StartValuedIncremental();
        return;
    }
    SizeTables();
    if (++Tables.MemoSearch == 0) {  // after 2^32 searches the marks start again
        std::memset(Tables.Memo, 0, sizeof Tables.Memo);
        Tables.MemoSearch = 1;
    }
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(Tables.KeptCluster[s], Partition[s], static_cast<size_t>(SideUnits[s]) + 1);
        Tables.KeptCluster[s][0] = 0;
    }
    std::memset(Tables.KeptClusterSize, 0, sizeof Tables.KeptClusterSize);
    for (int s = 0; s < 2; ++s)
        for (int u = 1; u <= SideUnits[s]; ++u) ++Tables.KeptClusterSize[s][Tables.KeptCluster[s][u]];
    CountTies();

    // Block statistics from the counts: ones, asymmetric cells and non-null
    // lines from the lines of both sides, and their sums into the histograms.
    const int rowClusters = SideClusters[RowSide], colClusters = SideClusters[ColSide];
    for (int s = 0; s < 2; ++s)
        std::memset(Tables.LineSums[s], 0,
                    sizeof(uint16_t) * static_cast<size_t>(rowClusters * colClusters) *
                        static_cast<size_t>(Tables.LargestSumCells[s]));
    for (int r = 1; r <= rowClusters; ++r) {
        for (int c = 1; c <= colClusters; ++c) {
            BlockStatistics& stats = Tables.Stats[r][c];
            stats = BlockStatistics{};
            stats.Units[RowSide] = Tables.KeptClusterSize[RowSide][r];
            stats.Units[ColSide] = Tables.KeptClusterSize[ColSide][c];
            stats.Cells = stats.Units[RowSide] * stats.Units[ColSide];
        }
    }
    for (int s = 0; s < 2; ++s) {
        const int o = 1 - s;
        for (int u = 1; u <= SideUnits[s]; ++u) {
            const int own = Tables.KeptCluster[s][u];
            const uint16_t* ties = TieCountsOf(s, u);
            const uint16_t* asymmetry = AsymmetryCountsOf(s, u);
            for (int k = 1; k <= SideClusters[o]; ++k) {
                const int r = BlockRow(s, own, k), c = BlockCol(s, own, k);
                BlockStatistics& stats = Tables.Stats[r][c];
                if (s == RowSide) {
                    stats.Ones += ties[k];
                    stats.Asymmetry += asymmetry[k];
                }
                if (ties[k] > 0) ++stats.NonNull[s];
                if (Tables.KeepsLargestSums) {
                    ++SumsOf(s, r, c)[ties[k]];
                    if (ties[k] > stats.MaxSum[s]) stats.MaxSum[s] = ties[k];
                }
            }
        }
    }
    for (int r = 1; r <= rowClusters; ++r)
        for (int c = 1; c <= colClusters; ++c) Tables.Error[r][c] = ChosenError(r, c, Tables.Stats[r][c]);
    SumBlockRows();
    Tables.TrialReady = false;
    Tables.TrialBothSides = false;
    Tables.TotalUnwanted = false;
    Tables.StepByStep = false;
    DropTables();  // those of an earlier search or problem
}
