// Local optimization of one start: moves and exchanges while the total error
// strictly falls. The search and the recording of its result are two steps,
// so that searches may run on worker threads while the results are recorded
// in repetition order.
#pragma once

#include <cstdint>

// Improves the accepted partitions (the start, equal to the working ones) of
// repetition rep on the calling thread's search state. Leaves the local
// optimum as the accepted and working pair, its error in CurrentError, its
// block matrices, listing orders and cluster sets. Writes the listing only
// at list levels above 1 or for a start read from a file.
void SearchLocalOptimum(int32_t rep);
