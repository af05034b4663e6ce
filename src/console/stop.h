// The ends of a run. Every way the program ends goes through EndProgram, so
// that files are closed alike and a test or fuzz driver has one place to
// intercept an end.
#pragma once

#include <cstdint>

// When set, called by EndProgram instead of ending the process; it must not
// return (a fuzz driver jumps back to its loop).
inline void (*EndProgramHook)(int exitCode) = nullptr;

// Set while worker threads search: stops them, so that an end in the middle
// of a series does not leave the process waiting on them at exit.
inline void (*StopBackgroundSearch)() = nullptr;

// Flushes and closes the listing and a partition file open for saving; a
// failed write is reported once.
void CloseOutputFiles();

// Closes the listing and a partition file open for saving, flushes the
// console and ends the process with exitCode.
[[noreturn]] void EndProgram(int exitCode);

// Ends the run when standard input has ended at a question that would be
// asked again forever: no wait for Enter, the environment is not saved.
[[noreturn]] void StopOnConsoleEnd();
