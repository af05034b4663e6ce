// Placeholder until the random series is built.
#include "search/random_starts.h"

void SeedRandom() {}
double RandomUniform() { return 0.0; }
int32_t RandomBelow(int32_t) { return 0; }
void RandomPartition(uint8_t[], uint8_t[], int, int) {}
void StartRandomSeries() {}
