// A sweep over cluster counts. rows=A..B and cols=C..D answer the cluster
// questions with one pair of counts after the other, rows outer and columns
// inner, and the run question with a random series again until the last pair
// has had its series.
#pragma once

#include <cstdint>

#include "console/prompts.h"
#include "state.h"

// Reads a count, "N", or a range of counts, "A..B"; first and last are equal
// for a single count. False for any other text; A > B is left to the caller.
bool ParseClusterCounts(const char* text, int32_t& first, int32_t& last);
// The side whose cluster count q asks (the one count of one partition is the
// rows'); -1 when q asks no cluster count.
int ClusterSideOf(const Question& q);
// Fixes the sweep once the network and the model are read (one partition
// sweeps the counts of rows= alone) and makes its first pair current.
void PlanSweep();
// The answer of a cluster question in a sweep: the count of the current
// pair. False when q's side is not swept.
bool SweepAnswer(const Question& q, GivenAnswer& given);
// After a random series of a sweep, moves to the next pair; false after the
// last pair, and outside a sweep of random series.
bool NextSweepPair();
