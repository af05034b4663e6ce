// Files replaced whole: the environment file and the result files. A reader
// sees the old file or the new one, never a part, and a failed or killed
// write leaves the old file as it was.
#pragma once

#include <sys/types.h>

#include <string>

// The permission bits a replacement of name keeps: those of the file it
// replaces, or the usual ones for a new file. False when the file exists and
// this user may not write it, so that it must be left as it is.
bool ReplacementMode(const std::string& name, mode_t& mode);

// Writes bytes to a new file in the folder of name, with the given
// permission bits, and renames it over name; false, with name as it was, when
// any step fails.
bool ReplaceWholeFile(const std::string& name, const std::string& bytes, mode_t mode);
