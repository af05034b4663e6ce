// Local optimization of one start: moves and exchanges while the total error
// strictly falls, then the result is listed and recorded.
#pragma once

#include <cstdint>

// Improves the accepted partitions of this repetition and records the result.
void LocalOptimization();
// The working partitions and sizes of both sides := the accepted ones.
void CopyAcceptedToWorking();
// The accepted partitions and sizes of both sides := the working ones.
void CopyWorkingToAccepted();
// Added for the tests of the ten best: enters (rep, error) with the current
// cluster sets and counts, behind any entries of equal error.
void EnterTopTen(int32_t rep, double error);
