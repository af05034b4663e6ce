// Placeholder until the local optimization is built.
#include "search/local_optimization.h"

void LocalOptimization() {}
