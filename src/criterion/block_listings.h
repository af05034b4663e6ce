// The three block matrices of the latest evaluation in the listing.
#pragma once

#include <string>

// "MODEL MATRIX : " with the short name of each block's chosen type.
void WriteModelMatrix();
// "ERROR MATRIX : " with each block's raw error; under a valued criterion
// the criterion's name, the errors with the decimals they need, and each
// block's mean (ss) or median (ad), or M (val).
void WriteErrorMatrix();
// "VALUE MATRIX : " with each block's value.
void WriteValueMatrix();

// A total error as the reports write it: three decimals, and twelve
// significant digits where a valued criterion's error needs them.
std::string ErrorText(double error);
// The error of block (r, c) of the latest evaluation: a count under the
// binary criterion, a real number with the decimals it needs (twelve
// significant digits) under a valued one.
std::string BlockErrorText(int r, int c);
// The criterion as the reports name it: "ss", or "val, M = 2".
std::string CriterionText();
// ", mean 2.5" (ss), ", median 1" (ad) for block (r, c) of the latest
// printed evaluation; empty under the other criteria.
std::string BlockCenterText(int r, int c);
