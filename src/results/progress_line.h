// The progress of a scripted random series on a terminal: one console line,
// rewritten in place, with the repetitions done and asked, the best error
// and the time spent and still to go, in place of the progress marks and
// result lines, which pile up to thousands of lines on a screen.
#pragma once

// True when the current series shows the progress line: a scripted random
// series whose console is a terminal and on which nothing else writes during
// the series (no moves on the console, no question after each repetition).
bool ProgressLineShown();
// Starts the clock of the series just asked for.
void StartProgressLine();
// Rewrites the line after repetition RepCount was recorded, at most a few
// times a second and always after the first and the last repetition.
void UpdateProgressLine();
