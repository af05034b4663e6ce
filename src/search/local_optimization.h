// Local optimization of one start: moves and exchanges while the total error
// strictly falls. The search and the recording of its result are two steps,
// so that searches may run on worker threads while the results are recorded
// in repetition order.
#pragma once

#include <cstdint>

// The steps of a local optimization, for the neighbourhood search. Each
// starts from the accepted partitions, equal to the working ones, of error
// CurrentError, and leaves its result as the accepted pair, its error in
// CurrentError. They write the listing only at list levels above 1.
//
// Makes the accepted pair the one the trials are judged against. Call it
// whenever the accepted pair changed by other means.
void StartTrials();
// Moves and exchanges until none lowers the error: a local optimum.
void ImproveToLocalOptimum();
// Moves alone until none lowers the error.
void DescendByMoves();
// From partitions no move improves, moves and exchanges until none lowers
// the error: ImproveToLocalOptimum without its first, idle move phases.
void ImproveSettled();
// A unit of a side, as the neighbourhood search names the units it moves.
struct ShakenUnit {
    int32_t Side;
    int32_t Unit;
};
// One pass of moves of the units listed, each tried at every other cluster;
// true when any unit moved.
bool SettleUnits(const ShakenUnit units[], int count);
// Moves unit u of side s (of both sides in a one-mode network) to cluster c
// whatever the error, which becomes CurrentError; the accepted pair must
// equal the working one, and the unit's cluster keep another unit.
void ForceMove(int s, int u, int c);
// The error after unit u of side s (of both sides in a one-mode network)
// moves to cluster c; the partitions stay as they are.
double MoveTrialError(int s, int u, int c);
// Improves the accepted partitions (the start, equal to the working ones) of
// repetition rep on the calling thread's search state, by the search
// strategy. Leaves the local optimum as the accepted and working pair, its
// error in CurrentError, its block matrices, listing orders and cluster
// sets. Writes the listing only at list levels above 1 or for a start read
// from a file.
void SearchLocalOptimum(int32_t rep);
