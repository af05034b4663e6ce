// Reading the network file into the problem state.
#pragma once

// Reads NetFile (open for reading) into the network state, with its console
// and listing trace. Does not return on bad input.
void ReadNetwork();
// Writes the console line "N negative tie values read as no tie" when cells
// of the network just read hold a value below 0 (they count as no tie).
void ReportNegativeValues();
