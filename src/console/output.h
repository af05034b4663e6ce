// Console and listing output. Every line of the console and of the listing is
// written through these procedures, so line ends (LF on the console, CR LF in
// the listing) and the handling of failed listing writes live in one place.
#pragma once

#include <sys/types.h>

#include <cstdarg>
#include <cstddef>

// When set, called instead of the system's write for the listing and the
// partition file (a test makes a write fail, or succeed again, at will).
inline ssize_t (*WriteHook)(int fd, const void* data, size_t size) = nullptr;

// Writes formatted text to standard output; the line is not ended.
void ConPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes formatted text to standard output and ends the line.
void ConLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes a message about the run (a file that cannot be written, a stop) as
// one console line, on a line of its own even after progress marks.
void ConMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes a progress mark; the line stays open for the next one.
void ConMark(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Ends the current console line.
void ConEndLine();
// Makes everything written so far visible (before reading an answer).
void ConFlush();

// Writes formatted text to the listing; the line is not ended. Does nothing
// while no listing is open, and after a write to it has failed.
void ListPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes formatted text to the listing and ends the line with CR LF.
void ListLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Ends the current listing line with CR LF.
void ListEndLine();
// Pushes the listing to the file; a failure is reported once on the console.
void FlushListing();
// Flushes and closes the listing; held writes are released first.
void CloseListing();

// Holds what is written to the listing in a temporary file, so that a run
// stopped before ReleaseListing can leave the listing as it was.
void HoldListing();
// Appends the held writes to the listing; writes go to it directly again.
void ReleaseListing();
// Drops the held writes; the listing keeps nothing of them.
void DropListing();
// Hands all bytes to the file behind fd, going on after a partial write;
// false when the system did not take them all (a full disk, an I/O error).
bool WriteWhole(int fd, const char* data, size_t size);
