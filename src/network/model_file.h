// The model of a run into the problem state: read from the model definition
// file, or the one blocks= gives.
#pragma once

#include <string>

// Reads ModelFile (open for reading; empty for the default model) into the
// model state and echoes it to the listing. Does not return on a bad number.
void ReadModel();
// The model of blocks= instead of a file: 75 x 75 blocks, each allowing
// GivenBlockTypes with penalty 1, echoed to the listing as the file of the
// block line "0 3 1" and those codes would be.
void UseGivenBlocks();
// The types of blocks=, named as the keyword takes them: "null,complete".
std::string GivenBlocksText();
