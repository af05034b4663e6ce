// The random generator, random start partitions and the start of a series.
#pragma once

#include <cstdint>

// Seeds the generator once per run: the seed= argument, else KORVEL_SEED
// when it holds an integer 0..4294967295, else the time of day in UTC.
// Sets SeedFixed, FixedSeed and RunSeed.
void SeedRandom();
// A real in [0, 1).
double RandomUniform();
// An integer in 0..m-1, for m >= 1.
int32_t RandomBelow(int32_t m);
// Fills partition[1..n] with clusters 1..k, every cluster non-empty, and
// sizes[1..k] with their sizes.
void RandomPartition(uint8_t partition[], int32_t sizes[], int n, int k);
// The start of the next repetition of a random series: the working
// partitions and sizes of both sides, rows drawn first.
void DrawRandomStarts();
// Empties the results of a series (ten best, best error, exact fits).
// The program start uses it too: a run begins with the results a new series has.
void ResetSeriesResults();
// Starts a random series of clusters[side] clusters: the repetitions are
// counted from 1 and the results emptied; in a sweep the generator starts
// again from the seed of the run.
void StartRandomSeries(const int32_t clusters[2]);
