// Placeholder until the criterion totals are built.
#include "criterion/total_error.h"

double BlockError(int, int) { return 0.0; }
double TotalError() { return 0.0; }
