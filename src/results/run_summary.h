// The console summary that ends a scripted run.
#pragma once

// Writes the summary: in a sweep the best error of every pair; the best
// result of the latest series report (its error, the repetition that found
// it, its partitions by unit label, or by cluster size on a side of more than
// 50 units, and its blockmodel, type and error of every block); then the
// listing and the result files the report wrote.
void WriteRunSummary();
