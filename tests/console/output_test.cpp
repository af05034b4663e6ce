// Listing output: after a failed write nothing more reaches the listing, even
// once the disk has room again.
#include "console/output.h"

#include <gtest/gtest.h>

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
