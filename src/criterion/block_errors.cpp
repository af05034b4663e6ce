// The error of every ideal block type in one block, and the block's value.
// This is the reference evaluator: it rescans the block on every
// call, by the definition of each type, and a faster evaluator must agree with
// it bit for bit. Keep it simple.
//
// Arithmetic: every weighted error and block value is formed left to right in
// long double (80-bit extended on this platform, rounding to nearest) and
// rounded once to double when it is stored.
#include "criterion/block_errors.h"

#include <cmath>

#include "console/output.h"
#include "driver/state.h"

// The weighted error of a raw error: ((raw + 1) x w x q) / N in size mode,
// raw x w x q otherwise. An empty block (N = 0, which the search never
// produces) divides by 1 instead of 0.
static double WeightedError(int32_t raw, double w, int32_t q, int32_t n) {
    if (ErrorType == 2) {
        long double product = static_cast<long double>(raw + 1) * w * q;
        long double quotient = product / (n > 0 ? n : 1);
        return static_cast<double>(quotient);
    }
    return static_cast<double>(static_cast<long double>(raw) * w * q);
}

void BlockTypeErrors(int r, int c, int32_t RawErrors[], double TypeErrors[]) {
    int32_t nr = 0, nc = 0, pr = 0, pc = 0, mr = 0, mc = 0, s = 0, a = 0;
    int32_t leastRow = 999, leastCol = 999;

    for (int i = 1; i <= NumRows; ++i) {
        if (RowPartition[i] != r) continue;
        ++nr;
        int32_t si = 0;
        for (int j = 1; j <= NumCols; ++j) {
            if (ColPartition[j] != c) continue;
            si += BinaryMatrix[i][j];
            a += BinaryMatrix[i][j] > BinaryMatrix[j][i] ? BinaryMatrix[i][j] - BinaryMatrix[j][i]
                                                          : BinaryMatrix[j][i] - BinaryMatrix[i][j];
        }
        if (si > 0) ++pr;
        if (si > mr) mr = si;
        if (si < leastRow) leastRow = si;
        s += si;
    }
    for (int j = 1; j <= NumCols; ++j) {
        if (ColPartition[j] != c) continue;
        ++nc;
        int32_t tj = 0;
        for (int i = 1; i <= NumRows; ++i) {
            if (RowPartition[i] == r) tj += BinaryMatrix[i][j];
        }
        if (tj > 0) ++pc;
        if (tj > mc) mc = tj;
        if (tj < leastCol) leastCol = tj;
    }

    if (ListTrace) {
        ListLine("block_error");
        ListLine("%3d%3d%3d%3d%3d%5d", r, nr, leastRow, mr, pr, 0);
        ListLine("%3d%3d%3d%3d%3d%5d", c, nc, leastCol, mc, pc, s);
    }

    int32_t n = static_cast<int32_t>(RowClusterSize[r]) * ColClusterSize[c];
    // D: N x OutDensity + 0.5 in extended precision, rounded to the nearest
    // integer with ties to even (the default rounding mode).
    int32_t d = static_cast<int32_t>(std::nearbyintl(static_cast<long double>(n) * OutDensity + 0.5L));

    int32_t raw[NumTypeCodes];
    bool sized[NumTypeCodes];
    raw[NullType] = s;
    raw[CompleteType] = n - s;
    raw[RowDominantType] = (nc - mr) * nr;
    raw[ColDominantType] = (nr - mc) * nc;
    raw[RegularType] = (nc - pc) * nr + (nr - pr) * pc;
    raw[RowRegularType] = (nr - pr) * nc;
    raw[ColRegularType] = (nc - pc) * nr;
    raw[RowFunctionType] = s - pr + (nr - pr) * nc;
    raw[ColFunctionType] = s - pc + (nc - pc) * nr;
    raw[DensityType] = d - s > 0 ? d - s : 0;
    raw[DoNotCareType] = 0;
    raw[NonNullType] = s == 0 ? 1 : 0;
    raw[SymmetricType] = a;
    for (int t = 0; t <= MaxTypeCode; ++t) sized[t] = true;
    sized[RowDominantType] = nc >= MinBlockSize;
    sized[ColDominantType] = nr >= MinBlockSize;
    sized[RowRegularType] = nr >= MinBlockSize;
    sized[ColRegularType] = nc >= MinBlockSize;
    sized[RowFunctionType] = nr >= MinBlockSize;
    sized[ColFunctionType] = nc >= MinBlockSize;

    uint16_t allowed = ModelMatrix[r][c];
    int32_t q = PenaltyMatrix[r][c];
    for (int t = 0; t <= MaxTypeCode; ++t) {
        if ((allowed >> t & 1) == 0 || !sized[t]) {
            TypeErrors[t] = 999999.0;
        } else if (t == DoNotCareType) {
            RawErrors[t] = 0;
            TypeErrors[t] = 0.0;
        } else {
            RawErrors[t] = raw[t];
            TypeErrors[t] = WeightedError(raw[t], TypeWeight[t], q, n);
        }
    }
}

void BlockValue(int r, int c, int t) {
    if (ValuesRule != 1) return;
    int64_t v = 0;  // large tie values must not overflow the sum
    int32_t d = 0, g = 0, e = 0;
    for (int i = 1; i <= NumRows; ++i) {
        if (RowPartition[i] != r) continue;
        ++d;
        for (int j = 1; j <= NumCols; ++j) {
            if (ColPartition[j] != c) continue;
            v += NetworkMatrix[i][j];
            if (NetworkMatrix[i][j] > 0) ++g;
        }
    }
    for (int j = 1; j <= NumCols; ++j) {
        if (ColPartition[j] == c) ++e;
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
