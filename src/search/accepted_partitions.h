// The accepted pair of partitions and what is derived from it: copies between
// the working and the accepted pair, and the listing order.
// Below both the search and the reports, which share these steps.
#pragma once

#include <cstdint>

#include "state.h"

// The working partitions and sizes of both sides := the accepted ones.
void CopyAcceptedToWorking();
// The accepted partitions and sizes of both sides := the working ones.
void CopyWorkingToAccepted();
// The listing order of clusters 1..k without writing anything.
void BuildListingOrder(const uint8_t partition[], int32_t order[], int k, int n);
