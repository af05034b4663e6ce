// Fuzzes the partition file reader. The first two bytes of the input give the
// network's shape (row units 1 + b0 % 250, column units 1 + b1 % 250); the
// rest is the partition file, which the reader opens by name like any run.
// A good read must leave a consistent clustering; a refused file must leave
// the partitions, the counts, the repetition limit and the title as they were.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_driver.h"
#include "results/partition_files.h"

static std::string FilePath;

// A start state the reader must keep when it refuses the file: every unit in
// cluster 1 on both sides.
static void UseOneClusterStart() {
    SideClusters[RowSide] = SideClusters[ColSide] = 1;
    for (int i = 1; i <= SideUnits[RowSide]; ++i) Partition[RowSide][i] = 1;
    for (int j = 1; j <= SideUnits[ColSide]; ++j) Partition[ColSide][j] = 1;
    ClusterSize[RowSide][1] = static_cast<uint8_t>(SideUnits[RowSide]);
    ClusterSize[ColSide][1] = static_cast<uint8_t>(SideUnits[ColSide]);
    RepCount = 7;
    RepLimit = 9;
    Title = "before";
}

static void CheckSide(const uint8_t partition[], const int32_t sizes[], int units, int clusters) {
    Require(clusters >= 1 && clusters <= MaxModelSize, "cluster count outside 1..75");
    int counted[MaxModelSize + 1] = {};
    for (int u = 1; u <= units; ++u) {
        Require(partition[u] >= 1 && partition[u] <= clusters, "a unit outside the clusters");
        ++counted[partition[u]];
    }
    for (int c = 1; c <= MaxModelSize; ++c) {
        Require(counted[c] == sizes[c], "a cluster size does not count its units");
        if (c <= clusters) Require(counted[c] > 0, "an empty cluster was read");
    }
}

static void CheckUnchanged() {
    Require(SideClusters[RowSide] == 1 && SideClusters[ColSide] == 1, "a refused file changed the counts");
    Require(RepLimit == 9 && Title == "before", "a refused file changed the run");
    for (int i = 1; i <= SideUnits[RowSide]; ++i) Require(Partition[RowSide][i] == 1, "a refused file changed a row");
    for (int j = 1; j <= SideUnits[ColSide]; ++j) Require(Partition[ColSide][j] == 1, "a refused file changed a column");
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzSession();
    char pattern[] = "/tmp/korvel-fuzz-XXXXXX";
    int descriptor = mkstemp(pattern);
    if (descriptor < 0) std::abort();
    close(descriptor);
    FilePath = pattern;
    std::atexit([] { unlink(FilePath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    BeginInput();
    SideUnits[RowSide] = 1 + data[0] % 250;  // the tables of a reset state hold 250 units a side
    SideUnits[ColSide] = 1 + data[1] % 250;
    NumUnits = SideUnits[RowSide] + SideUnits[ColSide];
    UseOneClusterStart();
    FILE* file = std::fopen(FilePath.c_str(), "wb");
    if (file == nullptr || std::fwrite(data + 2, 1, size - 2, file) != size - 2) std::abort();
    std::fclose(file);
    PartFileName = FilePath;
    Require(RunGuarded(ReadPartitionFile), "reading a partition file stopped the run");
    if (PartFileOpen) {
        CheckSide(Partition[RowSide], ClusterSize[RowSide], SideUnits[RowSide], SideClusters[RowSide]);
        CheckSide(Partition[ColSide], ClusterSize[ColSide], SideUnits[ColSide], SideClusters[ColSide]);
        Require(RepLimit == RepCount + 1, "a read start is not one repetition");
    } else {
        CheckUnchanged();
    }
    TextFile none{};
    FinishInput(none);
    return 0;
}
