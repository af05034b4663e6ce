// The accepted pair of partitions and what is derived from it: copies between
// the working and the accepted pair, the listing order and the cluster sets.
// Below both the search and the reports, which share these steps.
#pragma once

#include <cstdint>

#include "state.h"

// The working partitions and sizes of both sides := the accepted ones.
void CopyAcceptedToWorking();
// The accepted partitions and sizes of both sides := the working ones.
void CopyWorkingToAccepted();
// The listing order of clusters 1..k without writing anything.
void BuildListingOrder(const uint8_t partition[], uint8_t order[], int k, int n);
// sets[1..75] := the clusters of partition[1..n] as sets.
void BuildClusterSets(const uint8_t partition[], UnitSet sets[], int n);
// True when unit u is in the set.
inline bool InSet(const UnitSet& set, int u) { return (set.Bits[u >> 6] >> (u & 63)) & 1u; }
