// Partition files: clusterings saved after repetitions and read back as starts.
#pragma once

// Reads the first clustering of the partition file into the working
// partitions; a bad file leaves them as they were.
void ReadPartitionFile();
// Writes the accepted partitions as one clustering.
void WritePartition();
