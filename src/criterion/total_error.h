// The criterion: the best allowed type of each block and the total error P of
// the working partitions, constraint penalties included. This is the
// reference evaluation; it rescans every block and writes the block matrices.
#pragma once

// The weighted error of block (r, c) for its chosen type, 999998.0 when none
// can be chosen; fills BlockTypeMatrix, ErrorMatrix (and RealValueMatrix
// when showErrors: the evaluation is printed) for the block.
double BlockError(int r, int c, bool showErrors = false);

// The total error P of the working partitions; showErrors as for BlockError.
double TotalError(bool showErrors = false);

// The penalties of the violated constraints of the working partitions,
// summed in constraint order as TotalError sums them.
double ConstraintPenalty();

// a + b formed in extended precision and rounded once to double: every sum
// of the criterion is formed this way, in both evaluators.
inline double AddExtended(double a, long double b) {
    return static_cast<double>(static_cast<long double>(a) + b);
}
