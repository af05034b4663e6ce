// The recording of a repetition's result, on the main thread in repetition
// order: console progress marks, result lines, the ten best, exact fits, the
// "opt" rule and the saving of the partition.
#pragma once

#include <cstdint>

// The console mark of repetition RepCount in a series: its number every 50
// repetitions, a dot otherwise; nothing where the progress line is shown.
void WriteProgressMark();
// Lists the result of the search just ended on this thread (the main thread's
// search state) as repetition RepCount and enters it into the results of the
// series; decides SaveThis under the "opt" rule. The console gets the result
// lines, or the progress line where it is shown.
void RecordResult();
// Asks whether to save (save option 1) and saves the accepted partitions
// when SaveThis.
void SaveResult();
// Enters (rep, error) with the current cluster sets and counts into the ten
// best, behind any entries of equal error.
void EnterTopTen(int32_t rep, double error);
// The search of repetition RepCount on this thread followed by RecordResult.
void LocalOptimization();
