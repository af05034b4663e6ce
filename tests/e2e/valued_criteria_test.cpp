// Runs under the valued criteria: the errors of a partition read from a file,
// counted by hand, in the listing, and the criterion named in the result files.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/test_support.h"

namespace {

// Three rows and four columns; rows {1, 2} and {3}, columns {1, 2} and {3, 4}.
//        c1  c2  c3  c4
//   r1    4   2   0   0
//   r2    3   3   0   1
//   r3    0   v   0  0.5      v = -1 (ss, ad) or 1 (val)
std::string Network(const char* v) {
    return std::string("*Vertices 7 3\n*Matrix\n4 2 0 0\n3 3 0 1\n0 ") + v + " 0 0.5\n";
}
// Column clusters follow the row clusters' numbers, as the program writes them.
const char* const Partition = "*partition start\n*vertices 7 3 4\n1\n1\n2\n3\n3\n4\n4\n";

struct Case {
    const char* Arguments;
    const char* Value;
    const char* Initial;  // the error of the partition read
    const char* Blocks;   // its block errors, and its means or medians, as listed
};

// Blocks, null error / complete error:
//   ss:  (1,1) 38 / 2 (mean 3), (1,2) 1 / 0.75 (0.25), (2,1) 1 / 0.5 (-0.5),
//        (2,2) 0.25 / 0.125 (0.25): all complete, 3.375.
//   ad:  (1,1) 12 / 2 (median 3), (1,2) 1 / 1 (0), (2,1) 1 / 1 (-1),
//        (2,2) 0.5 / 0.5 (0): complete, then null where the two are equal, 4.5.
//   val, M = 2: (1,1) 12 / 0, (1,2) 1 / 7, (2,1) 1 / 3, (2,2) 0.5 / 3.5: 2.5.
TEST(ValuedCriteria, ErrorsOfAPartitionReadFromAFile) {
    const Case cases[] = {
        {"criterion=ss", "-1", "initial error =       3.375",
         "criterion = ss\r\n\r\nERROR MATRIX : start\r\n\r\n            1     2\r\n     1      2  0.75\r\n"
         "     2    0.5 0.125\r\n\r\n\r\nMEAN MATRIX : start\r\n\r\n           1    2\r\n     1     3 0.25\r\n"
         "     2  -0.5 0.25\r\n"},
        {"criterion=ad", "-1", "initial error =       4.500",
         "criterion = ad\r\n\r\nERROR MATRIX : start\r\n\r\n          1   2\r\n     1    2   1\r\n"
         "     2    1 0.5\r\n\r\n\r\nMEDIAN MATRIX : start\r\n\r\n          1   2\r\n     1    3   0\r\n"
         "     2   -1   0\r\n"},
        {"criterion=val m=2", "1", "initial error =       2.500",
         "criterion = val, M = 2\r\n\r\nERROR MATRIX : start\r\n\r\n          1   2\r\n     1    0   1\r\n"
         "     2    1 0.5\r\n"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        folder.Write("v.net", Network(c.Value));
        folder.Write("start.zep", Partition);
        RunResult run = RunKorvel(folder, "", std::string("net=v.net blocks=null,com lst=v.lst zep=start.zep run=1 "
                                                          "rows=2 cols=2 list=2 title=start ") + c.Arguments);
        ASSERT_EQ(run.ExitCode, 0) << c.Arguments << "\n" << run.Console;
        std::string listing = folder.Read("v.lst");
        EXPECT_TRUE(Contains(listing, c.Initial)) << c.Arguments;
        EXPECT_TRUE(Contains(listing, c.Blocks)) << c.Arguments << "\n" << listing;
        EXPECT_FALSE(Contains(run.Console, "rounded")) << run.Console;
    }
}

// A random series names the criterion in the JSON and the picture, and
// gives the means of the blocks.
TEST(ValuedCriteria, ResultFilesNameTheCriterion) {
    TempFolder folder;
    folder.Write("v.net", Network("1"));
    RunResult run =
        RunKorvel(folder, "", "net=v.net blocks=null,com lst=v.lst rows=2 cols=2 reps=5 criterion=val m=2.5");
    ASSERT_EQ(run.ExitCode, 0) << run.Console;
    std::string json = folder.Read("v.json");
    EXPECT_TRUE(Contains(json, "\"settings\": {\r\n    \"criterion\": \"val\",\r\n    \"m\": 2.5,\r\n")) << json;
    EXPECT_TRUE(Contains(folder.Read("v.svg"), " clusters, criterion val, M = 2.5)</text>"));
    EXPECT_TRUE(Contains(run.Console, "\nCriterion: val, M = 2.5\n")) << run.Console;

    // The picture tints the one negative cell red, the six positive ones grey
    // (the largest black).
    folder.Write("s.net", Network("-1"));
    RunResult squares = RunKorvel(folder, "", "net=s.net blocks=null,com lst=s.lst rows=2 cols=2 reps=5 criterion=ss");
    ASSERT_EQ(squares.ExitCode, 0) << squares.Console;
    json = folder.Read("s.json");
    EXPECT_TRUE(Contains(json, "\"criterion\": \"ss\",\r\n    \"m\": null,\r\n")) << json;
    EXPECT_TRUE(Contains(json, "\"block_means\": [")) << json;
    const std::string svg = folder.Read("s.svg");
    const std::regex cell("<rect x=\"[0-9]+\" y=\"[0-9]+\" width=\"[0-9]+\" height=\"[0-9]+\" "
                          "fill=\"#([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})\"/>");
    int red = 0, grey = 0;
    for (std::sregex_iterator at(svg.begin(), svg.end(), cell), end; at != end; ++at) {
        const std::smatch& m = *at;
        // Cells are never lighter than grey 0x70; the legend's squares are.
        if (m[2] != m[3] || m.str(2) > "70") continue;
        if (m[1] == m[2]) ++grey;
        else if (m.str(1) >= "b0") ++red;
    }
    EXPECT_EQ(red, 1);
    EXPECT_EQ(grey, 6);
}

}  // namespace
