// A whole run of the program: three random series at listing levels 1, 2 and
// 4 saving under "opt", then the saved partition file read back as a start,
// then stop. With a fixed seed the run repeats exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <string>

#include "support/test_support.h"

namespace {

const char* const TriadsNet =
    "*Vertices 6\r\n"
    "*Matrix\r\n"
    "0 1 1 0 0 1\r\n1 0 1 0 0 0\r\n1 1 0 0 0 0\r\n"
    "0 0 0 0 1 1\r\n0 0 1 1 0 1\r\n0 0 0 1 1 0\r\n";

const char* const Environment =
    "title\r\n*.RAW\r\nnet.net\r\n*.NAM\r\n*.VAR\r\nout.lst\r\npart.zep\r\nmodel.mdl\r\n"
    "*.EXT\r\n*.DIS\r\n0\r\n0\r\n0\r\n0\r\n  0  0  0\r\n";

// Banner, parameters, three files, title, weights; three series of 2 x 2
// clusters; a read of the partition file; stop. The blank lines after the
// read answer the file dialogue of saves that the results may ask for; any
// left over are asked again by the run dialogue.
const char* const Answers =
    "\nn\n\n\n\n\n1\n1\n0\n-1\n"
    "2\n2\n2\n3\n2\n1\n\n"
    "2\n2\n2\n3\n2\n2\n"
    "2\n2\n2\n2\n2\n4\n"
    "1\n\n1\n\n\n\n"
    "0\n\n";

struct SeriesOutcome {
    RunResult Result;
    std::string Listing;
    std::string Partitions;
};

SeriesOutcome RunSeries() {
    TempFolder folder;
    folder.Write("net.net", TriadsNet);
    folder.Write("model.mdl", "null and complete\r\n2 2\r\n 0 3 1 0 1\r\n");
    folder.Write("Tebra.ENV", Environment);
    SeriesOutcome run;
    run.Result = RunKorvel(folder, Answers, "", "2026");
    run.Listing = folder.Read("out.lst");
    run.Partitions = folder.Read("part.zep");
    return run;
}

// The number after the first occurrence of key in text.
double NumberAfter(const std::string& text, const std::string& key) {
    size_t at = text.find(key);
    return at == std::string::npos ? -1.0 : std::atof(text.c_str() + at + key.size());
}

TEST(SeriesRun, FixedSeedRepeatsTheWholeRunAndReadsBackWhatWasSaved) {
    SeriesOutcome first = RunSeries();
    SeriesOutcome second = RunSeries();
    EXPECT_EQ(first.Result.ExitCode, 0);
    EXPECT_EQ(first.Result.Console, second.Result.Console);
    EXPECT_EQ(first.Listing, second.Listing);
    EXPECT_EQ(first.Partitions, second.Partitions);

    const std::string& console = first.Result.Console;
    EXPECT_NE(console.find("K O R V E L - end"), std::string::npos);
    // The reader takes the first clustering saved: repetition 1 of the first series.
    double saved = NumberAfter(console, " Reading partition:   KORVEL: 2/2 [1] =");
    EXPECT_GE(saved, 0.0);
    // A saved local optimum starts the read pass at its own error.
    size_t read = first.Listing.find(" Reading partition: ");
    ASSERT_NE(read, std::string::npos);
    EXPECT_EQ(NumberAfter(first.Listing.substr(read), ". initial error ="), saved);
    // Level 2 lists moves; level 4 also traces trials and the random starts.
    EXPECT_NE(first.Listing.find("try row "), std::string::npos);
    EXPECT_NE(first.Listing.find("*** Local optimization 1"), std::string::npos);
    // Three series reports: two when a new series starts, one at the end.
    size_t reports = 0;
    for (size_t at = first.Listing.find(" T O P   T E N"); at != std::string::npos;
         at = first.Listing.find(" T O P   T E N", at + 1))
        ++reports;
    EXPECT_EQ(reports, 3u);
}

// Units 1 and 2 are either in the same cluster or not, so exactly one
// constraint of each pair is violated whatever the partition: every result
// costs the sum of the pair weights on top of its block errors.
std::string HeavyModel(int pairs, int32_t lastWeight) {
    std::string model = "heavy\r\n2 2\r\n 0 3 1 0 1\r\n*Constraints\r\n";
    for (int k = 1; k <= pairs; ++k) {
        std::string weight = std::to_string(k < pairs ? 2000000000 : lastWeight);
        model += " 3 " + weight + " 1 2\r\n 4 " + weight + " 1 2\r\n";
    }
    return model;
}

// Two series of three repetitions, at listing levels 1 and 4; each series
// report is written by the next series or the end.
std::string RunHeavySeries(const std::string& model) {
    TempFolder folder;
    folder.Write("net.net", TriadsNet);
    folder.Write("model.mdl", model);
    folder.Write("Tebra.ENV", Environment);
    RunResult run = RunKorvel(folder,
                              "\nn\n\n\n\n\n1\n1\n0\n-1\n"
                              "2\n2\n2\n3\n0\n1\n2\n2\n2\n3\n0\n4\n0\n\n",
                              "", "7");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_NE(run.Console.find("K O R V E L - end"), std::string::npos);
    return folder.Read("out.lst");
}

const char* const TopTenHeading = " T O P   T E N\r\n\r\n";

TEST(SeriesRun, BestResultAboveTheListedRangeIsStillMadeCurrent) {
    std::string listing = RunHeavySeries(HeavyModel(8, 1000000000));
    const std::regex resultLine("\r\n +[0-9]+ P = ([0-9.]+)\r\n");
    size_t seriesStart = 0;
    int reports = 0;
    for (size_t at = listing.find(TopTenHeading); at != std::string::npos;
         at = listing.find(TopTenHeading, at + 1)) {
        ++reports;
        // The best of the series' results, as they were reported.
        std::string series = listing.substr(seriesStart, at - seriesStart);
        double best = 1e300;
        for (std::sregex_iterator m(series.begin(), series.end(), resultLine), end; m != end; ++m)
            best = std::min(best, std::atof((*m)[1].str().c_str()));
        EXPECT_GE(best, 1.5e10);
        EXPECT_LT(best, 1.5e10 + 36);
        // The report ends with the error of the best, made current again ...
        size_t final = listing.find("final error =", at);
        ASSERT_NE(final, std::string::npos) << reports;
        std::string report = listing.substr(at, listing.find("\r\n", final) - at);
        EXPECT_EQ(NumberAfter(report, "final error ="), best) << reports;
        // ... although the list of the ten best prints no entry of that size.
        size_t matrix = report.find("MATRIX : ");
        ASSERT_NE(matrix, std::string::npos) << reports;
        EXPECT_EQ(report.substr(0, matrix).find("P = "), std::string::npos) << reports;
        // Level 4 lists its clusters too.
        EXPECT_EQ(report.find("ROW-CLUSTER 1 / ") != std::string::npos, reports == 2);
        seriesStart = at;
    }
    EXPECT_EQ(reports, 2);
}

TEST(SeriesRun, NoResultLeavesTheTopTenEmptyAndMakesNothingCurrent) {
    std::string listing = RunHeavySeries(HeavyModel(15, 2000000000));
    const std::string report =
        "\r\n NUMBER OF UNITS       =      6\r\n NUMBER OF CLUSTERS    =   2  2\r\n"
        " NUMBER OF CLUSTERINGS =      3\r\n\r\n T O P   T E N\r\n\r\n\r\n";
    size_t first = listing.find(report);
    ASSERT_NE(first, std::string::npos);
    // The next series goes on at once with the trace of its first random start.
    EXPECT_TRUE(std::regex_match(listing.substr(first + report.size(), 26), std::regex("(   [12]){6}\r\n")));
    EXPECT_EQ(listing.substr(listing.size() - report.size()), report);
    EXPECT_EQ(listing.find("final error ="), std::string::npos);
}

}  // namespace
