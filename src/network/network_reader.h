// Reading the network file into the problem state.
#pragma once

// Reads NetFile (open for reading) into the network state, with its console
// and listing trace. Does not return on bad input.
void ReadNetwork();
