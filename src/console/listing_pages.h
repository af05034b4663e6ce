// Listing pages: writers announce the lines they are about to write, and the
// page breaks, form feeds and page headers are decided here alone.
#pragma once

#include <cstdint>

// Announces n lines (n > 0), asks that -n lines stay together (n < 0), or
// forces a new page (n >= 100).
void NewLines(int32_t n);
