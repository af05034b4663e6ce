// The environment file shared by the programs of the family: the run title,
// the last file name of each kind and a few integer settings, in 15 lines.
#pragma once

#include <string>

#include "console/text_input.h"
#include "state.h"

// Sets the title, the file names and the numbers to the family's defaults.
void SetEnvironmentDefaults();
// Sets the defaults, then reads the environment file, or creates it.
void LoadEnvironment();
// Reads the 15 lines from an open file into the settings.
void ReadEnvironment(TextFile& file);
// Replaces the file named by EnvFileName with the 15 lines of the settings.
void SaveEnvironment();
// Writes the settings listing on the console.
void ShowEnvironment();
// The exact bytes SaveEnvironment writes.
std::string EnvironmentText();
