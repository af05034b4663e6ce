// Clusterings in the listing: cluster listings with the listing order, the set
// notation, and the report of a series with its ten best results.
#pragma once

#include <cstdint>

#include "state.h"

// Lists the clusters of side s (RowSide or ColSide) of partition, with
// their sizes, when ListClusters, and fills the side's listing order.
void WriteClusterListing(int s, const uint8_t partition[], const uint8_t sizes[]);
// Writes clusters 1..k as sets of units 1..n on the current listing line.
void WriteClusterSets(const UnitSet sets[], int k, int n);
// The summary of a series followed by its ten best results.
void WriteSeriesReport();
// The ten best results; makes the best one current again with its matrices.
void WriteTopTen();
