// Listing output: after a failed write nothing more reaches the listing, even
// once the disk has room again.
#include "console/output.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/test_support.h"

TEST(ListingOutput, NothingFollowsAFailedWrite) {
    ResetState();
    TempFolder folder;
    LstFileName = folder.Path + "/out.lst";
    ListingFile = std::fopen(LstFileName.c_str(), "wb");
    UseFillingDisk(2);
    std::string console = WithConsole("", [] {
        for (const char* line : {"first line", "second line", "third line"}) {
            ListLine("%s", line);
            FlushListing();  // write 2 takes "second", write 3 finds the disk full
        }
        CloseListing();
    });
    EXPECT_EQ(WriteCalls(), 3);
    EXPECT_EQ(folder.Read("out.lst"), "first line\r\nsecond");
    EXPECT_EQ(console, "Cannot write " + LstFileName + "\n");
    UseSystemWrite();
}

// The listing reaches the file in whole lines, however its text falls on the
// buffer's edge, so that a run killed between two writes leaves no cut line.
TEST(ListingOutput, WritesWholeLines) {
    ResetState();
    TempFolder folder;
    LstFileName = folder.Path + "/out.lst";
    ListingFile = std::fopen(LstFileName.c_str(), "wb");
    static std::string ends;
    ends.clear();
    WriteHook = [](int fd, const void* data, size_t size) {
        ends += static_cast<const char*>(data)[size - 1];
        return write(fd, data, size);
    };
    std::string expected;
    for (int k = 0; k < 3000; ++k) {
        ListPrint("line %d", k);  // a line in two pieces
        ListLine(" of %d", 3000);
        expected += "line " + std::to_string(k) + " of 3000\r\n";
    }
    CloseListing();
    UseSystemWrite();
    EXPECT_GT(ends.size(), 1u);
    EXPECT_EQ(ends, std::string(ends.size(), '\n'));
    EXPECT_EQ(folder.Read("out.lst"), expected);
}
