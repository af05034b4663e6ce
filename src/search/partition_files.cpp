// Placeholder until the partition files are built.
#include "search/partition_files.h"

void ReadPartitionFile() {}
void WritePartition() {}
