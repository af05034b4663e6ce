// A whole run of the program: three random series at listing levels 1, 2 and
// 4 saving under "opt", then the saved partition file read back as a start,
// then stop. With a fixed seed the run repeats exactly.
#include <gtest/gtest.h>

#include <cstdlib>
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

}  // namespace
