// The network reader on each form of the file and on each stop.
#include "network/network_reader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/test_support.h"

// Reads the given file as the network, with the console captured, for the
// criterion given.
static std::string Read(const std::string& content, int criterion = BinaryCriterion) {
    ResetState();
    Criterion = criterion;
    PresetM = 1.0;
    CaptureListing();
    UseTextFile(NetFile, content);
    testing::internal::CaptureStdout();
    ReadNetwork();
    return testing::internal::GetCapturedStdout();
}

// For death tests: the console to stderr, standard input at its end.
static void ReadAndStop(const std::string& content, int criterion = BinaryCriterion) {
    ResetState();
    Criterion = criterion;
    PresetM = 1.0;
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
    EXPECT_EQ(SideUnits[RowSide], 2);
    EXPECT_EQ(SideUnits[ColSide], 3);
    EXPECT_EQ(ColOffset, 2);
    EXPECT_STREQ(UnitName[2], "r-2       ");
    EXPECT_STREQ(UnitName[3], "c-1       ");
    EXPECT_EQ(CellValueAt(1, 3), 3);
    EXPECT_EQ(CellValueAt(2, 2), -2);
    EXPECT_EQ((IsTie(2, 2) ? 1 : 0), 0);  // values of 0 or less are absent ties
    EXPECT_EQ((IsTie(1, 3) ? 1 : 0), 1);
    EXPECT_EQ(ListingOrder[RowSide][2], 2);
    EXPECT_EQ(ListingOrder[ColSide][3], 3);
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
    EXPECT_EQ(SideUnits[RowSide], 3);
    EXPECT_EQ(SideUnits[ColSide], 3);
    EXPECT_STREQ(UnitName[1], "v-1       ");
    EXPECT_STREQ(UnitName[2], "A very lon");
    EXPECT_STREQ(UnitName[3], "Cee       ");  // a later line replaces the label
    EXPECT_EQ(CellValueAt(2, 1), 1);
    EXPECT_EQ(CellValueAt(3, 3), 0);  // missing values are 0
}

TEST(ReadNetwork, BlanksAfterTheCountMakeNoSecondCount) {
    Read("*Vertices 4 \t\r\n1\r\n*Matrix\r\n1 1 1\r\n");
    EXPECT_FALSE(TwoMode);
    EXPECT_EQ(SideUnits[RowSide], 4);
    EXPECT_STREQ(UnitName[1], "v-1       ");  // a name line with only its number
    EXPECT_EQ(CellValueAt(1, 3), 1);
}

TEST(ReadNetwork, EdgesSetBothCellsInOneModeAndArcsOne) {
    std::string console = Read("*Vertices 3\n*Edges\n 1 2 5\n*Arcs\n 3 1 7\n*edges\n 2 3 1\n");
    EXPECT_EQ(CellValueAt(1, 2), 5);
    EXPECT_EQ(CellValueAt(2, 1), 5);
    EXPECT_EQ(CellValueAt(3, 1), 7);
    EXPECT_EQ(CellValueAt(1, 3), 0);
    EXPECT_EQ(CellValueAt(3, 2), 1);
    EXPECT_EQ(ListingText(), "Network    3 =   3 +   3 form = 2\r\n\r\n");
    EXPECT_EQ(console.substr(console.size() - 45), "*** reading network   3 =   3 +   3 form = 2\n");
}

TEST(ReadNetwork, ValuesGoOnPastCommentsAndEmptyLinesAndEndAtAnyOtherLine) {
    Read("*Vertices 5 2\n*Edges\n 1 3 5\n1 4 6\n%a comment\n \t\n\t2 5 9\nend\n 2 3 7\n");
    EXPECT_EQ(CellValueAt(1, 1), 5);  // column 3 of the file is column 1
    EXPECT_EQ(CellValueAt(1, 2), 6);
    EXPECT_EQ(CellValueAt(2, 3), 9);
    EXPECT_EQ(CellValueAt(2, 1), 0);  // two-mode edges set one cell only

    Read("*Vertices 3\n*Arcs\n 1 2 5\n*Vector\n 2 3 6\n");
    EXPECT_EQ(CellValueAt(2, 3), 0);
}

static bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(ReadNetwork, RealValuesAreRoundedHalvesAwayFromZeroAndCounted) {
    std::string console = Read("*Vertices 3\n*Arcs\n1 2 2.5\n1 3 -2.5\n2 1 0.25\n2 3 -0.25\n"
                               "3 1 .5\n3 2 5.\n3 3 -1.5e2\n2 2 7.0\n");
    const int expected[4][4] = {{}, {0, 0, 3, -3}, {0, 1, 7, -1}, {0, 1, 5, -150}};
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(CellValueAt(i, j), expected[i][j]) << i << " " << j;
    }
    EXPECT_EQ((IsTie(2, 1) ? 1 : 0), 1);  // a positive value stays a tie
    EXPECT_TRUE(EndsWith(console, "\n5 tie values rounded to integers\n")) << console;

    console = Read("*Vertices 2\n*Matrix\n% values\n0.4 1\n\n-0.6 2.5\n");
    EXPECT_EQ(CellValueAt(1, 1), 1);
    EXPECT_EQ(CellValueAt(2, 1), -1);
    EXPECT_EQ(CellValueAt(2, 2), 3);
    EXPECT_TRUE(EndsWith(console, "form = 1\n3 tie values rounded to integers\n\n")) << console;
}

TEST(ReadNetwork, LabelsQuotedToTheLineEndOrTheFirstWord) {
    Read("*Vertices 5\n1 \"Anna Karenina\n2 x \"B\" 0.1\n3\tCarla\t0.1 0.2 ic Red\n4\n 5 \"\"\n*Edges\n");
    EXPECT_STREQ(UnitName[1], "Anna Karen");
    EXPECT_STREQ(UnitName[2], "B         ");
    EXPECT_STREQ(UnitName[3], "Carla     ");
    EXPECT_STREQ(UnitName[4], "v-4       ");
    EXPECT_STREQ(UnitName[5], "          ");
}

// The listing names units by ten characters, in which "Avengers: " names
// two films; the result files need the labels whole, and no longer than
// MaxLabelBytes, cut between characters.
TEST(ReadNetwork, WholeLabelsBesideTheTenCharacterNames) {
    std::string accents;
    for (int k = 0; k < 127; ++k) accents += "\xc3\xa9";  // e acute: two bytes
    Read("*Vertices 7 4\n 1 \"Avengers: Age of Ultron\"\n 2 \"Avengers: Endgame   \"\n"
         " 3 \"Captain America: Civil War\"\n 3 Cap\n 4 \"ab" + accents + "\"\n 6 \"x" + accents + "\"\n"
         " 7 \"  \"\n*Edges\n");
    EXPECT_EQ(UnitLabel(1), "Avengers: Age of Ultron");
    EXPECT_EQ(UnitLabel(2), "Avengers: Endgame");  // the blanks that end it only pad it
    EXPECT_STREQ(UnitName[1], "Avengers: ");
    EXPECT_STREQ(UnitName[2], "Avengers: ");
    EXPECT_EQ(UnitLabel(3), "Cap");  // a later line replaces the label
    EXPECT_STREQ(UnitName[3], "Cap       ");
    // 256 bytes: the last character would be cut in two, so it goes whole.
    EXPECT_EQ(UnitLabel(4), "ab" + accents.substr(0, 252));
    EXPECT_EQ(UnitLabel(5), "c-1");  // no name line: the default name
    EXPECT_EQ(UnitLabel(6), "x" + accents);  // 255 bytes, kept whole
    EXPECT_EQ(UnitLabel(7), "");
    EXPECT_STREQ(UnitName[7], "          ");
}

TEST(ReadNetwork, ListsInATwoModeNetworkAndTheFirstRelationOnly) {
    std::string console = Read("*Vertices 5 2\n*Arcslist:1\n1 3 -4\n2\n*EDGESLIST\n2 5\n*Arcs:2\n1 5\n");
    EXPECT_EQ(CellValueAt(1, 1), 1);
    EXPECT_EQ(CellValueAt(1, 2), 1);
    EXPECT_EQ(CellValueAt(2, 3), 1);
    EXPECT_EQ(CellValueAt(1, 3), 0);  // relation 2 is not read
    EXPECT_TRUE(EndsWith(console, "form = 3\nRelation 1 read; later relations not read\n")) << console;
}

// Cells, not lines: the one-mode edge 1-2 sets two cells, the arc 3 1 4
// overwrites the edge's cell (3, 1), and -0.5 rounds to -1.
TEST(ReadNetwork, NegativeValuesAreCountedByTheCellsThatEndNegative) {
    Read("*Vertices 3\n*Edges\n1 2 -1\n1 3 -2\n*Arcs\n3 1 4\n2 2 -0.5\n");
    EXPECT_EQ(CellValueAt(3, 1), 4);
    EXPECT_EQ((IsTie(1, 2) ? 1 : 0), 0);
    testing::internal::CaptureStdout();
    ReportNegativeValues();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "4 negative tie values read as no tie\n");
}

// The valued criteria take the values as written, negative ones too (ss,
// ad), and say nothing of rounding; the rounded values beside them are the
// binary criterion's, as ever.
TEST(ReadNetwork, ValuedCriteriaKeepTheValuesAsRead) {
    std::string console = Read("*Vertices 3\n*Arcs\n1 2 2.5\n1 3 -0.25\n2 1 0.09\n3 3 -4\n", SquaresCriterion);
    EXPECT_EQ(CellRealAt(1, 2), 2.5);
    EXPECT_EQ(CellRealAt(1, 3), -0.25);
    EXPECT_EQ(CellRealAt(2, 1), 0.09);
    EXPECT_EQ(CellRealAt(3, 3), -4.0);
    EXPECT_EQ(CellValueAt(1, 3), -1);
    EXPECT_EQ(console.find("rounded"), std::string::npos) << console;
    testing::internal::CaptureStdout();
    ReportNegativeValues();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// The end of an old DOS file: a Ctrl-Z, more of them, line ends and blanks.
// A Ctrl-Z after a line that ends the values is never reached.
TEST(ReadNetwork, CtrlZAtTheEndOrBeyondTheValues) {
    Read("*Vertices 2\r\n*Arcs\r\n 1 2 5\r\n\x1a\r\n\x1a\x1a \t\n");
    EXPECT_EQ(CellValueAt(1, 2), 5);
    Read("*Vertices 2\n*Arcs\n 2 1 3\n*Partition\n\x1a 1 2 9\n");
    EXPECT_EQ(CellValueAt(2, 1), 3);
    EXPECT_EQ(CellValueAt(1, 2), 0);
}

TEST(ReadNetwork, MessagesShowControlCharactersOfTheFile) {
    std::string console = Read("*Vertices 2\n*Arcs :1 \"a\x07\x1b[2Jb\"\n1 2\n*Arcs :2\n2 1\n");
    EXPECT_TRUE(EndsWith(console, "\nRelation 1 \"a^G^[[2Jb\" read; later relations not read\n")) << console;
}

using ReadNetworkDeathTest = testing::Test;

TEST_F(ReadNetworkDeathTest, StopsOnEveryBadFile) {
    // Empty file.
    EXPECT_EXIT(ReadAndStop(""), testing::ExitedWithCode(1), "^Empty NET file\n$");
    // Only a Ctrl-Z: empty as well.
    EXPECT_EXIT(ReadAndStop("\x1a*Vertices 3"), testing::ExitedWithCode(1), "^Empty NET file\n$");
    // No counts line before the end.
    EXPECT_EXIT(ReadAndStop("just text\n"), testing::ExitedWithCode(1),
                "^Bad NET file: unexpected end\nThe unfinished item began on line 1\n$");
    // The word after *v never ends.
    EXPECT_EXIT(ReadAndStop("%\n\n*Vertices"), testing::ExitedWithCode(1),
                "Bad NET file: unexpected end\nThe unfinished item began on line 3\n$");
    // Too many units or cells, and a side without units.
    EXPECT_EXIT(ReadAndStop("*Vertices 65537 1\n"), testing::ExitedWithCode(1),
                "Network size out of range: 65537 units, 1 row units, 65536 column units read; at least 1 on a "
                "side, at most 65535\nORVEN - fatal error in K O R V E L\\s*Error 5 : $");
    EXPECT_EXIT(ReadAndStop("*Vertices 50000\n"), testing::ExitedWithCode(1), "Error 5 : $");  // cells
    EXPECT_EXIT(ReadAndStop("*Vertices 300 300\n"), testing::ExitedWithCode(1), "Error 5 : $");
    EXPECT_EXIT(ReadAndStop("*Vertices 0\n"), testing::ExitedWithCode(1),
                "Network size out of range: 0 units read; at least 1, at most 65535\n");
    EXPECT_EXIT(ReadAndStop("*Vertices -2147483648 2147483647\n"), testing::ExitedWithCode(1),
                "-2147483648 units, 2147483647 row units, -4294967295 column units read;.*Error 5 : $");
    // A number too large for 32 bits, and a word where a number belongs.
    EXPECT_EXIT(ReadAndStop("*Vertices 99999999999\n"), testing::ExitedWithCode(1),
                "Bad number in NET file, line 1: 99999999999\n");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n*Matrix\n1\n\n% x\n x1\n"), testing::ExitedWithCode(1),
                "Bad number in NET file, line 6: x1\n");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n*Arcs\n1 2 1O\n"), testing::ExitedWithCode(1),
                "Bad number in NET file, line 3: 1O\n");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n*Arcs\n1 2 1e999\n"), testing::ExitedWithCode(1),
                "Bad number in NET file, line 3: 1e999\n");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n*Arcs\n1 2 2147483647.5\n"), testing::ExitedWithCode(1),
                "Bad number in NET file, line 3: 2147483647.5\n");
    // No keyword line: the line found instead, cut to 20 whole characters.
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n\n*Network\n"), testing::ExitedWithCode(1),
                "form =  5\n\\*\\*\\* reading network   2 =   2 \\+   2 form = 5\n"
                "No form keyword at line 3: \\*Network\n.*Error 6 : $");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\nGröße Größe Größe Größe\n"), testing::ExitedWithCode(1),
                "ch = G\n.*No form keyword at line 2: Größe Größe Größe Gr\n");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n1 a\n"), testing::ExitedWithCode(1),
                "ch = \\.\n.*No form keyword at line 3: end of file\n.*Error 6 : $");
    // A name for a unit beyond the count.
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n 3 \"C\"\n*Matrix\n"), testing::ExitedWithCode(1),
                "\n\nError in NAMES\nUnit 3 named on line 2; the units are 1..2\n$");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n 0 \"C\"\n*Matrix\n"), testing::ExitedWithCode(1),
                "Error in NAMES");
    // Value lines out of range, with the numbers as read (no wrap-around).
    EXPECT_EXIT(ReadAndStop("*Vertices 5 2\n*Edges\n 1 1 5\n"), testing::ExitedWithCode(1),
                "vertex data   1  -1 in network out of range\n"
                "The tie on line 3 names a unit outside rows 1..2, columns 3..5\n$");
    EXPECT_EXIT(ReadAndStop("*Vertices 3\n*Arcs\n 65537 1 5\n"), testing::ExitedWithCode(1),
                "vertex data 65537   1 in network out of range\nThe tie on line 3 names a unit outside 1..3\n$");
    // An arc with one number has column 0; a list line reads its own units.
    EXPECT_EXIT(ReadAndStop("*Vertices 3\n*Arcs\n2\n"), testing::ExitedWithCode(1),
                "vertex data   2   0 in network out of range\n");
    EXPECT_EXIT(ReadAndStop("*Vertices 3\n*Arcslist\n-2 1 -4\n"), testing::ExitedWithCode(1),
                "vertex data   2   4 in network out of range\n");
}

// A field holding a control character is a bad number, as a word is, even a
// NUL after a value or a form feed in a matrix; the message shows it in
// caret notation. Only blanks and tabs separate fields.
TEST_F(ReadNetworkDeathTest, ControlCharactersInAFieldAreBadNumbers) {
    EXPECT_EXIT(ReadAndStop(std::string("*Vertices 3\n*Arcs\n 1 3 4\0\n", 25)), testing::ExitedWithCode(1),
                "\nBad number in NET file, line 3: 4\\^@\n$");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n*Matrix\n 0 1\n\f 1 0\n"), testing::ExitedWithCode(1),
                "\nBad number in NET file, line 4: \\^L\n$");
    // A page break before the ties that follow it.
    EXPECT_EXIT(ReadAndStop("*Vertices 3\n*Arcs\n1 2\n\f2 3\n"), testing::ExitedWithCode(1),
                "\nBad number in NET file, line 4: \\^L2\n$");
}

// criterion=val has no meaning for a negative value, whole or real, in any form.
TEST_F(ReadNetworkDeathTest, NegativeValueStopsCriterionVal) {
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n*Arcs\n1 2 1\n2 1 -0.5\n", ValuesCriterion), testing::ExitedWithCode(1),
                "\nNegative value in NET file, line 4\n$");
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n*Matrix\n0 1\n-3 0\n", ValuesCriterion), testing::ExitedWithCode(1),
                "\nNegative value in NET file, line 4\n$");
}

// A Ctrl-Z with more text after it cuts the file, in the header too.
TEST_F(ReadNetworkDeathTest, CtrlZBeforeTheEndStops) {
    EXPECT_EXIT(ReadAndStop("% x\n*Vert\x1a" "ices 2\n*Matrix\n"), testing::ExitedWithCode(1),
                "^Bad NET file: Ctrl-Z before the end, line 2\n$");
}

// A line that ends the names, shown as it is in the file.
TEST_F(ReadNetworkDeathTest, NoFormKeywordShowsTheLineVisibly) {
    EXPECT_EXIT(ReadAndStop("*Vertices 2\n\x1b[2J\n"), testing::ExitedWithCode(1),
                "\nch = \\^\\[\n.*\nNo form keyword at line 2: \\^\\[\\[2J\n.*Error 6 : $");
}
