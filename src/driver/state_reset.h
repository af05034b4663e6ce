// Putting the problem state back to its start: every number, flag and matrix
// zero, every text empty, no file open.
#pragma once

// Sets the whole problem state as it is when the program starts. Files still
// open are closed first. Used wherever one process runs many problems.
void ResetProblemState();
