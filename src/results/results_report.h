// The report of a series with its ten best results.
#pragma once

#include <cstdint>

#include "state.h"

// Makes the best result of the series current: its cluster counts, cluster
// sets, accepted and working partitions and listing orders. False, with
// nothing changed, when the series has no result.
bool MakeBestCurrent();
// The summary of a series followed by its ten best results and, when it has
// a result (made current before), the matrices of the best blockmodel and
// the result files. The summary shows the cluster counts of the best result,
// or clusters when there is none. LatestReport keeps what the console
// summary of a scripted run shows of it.
void WriteSeriesReport(const int32_t clusters[2]);
