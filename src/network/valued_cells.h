// The cell values in the form the valued criteria add them.
#pragma once

// Fills CellTerm, TermScale, FixedM, ValuedColumns and ColumnCell from the
// tie storage under a valued criterion (M from PresetM); empties them under
// the binary one. Called when the tie storage is built.
void PrepareValuedCells();
