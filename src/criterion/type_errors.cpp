// The weighted error of every ideal type from the statistics of a block, and
// the choice of the best allowed type. The full evaluator and the incremental
// one both come here, so their errors are formed by the same expressions.
//
// Arithmetic: every weighted error is formed left to right in long double
// (80-bit extended on this platform, rounding to nearest) and rounded once to
// double when it is stored.
#include "criterion/type_errors.h"

#include <cmath>

#include "state.h"

// The weighted error of a raw error: ((raw + 1) x w x q) / N in size mode,
// raw x w x q otherwise. An empty block (N = 0, which the search never
// produces) divides by 1 instead of 0.
static double WeightedError(int32_t raw, double w, int32_t q, int32_t n) {
    if (ErrorType == SizeErrors) {
        long double product = static_cast<long double>(raw + 1) * w * q;
        long double quotient = product / (n > 0 ? n : 1);
        return static_cast<double>(quotient);
    }
    return static_cast<double>(static_cast<long double>(raw) * w * q);
}

void TypeErrorsFromStatistics(int r, int c, const BlockStatistics& stats, int32_t RawErrors[],
                              double TypeErrors[]) {
    const int32_t nr = stats.Units[RowSide], nc = stats.Units[ColSide];
    const int32_t pr = stats.NonNull[RowSide], pc = stats.NonNull[ColSide];
    const int32_t mr = stats.MaxSum[RowSide], mc = stats.MaxSum[ColSide];
    const int32_t s = stats.Ones, n = stats.Cells;
    const uint16_t allowed = ModelMatrix[r][c];

    // D: N x OutDensity + 0.5 in extended precision, rounded to the nearest
    // integer with ties to even (the default rounding mode). Only the density
    // type reads it, and the library call is the dearest step here.
    int32_t d = 0;
    if (allowed >> DensityType & 1)
        d = static_cast<int32_t>(std::nearbyintl(static_cast<long double>(n) * OutDensity + 0.5L));

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
    raw[SymmetricType] = stats.Asymmetry;
    for (int t = 0; t <= MaxTypeCode; ++t) sized[t] = true;
    sized[RowDominantType] = nc >= MinBlockSize;
    sized[ColDominantType] = nr >= MinBlockSize;
    sized[RowRegularType] = nr >= MinBlockSize;
    sized[ColRegularType] = nc >= MinBlockSize;
    sized[RowFunctionType] = nr >= MinBlockSize;
    sized[ColFunctionType] = nc >= MinBlockSize;

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

int32_t ChosenType(const double TypeErrors[], double& best) {
    best = 999998.0;
    int32_t chosen = -1;
    for (int p = 1; p <= MaxTypeCode + 1; ++p) {
        int32_t t = PrioritySequence[p];
        if (t < 0 || t > MaxTypeCode) continue;
        if (TypeErrors[t] < best) {  // strict: among equal errors the earlier priority stays
            best = TypeErrors[t];
            chosen = t;
        }
    }
    return chosen;
}
