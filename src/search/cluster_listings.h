// Clusterings in the listing: the cluster listing of a side and the set notation.
#pragma once

#include <cstdint>

#include "state.h"

// Lists the clusters of side s (RowSide or ColSide) of partition, with
// their sizes, when ListClusters, and fills the side's listing order.
void WriteClusterListing(int s, const uint8_t partition[], const int32_t sizes[]);
// Writes clusters 1..k of partition as sets of units 1..n on the current listing line.
void WriteClusterSets(const uint8_t partition[], int k, int n);
