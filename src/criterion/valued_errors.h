// The block errors of the valued criteria (ss, ad, val), shared by the full
// scan and the incremental evaluator, and the full scan of one block.
#pragma once

#include <cstdint>

#include "state.h"

// What the error of a block is made of under a valued criterion.
struct ValuedBlock {
    int64_t Cells;       // rows x columns of the block
    CellTerms Sums;      // the sums of its cells' terms (cells without a value add nothing)
    FixedSum Deviation;  // ad: the sum of |x - median| over every cell, on the scale of term A
    FixedSum Median;     // ad: the median, on the scale of term A
};

// The weighted error of the chosen type of block (r, c); 999998.0 and type
// -1 when the block allows none. rawError and chosen, when given, receive
// the chosen type's unweighted error and code.
double ValuedChosenError(int r, int c, const ValuedBlock& block, double* rawError = nullptr,
                         int32_t* chosen = nullptr);

// The sum of |x - median| over count values and zeros more, with the median
// (the lower middle value) in median. Reorders values.
FixedSum AbsoluteDeviation(FixedSum values[], int32_t count, int64_t zeros, FixedSum& median);

// A fixed-point sum of term 0 (A) or 1 (B) as a real number, rounded once
// to long double.
long double FixedReal(FixedSum sum, int term);

// BlockError under a valued criterion: scans block (r, c) of the working
// partitions, fills BlockTypeMatrix, ValuedErrorMatrix (ErrorMatrix 0), and
// when showErrors BlockCenterMatrix and RealValueMatrix.
double ValuedBlockError(int r, int c, bool showErrors);
