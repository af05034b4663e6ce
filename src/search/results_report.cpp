// Placeholder until the results report is built.
#include "search/results_report.h"

void WriteClusterListing(const uint8_t[], const uint8_t[], uint8_t[], bool, int, int) {}
void WriteClusterSets(const UnitSet[], int, int) {}
void WriteSeriesReport() {}
void WriteTopTen() {}
