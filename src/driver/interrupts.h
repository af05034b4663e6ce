// Ctrl-C during a random series: the first ends the series after its running
// repetition, so that the run can still report and save its work; the second
// ends the program at once.
#pragma once

// Catches the next SIGINT into SeriesInterrupted; the one after it takes
// the default action again.
void CatchSeriesInterrupt();
// SIGINT takes the default action again: outside a series it ends the
// program at once.
void ReleaseSeriesInterrupt();
