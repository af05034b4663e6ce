// Choosing and opening the working files. Every open first lets the user
// confirm or change the name, and the name chosen is written back into the
// caller's variable so that it reaches the environment file.
#pragma once

#include <cstdio>
#include <string>

#include "console/text_input.h"
#include "state.h"

enum FileMode : int { ReadMode = 0, WriteMode = 1, AppendMode = 2 };

// The file selection dialogue: name holds the chosen name afterwards.
void SelectFile(const char* description, std::string& name);

// True when a file (or folder) of that name exists.
bool FileExists(const std::string& name);

// Selects the name, then opens it as OpenSelectedOutputFile does.
FILE* OpenOutputFile(FileMode mode, std::string& name, const char* description, FileRole role);

// Claims the file for role (a file of another role stops the run), then opens
// it for writing (WriteMode, or any mode when no such file exists: it is
// created) or appending, with the console line "Rewrite " or "Append " and
// the name, and locks it for this run. Gives null when the open failed; when
// another run holds the file, FileInUse is set and the console says "In use
// by another run: " and the name.
FILE* OpenSelectedOutputFile(FileMode mode, const std::string& name, FileRole role);

// Selects the name, claims the file for role, then opens it for reading
// ("Reset "). A file that does not exist is created empty first ("Rewrite "),
// except in a scripted run, which stops on it as RequireExistingFile does.
// False when it cannot be read.
bool OpenInputFile(TextFile& file, std::string& name, const char* description, FileRole role);

// Stops the run on a file to be read that does not exist ("No such file: "
// and the name), before anything creates it.
void RequireExistingFile(const std::string& name);

// Takes a shared lock on a file opened for reading, so that it is not read
// while another run writes it. False, with the file closed, FileInUse set and
// the console line "In use by another run: " and the name, when it is.
bool LockForReading(TextFile& file, const std::string& name);
