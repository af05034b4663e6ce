// The problem state as at program start, for fuzz drivers that run a reader
// many times in one process: every input must see the state a fresh run sees.
#pragma once

// Resets the whole problem state, then sets what the program sets before its
// readers run: the environment defaults, the listing page, the empty results.
void ResetFuzzState();
