// A random series whose searches run on worker threads while the main thread
// draws the starts and records the results, both in repetition order.
#pragma once

// True when the series just asked for may run on worker threads: a random
// series, more than one thread (threads=, else every hardware thread), list
// level 1 (the higher levels print every move) and no question after each
// repetition (save option 1 asks in order on one thread).
bool SeriesRunsOnThreads();
// Runs repetitions RepCount..RepLimit of the series, at least one, and
// leaves RepCount at the last one recorded: RepLimit, or the repetition
// recorded when a Ctrl-C arrived. The console, listing and files get exactly
// what the single-threaded loop writes. recordRepetition records repetition
// RepCount, whose result is then the main thread's search state, as the
// single-threaded loop would. False, with nothing done, when no worker thread
// could be started.
bool RunThreadedSeries(void (*recordRepetition)());
