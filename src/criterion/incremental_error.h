// The criterion of the search, kept up to date trial by trial. It gives the
// same total error as TotalError, bit for bit, but a trial costs the units of
// one side plus the blocks instead of every cell of the network. It writes
// neither the block matrices nor any trace: the evaluations that are printed
// stay with TotalError.
#pragma once

#include <limits>

// Builds the kept state from the working partitions (and their sizes), which
// become the accepted pair of the evaluator. Call it when the search starts.
void StartIncrementalError();
// Frees this thread's tables, at the end of a search thread.
void ReleaseIncrementalTables();

constexpr double NoLimit = std::numeric_limits<double>::infinity();

// The total error of the accepted pair after one trial step. The working
// partitions must already hold that trial: they are read for the constraint
// penalties only. Nothing kept changes until AcceptIncrementalTrial.
// A trial whose total is provably not below the accepted pair's, when limit
// is at most the accepted pair's total, gives infinity instead: a search
// that takes only totals below limit takes the same trials either way.
double MoveError(int s, int u, int c, double limit = NoLimit);      // unit u of side s into its cluster c
double ExchangeError(int s, int a, int b, double limit = NoLimit);  // units a and b of side s swap clusters

// The same for one partition of a one-mode network, rows and columns kept
// equal: the unit or units change cluster on both sides at once. These give
// the exact total, never infinity.
double BothSidesMoveError(int u, int c);      // unit u into cluster c
double BothSidesExchangeError(int a, int b);  // units a and b swap clusters

// Makes the latest trial the accepted pair of the evaluator.
void AcceptIncrementalTrial();
