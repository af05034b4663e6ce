// Helpers shared by the tests: a clean problem state, small networks and
// partitions drawn as text, a listing captured in memory, input files made
// from strings, and runs of the built program in a temporary folder.
#pragma once

#include <string>
#include <vector>

#include "console/text_input.h"
#include "network/tie_storage.h"
#include "state.h"
#include "state_memory.h"

// Zeroes the whole problem state, as at program start.
void ResetState();

// Sends the listing to a temporary file; ListingText gives what was written.
void CaptureListing();
std::string ListingText();

// Opens a TextFile reading the given bytes.
void UseTextFile(TextFile& file, const std::string& content);

// Sets a network from rows of '0'/'1' (or digits, as tie values).
void UseBinaryNetwork(const std::vector<std::string>& rows);
// Every block of a 2 x 2 model allows the given set of types with the given
// penalty; constant errors, minimal size 1.
void AllowEverywhere(uint16_t allowed, int32_t penalty = 1);
// Sets the working and accepted partitions (clusters from 1) with their sizes.
void UsePartitions(const std::vector<int>& rows, const std::vector<int>& cols);

// Runs procedure with the console answers given and the console captured;
// gives what it wrote on the console.
std::string WithConsole(const char* answers, void (*procedure)());

// A disk that fills and frees again under the listing and the partition
// file: write call failAt takes half its bytes, the next call fails for lack
// of space, all others pass through. WriteCalls counts them.
void UseFillingDisk(int failAt);
int WriteCalls();
void UseSystemWrite();

// A temporary folder, removed at the end of the test.
struct TempFolder {
    std::string Path;
    TempFolder();
    ~TempFolder();
    void Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
};

// The outcome of one run of build/korvel.
struct RunResult {
    int ExitCode;
    std::string Console;
};
// Runs the program in folder with the given console input, arguments and seed.
RunResult RunKorvel(const TempFolder& folder, const std::string& input,
                    const std::string& arguments = "", const std::string& seed = "1");

// The bytes of a file of examples/.
std::string Example(const std::string& name);
// True when text holds part.
bool Contains(const std::string& text, const std::string& part);
