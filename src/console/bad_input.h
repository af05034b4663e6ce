// The one way a run ends on bad input: the message, the listing flushed, a
// wait for Enter, exit code 1. Above the prompts, whose wait it uses.
#pragma once

#include <cstdint>

// Writes the message as one console line (lines the caller wrote just before
// belong to it), then stops as StopAfterMessage does.
[[noreturn]] void StopOnBadInput(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Stops a run whose message is already on the console: the listing flushed,
// a wait for Enter, exit code 1.
[[noreturn]] void StopAfterMessage();
// Writes the fatal error line of a reader, then stops as StopAfterMessage does.
[[noreturn]] void FatalError(int32_t code);
