// The incremental criterion. For the accepted pair it keeps, per unit, its
// ties counted by cluster of the other side, per block the statistics every
// type's error is made of (with histograms of the line sums, so that the
// largest line sum stays exact when a line leaves), and the weighted error of
// every block. A trial of one side changes only the blocks of the two
// clusters it touches: their statistics come from the kept counts, and only
// the lines of the other side in which the two units differ change a sum.
// An exchange phase tries every pair against one accepted pair, so there
// each unit's lines are summed by cluster once, and a trial walks only the
// ties its two units share.
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

#include <cassert>
#include <cmath>
#include <cstring>

#include "criterion/total_error.h"
#include "criterion/type_errors.h"
#include "state.h"

constexpr int UnitWords = 4;  // 64-bit words of a set of units 0..255

// Every name below belongs to one search: each thread that searches keeps its own.
// The accepted pair: cluster of each unit, units of each cluster.
static thread_local uint8_t KeptCluster[2][MaxSideUnits + 1];
static thread_local int32_t KeptClusterSize[2][MaxModelSize + 1];

// Per unit of side s, the units of the other side it has a tie with, and
// those where the mirror cell differs. Unit 0 is "no unit": all empty.
static thread_local uint64_t Ties[2][MaxSideUnits + 1][UnitWords];
static thread_local uint64_t Asymmetric[2][MaxSideUnits + 1][UnitWords];
// Per unit of side s and cluster k of the other side: its ties into k, and
// its asymmetric cells there. Unit 0 keeps zeros.
static thread_local uint8_t TieCount[2][MaxSideUnits + 1][MaxModelSize + 1];
static thread_local uint8_t AsymmetryCount[2][MaxSideUnits + 1][MaxModelSize + 1];

// Per block (r, c) and side: how many lines of that side have each line sum.
static thread_local uint8_t LineSums[2][MaxModelSize + 1][MaxModelSize + 1][MaxSideUnits + 1];
static thread_local BlockStatistics Stats[MaxModelSize + 1][MaxModelSize + 1];
static thread_local double Error[MaxModelSize + 1][MaxModelSize + 1];  // weighted error of the chosen type
// RowPrefix[r]: the rounded sum of the blocks of row clusters 1..r-1.
static thread_local double RowPrefix[MaxModelSize + 2];
// The sum of the magnitudes of the kept block errors, for the bound on the
// rounding of a total, and whether every kept error is a whole number.
static thread_local long double ErrorMagnitude;
static thread_local bool WholeErrors;

// The latest trial: unit x of side s goes from cluster p to q and unit y
// (0 for a move) from q to p. Index 0 of the trial arrays holds the blocks of
// cluster p, index 1 those of q, by cluster k of the other side.
static thread_local bool TrialReady;
static thread_local int TrialSide, TrialFrom, TrialTo, TrialUnit, TrialPartner;
static thread_local BlockStatistics TrialStats[2][MaxModelSize + 1];
static thread_local double TrialBlockError[2][MaxModelSize + 1];
// A trial of one partition on both sides (x from p to q, y from q to p on
// rows and columns alike) is taken as a row step and a column step; while
// one runs the exchange tables are left alone, being dropped at every step.
static thread_local bool TrialBothSides;
static thread_local bool StepByStep;

// The other lines of a trial block whose sums change, as packed counts: the
// lines that lose one tie (Fall) and those that gain one (Rise), each counted
// by the flags its sum had before the trial in the block's cluster. Each
// count takes a 16-bit field, so that sums of flags add and subtract field
// by field (no count exceeds 250).
constexpr int SumZeroField = 0;     // the line's sum is 0
constexpr int SumOneField = 16;     // the line's sum is 1
constexpr int SumTopField = 32;     // the line's sum is the block's largest
constexpr int BelowTopField = 48;   // the line's sum is one below the block's largest
static thread_local uint64_t Fall[2][MaxModelSize + 1];
static thread_local uint64_t Rise[2][MaxModelSize + 1];

// Tables of the exchange trials of one side, built for the kept state and
// dropped when a trial is accepted. LineFlags[j][c]: the flags of unit j of
// the other side in cluster c. UnitFlags[u]: per cluster k of the other side
// and cluster c of side s, the sum of LineFlags[j][c] over the ties j of unit
// u in k, so an exchange of a and b walks only the ties they share. The unit
// sums are kept while (clusters of the other side) x (clusters of side s)
// fit MaxUnitFlags; beyond that the trial walks the ties where a and b differ.
constexpr int MaxUnitFlags = 256;
static thread_local uint32_t TableState;            // the kept state the tables belong to, counted from 1
static thread_local uint32_t LineFlagsState;        // LineFlags was built for this state...
static thread_local int LineFlagsSide;              // ...and this side
static thread_local uint64_t LineFlags[MaxSideUnits + 1][MaxModelSize + 1];
static thread_local uint32_t UnitFlagsState[MaxSideUnits + 1];
static thread_local uint64_t UnitFlags[MaxSideUnits + 1][MaxUnitFlags];

// Marks every table stale. After 2^32 states the marks start again.
static void DropTables() {
    if (++TableState != 0) return;
    std::memset(UnitFlagsState, 0, sizeof UnitFlagsState);
    LineFlagsState = 0;
    TableState = 1;
}

// Block (r, c) of the cluster own of side s and the cluster other of side o.
static int BlockRow(int s, int own, int other) { return s == RowSide ? own : other; }
static int BlockCol(int s, int own, int other) { return s == RowSide ? other : own; }

static void AddUnit(uint64_t set[], int u) { set[u >> 6] |= uint64_t{1} << (u & 63); }
static bool HasUnit(const uint64_t set[], int u) { return (set[u >> 6] >> (u & 63) & 1) != 0; }

// The chosen errors met so far in this search, by block and statistics. The
// error is a function of these alone while the search runs (the model, the
// weights and the settings stay fixed), so a stored one is the very double
// the procedures would form again. An exchange phase meets the same
// statistics many times: the blocks of one unit's cluster recur for every
// partner with the same counts. An entry of an earlier search is stale.
constexpr int MemoBits = 12;
struct ChosenErrorMemo {
    uint64_t Lines;   // units, non-null lines and largest sums of both sides, ties
    uint64_t Block;   // asymmetric cells, row and column cluster
    uint32_t Search;  // the search that stored it; 0 for none
    double Error;
};
static thread_local ChosenErrorMemo Memo[1 << MemoBits];
static thread_local uint32_t MemoSearch;  // the current search, counted from 1

// The weighted error of the chosen type of block (r, c) with these statistics.
static double ChosenError(int r, int c, const BlockStatistics& stats) {
    // Line counts and sums fit 8 bits (250 lines a side), ties and asymmetric
    // cells 16 (250 x 250); the cells follow from the units.
    uint64_t lines = static_cast<uint64_t>(stats.Units[RowSide]) |
                     static_cast<uint64_t>(stats.Units[ColSide]) << 8 |
                     static_cast<uint64_t>(stats.NonNull[RowSide]) << 16 |
                     static_cast<uint64_t>(stats.NonNull[ColSide]) << 24 |
                     static_cast<uint64_t>(stats.MaxSum[RowSide]) << 32 |
                     static_cast<uint64_t>(stats.MaxSum[ColSide]) << 40 |
                     static_cast<uint64_t>(stats.Ones) << 48;
    uint64_t block = static_cast<uint64_t>(stats.Asymmetry) | static_cast<uint64_t>(r) << 16 |
                     static_cast<uint64_t>(c) << 24;
    uint64_t hash = (lines ^ block * 0x9E3779B97F4A7C15ull) * 0xC2B2AE3D27D4EB4Full;
    ChosenErrorMemo& memo = Memo[hash >> (64 - MemoBits)];
    if (memo.Search == MemoSearch && memo.Lines == lines && memo.Block == block) return memo.Error;

    int32_t rawErrors[NumTypeCodes];
    double typeErrors[NumTypeCodes];
    TypeErrorsFromStatistics(r, c, stats, rawErrors, typeErrors);
    double best;
    ChosenType(typeErrors, best);
    memo.Lines = lines;
    memo.Block = block;
    memo.Search = MemoSearch;
    memo.Error = best;
    return best;
}

// The largest line sum present in a histogram at or below top; 0 for none.
static int32_t LargestSum(const uint8_t histogram[], int32_t top) {
    while (top > 0 && histogram[top] == 0) --top;
    return top;
}

// The own lines of a trial block: the line with sum out leaves (out < 0:
// none) and the line with sum in arrives (in < 0: none).
static void ChangeOwnLines(int s, const uint8_t histogram[], int32_t out, int32_t in,
                           BlockStatistics& stats) {
    if (out >= 0) {
        --stats.Units[s];
        if (out > 0) --stats.NonNull[s];
    }
    if (in >= 0) {
        ++stats.Units[s];
        if (in > 0) ++stats.NonNull[s];
    }
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
static void ChangeOtherLines(int o, const uint8_t histogram[], uint64_t fall, uint64_t rise,
                             BlockStatistics& stats) {
    stats.NonNull[o] += FlagCount(rise, SumZeroField) - FlagCount(fall, SumOneField);
    int32_t top = stats.MaxSum[o];
    int32_t fallen = FlagCount(fall, SumTopField);
    if (FlagCount(rise, SumTopField) > 0)
        stats.MaxSum[o] = top + 1;
    else if (fallen > 0 && histogram[top] == fallen)
        stats.MaxSum[o] = FlagCount(rise, BelowTopField) > 0 ? top : top - 1;
}

// The rounded total over all blocks, the trial blocks in place of the kept ones.
static double TrialBlockSum() {
    const int p = TrialFrom, q = TrialTo;
    if (TrialSide == RowSide) {
        int first = p < q ? p : q;
        double sum = RowPrefix[first];
        for (int r = first; r <= SideClusters[RowSide]; ++r) {
            const double* errors = r == p ? TrialBlockError[0] : r == q ? TrialBlockError[1] : Error[r];
            for (int c = 1; c <= SideClusters[ColSide]; ++c) sum = AddExtended(sum, errors[c]);
        }
        return sum;
    }
    double sum = 0.0;
    for (int r = 1; r <= SideClusters[RowSide]; ++r) {
        for (int c = 1; c <= SideClusters[ColSide]; ++c) {
            double e = c == p ? TrialBlockError[0][r] : c == q ? TrialBlockError[1][r] : Error[r][c];
            sum = AddExtended(sum, e);
        }
    }
    return sum;
}

// The largest line sum of side o in the block of cluster own of side s and
// cluster k of side o.
static int32_t OtherTop(int s, int own, int k) {
    return Stats[BlockRow(s, own, k)][BlockCol(s, own, k)].MaxSum[1 - s];
}

// Fall and Rise of a trial of side s from the lines where x and y differ.
static void WalkDifferingTies(int s, int p, int q, int x, int y) {
    const int o = 1 - s;
    int32_t topInP[MaxModelSize + 1], topInQ[MaxModelSize + 1];
    for (int k = 1; k <= SideClusters[o]; ++k) {
        Fall[0][k] = Fall[1][k] = Rise[0][k] = Rise[1][k] = 0;
        topInP[k] = OtherTop(s, p, k);
        topInQ[k] = OtherTop(s, q, k);
    }
    for (int w = 0; w < UnitWords; ++w) {
        uint64_t tiesX = Ties[s][x][w], tiesY = Ties[s][y][w];
        for (uint64_t only = tiesX & ~tiesY; only != 0; only &= only - 1) {  // x takes the tie from p to q
            int j = w * 64 + __builtin_ctzll(only);
            int k = KeptCluster[o][j];
            Fall[0][k] += SumFlags(TieCount[o][j][p], topInP[k]);
            Rise[1][k] += SumFlags(TieCount[o][j][q], topInQ[k]);
        }
        for (uint64_t only = tiesY & ~tiesX; only != 0; only &= only - 1) {  // y brings it from q to p
            int j = w * 64 + __builtin_ctzll(only);
            int k = KeptCluster[o][j];
            Fall[1][k] += SumFlags(TieCount[o][j][q], topInQ[k]);
            Rise[0][k] += SumFlags(TieCount[o][j][p], topInP[k]);
        }
    }
}

// The exchange tables of side s for the kept state, built when first needed.
static void BuildLineFlags(int s) {
    const int o = 1 - s;
    if (LineFlagsState == TableState && LineFlagsSide == s) return;
    if (LineFlagsState == TableState) DropTables();  // the unit sums are the other side's
    LineFlagsState = TableState;
    LineFlagsSide = s;
    for (int j = 1; j <= SideUnits[o]; ++j) {
        int k = KeptCluster[o][j];
        for (int c = 1; c <= SideClusters[s]; ++c)
            LineFlags[j][c] = SumFlags(TieCount[o][j][c], OtherTop(s, c, k));
    }
}

// The unit sums of unit u of side s, at (k - 1) x clusters of s + c - 1.
static const uint64_t* UnitFlagsOf(int s, int u) {
    uint64_t* flags = UnitFlags[u];
    if (UnitFlagsState[u] == TableState) return flags;
    UnitFlagsState[u] = TableState;
    const int o = 1 - s, clusters = SideClusters[s];
    std::memset(flags, 0, sizeof(uint64_t) * static_cast<size_t>(SideClusters[o] * clusters));
    for (int w = 0; w < UnitWords; ++w) {
        for (uint64_t ties = Ties[s][u][w]; ties != 0; ties &= ties - 1) {
            int j = w * 64 + __builtin_ctzll(ties);
            uint64_t* sums = flags + (KeptCluster[o][j] - 1) * clusters - 1;
            for (int c = 1; c <= clusters; ++c) sums[c] += LineFlags[j][c];
        }
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
    for (int w = 0; w < UnitWords; ++w) {
        for (uint64_t shared = Ties[s][x][w] & Ties[s][y][w]; shared != 0; shared &= shared - 1) {
            int j = w * 64 + __builtin_ctzll(shared);
            int k = KeptCluster[o][j];
            sharedInP[k] += LineFlags[j][p];
            sharedInQ[k] += LineFlags[j][q];
        }
    }
    for (int k = 1; k <= SideClusters[o]; ++k) {
        int at = (k - 1) * clusters - 1;
        Fall[0][k] = flagsX[at + p] - sharedInP[k];
        Rise[1][k] = flagsX[at + q] - sharedInQ[k];
        Fall[1][k] = flagsY[at + q] - sharedInQ[k];
        Rise[0][k] = flagsY[at + p] - sharedInP[k];
    }
}

// A whole number below 2^53 in magnitude, which a double holds exactly.
static bool ExactWhole(long double e) {
    return std::fabs(e) < 0x1p53L && static_cast<long double>(static_cast<int64_t>(e)) == e;
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
    const int s = TrialSide, o = 1 - s, p = TrialFrom, q = TrialTo;
    long double change = 0.0L, trialMagnitude = ErrorMagnitude;
    bool whole = WholeErrors;
    for (int k = 1; k <= SideClusters[o]; ++k) {
        long double fromError = TrialBlockError[0][k], toError = TrialBlockError[1][k];
        change += fromError - Error[BlockRow(s, p, k)][BlockCol(s, p, k)];
        change += toError - Error[BlockRow(s, q, k)][BlockCol(s, q, k)];
        trialMagnitude += std::fabs(fromError) + std::fabs(toError);
        whole = whole && ExactWhole(fromError) && ExactWhole(toError);
    }
    if (whole && ErrorMagnitude + trialMagnitude < 0x1p53L) return change >= 0.0L;
    const long double blocks = static_cast<long double>(SideClusters[RowSide] * SideClusters[ColSide]);
    const long double slack = (blocks + 1.0L) * 0x1p-51L * (ErrorMagnitude + trialMagnitude);
    return change > slack;
}

// The latest trial, kept for AcceptIncrementalTrial.
static void NoteTrial(int s, int p, int q, int x, int y) {
    TrialReady = true;
    TrialSide = s;
    TrialFrom = p;
    TrialTo = q;
    TrialUnit = x;
    TrialPartner = y;
}

// The total error after unit x of side s goes from p to q and unit y (0:
// none) from q to p; keeps the trial for AcceptIncrementalTrial. Infinity
// when limit is at most the kept total and the total certainly not below it.
static double StepError(int s, int p, int q, int x, int y, double limit) {
    const int o = 1 - s;
    const int otherClusters = SideClusters[o];
    NoteTrial(s, p, q, x, y);

    // Other lines: only where x and y differ does a line's sum in p and in q
    // change, by one each way.
    if (y > 0 && !StepByStep && otherClusters * SideClusters[s] <= MaxUnitFlags) {
        SumExchangeFlags(s, p, q, x, y);
    } else {
        WalkDifferingTies(s, p, q, x, y);
    }

    // Own lines: the blocks of p lose x and gain y, those of q the reverse;
    // then the other lines and the trial blocks' errors.
    const int32_t none = -1;
    for (int k = 1; k <= otherClusters; ++k) {
        int32_t sumX = TieCount[s][x][k], sumY = y > 0 ? TieCount[s][y][k] : none;
        int32_t ones = (y > 0 ? sumY : 0) - sumX;  // ones the blocks of p gain
        int32_t asymmetry = AsymmetryCount[s][y][k] - AsymmetryCount[s][x][k];
        int rp = BlockRow(s, p, k), cp = BlockCol(s, p, k);
        int rq = BlockRow(s, q, k), cq = BlockCol(s, q, k);

        BlockStatistics& fromStats = TrialStats[0][k];
        fromStats = Stats[rp][cp];
        fromStats.Ones += ones;
        fromStats.Asymmetry += asymmetry;
        ChangeOwnLines(s, LineSums[s][rp][cp], sumX, sumY, fromStats);
        ChangeOtherLines(o, LineSums[o][rp][cp], Fall[0][k], Rise[0][k], fromStats);
        fromStats.Cells = fromStats.Units[RowSide] * fromStats.Units[ColSide];
        TrialBlockError[0][k] = ChosenError(rp, cp, fromStats);

        BlockStatistics& toStats = TrialStats[1][k];
        toStats = Stats[rq][cq];
        toStats.Ones -= ones;
        toStats.Asymmetry -= asymmetry;
        ChangeOwnLines(s, LineSums[s][rq][cq], sumY, sumX, toStats);
        ChangeOtherLines(o, LineSums[o][rq][cq], Fall[1][k], Rise[1][k], toStats);
        toStats.Cells = toStats.Units[RowSide] * toStats.Units[ColSide];
        TrialBlockError[1][k] = ChosenError(rq, cq, toStats);
    }

    if (limit <= RowPrefix[SideClusters[RowSide] + 1] && TrialNotBelow()) return NoLimit;
    return AddExtended(TrialBlockSum(), ConstraintPenalty());
}

double MoveError(int s, int u, int c, double limit) {
    return StepError(s, KeptCluster[s][u], c, u, 0, limit);
}

double ExchangeError(int s, int a, int b, double limit) {
    return StepError(s, KeptCluster[s][a], KeptCluster[s][b], a, b, limit);
}

static void AcceptStep();

// The total after the trial on both sides. The row step is kept for the
// column step to start from and then taken back by the reverse step; the
// kept counts are whole numbers and every kept error is the chosen error of
// its counts, so the reverse step restores the kept state bit for bit. The
// column step's total is the exact full total of the trial; no certain
// rejection applies, since the kept total is then the row step's.
static double BothSidesError(int x, int y, int q) {
    const int p = KeptCluster[RowSide][x];
    StepByStep = true;
    StepError(RowSide, p, q, x, y, NoLimit);
    AcceptStep();
    assert(KeptCluster[ColSide][x] == p && (y == 0 || KeptCluster[ColSide][y] == q));  // one partition
    double total = StepError(ColSide, p, q, x, y, NoLimit);
    StepError(RowSide, q, p, x, y, NoLimit);
    AcceptStep();
    StepByStep = false;
    NoteTrial(RowSide, p, q, x, y);
    TrialBothSides = true;
    return total;
}

double BothSidesMoveError(int u, int c) {
    return BothSidesError(u, 0, c);
}

double BothSidesExchangeError(int a, int b) {
    return BothSidesError(a, b, KeptCluster[RowSide][b]);
}

// RowPrefix, ErrorMagnitude and WholeErrors from the kept block errors.
static void SumBlockRows() {
    double sum = 0.0;
    ErrorMagnitude = 0.0L;
    WholeErrors = true;
    for (int r = 1; r <= SideClusters[RowSide]; ++r) {
        RowPrefix[r] = sum;
        for (int c = 1; c <= SideClusters[ColSide]; ++c) {
            sum = AddExtended(sum, Error[r][c]);
            ErrorMagnitude += std::fabs(static_cast<long double>(Error[r][c]));
            WholeErrors = WholeErrors && ExactWhole(Error[r][c]);
        }
    }
    RowPrefix[SideClusters[RowSide] + 1] = sum;
}

// One tie count of unit j of side o into cluster from goes to cluster to,
// with the line-sum histograms of the two blocks.
static void MoveTieCount(int o, int j, int from, int to) {
    int k = KeptCluster[o][j];
    int s = 1 - o;
    uint8_t& fromSum = TieCount[o][j][from];
    uint8_t& toSum = TieCount[o][j][to];
    uint8_t* fromHistogram = LineSums[o][BlockRow(s, from, k)][BlockCol(s, from, k)];
    uint8_t* toHistogram = LineSums[o][BlockRow(s, to, k)][BlockCol(s, to, k)];
    --fromHistogram[fromSum];
    --fromSum;
    ++fromHistogram[fromSum];
    --toHistogram[toSum];
    ++toSum;
    ++toHistogram[toSum];
}

// Makes the latest step the kept state.
static void AcceptStep() {
    TrialReady = false;
    DropTables();
    const int s = TrialSide, o = 1 - s;
    const int p = TrialFrom, q = TrialTo, x = TrialUnit, y = TrialPartner;

    // The other side's counts and histograms, where x and y differ.
    for (int w = 0; w < UnitWords; ++w) {
        uint64_t differ = Ties[s][x][w] ^ Ties[s][y][w];
        while (differ != 0) {
            int j = w * 64 + __builtin_ctzll(differ);
            differ &= differ - 1;
            if (HasUnit(Ties[s][x], j))
                MoveTieCount(o, j, p, q);
            else
                MoveTieCount(o, j, q, p);
        }
        differ = Asymmetric[s][x][w] ^ Asymmetric[s][y][w];
        while (differ != 0) {
            int j = w * 64 + __builtin_ctzll(differ);
            differ &= differ - 1;
            int from = HasUnit(Asymmetric[s][x], j) ? p : q;
            int to = from == p ? q : p;
            --AsymmetryCount[o][j][from];
            ++AsymmetryCount[o][j][to];
        }
    }

    // The own lines' histograms, and the trial blocks become the kept ones.
    for (int k = 1; k <= SideClusters[o]; ++k) {
        int rp = BlockRow(s, p, k), cp = BlockCol(s, p, k);
        int rq = BlockRow(s, q, k), cq = BlockCol(s, q, k);
        --LineSums[s][rp][cp][TieCount[s][x][k]];
        ++LineSums[s][rq][cq][TieCount[s][x][k]];
        if (y > 0) {
            --LineSums[s][rq][cq][TieCount[s][y][k]];
            ++LineSums[s][rp][cp][TieCount[s][y][k]];
        }
        Stats[rp][cp] = TrialStats[0][k];
        Stats[rq][cq] = TrialStats[1][k];
        Error[rp][cp] = TrialBlockError[0][k];
        Error[rq][cq] = TrialBlockError[1][k];
    }

    KeptCluster[s][x] = static_cast<uint8_t>(q);
    if (y > 0) {
        KeptCluster[s][y] = static_cast<uint8_t>(p);
    } else {
        --KeptClusterSize[s][p];
        ++KeptClusterSize[s][q];
    }
    SumBlockRows();
}

void AcceptIncrementalTrial() {
    assert(TrialReady);  // the search accepts only the trial it has just evaluated
    if (!TrialBothSides) {
        AcceptStep();
        return;
    }
    // Both steps again, this time kept.
    const int p = TrialFrom, q = TrialTo, x = TrialUnit, y = TrialPartner;
    TrialBothSides = false;
    StepByStep = true;
    StepError(RowSide, p, q, x, y, NoLimit);
    AcceptStep();
    StepError(ColSide, p, q, x, y, NoLimit);
    AcceptStep();
    StepByStep = false;
}

// Ties, asymmetric cells and their counts by cluster of the other side.
static void CountTies() {
    const int rows = SideUnits[RowSide], cols = SideUnits[ColSide];
    std::memset(Ties, 0, sizeof Ties);
    std::memset(Asymmetric, 0, sizeof Asymmetric);
    std::memset(TieCount, 0, sizeof TieCount);
    std::memset(AsymmetryCount, 0, sizeof AsymmetryCount);
    for (int i = 1; i <= rows; ++i) {
        for (int j = 1; j <= cols; ++j) {
            // The mirror cell is read with the indices exchanged: outside the
            // rows x columns of a two-mode network it holds 0.
            if (BinaryMatrix[i][j] != BinaryMatrix[j][i]) {
                AddUnit(Asymmetric[RowSide][i], j);
                AddUnit(Asymmetric[ColSide][j], i);
                ++AsymmetryCount[RowSide][i][KeptCluster[ColSide][j]];
                ++AsymmetryCount[ColSide][j][KeptCluster[RowSide][i]];
            }
            if (BinaryMatrix[i][j] == 0) continue;
            AddUnit(Ties[RowSide][i], j);
            AddUnit(Ties[ColSide][j], i);
            ++TieCount[RowSide][i][KeptCluster[ColSide][j]];
            ++TieCount[ColSide][j][KeptCluster[RowSide][i]];
        }
    }
}

void StartIncrementalError() {
    if (++MemoSearch == 0) {  // after 2^32 searches the marks start again
        std::memset(Memo, 0, sizeof Memo);
        MemoSearch = 1;
    }
    std::memcpy(KeptCluster[RowSide], Partition[RowSide], sizeof KeptCluster[RowSide]);
    std::memcpy(KeptCluster[ColSide], Partition[ColSide], sizeof KeptCluster[ColSide]);
    std::memset(KeptClusterSize, 0, sizeof KeptClusterSize);
    for (int s = 0; s < 2; ++s)
        for (int u = 1; u <= SideUnits[s]; ++u) ++KeptClusterSize[s][KeptCluster[s][u]];
    CountTies();

    // Block statistics from the counts: ones and asymmetric cells from the
    // rows, line sums of both sides into the histograms.
    const int rowClusters = SideClusters[RowSide], colClusters = SideClusters[ColSide];
    for (int s = 0; s < 2; ++s)
        for (int r = 1; r <= rowClusters; ++r)
            for (int c = 1; c <= colClusters; ++c) std::memset(LineSums[s][r][c], 0, sizeof LineSums[s][r][c]);
    for (int r = 1; r <= rowClusters; ++r) {
        for (int c = 1; c <= colClusters; ++c) {
            BlockStatistics& stats = Stats[r][c];
            stats = BlockStatistics{};
            stats.Units[RowSide] = KeptClusterSize[RowSide][r];
            stats.Units[ColSide] = KeptClusterSize[ColSide][c];
            stats.Cells = stats.Units[RowSide] * stats.Units[ColSide];
        }
    }
    for (int i = 1; i <= SideUnits[RowSide]; ++i) {
        int r = KeptCluster[RowSide][i];
        for (int c = 1; c <= colClusters; ++c) {
            Stats[r][c].Ones += TieCount[RowSide][i][c];
            Stats[r][c].Asymmetry += AsymmetryCount[RowSide][i][c];
            ++LineSums[RowSide][r][c][TieCount[RowSide][i][c]];
        }
    }
    for (int j = 1; j <= SideUnits[ColSide]; ++j) {
        int c = KeptCluster[ColSide][j];
        for (int r = 1; r <= rowClusters; ++r) ++LineSums[ColSide][r][c][TieCount[ColSide][j][r]];
    }
    for (int r = 1; r <= rowClusters; ++r) {
        for (int c = 1; c <= colClusters; ++c) {
            BlockStatistics& stats = Stats[r][c];
            for (int s = 0; s < 2; ++s) {
                stats.NonNull[s] = stats.Units[s] - LineSums[s][r][c][0];
                stats.MaxSum[s] = LargestSum(LineSums[s][r][c], MaxSideUnits);
            }
            Error[r][c] = ChosenError(r, c, stats);
        }
    }
    SumBlockRows();
    TrialReady = false;
    TrialBothSides = false;
    StepByStep = false;
    DropTables();  // those of an earlier search or problem
}
