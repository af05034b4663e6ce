// Listing output: text reaches the file whole and in order, and after a
// failed write nothing more reaches it, even once the disk has room again.
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
        ListLine("first line");
        FlushListing();  // write 1
        ListLine("second line");
        FlushListing();  // write 2 takes "second", write 3 finds the disk full
        ListLine("third line");
        FlushListing();  // the disk has room again
        CloseListing();
    });
    EXPECT_EQ(WriteCalls(), 3);
    EXPECT_EQ(folder.Read("out.lst"), "first line\r\nsecond");
    EXPECT_EQ(console, "Cannot write " + LstFileName + "\n");
    EXPECT_TRUE(ListingWriteFailed);
    UseSystemWrite();
}

TEST(ListingOutput, TextLongerThanTheBufferKeepsItsPlace) {
    ResetState();
    CaptureListing();
    std::string wide(3 * sizeof ListingBuffer, 'x');
    ListPrint("a");
    ListPrint("%s", wide.c_str());
    ListLine("b");
    EXPECT_EQ(ListingText(), "a" + wide + "b\r\n");
}
