// The report of a series and its ten best results, byte for byte.
#include "results/results_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "search/random_starts.h"
#include "support/test_support.h"

namespace {

class ResultsReport : public ::testing::Test {
protected:
    void SetUp() override {
        ResetState();
        CaptureListing();
    }
};

// Two results with different cluster counts: each is written with its own,
// and the best becomes current with its counts, order and partitions.
TEST_F(ResultsReport, TopTenListsFilledEntriesAndMakesTheBestCurrent) {
    UseBinaryNetwork({"11", "11", "00"});
    ModelRows = ModelCols = 2;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
            ModelMatrix[r][c] = (1 << NullType) | (1 << CompleteType);
            PenaltyMatrix[r][c] = 1;
        }
    ErrorType = 1;
    ResetSeriesResults();
    TopTen[1] = TopTenEntry{};
    TopTen[1].Rep = 4;
    TopTen[1].Error = 0.0;
    TopTen[1].Clusters[RowSide] = 2;
    TopTen[1].Clusters[ColSide] = 1;
    TopTen[1].Partitions[RowSide] = {0, 2, 2, 1};
    TopTen[1].Partitions[ColSide] = {0, 1, 1};
    TopTen[2] = TopTen[1];
    TopTen[2].Rep = 7;
    TopTen[2].Error = 2.0;
    TopTen[2].Clusters[RowSide] = 1;
    TopTen[2].Partitions[RowSide] = {0, 1, 1, 1};
    SideClusters[RowSide] = 3;  // the counts of another series
    SideClusters[ColSide] = 2;
    const int32_t shown[2] = {3, 2};
    RepCount = 3;
    EXPECT_TRUE(MakeBestCurrent());
    WriteSeriesReport(shown);
    std::string listing = ListingText();
    const std::string expected =
        " NUMBER OF CLUSTERS    =   2  1\r\n NUMBER OF CLUSTERINGS =      2\r\n"
        "\r\n T O P   T E N\r\n\r\n"
        "     4: { 3 } { 1 2 }  \r\n        { 1 2 }  \r\nP =    0.000\r\n"
        "     7: { 1 2 3 }  \r\n        { 1 2 }  \r\nP =    2.000\r\n\r\n";
    EXPECT_NE(listing.find(expected), std::string::npos) << listing;
    EXPECT_EQ(SideClusters[RowSide], 2);
    EXPECT_EQ(SideClusters[ColSide], 1);
    EXPECT_EQ(std::vector<int>(ListingOrder[RowSide] + 1, ListingOrder[RowSide] + 4), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(std::vector<int>(Partition[RowSide] + 1, Partition[RowSide] + 4), (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(ClusterSize[RowSide][1], 1);
    EXPECT_EQ(ClusterSize[RowSide][2], 2);
    EXPECT_EQ(CurrentError, 0.0);
    EXPECT_NE(listing.find("final error =       0.000\r\n"), std::string::npos);
}

// The report of the previous series shows its own counts, those of its best
// result; the new series then starts with the counts asked for it.
TEST_F(ResultsReport, NewSeriesReportsThePreviousOneWithItsOwnCounts) {
    UseBinaryNetwork({"11", "11", "00"});
    CaptureListing();
    NumUnits = 5;
    RepCount = 3;  // two repetitions unreported
    RepLimit = 5;
    ResetSeriesResults();
    TopTen[1].Rep = 2;
    TopTen[1].Error = 0.0;
    TopTen[1].Clusters[RowSide] = 2;
    TopTen[1].Clusters[ColSide] = 1;
    TopTen[1].Partitions[RowSide] = {0, 1, 1, 2};  // { 1 2 } { 3 }
    TopTen[1].Partitions[ColSide] = {0, 1, 1};     // { 1 2 }
    const int32_t asked[2] = {3, 2};
    EXPECT_TRUE(MakeBestCurrent());
    WriteSeriesReport(asked);
    std::string console = WithConsole("", [] {
        const int32_t clusters[2] = {3, 2};
        StartRandomSeries(clusters);
    });
    EXPECT_EQ(console, "      0\n");
    std::string listing = ListingText();
    EXPECT_NE(listing.find(" NUMBER OF CLUSTERS    =   2  1\r\n"), std::string::npos);
    EXPECT_NE(listing.find(" NUMBER OF CLUSTERINGS =      2\r\n"), std::string::npos);
    EXPECT_NE(listing.find("     2: { 1 2 } { 3 }  \r\n        { 1 2 }  \r\n"), std::string::npos);
    EXPECT_EQ(SideClusters[RowSide], 3);
    EXPECT_EQ(SideClusters[ColSide], 2);
    EXPECT_EQ(SeriesRepetitions, 5);
    EXPECT_EQ(RepCount, 1);
    EXPECT_EQ(TopTen[1].Error, 2e10);
    EXPECT_EQ(BestError, 2e10);
}

}  // namespace
