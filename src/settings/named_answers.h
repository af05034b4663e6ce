// Answers named on the command line (rows=3, reps=100, weights=com:2, ...).
// Each answers one question of the dialogues as if typed; any of rows=,
// cols=, reps= or run= makes the whole run scripted.
#pragma once

#include <cstdint>
#include <string>

// Reads the answer arguments into NamedAnswers, sets ScriptedRun,
// GivenBlockTypes (blocks=) and the ranges of a sweep (rows=A..B, cols=C..D),
// and checks every answer whose range does not depend on the data. A bad
// answer, or blocks= beside mdl=, ends the program with exit code 1 before
// any file is touched.
void ReadNamedAnswers();

// Checks the cluster counts and the minimal size named on the command line
// against the network and model just read. A bad answer drops the held
// listing writes and ends the program with exit code 1.
void CheckNamedAnswersAgainstData();

// True when an answer named on the command line waits to be checked against
// the network and model.
bool NamedAnswersNeedData();

// Converts a seed: a decimal integer 0..4294967295, nothing else.
bool ParseSeed(const char* text, uint32_t& seed);
// The seed of the last seed= argument; false when there is none.
bool NamedSeed(uint32_t& seed);
