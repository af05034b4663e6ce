// The version and the short usage written for --version, --help and -h.
#pragma once

inline const char* const VersionDate = "7 December 2026";
inline const char* const YearRange = "1990-2026";

// When an argument is --help, -h or --version, writes the usage or the
// version line and ends the program with exit code 0, touching no file.
void AnswerUsageArguments();
