// From the statistics of a block to its weighted type errors and its chosen
// type. Both evaluators of the criterion, the full scan and the incremental
// one, go through these two procedures, so that they form every error with
// the same extended-precision expressions and agree bit for bit.
#pragma once

#include <cstdint>

#include "state.h"

// Fills RawErrors and TypeErrors of block (r, c) from its statistics. A type
// that is not allowed, or fails its size condition, gets 999999.0 and keeps
// its RawErrors entry.
void TypeErrorsFromStatistics(int r, int c, const BlockStatistics& stats, int32_t RawErrors[],
                              double TypeErrors[]);

// The allowed type of least error, ties going to the higher priority; -1
// when none has an error below 999998.0. Its error (999998.0 for none) goes
// to best.
int32_t ChosenType(const double TypeErrors[], double& best);
