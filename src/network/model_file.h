// Reading the model definition file into the problem state.
#pragma once

// Reads ModelFile (open for reading; empty for the default model) into the
// model state and echoes it to the listing. Does not return on a bad number.
void ReadModel();
