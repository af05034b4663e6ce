// The criterion of the search, kept up to date trial by trial. It gives the
// same total error as TotalError, bit for bit, but a trial costs the units of
// one side plus the blocks instead of every cell of the network. It writes
// neither the block matrices nor any trace: the evaluations that are printed
// stay with TotalError.
#pragma once

// Builds the kept state from the working partitions (and their sizes), which
// become the accepted pair of the evaluator. Call it when the search starts.
void StartIncrementalError();

// The total error of the accepted pair after one trial step. The working
// partitions must already hold that trial: they are read for the constraint
// penalties only. Nothing kept changes until AcceptIncrementalTrial.
double RowMoveError(int u, int c);       // row unit u into row cluster c
double ColMoveError(int v, int c);       // column unit v into column cluster c
double RowExchangeError(int a, int b);   // row units a and b swap clusters
double ColExchangeError(int a, int b);   // column units a and b swap clusters

// Makes the latest trial the accepted pair of the evaluator.
void AcceptIncrementalTrial();
