// Sweeps over cluster counts, run as an analyst would: one series per pair of
// counts, each the very series a run of that pair alone gives, every series
// in the JSON, and the best error of each pair in a picture that a real
// renderer draws and the test reads back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/png_picture.h"
#include "support/test_support.h"

static void UseExample(const TempFolder& folder, const char* network, const char* model) {
    folder.Write(network, Example(network));
    folder.Write(model, Example(model));
}

// The series objects of a JSON file, in order.
static std::vector<std::string> SeriesOf(const std::string& json) {
    std::vector<std::string> series;
    const std::string start = "    {\r\n      \"title\": ";
    for (size_t at = json.find(start); at != std::string::npos; at = json.find(start, at + 1))
        series.push_back(json.substr(at, json.find("\r\n    }", at) - at));
    return series;
}

// The points of a sweep picture: centre and title of every circle that names a pair.
struct PlottedPair {
    double X, Y;
    std::string Title;
};

static std::vector<PlottedPair> PlottedPairs(const std::string& svg) {
    static const std::regex circle("<circle cx=\"([0-9.]+)\" cy=\"([0-9.]+)\" r=\"[0-9.]+\" fill=\"#[0-9a-f]{6}\">"
                                   "<title>([^<]*)</title></circle>");
    std::vector<PlottedPair> pairs;
    for (std::sregex_iterator m(svg.begin(), svg.end(), circle), end; m != end; ++m)
        pairs.push_back(PlottedPair{std::stod((*m)[1]), std::stod((*m)[2]), (*m)[3]});
    return pairs;
}

// Renders the picture and checks that every pair's point is drawn in colour.
static void ExpectEveryPairDrawn(const TempFolder& folder, const std::string& name,
                                 const std::vector<PlottedPair>& pairs) {
    ASSERT_EQ(std::system("command -v rsvg-convert >/dev/null"), 0)
        << "rsvg-convert is missing: install the Debian package librsvg2-bin";
    std::string command = "cd '" + folder.Path + "' && rsvg-convert -f png -o sweep.png '" + name + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << "the renderer refused " << name;
    Picture picture;
    ASSERT_TRUE(DecodePng(folder.Read("sweep.png"), picture));
    std::string svg = folder.Read(name);
    std::smatch size;
    ASSERT_TRUE(std::regex_search(svg, size, std::regex("width=\"([0-9]+)\" height=\"([0-9]+)\"")));
    EXPECT_EQ(picture.Width, std::stoi(size[1]));
    EXPECT_EQ(picture.Height, std::stoi(size[2]));
    for (const PlottedPair& pair : pairs) EXPECT_LT(picture.Grey(pair.X, pair.Y), 200) << pair.Title;
}

TEST(Sweep, EveryPairIsTheSeriesOfARunOfItsOwn) {
    TempFolder folder;
    UseExample(folder, "davis.net", "null-complete.mdl");
    const std::string common = "net=davis.net mdl=null-complete.mdl reps=100 seed=1";
    RunResult sweep = RunKorvel(folder, "", common + " rows=2..4 cols=2..4");
    ASSERT_EQ(sweep.ExitCode, 0) << sweep.Console;
    std::string json = folder.Read("Model.json");
    std::vector<std::string> series = SeriesOf(json);
    ASSERT_EQ(series.size(), 9u);
    EXPECT_TRUE(Contains(json, "\"unit_partition\": \"Model.clu\",\r\n    \"sweep_picture\": \"Model-sweep.svg\"\r\n"));

    // Rows outer, columns inner; each series as its pair gives it alone.
    std::vector<std::string> errors;
    size_t k = 0;
    for (int rows = 2; rows <= 4; ++rows) {
        for (int cols = 2; cols <= 4; ++cols, ++k) {
            TempFolder alone;
            UseExample(alone, "davis.net", "null-complete.mdl");
            std::string pair = " rows=" + std::to_string(rows) + " cols=" + std::to_string(cols);
            ASSERT_EQ(RunKorvel(alone, "", common + pair).ExitCode, 0) << pair;
            std::vector<std::string> own = SeriesOf(alone.Read("Model.json"));
            ASSERT_EQ(own.size(), 1u) << pair;
            EXPECT_EQ(series[k], own[0]) << pair;
            std::smatch best;
            static const std::regex bestError("\"best\": \\{\r\n.*\r\n        \"error\": ([0-9]+),");
            ASSERT_TRUE(std::regex_search(own[0], best, bestError));
            errors.push_back(best[1]);
        }
    }
    // The exact optima of 2 x 3 and 3 x 3 clusters.
    EXPECT_EQ(errors[1], "52");
    EXPECT_EQ(errors[4], "40");

    // One point a pair, at its error, each drawn when rendered.
    std::string svg = folder.Read("Model-sweep.svg");
    std::vector<PlottedPair> pairs = PlottedPairs(svg);
    ASSERT_EQ(pairs.size(), 9u);
    for (size_t p = 0; p < pairs.size(); ++p) {
        // The lines are drawn by row count and their points by column count: the order of the series.
        std::string title = std::to_string(2 + p / 3) + " x " + std::to_string(2 + p % 3) +
                            " clusters: best error " + errors[p] + ".000";
        EXPECT_EQ(pairs[p].Title, title);
        for (size_t q = 0; q < pairs.size(); ++q) {
            if (std::stoi(errors[p]) < std::stoi(errors[q])) {
                EXPECT_GT(pairs[p].Y, pairs[q].Y) << title;
            }
        }
    }
    EXPECT_TRUE(Contains(svg, ">2 row clusters</text>") && Contains(svg, ">4 row clusters</text>"));
    EXPECT_TRUE(Contains(svg, ">Column clusters</text>") && Contains(svg, ">Best error</text>"));
    ExpectEveryPairDrawn(folder, "Model-sweep.svg", pairs);

    // The summary: every pair's best error, and the files to open.
    std::string table = "Best error by number of clusters, rows down and columns across:\n"
                        "          2       3       4\n"
                        "  2  " + errors[0] + ".000  " + errors[1] + ".000  " + errors[2] + ".000\n";
    EXPECT_TRUE(Contains(sweep.Console, "K O R V E L - end\n\nSummary\n" + table)) << sweep.Console;
    std::string files = "Listing: Model.LST\nResult files: Model.json, Model.svg, Model-rows.clu, Model-cols.clu, "
                        "Model.clu,\n              Model-sweep.svg\n";
    EXPECT_EQ(sweep.Console.substr(sweep.Console.size() - files.size()), files);
}

// One partition sweeps the counts of rows= alone, one line in the picture.
TEST(Sweep, OnePartitionSweepsItsOneCount) {
    TempFolder folder;
    UseExample(folder, "karate.net", "null-complete-regular.mdl");
    RunResult run = RunKorvel(folder, "", "net=karate.net mdl=null-complete-regular.mdl onemode=1 rows=2..4 "
                                          "cols=2..9 reps=100 seed=9");
    ASSERT_EQ(run.ExitCode, 0) << run.Console;
    EXPECT_TRUE(Contains(run.Console, "cols= ignored: one partition takes its number of clusters from rows=\n"));
    for (const char* count : {"2", "3", "4"})
        EXPECT_TRUE(Contains(run.Console, std::string("] Number of clusters = ") + count + "\n")) << count;
    EXPECT_EQ(SeriesOf(folder.Read("Model.json")).size(), 3u);
    EXPECT_TRUE(Contains(run.Console, "Best error by number of clusters:\n  2  0.000\n  3  2.000\n  4  4.000\n"));
    std::string svg = folder.Read("Model-sweep.svg");
    std::vector<PlottedPair> pairs = PlottedPairs(svg);
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[1].Title, "3 clusters: best error 2.000");
    EXPECT_TRUE(Contains(svg, ">one partition</text>") && Contains(svg, ">Clusters</text>"));
    ExpectEveryPairDrawn(folder, "Model-sweep.svg", pairs);
}

TEST(Sweep, MalformedRangesAreRefused) {
    TempFolder folder;
    RunResult reversed = RunKorvel(folder, "", "rows=4..2");
    EXPECT_EQ(reversed.ExitCode, 1);
    EXPECT_EQ(reversed.Console, "Bad argument rows=4..2: rows must be 1..75, or a range A..B within it with A <= B\n");
    EXPECT_EQ(RunKorvel(folder, "", "cols=2..").ExitCode, 1);
    EXPECT_EQ(RunKorvel(folder, "", "cols=0..3").ExitCode, 1);
}
