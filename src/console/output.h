// Console and listing output. Every line of the console and of the listing is
// written through these procedures, so line ends (LF on the console, CR LF in
// the listing) and the handling of failed listing writes live in one place.
#pragma once

#include <cstdarg>

// Writes formatted text to standard output; the line is not ended.
void ConPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes formatted text to standard output and ends the line.
void ConLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Ends the current console line.
void ConEndLine();
// Makes everything written so far visible (before reading an answer).
void ConFlush();

// Writes formatted text to the listing; the line is not ended. Does nothing
// while no listing is open.
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
