// What every fuzz target shares: a quiet console, input bytes offered as an
// open file, and a guarded call that turns a stop of the run into a return.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "console/text_input.h"
#include "state.h"

// Sends the console to /dev/null, ends standard input and installs the end
// hook. Called once, from LLVMFuzzerInitialize.
void StartFuzzSession();

// Resets the problem state, marks console input as ended (so that a wait
// for Enter never blocks) and opens a listing that writes to /dev/null.
void BeginInput();

// Opens file as a text file reading exactly the given bytes.
void UseInputBytes(TextFile& file, const uint8_t* data, size_t size);

// Runs reader; true when it returned, false when it ended the run through
// EndProgram. A stop with exit code 0 aborts: a stop is never a success.
bool RunGuarded(void (*reader)());

// Closes the listing, a partition file left open and the given input file.
void FinishInput(TextFile& file);

// Aborts with the message when a reader broke what it promises.
void Require(bool holds, const char* message);
