// Placeholder until the block errors are built.
#include "criterion/block_errors.h"

void BlockTypeErrors(int, int, int32_t[], double[]) {}
void BlockValue(int, int, int) {}
