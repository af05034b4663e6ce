// The clock of a series is started on the main thread before its workers,
// and only read after that, so the search threads read it without a lock.
#include "search/series_clock.h"

#include <chrono>

#include "console/output.h"
#include "state.h"

using SeriesClock = std::chrono::steady_clock;

static SeriesClock::time_point SeriesEnd;

void StartSeriesClock() {
    if (SeriesSeconds <= 0) return;
    SeriesEnd = SeriesClock::now() +
                std::chrono::duration_cast<SeriesClock::duration>(std::chrono::duration<double>(SeriesSeconds));
}

bool SeriesTimeSpent() { return SeriesSeconds > 0 && SeriesClock::now() >= SeriesEnd; }

bool EndSeriesOnTime() {
    if (RunMode != RandomRun || RepCount >= RepLimit || !SeriesTimeSpent()) return false;
    ConEndLine();
    ConLine("Time spent: the series ends after repetition %d", RepCount);
    RepLimit = RepCount;
    return true;
}
