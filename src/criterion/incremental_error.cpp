// The incremental criterion. For the accepted pair it keeps, per unit, its
// ties counted by cluster of the other side, per block the statistics every
// type's error is made of (with histograms of the line sums, so that the
// largest line sum stays exact when a line leaves), and the weighted error of
// every block. A trial of one side changes only the blocks of the two
// clusters it touches: their statistics come from the kept counts, and only
// the lines of the other side in which the two units differ change a sum.
//
// Exactness: the block errors come from the same procedures as in the full
// scan, and the total adds them in its order (row cluster by row cluster,
// then column cluster) with every sum rounded to double, so a total here
// equals TotalError's bit for bit. A sum of unchanged leading block rows is
// kept, since each rounding depends only on what was added before.
//
// The code is written once for both sides: side s is the side whose units
// move, o = 1 - s the other one; "own lines" of a block are its lines of
// side s (rows for a row trial), "other lines" those of side o.
#include "criterion/incremental_error.h"

#include <cassert>
#include <cstring>

#include "criterion/total_error.h"
#include "criterion/type_errors.h"
#include "state.h"

constexpr int UnitWords = 4;  // 64-bit words of a set of units 0..255

// Every name below belongs to one search: each thread that searches keeps its own.
// The accepted pair: cluster of each unit, units of each cluster.
static thread_local int32_t SideUnits[2];
static thread_local int32_t SideClusters[2];
static thread_local uint8_t Cluster[2][MaxSideUnits + 1];
static thread_local int32_t ClusterSize[2][MaxModelSize + 1];

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

// The latest trial: unit x of side s goes from cluster p to q and unit y
// (0 for a move) from q to p. Index 0 of the trial arrays holds the blocks of
// cluster p, index 1 those of q, by cluster k of the other side.
static thread_local bool TrialReady;
static thread_local int TrialSide, TrialFrom, TrialTo, TrialUnit, TrialPartner;
static thread_local BlockStatistics TrialStats[2][MaxModelSize + 1];
static thread_local double TrialBlockError[2][MaxModelSize + 1];

// Changes of the other lines of one trial block: lines whose sum rises from
// 0, falls to 0, falls from the block's largest sum, and the largest risen sum.
static thread_local int32_t RiseFromZero[2][MaxModelSize + 1];
static thread_local int32_t FallToZero[2][MaxModelSize + 1];
static thread_local int32_t FallFromTop[2][MaxModelSize + 1];
static thread_local int32_t RiseTop[2][MaxModelSize + 1];

// Block (r, c) of the cluster own of side s and the cluster other of side o.
static int BlockRow(int s, int own, int other) { return s == RowSide ? own : other; }
static int BlockCol(int s, int own, int other) { return s == RowSide ? other : own; }

static void AddUnit(uint64_t set[], int u) { set[u >> 6] |= uint64_t{1} << (u & 63); }
static bool HasUnit(const uint64_t set[], int u) { return (set[u >> 6] >> (u & 63) & 1) != 0; }

// The weighted error of the chosen type of block (r, c) with these statistics.
static double ChosenError(int r, int c, const BlockStatistics& stats) {
    int32_t rawErrors[NumTypeCodes];
    double typeErrors[NumTypeCodes];
    TypeErrorsFromStatistics(r, c, stats, rawErrors, typeErrors);
    double best;
    ChosenType(typeErrors, best);
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

// The other lines of a trial block: some sums rose or fell by one.
static void ChangeOtherLines(int o, const uint8_t histogram[], int side, int k,
                             BlockStatistics& stats) {
    stats.NonNull[o] += RiseFromZero[side][k] - FallToZero[side][k];
    int32_t top = stats.MaxSum[o];
    int32_t risen = RiseTop[side][k];
    int32_t fallen = FallFromTop[side][k];
    if (risen > top)
        stats.MaxSum[o] = risen;
    else if (fallen > 0 && histogram[top] == fallen)  // every line at the top fell by one
        stats.MaxSum[o] = risen > top - 1 ? risen : top - 1;
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

// The total error after unit x of side s goes from p to q and unit y (0:
// none) from q to p; keeps the trial for AcceptIncrementalTrial.
static double StepError(int s, int p, int q, int x, int y) {
    const int o = 1 - s;
    const int otherClusters = SideClusters[o];
    TrialReady = true;
    TrialSide = s;
    TrialFrom = p;
    TrialTo = q;
    TrialUnit = x;
    TrialPartner = y;

    // Own lines: the blocks of p lose x and gain y, those of q the reverse.
    const int32_t none = -1;
    for (int k = 1; k <= otherClusters; ++k) {
        int32_t sumX = TieCount[s][x][k], sumY = y > 0 ? TieCount[s][y][k] : none;
        int32_t ones = (y > 0 ? sumY : 0) - sumX;  // ones the blocks of p gain
        int32_t asymmetry = AsymmetryCount[s][y][k] - AsymmetryCount[s][x][k];

        BlockStatistics& fromStats = TrialStats[0][k];
        fromStats = Stats[BlockRow(s, p, k)][BlockCol(s, p, k)];
        fromStats.Ones += ones;
        fromStats.Asymmetry += asymmetry;
        ChangeOwnLines(s, LineSums[s][BlockRow(s, p, k)][BlockCol(s, p, k)], sumX, sumY, fromStats);

        BlockStatistics& toStats = TrialStats[1][k];
        toStats = Stats[BlockRow(s, q, k)][BlockCol(s, q, k)];
        toStats.Ones -= ones;
        toStats.Asymmetry -= asymmetry;
        ChangeOwnLines(s, LineSums[s][BlockRow(s, q, k)][BlockCol(s, q, k)], sumY, sumX, toStats);

        RiseFromZero[0][k] = RiseFromZero[1][k] = 0;
        FallToZero[0][k] = FallToZero[1][k] = 0;
        FallFromTop[0][k] = FallFromTop[1][k] = 0;
        RiseTop[0][k] = RiseTop[1][k] = 0;
    }

    // Other lines: only where x and y differ does a line's sum in p and in q
    // change, by one each way.
    for (int w = 0; w < UnitWords; ++w) {
        uint64_t tiesX = Ties[s][x][w];
        uint64_t differ = tiesX ^ Ties[s][y][w];
        while (differ != 0) {
            int j = w * 64 + __builtin_ctzll(differ);
            differ &= differ - 1;
            int k = Cluster[o][j];
            int32_t sumInP = TieCount[o][j][p], sumInQ = TieCount[o][j][q];
            int fall = 0, rise = 1;  // x takes the tie from p to q
            int32_t fallSum = sumInP, riseSum = sumInQ;
            if (!HasUnit(Ties[s][x], j)) {  // y brings it from q to p
                fall = 1;
                rise = 0;
                fallSum = sumInQ;
                riseSum = sumInP;
            }
            if (fallSum == 1) ++FallToZero[fall][k];
            int fallBlockTop = fall == 0 ? TrialStats[0][k].MaxSum[o] : TrialStats[1][k].MaxSum[o];
            if (fallSum == fallBlockTop) ++FallFromTop[fall][k];
            if (riseSum == 0) ++RiseFromZero[rise][k];
            if (riseSum + 1 > RiseTop[rise][k]) RiseTop[rise][k] = riseSum + 1;
        }
    }

    // The trial blocks' errors.
    for (int k = 1; k <= otherClusters; ++k) {
        for (int side = 0; side < 2; ++side) {
            int own = side == 0 ? p : q;
            int r = BlockRow(s, own, k), c = BlockCol(s, own, k);
            BlockStatistics& stats = TrialStats[side][k];
            ChangeOtherLines(o, LineSums[o][r][c], side, k, stats);
            stats.Cells = stats.Units[RowSide] * stats.Units[ColSide];
            TrialBlockError[side][k] = ChosenError(r, c, stats);
        }
    }

    return AddExtended(TrialBlockSum(), ConstraintPenalty());
}

double RowMoveError(int u, int c) { return StepError(RowSide, Cluster[RowSide][u], c, u, 0); }

double ColMoveError(int v, int c) { return StepError(ColSide, Cluster[ColSide][v], c, v, 0); }

double RowExchangeError(int a, int b) {
    return StepError(RowSide, Cluster[RowSide][a], Cluster[RowSide][b], a, b);
}

double ColExchangeError(int a, int b) {
    return StepError(ColSide, Cluster[ColSide][a], Cluster[ColSide][b], a, b);
}

// RowPrefix from the kept block errors.
static void SumBlockRows() {
    double sum = 0.0;
    for (int r = 1; r <= SideClusters[RowSide]; ++r) {
        RowPrefix[r] = sum;
        for (int c = 1; c <= SideClusters[ColSide]; ++c) sum = AddExtended(sum, Error[r][c]);
    }
    RowPrefix[SideClusters[RowSide] + 1] = sum;
}

// One tie count of unit j of side o into cluster from goes to cluster to,
// with the line-sum histograms of the two blocks.
static void MoveTieCount(int o, int j, int from, int to) {
    int k = Cluster[o][j];
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

void AcceptIncrementalTrial() {
    assert(TrialReady);  // the search accepts only the trial it has just evaluated
    TrialReady = false;
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

    Cluster[s][x] = static_cast<uint8_t>(q);
    if (y > 0) {
        Cluster[s][y] = static_cast<uint8_t>(p);
    } else {
        --ClusterSize[s][p];
        ++ClusterSize[s][q];
    }
    SumBlockRows();
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
                ++AsymmetryCount[RowSide][i][Cluster[ColSide][j]];
                ++AsymmetryCount[ColSide][j][Cluster[RowSide][i]];
            }
            if (BinaryMatrix[i][j] == 0) continue;
            AddUnit(Ties[RowSide][i], j);
            AddUnit(Ties[ColSide][j], i);
            ++TieCount[RowSide][i][Cluster[ColSide][j]];
            ++TieCount[ColSide][j][Cluster[RowSide][i]];
        }
    }
}

void StartIncrementalError() {
    SideUnits[RowSide] = NumRows;
    SideUnits[ColSide] = NumCols;
    SideClusters[RowSide] = NumRowClusters;
    SideClusters[ColSide] = NumColClusters;
    std::memcpy(Cluster[RowSide], RowPartition, sizeof Cluster[RowSide]);
    std::memcpy(Cluster[ColSide], ColPartition, sizeof Cluster[ColSide]);
    std::memset(ClusterSize, 0, sizeof ClusterSize);
    for (int s = 0; s < 2; ++s)
        for (int u = 1; u <= SideUnits[s]; ++u) ++ClusterSize[s][Cluster[s][u]];
    CountTies();

    // Block statistics from the counts: ones and asymmetric cells from the
    // rows, line sums of both sides into the histograms.
    const int rowClusters = NumRowClusters, colClusters = NumColClusters;
    for (int s = 0; s < 2; ++s)
        for (int r = 1; r <= rowClusters; ++r)
            for (int c = 1; c <= colClusters; ++c) std::memset(LineSums[s][r][c], 0, sizeof LineSums[s][r][c]);
    for (int r = 1; r <= rowClusters; ++r) {
        for (int c = 1; c <= colClusters; ++c) {
            BlockStatistics& stats = Stats[r][c];
            stats = BlockStatistics{};
            stats.Units[RowSide] = ClusterSize[RowSide][r];
            stats.Units[ColSide] = ClusterSize[ColSide][c];
            stats.Cells = stats.Units[RowSide] * stats.Units[ColSide];
        }
    }
    for (int i = 1; i <= NumRows; ++i) {
        int r = Cluster[RowSide][i];
        for (int c = 1; c <= colClusters; ++c) {
            Stats[r][c].Ones += TieCount[RowSide][i][c];
            Stats[r][c].Asymmetry += AsymmetryCount[RowSide][i][c];
            ++LineSums[RowSide][r][c][TieCount[RowSide][i][c]];
        }
    }
    for (int j = 1; j <= NumCols; ++j) {
        int c = Cluster[ColSide][j];
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
}
