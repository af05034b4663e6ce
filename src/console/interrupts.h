// Ctrl-C. At a question typed on the console it ends the program at once. In
// a random series the first ends the series after its running repetition, so
// that the run can still report and save its work, and a second one ends the
// program at once. While the run writes a series report and the files after
// it, Ctrl-C waits for the writes to end, so that no file is left cut.
#pragma once

// How Ctrl-C acts.
enum InterruptMode {
    InterruptEndsProgram,  // the default action: the program ends at once
    InterruptEndsSeries,   // the first ends the series, a later second one the program
    InterruptHeld,         // noted in SeriesInterrupted; the writes under way go on
};

// The first Ctrl-C from now on sets SeriesInterrupted. One that comes a
// second or more after the first writes "Interrupted again: the series is
// not reported" and ends the program with exit code 130; one within the
// second is taken for the same Ctrl-C (a tool that signals a process and its
// process group delivers two at once).
void CatchSeriesInterrupt();
// Ctrl-C takes the default action again: the program ends at once.
void ReleaseSeriesInterrupt();
// Ctrl-C only sets SeriesInterrupted until EndHold; gives the mode before.
InterruptMode HoldInterrupt();
// Ctrl-C acts as before the hold again, unless one came during the hold:
// then the run is on its way to its end and the hold stays.
void EndHold(InterruptMode before);
