// The valued criteria's block errors. For a block with values x, every cell
// counting (zeros, and the diagonal cells of a one-mode network, too):
//   ss:  null = sum x^2,  complete = sum (x - mean)^2
//   ad:  null = sum |x|,  complete = sum |x - median|
//   val: null = sum x,    complete = sum max(0, M - x)
// The sums arrive exact, in fixed point (network/valued_cells.cpp), so the
// errors depend on the block alone. ss forms its complete error as
// sum x^2 - (sum x)^2 / n, which needs the two sums only; ad's median
// needs the block's values, which the callers gather. Arithmetic: extended
// precision, rounded once to double where a value is stored, as the binary
// criterion's.
#include "criterion/valued_errors.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "console/output.h"
#include "state.h"

long double FixedReal(FixedSum sum, int term) {
    // A sum of whole-numbered values mostly fits 64 bits, converted exactly.
    const int64_t small = static_cast<int64_t>(sum);
    if (sum == small) return static_cast<long double>(small) * TermUnit[term];
    // Two exact halves and one rounding: faster than the library's
    // conversion of a 128-bit integer, and as exact; so is the product with
    // a power of 2, which ldexp would form at many times its cost.
    const int64_t high = static_cast<int64_t>(sum >> 64);
    const uint64_t low = static_cast<uint64_t>(sum);
    const long double value = static_cast<long double>(high) * 0x1p64L + static_cast<long double>(low);
    return value * TermUnit[term];
}

// The unweighted errors of the null and the complete type.
static void RawErrors(const ValuedBlock& block, long double& nullError, long double& completeError) {
    const long double cells = static_cast<long double>(block.Cells);
    switch (Criterion) {
        case SquaresCriterion: {
            const long double sum = FixedReal(block.Sums.A, 0);
            const long double squares = FixedReal(block.Sums.B, 1);
            nullError = squares;
            completeError = block.Cells > 0 ? squares - sum * sum / cells : 0.0L;
            // Each square was rounded to a double, so the squares' sum is
            // known to 2^-53 of itself: a difference within that is no
            // deviation at all, and a constant block of 0.3s is 0, not 3e-17.
            if (completeError <= squares * 0x1p-51L) completeError = 0.0L;
            break;
        }
        case AbsoluteCriterion:
            nullError = FixedReal(block.Sums.B, 1);
            completeError = FixedReal(block.Deviation, 0);
            break;
        default:
            nullError = FixedReal(block.Sums.A, 0);
            completeError = FixedReal(static_cast<FixedSum>(block.Cells) * FixedM - block.Sums.B, 1);
            break;
    }
}

double ValuedChosenError(int r, int c, const ValuedBlock& block, double* rawError, int32_t* chosen) {
    long double nullError, completeError;
    RawErrors(block, nullError, completeError);
    const uint16_t allowed = ModelMatrix[r][c];
    const long double penalty = PenaltyMatrix[r][c];
    double best = 0.0;
    long double bestRaw = 0.0L;
    int32_t bestType = -1;
    for (int p = 1; p <= MaxTypeCode + 1; ++p) {
        const int32_t t = PrioritySequence[p];
        if (t != NullType && t != CompleteType && t != DoNotCareType) continue;
        if ((allowed >> t & 1) == 0) continue;
        const long double raw = t == NullType ? nullError : t == CompleteType ? completeError : 0.0L;
        const double weighted = t == DoNotCareType ? 0.0 : static_cast<double>(raw * TypeWeight[t] * penalty);
        if (bestType < 0 || weighted < best) {  // strict: among equal errors the earlier priority stays
            best = weighted;
            bestRaw = raw;
            bestType = t;
        }
    }
    if (bestType < 0) best = 999998.0;
    if (rawError != nullptr) *rawError = static_cast<double>(bestRaw);
    if (chosen != nullptr) *chosen = bestType;
    return best;
}

FixedSum AbsoluteDeviation(FixedSum values[], int32_t count, int64_t zeros, FixedSum& median) {
    const int64_t cells = count + zeros;
    median = 0;
    if (cells == 0) return 0;
    // The lower middle of the sorted cells: among the negative values, the
    // zeros or the positive values.
    const int64_t middle = (cells - 1) / 2;
    FixedSum* positive = std::partition(values, values + count, [](FixedSum v) { return v < 0; });
    const int64_t negatives = positive - values;
    if (middle < negatives) {
        std::nth_element(values, values + middle, positive);
        median = values[middle];
    } else if (middle >= negatives + zeros) {
        FixedSum* at = positive + (middle - negatives - zeros);
        std::nth_element(positive, at, values + count);
        median = *at;
    }
    FixedSum deviation = static_cast<FixedSum>(zeros) * (median < 0 ? -median : median);
    for (int32_t n = 0; n < count; ++n) deviation += values[n] < median ? median - values[n] : values[n] - median;
    return deviation;
}

// The values of the block being scanned (ad), held for the thread's later scans.
static thread_local std::vector<FixedSum> BlockValues;

double ValuedBlockError(int r, int c, bool showErrors) {
    ValuedBlock block{};
    block.Cells = static_cast<int64_t>(ClusterSize[RowSide][r]) * ClusterSize[ColSide][c];
    const bool gather = Criterion == AbsoluteCriterion;
    if (gather && BlockValues.size() < CellTerm.size()) BlockValues.resize(CellTerm.size());
    int32_t count = 0;
    for (int i = 1; i <= SideUnits[RowSide]; ++i) {
        if (Partition[RowSide][i] != r) continue;
        for (int32_t n = ValuedCells.Start[i]; n < ValuedCells.Start[i + 1]; ++n) {
            if (Partition[ColSide][ValuedCells.Units[n]] != c) continue;
            block.Sums.A += CellTerm[n].A;
            block.Sums.B += CellTerm[n].B;
            if (gather) BlockValues[count++] = CellTerm[n].A;
        }
    }
    if (gather) block.Deviation = AbsoluteDeviation(BlockValues.data(), count, block.Cells - count, block.Median);

    double raw;
    int32_t chosen;
    const double best = ValuedChosenError(r, c, block, &raw, &chosen);
    if (ListTrace) {
        ListLine(" error[ %2d, %2d ] = %10.3f%5d", r, c, best, chosen);
        FlushListing();
    }
    BlockTypeMatrix[r][c] = chosen;
    ErrorMatrix[r][c] = 0;
    ValuedErrorMatrix[r][c] = chosen >= 0 ? raw : 0.0;
    if (showErrors) {
        long double center = PresetM;
        if (Criterion == SquaresCriterion)
            center = block.Cells > 0 ? FixedReal(block.Sums.A, 0) / block.Cells : 0.0L;
        if (Criterion == AbsoluteCriterion) center = FixedReal(block.Median, 0);
        BlockCenterMatrix[r][c] = static_cast<double>(center);
        // The block value of values=1 is the mean of the values as read.
        const long double mean = block.Cells > 0 ? FixedReal(block.Sums.A, 0) / block.Cells : 0.0L;
        if (ValuesRule == AverageValues) RealValueMatrix[r][c] = static_cast<double>(mean);
    }
    return best;
}
