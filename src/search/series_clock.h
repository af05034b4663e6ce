// The time budget of a random series (time=SECONDS).
#pragma once

// Starts the clock of a new series.
void StartSeriesClock();
// True once a series with a time budget has spent it. Read on any thread.
bool SeriesTimeSpent();
// After repetition RepCount of a random series on the main thread: when the
// series has spent its time before its last repetition, says so on the
// console and makes RepCount the last one. True then.
bool EndSeriesOnTime();
