// The error of every ideal block type in one block, and the block's value.
// This is the reference evaluator: it rescans the block on every
// call, by the definition of each type, and a faster evaluator must agree with
// it bit for bit. Keep it simple. It reads the ties as lists, so that a scan
// costs the ties of the block's lines rather than every cell of the network.
//
// The weighted errors are formed from the scanned statistics in
// type_errors.cpp, shared with the incremental evaluator. Arithmetic: every
// block value is formed left to right in long double (80-bit extended on this
// platform, rounding to nearest) and rounded once to double when it is stored.
#include "criterion/block_errors.h"

#include <cmath>

#include "console/output.h"
#include "criterion/type_errors.h"
#include "state.h"

// The ties of unit u of side s into cluster k of the other side, and the
// asymmetric cells there.
static int32_t CountInCluster(const UnitLists& lists, int s, int u, int k) {
    int32_t count = 0;
    for (int32_t n = lists.Start[u]; n < lists.Start[u + 1]; ++n)
        count += Partition[1 - s][lists.Units[n]] == k ? 1 : 0;
    return count;
}

void BlockTypeErrors(int r, int c, int32_t RawErrors[], double TypeErrors[]) {
    int32_t nr = 0, nc = 0, pr = 0, pc = 0, mr = 0, mc = 0, s = 0, a = 0;
    int32_t leastRow = 999, leastCol = 999;

    for (int i = 1; i <= SideUnits[RowSide]; ++i) {
        if (Partition[RowSide][i] != r) continue;
        ++nr;
        int32_t si = CountInCluster(Ties[RowSide], RowSide, i, c);
        a += CountInCluster(Asymmetric[RowSide], RowSide, i, c);
        if (si > 0) ++pr;
        if (si > mr) mr = si;
        if (si < leastRow) leastRow = si;
        s += si;
    }
    for (int j = 1; j <= SideUnits[ColSide]; ++j) {
        if (Partition[ColSide][j] != c) continue;
        ++nc;
        int32_t tj = CountInCluster(Ties[ColSide], ColSide, j, r);
        if (tj > 0) ++pc;
        if (tj > mc) mc = tj;
        if (tj < leastCol) leastCol = tj;
    }

    if (ListTrace) {
        ListLine("block_error");
        ListLine("%3d%3d%3d%3d%3d%5d", r, nr, leastRow, mr, pr, 0);
        ListLine("%3d%3d%3d%3d%3d%5d", c, nc, leastCol, mc, pc, s);
    }

    BlockStatistics stats;
    stats.Units[RowSide] = nr;
    stats.Units[ColSide] = nc;
    stats.NonNull[RowSide] = pr;
    stats.NonNull[ColSide] = pc;
    stats.MaxSum[RowSide] = mr;
    stats.MaxSum[ColSide] = mc;
    stats.Ones = s;
    stats.Asymmetry = a;
    stats.Cells = static_cast<int32_t>(ClusterSize[RowSide][r]) * ClusterSize[ColSide][c];
    TypeErrorsFromStatistics(r, c, stats, RawErrors, TypeErrors);
}

void BlockValue(int r, int c, int t) {
    if (ValuesRule != AverageValues) return;
    int64_t v = 0;  // large tie values must not overflow the sum
    int32_t d = 0, g = 0, e = 0;
    for (int i = 1; i <= SideUnits[RowSide]; ++i) {
        if (Partition[RowSide][i] != r) continue;
        ++d;
        for (int32_t n = ValuedCells.Start[i]; n < ValuedCells.Start[i + 1]; ++n) {
            if (Partition[ColSide][ValuedCells.Units[n]] != c) continue;
            v += CellValue[n];
            if (CellValue[n] > 0) ++g;
        }
    }
    for (int j = 1; j <= SideUnits[ColSide]; ++j) {
        if (Partition[ColSide][j] == c) ++e;
    }
    int32_t h = d * e;
    long double sum = static_cast<long double>(v);
    long double value = 0.0L;
    // A count of 0 (an empty cluster, which the search never produces)
    // gives the value 0 instead of a division by zero.
    switch (t) {
        case NullType:
        case CompleteType:  // a diagonal block takes all cells too
        case DoNotCareType:
            if (h > 0) value = sum / h;
            break;
        case RowDominantType:
        case ColRegularType:
        case ColFunctionType:
            if (e > 0) value = sum / e;
            break;
        case ColDominantType:
        case RowRegularType:
        case RowFunctionType:
            if (d > 0) value = sum / d;
            break;
        case RegularType:
            if (d > 0 || e > 0) value = sum / (d > e ? d : e);
            break;
        case DensityType:  // all cells, divided by DiaDensity when r = c
            if (h > 0) value = sum / h / (r == c ? DiaDensity : OutDensity);
            break;
        case NonNullType:
            value = sum;
            break;
        case SymmetricType:
            if (g > 0) value = sum / g;
            break;
        default:
            break;
    }
    RealValueMatrix[r][c] = static_cast<double>(value);
}
