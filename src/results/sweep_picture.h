// The picture of a sweep over cluster counts: the best error of each pair of
// counts reported so far, as plain SVG 1.1.
#pragma once

#include <string>

// Appends to svg the best errors of SweepError: one line per row count over
// the column counts (over the row counts when the columns keep one count, or
// over the counts of one partition), a circle at each pair with its counts
// and error in its <title>, axes with tick labels and a legend of the lines.
void BuildSweepPicture(std::string& svg);
