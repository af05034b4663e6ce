// The network reader on each form of the file and on each stop.
#include "network/network_reader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/test_support.h"

// Reads the given file as the network, with the console captured.
static std::string Read(const std::string& content) {
    ResetState();
    CaptureListing();
    UseTextFile(NetFile, content);
    testing::internal::CaptureStdout();
    ReadNetwork();
    return testing::internal::GetCapturedStdout();
}

// For death tests: the console to stderr, standard input at its end.
static void ReadAndStop(const std::string& content) {
    ResetState();
    CaptureListing();
    UseTextFile(NetFile, content);
    ConsoleInputEnded = true;
    std::fflush(stdout);
    dup2(2, 1);
    ReadNetwork();
}

TEST(ReadNetwork, TwoModeMatrixWithDefaultNames) {
    std::string console = Read("*Vertices 5 2\r\n*Matrix\r\n1 0 3\r\n0 -2 1\r\n");
    EXPECT_EQ(console,
              "\n2-mode blockmodeling by local optimization\nch = *\nform =  1\n"
              "*** reading network   5 =   2 +   3 form = 1\n\n");
    EXPECT_TRUE(TwoMode);
    EXPECT_EQ(NumRows, 2);
    EXPECT_EQ(NumCols, 3);
    EXPECT_EQ(ColOffset, 2);
    EXPECT_STREQ(UnitName[2], "r-2       ");
    EXPECT_STREQ(UnitName[3], "c-1       ");
    EXPECT_EQ(NetworkMatrix[1][3], 3);
    EXPECT_EQ(NetworkMatrix[2][2], -2);
    EXPECT_EQ(BinaryMatrix[2][2], 0);  // values of 0 or less are absent ties
    EXPECT_EQ(BinaryMatrix[1][3], 1);
    EXPECT_EQ(RowOrder[2], 2);
    EXPECT_EQ(ColOrder[3], 3);
    EXPECT_EQ(ListingText(), "\r\n");
}

TEST(ReadNetwork, OneModeNamesCommentsAndShortMatrix) {
    Read("junk *x *vertices 3\n"
         "% comment\n"
         " 2 \"A very long label\" rest\n"
         " 3 x\"C\"\n"
         " 3 \"Cee\"\n"
         "*matrix\n"
         "0 1 1\n1");
    EXPECT_FALSE(TwoMode);
    EXPECT_EQ(NumRows, 3);
    EXPECT_EQ(NumCols, 3);
    EXPECT_STREQ(UnitName[1], "v-1       ");
    EXPECT_STREQ(UnitName[2], "A very lon");
    EXPECT_STREQ(UnitName[3], "Cee       ");  // a later line replaces the label
    EXPECT_EQ(NetworkMatrix[2][1], 1);
    EXPECT_EQ(NetworkMatrix[3][3], 0);  // missing values are 0
}

TEST(ReadNetwork, BlankAfterTheCountMakesTheNextNumberTheRowCount) {
    Read("*Vertices 4 \r\n1\r\n*Matrix\r\n1 1 1\r\n");
    EXPECT_TRUE(TwoMode);
    EXPECT_EQ(NumRows, 1);
    EXPECT_EQ(NumCols, 3);
}

TEST(ReadNetwork, EdgesSetBothCellsInOneModeAndArcsOne) {
    std::string console = Read("*Vertices 3\n*Edges\n 1 2 5\n*Arcs\n 3 1 7\n*edges\n 2 3 1\n");
    EXPECT_EQ(NetworkMatrix[1][2], 5);
    EXPECT_EQ(NetworkMatrix[2][1], 5);
    EXPECT_EQ(NetworkMatrix[3][1], 7);
    EXPECT_EQ(NetworkMatrix[1][3], 0);
    EXPECT_EQ(NetworkMatrix[3][2], 1);
    EXPECT_EQ(ListingText(), "Network    3 =   3 +   3 form = 2\r\n\r\n");
    EXPECT_EQ(console.substr(console.size() - 45), "*** reading network   3 =   3 +   3 form = 2\n");
}

TEST(ReadNetwork, ValuesEndAtAnyOtherLine) {
    Read("*Vertices 5 2\n*Edges\n 1 3 5\n 1 4 6\n%stop here\n 2 5 9\n");
    EXPECT_EQ(NetworkMatrix[1][1], 5);  // column 3 of the file is column 1
    EXPECT_EQ(NetworkMatrix[1][2], 6);
    EXPECT_EQ(NetworkMatrix[2][3], 0);
    EXPECT_EQ(NetworkMatrix[2][1], 0);  // two-mode edges set one cell only

    Read("*Vertices 3\n*Arcs\n 1 2 5\n\n 2 3 6\n");
    EXPECT_EQ(NetworkMatrix[2][3], 0);
    Read("*Vertices 3\n*Arcs\n 1 2 5\n2 3 6\n");
    EXPECT_EQ(NetworkMatrix[2][3], 0);
}

using ReadNetworkDeathTest = testing::Test;

TEST_F(ReadNetworkDeathTest, StopsOnEveryBadFile) {
    // Empty file.
    EXPECT_EXIT(ReadAndStop(""), testing::ExitedWithCode(1), "^Empty NET file\n$");
    // Only a Ctrl-Z: empty as well.
    EXPECT_EXIT(ReadAndStop("\x1a*Vertices 3"), testing::ExitedWithCode(1), "^Empty NET file\n$");
    // No counts line before the end.
    EXPECT_EXIT(ReadAndStop("just text\n"), testing::ExitedWithCode(1),
                "^Bad NET file: unexpected end\n$");
    // The word after *v never ends.
    EXPECT_EXIT(ReadAndStop("*Vertices"), testing::ExitedWithCode(1), "Bad NET file: unexpected end");
    // A label without its closing quote.
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n 1 \"Anna\n*Matrix\n"), testing::ExitedWithCode(1),
                "Bad NET file: unexpected end");
    // Too many units, and a side without units.
    EXPECT_EXIT(ReadAndStop("*Vertices 501 250\n"), testing::ExitedWithCode(1),
                "ORVEN - fatal error in K O R V E L\\s*Error 5 : $");
    EXPECT_EXIT(ReadAndStop("*Vertices 300 10\n"), testing::ExitedWithCode(1), "Error 5 : $");
    EXPECT_EXIT(ReadAndStop("*Vertices 0\n"), testing::ExitedWithCode(1), "Error 5 : $");
    EXPECT_EXIT(ReadAndStop("*Vertices -2147483648 2147483647\n"), testing::ExitedWithCode(1),
                "Error 5 : $");
    // A number too large for 32 bits, and a word where a number belongs.
    EXPECT_EXIT(ReadAndStop("*Vertices 99999999999\n"), testing::ExitedWithCode(1),
                "Bad number in NET file: 99999999999\n");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n*Matrix\n1 x1\n"), testing::ExitedWithCode(1),
                "Bad number in NET file: x1\n");
    // No keyword line.
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n*Network\n"), testing::ExitedWithCode(1),
                "form =  5\n\\*\\*\\* reading network   2 =   2 \\+   2 form = 5\n.*Error 6 : $");
    // A name for a unit beyond the count.
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n 3 \"C\"\n*Matrix\n"), testing::ExitedWithCode(1),
                "\n\nError in NAMES\n$");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n 0 \"C\"\n*Matrix\n"), testing::ExitedWithCode(1),
                "Error in NAMES");
    // Value lines out of range, with the numbers as read (no wrap-around).
    EXPECT_EXIT(ReadAndStop("*Vertices 5 2\n*Edges\n 1 1 5\n"), testing::ExitedWithCode(1),
                "vertex data   1  -1 in network out of range\n$");
    EXPECT_EXIT(ReadAndStop("*Vertices 3\n*Arcs\n 65537 1 5\n"), testing::ExitedWithCode(1),
                "vertex data 65537   1 in network out of range\n$");
}
