// The error of every ideal block type in one block, and the block's value.
#pragma once

#include <cstdint>

// Fills RawErrors and TypeErrors for block (r, c) of the working partitions.
// A type that is not allowed, or fails its size condition, gets 999999.0 and
// keeps its RawErrors entry.
void BlockTypeErrors(int r, int c, int32_t RawErrors[], double TypeErrors[]);

// Stores the value of block (r, c) for its chosen type t (-1: none) in
// RealValueMatrix when ValuesRule is 1.
void BlockValue(int r, int c, int t);
