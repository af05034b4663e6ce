// The ties of the network as the criterion, the listings and the result
// files read them: sorted lists of the units each unit is tied to, with the
// values as read, built once when the network is read. The reader hands in
// the cells as the file sets them; a later value of a cell replaces the
// earlier one, as a line of the file does.
#pragma once

#include <cstdint>

#include "state.h"

void StartCells();
// Row unit i, column unit j (each from 1): the value as read and rounded.
void SetCell(int32_t i, int32_t j, int32_t value, double real);
// Builds the tie storage from the cells set since StartCells; may be called
// again after more cells are set. ReleaseCells then frees what it kept.
void FinishCells();
void ReleaseCells();

// The rounded value of cell (i, j), 0 where none was set; a tie is a
// positive value.
int32_t CellValueAt(int32_t i, int32_t j);
bool IsTie(int32_t i, int32_t j);
// The value of cell (i, j) as read, 0 where none was set.
double CellRealAt(int32_t i, int32_t j);
