// The criterion: the best allowed type of each block and the total error P of
// the working partitions, constraint penalties included. This is the
// reference evaluation; it rescans every block and writes the block matrices.
#pragma once

// The weighted error of block (r, c) for its chosen type, 999998.0 when none
// can be chosen; fills BlockTypeMatrix, ErrorMatrix (and RealValueMatrix
// while ShowErrors is set) for the block.
double BlockError(int r, int c);

// The total error P of RowPartition x ColPartition.
double TotalError();
