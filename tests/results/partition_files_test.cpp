// Partition files: the written bytes, the keep-open rule, the read back, and
// every bad file refused without touching the partitions.
#include "results/partition_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "console/output.h"
#include "console/stop.h"
#include "support/test_support.h"

namespace {

class PartitionFiles : public ::testing::Test {
protected:
    TempFolder Folder;
    void SetUp() override {
        ResetState();
        CaptureListing();
        UseBinaryNetwork({"10", "10", "01"});  // 3 rows, 2 columns, 5 units
        PartFileName = Folder.Path + "/part.zep";
        PartFileKeepOpen = true;
        Title = "old title";
    }
};

// Runs a procedure with empty answers to the file dialogue; gives the console.
std::string Quietly(void (*procedure)()) { return WithConsole("", procedure); }

const char* const RepSevenFile =
    "*partition  KORVEL: 2/2 [7] =    12.00\r\n"
    "*vertices    5    3    2\r\n"
    "   2\r\n   1\r\n   2\r\n   4\r\n   3\r\n";

TEST_F(PartitionFiles, WrittenClusteringReadsBackToTheSamePartitions) {
    UsePartitions({2, 1, 2}, {2, 1});
    RepCount = 7;
    CurrentError = 12.0;
    Quietly(WritePartition);
    // Kept open across saves: everything written is in the file at once.
    EXPECT_EQ(Folder.Read("part.zep"), RepSevenFile);
    EXPECT_TRUE(PartFileOpen);

    UsePartitions({1, 1, 1}, {1, 1});
    RepCount = 9;
    std::string console = Quietly(ReadPartitionFile);
    EXPECT_NE(console.find(" Reading partition:   KORVEL: 2/2 [7] =    12.00\n"), std::string::npos);
    EXPECT_TRUE(PartFileOpen);
    EXPECT_EQ(PartitionFile, nullptr);  // closed before the read
    EXPECT_EQ(SideClusters[RowSide], 2);
    EXPECT_EQ(SideClusters[ColSide], 2);
    EXPECT_EQ(std::vector<int>(Partition[RowSide] + 1, Partition[RowSide] + 4), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(std::vector<int>(Partition[ColSide] + 1, Partition[ColSide] + 3), (std::vector<int>{2, 1}));
    EXPECT_EQ(ClusterSize[RowSide][2], 2);
    EXPECT_EQ(RepLimit, 10);
    EXPECT_EQ(Title, "  KORVEL: 2/2 [7] =    12.00");
    EXPECT_NE(ListingText().find("NumRows = 2   NumCols = 2\r\n"), std::string::npos);
}

TEST_F(PartitionFiles, SavesAppendWhileOpenAndRewriteAfterARead) {
    UsePartitions({2, 1, 2}, {2, 1});
    SideClusters[RowSide] = SideClusters[ColSide] = 2;
    for (RepCount = 1; RepCount <= 3; ++RepCount) Quietly(WritePartition);
    std::string three = Folder.Read("part.zep");
    EXPECT_EQ(three.size(), 3 * std::string(RepSevenFile).size());
    EXPECT_NE(three.find("[3]"), std::string::npos);

    Quietly(ReadPartitionFile);
    for (RepCount = 4; RepCount <= 6; ++RepCount) Quietly(WritePartition);
    std::string last = Folder.Read("part.zep");
    EXPECT_EQ(last.find("*partition  KORVEL: 2/2 [6] ="), 0u);
    EXPECT_EQ(last.size(), std::string(RepSevenFile).size());
}

TEST_F(PartitionFiles, SaveThatCannotOpenIsReportedAndSkipped) {
    PartFileName = Folder.Path;  // a folder
    UsePartitions({1, 1, 1}, {1, 1});
    std::string console = Quietly(WritePartition);
    EXPECT_NE(console.find("Cannot write partition file " + Folder.Path + "\n"), std::string::npos);
    EXPECT_FALSE(PartFileOpen);
    EXPECT_EQ(PartitionFile, nullptr);
}

TEST_F(PartitionFiles, FailedWriteIsReportedOnce) {
    PartFileName = "/dev/full";  // every write fails: the device is full
    UsePartitions({1, 1, 1}, {1, 1});
    std::string console = Quietly(WritePartition) + Quietly(WritePartition);
    EXPECT_EQ(console.find("Cannot write /dev/full\n"), console.rfind("Cannot write /dev/full\n"));
    EXPECT_NE(console.find("Cannot write /dev/full\n"), std::string::npos);
    EXPECT_TRUE(PartitionWriteFailed);
}

TEST_F(PartitionFiles, EachClusteringInOneWriteAndNothingAfterAFailedOne) {
    UsePartitions({2, 1, 2}, {2, 1});
    RepCount = 7;
    CurrentError = 12.0;
    UseFillingDisk(2);
    std::string console = Quietly(WritePartition);
    EXPECT_EQ(WriteCalls(), 1);
    // Write 2 takes half the clustering and write 3 finds the disk full:
    // the half is taken back. The third save would find room again.
    // The failure is named on a line of its own, not behind a progress mark.
    console += Quietly([] {
        ConMark(".");
        WritePartition();
    });
    console += Quietly(WritePartition);
    EXPECT_EQ(WriteCalls(), 3);
    EXPECT_EQ(Folder.Read("part.zep"), RepSevenFile);
    EXPECT_EQ(console.find("Cannot write"), console.rfind(".\nCannot write " + PartFileName + "\n") + 2);
    EXPECT_TRUE(PartitionWriteFailed);
    UseSystemWrite();
}

// A save holds its lock while the file stays open; a device takes none, as
// any number of runs may write to it.
TEST_F(PartitionFiles, LockLastsWhileOpenAndDevicesTakeNone) {
    UsePartitions({1, 1, 1}, {1, 1});
    Quietly(WritePartition);
    int other = open(PartFileName.c_str(), O_RDONLY);
    EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
    CloseOutputFiles();
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    int device = open("/dev/null", O_RDONLY);
    ASSERT_EQ(flock(device, LOCK_EX), 0);
    PartFileName = "/dev/null";
    EXPECT_EQ(Quietly(WritePartition).find("In use"), std::string::npos);
    close(device);
    close(other);
}

TEST_F(PartitionFiles, BadFilesAreRefusedAndChangeNothing) {
    const char* const badFiles[] = {
        "",                                                          // empty
        "%partition\r\n*v\r\n1\r\n1\r\n1\r\n2\r\n2\r\n",             // no star
        "*part\r\n*v\r\n1\r\n1\r\n1\r\n2\r\n2\r\n",                  // magic cut by the line end
        "*partition\r\n*v\r\n1\r\n76\r\n1\r\n77\r\n77\r\n",          // row cluster above 75
        "*partition\r\n*v\r\n1\r\n0\r\n1\r\n2\r\n2\r\n",             // row cluster 0
        "*partition\r\n*v\r\n1\r\n2\r\n1\r\n2\r\n2\r\n",             // column cluster 0 after the offset
        "*partition\r\n*v\r\n1\r\n2\r\n1\r\n3\r\n",                  // too few numbers
        "*partition\r\n*v\r\n1\r\n3\r\n1\r\n4\r\n4\r\n",             // row cluster 2 empty
        "*partition\r\n*v\r\n1\r\n1\r\n1\r\n3\r\n3\r\n",             // column cluster 1 empty
        "*partition\r\n*v\r\n1\r\n1x\r\n1\r\n2\r\n2\r\n",            // not a number
        "*partition\r\n*v\r\n1\r\n2\r\n1\r\n-2147483648\r\n3\r\n",    // no room for the offset
    };
    for (const char* content : badFiles) {
        SCOPED_TRACE(content);
        Folder.Write("part.zep", content);
        UsePartitions({1, 2, 1}, {1, 2});
        RepCount = 4;
        RepLimit = 3;
        PartFileOpen = true;
        std::string console = Quietly(ReadPartitionFile);
        EXPECT_NE(console.find("Bad partition file\n"), std::string::npos);
        EXPECT_FALSE(PartFileOpen);
        EXPECT_EQ(std::vector<int>(Partition[RowSide] + 1, Partition[RowSide] + 4), (std::vector<int>{1, 2, 1}));
        EXPECT_EQ(std::vector<int>(Partition[ColSide] + 1, Partition[ColSide] + 3), (std::vector<int>{1, 2}));
        EXPECT_EQ(ClusterSize[RowSide][1], 2);
        EXPECT_EQ(SideClusters[RowSide], 2);
        EXPECT_EQ(SideClusters[ColSide], 2);
        EXPECT_EQ(RepLimit, 3);
        EXPECT_EQ(Title, "old title");
    }
    // A missing file is created and read as empty.
    PartFileName = Folder.Path + "/missing.zep";
    std::string console = Quietly(ReadPartitionFile);
    EXPECT_NE(console.find("Empty partition file\nBad partition file\n"), std::string::npos);
}

// One partition: a file whose columns differ from its rows (in a cluster,
// or in the count) is refused then and only then.
TEST_F(PartitionFiles, OnePartitionRefusesTwoDifferentPartitions) {
    UseBinaryNetwork({"110", "110", "001"});
    const char* const files[] = {"*partition\r\n*v\r\n1\r\n1\r\n2\r\n3\r\n3\r\n4\r\n",   // equal
                                 "*partition\r\n*v\r\n1\r\n1\r\n2\r\n3\r\n4\r\n4\r\n",   // unit 1
                                 "*partition\r\n*v\r\n1\r\n1\r\n2\r\n3\r\n4\r\n5\r\n"};  // 2 and 3 clusters
    for (int n = 0; n < 6; ++n) {
        OneMode = n < 3;
        Folder.Write("part.zep", files[n % 3]);
        UsePartitions({2, 1, 1}, {2, 1, 1});
        bool refused = OneMode && n % 3 > 0;
        EXPECT_EQ(Quietly(ReadPartitionFile).find("Bad partition file\n") != std::string::npos, refused) << n;
        EXPECT_EQ(Partition[ColSide][1], refused ? 2 : 1) << n;
    }
}

TEST_F(PartitionFiles, ReaderTakesAnyCaseAndLooseColumnNumbers) {
    Folder.Write("part.zep", "*PARTItion x\r\nwhatever\r\n2 rest\r\n1\t\r\n2\r\n3 4\r\n");
    Quietly(ReadPartitionFile);
    EXPECT_TRUE(PartFileOpen);
    EXPECT_EQ(Title, " x");  // "tion x" less the rest of the word
    EXPECT_EQ(std::vector<int>(Partition[RowSide] + 1, Partition[RowSide] + 4), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(std::vector<int>(Partition[ColSide] + 1, Partition[ColSide] + 3), (std::vector<int>{1, 2}));
}

// The title shows its control characters in the message and ends at the
// first of them.
TEST_F(PartitionFiles, TitleEndsAtAControlCharacterAndIsShownVisibly) {
    Folder.Write("part.zep", "*partition é\x1b[2Jx\r\n*v\r\n2\r\n1\r\n2\r\n3\r\n4\r\n");
    std::string console = Quietly(ReadPartitionFile);
    EXPECT_NE(console.find(" Reading partition:  é^[[2Jx\n"), std::string::npos) << console;
    EXPECT_NE(ListingText().find(" Reading partition:  é^[[2Jx\r\n"), std::string::npos);
    EXPECT_EQ(Title, " é");
}

}  // namespace
