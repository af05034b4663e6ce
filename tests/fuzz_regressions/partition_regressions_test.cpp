// Fuzz findings of the partition file reader, replayed. An input's first two
// bytes give the network's shape (row units 1 + b0 % 250, column units
// 1 + b1 % 250); the rest is the partition file.
#include "results/partition_files.h"

#include <gtest/gtest.h>

#include <string>

#include "fuzz_regressions/regression_inputs.h"
#include "support/test_support.h"

// Reads the input's partition file from a start of one cluster per side;
// gives the console.
static std::string ReadWithShape(const std::string& input, const TempFolder& folder) {
    ResetState();
    CaptureListing();
    SideUnits[RowSide] = 1 + static_cast<unsigned char>(input[0]) % 250;
    SideUnits[ColSide] = 1 + static_cast<unsigned char>(input[1]) % 250;
    NumUnits = SideUnits[RowSide] + SideUnits[ColSide];
    SideClusters[RowSide] = SideClusters[ColSide] = 1;
    for (int i = 1; i <= SideUnits[RowSide]; ++i) Partition[RowSide][i] = 1;
    for (int j = 1; j <= SideUnits[ColSide]; ++j) Partition[ColSide][j] = 1;
    RepCount = 7;
    RepLimit = 9;
    folder.Write("start.zep", input.substr(2));
    PartFileName = folder.Path + "/start.zep";
    ConsoleInputEnded = true;
    testing::internal::CaptureStdout();
    ReadPartitionFile();
    return testing::internal::GetCapturedStdout();
}

// One row unit in cluster 1, then the column number -2147483648: taking the
// row clusters off it overflowed a 32-bit integer (the sanitizer build stops
// there). The file must simply be refused.
TEST(PartitionRegression, HugeNegativeColumnNumberIsRefused) {
    TempFolder folder;
    std::string console = ReadWithShape(RegressionInput("partition", "column-number-overflow"), folder);
    EXPECT_NE(console.find("Bad partition file"), std::string::npos) << console;
    EXPECT_FALSE(PartFileOpen);
    EXPECT_EQ(SideClusters[ColSide], 1);
    EXPECT_EQ(Partition[ColSide][1], 1);
    EXPECT_EQ(RepLimit, 9);
}
