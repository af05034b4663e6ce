// criterion=ad in the incremental criterion: every kept block's values
// sorted, so that a trial finds the median of a changed block, and the sum
// of the distances to it, from the kept values and the few that move.
#pragma once

// Sorts the values of every block of the kept partitions into the pool, and
// sets the sums of magnitudes and the errors of every block.
void BuildMedianBlocks();
// The trial blocks of unit x of side s from cluster p to q and unit y (0:
// none) from q to p, from the kept state: TrialRow, TrialCol, TrialError.
void MedianStep(int s, int p, int q, int x, int y);
// Makes that step the pool's and the sums', before the kept partition takes it.
void KeepMedianStep(int s, int p, int q, int x, int y);
void ReleaseMedianBlocks();
