// The incremental criterion under a valued criterion: the entry points of
// criterion/incremental_error.h hand their work here when one is chosen, and
// the totals are the full scan's, bit for bit.
#pragma once

#include "criterion/incremental_error.h"

void StartValuedIncremental();
void ReleaseValuedTables();
// limit as for MoveError and ExchangeError.
double ValuedMoveError(int s, int u, int c, double limit);
double ValuedExchangeError(int s, int a, int b, double limit);
// Unit x (and y, 0 for none, the other way) of one partition into cluster q.
double ValuedBothSidesError(int x, int y, int q);
void AcceptValuedTrial();
