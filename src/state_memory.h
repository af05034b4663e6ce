// The tables whose size the network sets: allocated once, when the network
// is read, and by every search thread for its own copy when it starts.
#pragma once

#include <cstdint>

// The names and label starts of NumUnits units, and this thread's search tables.
void SizeNetworkState();
// This thread's copy of the search tables for SideUnits units a side. A
// thread that sized them keeps them until ReleaseSearchState.
void SizeSearchState();
void ReleaseSearchState();

// The memory in megabytes a network of these sides needs on this many
// search threads, before its ties are read: every table but the ties.
int64_t NetworkMegabytes(int64_t rows, int64_t cols, int threads);
// The machine's memory in megabytes.
int64_t MachineMegabytes();
