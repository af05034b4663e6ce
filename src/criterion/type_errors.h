// From the statistics of a block to its weighted type errors and its chosen
// type. Both evaluators of the criterion, the full scan and the incremental
// one, go through these two procedures, so that they form every error with
// the same extended-precision expressions and agree bit for bit.
#pragma once

#include <cstdint>

#include "state.h"

// The counts of one block that every ideal type's error is made of.
struct BlockStatistics {
    int32_t Units[2];    // rows, columns of the block (n_r, n_c)
    int32_t NonNull[2];  // rows, columns with at least one tie (p_r, p_c)
    int32_t MaxSum[2];   // largest row sum, largest column sum; 0 for no line
    int32_t Ones;        // ties in the block (S)
    int32_t Asymmetry;   // cells whose mirror cell differs (A)
    int32_t Cells;       // block size N, the divisor of the size mode
};

// Fills RawErrors and TypeErrors of block (r, c) from its statistics. A type
// that is not allowed, or fails its size condition, gets 999999.0 and keeps
// its RawErrors entry.
void TypeErrorsFromStatistics(int r, int c, const BlockStatistics& stats, int32_t RawErrors[],
                              double TypeErrors[]);

// The allowed type of least error, ties going to the higher priority; -1
// when none has an error below 999998.0. Its error (999998.0 for none) goes
// to best.
int32_t ChosenType(const double TypeErrors[], double& best);
