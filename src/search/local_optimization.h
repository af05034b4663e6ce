// Local optimization of one start: moves and exchanges while the total error
// strictly falls, then the result is listed and recorded.
#pragma once

// Improves the accepted partitions of this repetition and records the result.
void LocalOptimization();
