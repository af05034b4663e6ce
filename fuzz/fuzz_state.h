// The problem state as at program start, for fuzz drivers that run a reader
// many times in one process: every input must see the state a fresh run sees.
#pragma once

// Zeroes the network, model, partitions, run control and texts, and sets the
// environment settings to the values the environment defaults give.
void ResetProblemState();
