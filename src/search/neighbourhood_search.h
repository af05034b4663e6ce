// The neighbourhood search of a repetition (search=vns): from the local
// optimum of its start, shakes and local optimizations until ShakeLimit
// shakes in a row have brought no improvement.
#pragma once

#include <cstdint>

// The largest number of units one shake moves.
int32_t LargestShake();
// Improves the local optimum of repetition rep, the accepted pair of error
// CurrentError, on the calling thread's search state; leaves the best
// partitions found as the accepted and working pair, their error in
// CurrentError. A series whose time is spent ends it after the running shake.
void SearchNeighbourhood(int32_t rep);
