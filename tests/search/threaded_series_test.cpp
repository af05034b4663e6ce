// The threaded series in the test process itself, where ThreadSanitizer sees
// every access of the workers and the main thread: the same results, console
// and listing as the single-threaded loop, repetition by repetition.
#include "search/threaded_series.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "search/accepted_partitions.h"
#include "search/local_optimization.h"
#include "search/random_starts.h"
#include "search/repetition_record.h"
#include "support/test_support.h"

namespace {

struct SeriesOutcome {
    std::string Console, Listing;
    std::vector<int32_t> TopReps;
    std::vector<double> TopErrors;
    int32_t LastRep;
    std::vector<int> Rows, Cols;
};

// A 24 x 18 network with two planted blocks and noise, 3 x 2 clusters,
// null and complete blocks; 40 repetitions from seed 77.
void UsePlantedProblem() {
    std::mt19937 random(5);
    std::vector<std::string> rows;
    for (int i = 0; i < 24; ++i) {
        std::string row;
        for (int j = 0; j < 18; ++j) {
            bool planted = (i < 8 && j < 9) || (i >= 16 && j >= 9);
            row.push_back((random() % 100 < (planted ? 85u : 10u)) ? '1' : '0');
        }
        rows.push_back(row);
    }
    UseBinaryNetwork(rows);
    AllowEverywhere((1 << NullType) | (1 << CompleteType));
    NumRowClusters = 3;
    NumColClusters = 2;
    RunMode = 2;
    ListLevel = 1;
    HaveSolution = true;
    SaveOption = 0;
    RepLimit = 40;
}

SeriesOutcome RunSeries(int32_t threads) {
    ResetState();
    UsePlantedProblem();
    CaptureListing();
    ResetSeriesResults();
    RandomSeed = 77;
    SearchThreads = threads;
    RepCount = 1;
    SeriesOutcome outcome;
    outcome.Console = WithConsole("", [] {
        if (SeriesRunsOnThreads()) {
            EXPECT_TRUE(RunThreadedSeries());
            return;
        }
        // The single-threaded loop, as the program flow runs it.
        for (; RepCount <= RepLimit; ++RepCount) {
            DrawRandomStarts();
            WriteProgressMark();
            CopyWorkingToAccepted();
            SearchLocalOptimum(RepCount);
            RecordResult();
            SaveResult();
        }
        --RepCount;
    });
    outcome.Listing = ListingText();
    for (int d = 1; d <= 10; ++d) {
        outcome.TopReps.push_back(TopTen[d].Rep);
        outcome.TopErrors.push_back(TopTen[d].Error);
    }
    outcome.LastRep = RepCount;
    outcome.Rows.assign(AcceptedRowPartition + 1, AcceptedRowPartition + NumRows + 1);
    outcome.Cols.assign(ColPartition + 1, ColPartition + NumCols + 1);
    return outcome;
}

TEST(ThreadedSeries, RecordsWhatOneThreadRecords) {
    SeriesOutcome one = RunSeries(1);
    EXPECT_EQ(one.LastRep, 40);
    EXPECT_NE(one.Console.find("\n      1>"), std::string::npos);
    for (int32_t threads : {2, 3, 5}) {
        SCOPED_TRACE(threads);
        SeriesOutcome many = RunSeries(threads);
        EXPECT_EQ(many.Console, one.Console);
        EXPECT_EQ(many.Listing, one.Listing);
        EXPECT_EQ(many.TopReps, one.TopReps);
        EXPECT_EQ(many.TopErrors, one.TopErrors);
        EXPECT_EQ(many.LastRep, one.LastRep);
        // The main thread holds the last result as the search leaves it.
        EXPECT_EQ(many.Rows, one.Rows);
        EXPECT_EQ(many.Cols, one.Cols);
    }
}

TEST(ThreadedSeries, OnlyListLevelOneWithoutQuestionsRunsOnThreads) {
    ResetState();
    UsePlantedProblem();
    SearchThreads = 2;
    EXPECT_TRUE(SeriesRunsOnThreads());
    SearchThreads = 1;
    EXPECT_FALSE(SeriesRunsOnThreads());
    SearchThreads = 2;
    ListLevel = 2;  // every move is printed as it is made
    EXPECT_FALSE(SeriesRunsOnThreads());
    ListLevel = 1;
    AskSave = true;  // the question comes after each repetition
    EXPECT_FALSE(SeriesRunsOnThreads());
    AskSave = false;
    RunMode = 1;  // a start read from a file
    EXPECT_FALSE(SeriesRunsOnThreads());
}

}  // namespace
