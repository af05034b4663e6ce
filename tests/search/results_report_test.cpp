// Cluster listings, set notation and the ten best results, byte for byte.
#include "search/results_report.h"

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

void AddUnit(UnitSet& set, int u) { set.Bits[u / 64] |= uint64_t{1} << (u % 64); }

// Seven rows: cluster 1 holds six (two member lines), cluster 2 one, cluster 3 none.
TEST_F(ResultsReport, ClusterListingWritesFiveUnitsALineAndBuildsTheOrder) {
    UseBinaryNetwork({"1", "1", "1", "1", "1", "1", "1"});
    UsePartitions({1, 1, 2, 1, 1, 1, 1}, {1});
    ListClusters = true;
    SideClusters[RowSide] = 3;
    WriteClusterListing(RowSide, Partition[RowSide], ClusterSize[RowSide]);
    EXPECT_EQ(ListingText(),
              "ROW-CLUSTER 1 / 6\r\n"
              "    1 u1            2 u2            4 u4            5 u5            6 u6        \r\n"
              "    7 u7        \r\n"
              "ROW-CLUSTER 2 / 1\r\n"
              "    3 u3        \r\n"
              "ROW-CLUSTER 3 / 0\r\n");
    EXPECT_EQ(LineOnPage, 6);  // every line announced
    EXPECT_EQ(std::vector<int>(ListingOrder[RowSide] + 1, ListingOrder[RowSide] + 8), (std::vector<int>{1, 2, 4, 5, 6, 7, 3}));
    // The order is built without a listing too; columns take the names after the rows.
    ListClusters = false;
    WriteClusterListing(ColSide, Partition[ColSide], ClusterSize[ColSide]);
    EXPECT_EQ(ListingOrder[ColSide][1], 1);
    ListClusters = true;
    WriteClusterListing(ColSide, Partition[ColSide], ClusterSize[ColSide]);
    EXPECT_NE(ListingText().find("COL-CLUSTER 1 / 1\r\n    1 u8        \r\n"), std::string::npos);
}

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
    AddUnit(TopTen[1].Sets[RowSide][1], 3);
    AddUnit(TopTen[1].Sets[RowSide][2], 1);
    AddUnit(TopTen[1].Sets[RowSide][2], 2);
    AddUnit(TopTen[1].Sets[ColSide][1], 1);
    AddUnit(TopTen[1].Sets[ColSide][1], 2);
    TopTen[2] = TopTen[1];
    TopTen[2].Rep = 7;
    TopTen[2].Error = 2.0;
    TopTen[2].Clusters[RowSide] = 1;
    TopTen[2].Sets[RowSide][1] = TopTenEntry{}.Sets[RowSide][1];
    for (int u = 1; u <= 3; ++u) AddUnit(TopTen[2].Sets[RowSide][1], u);
    SideClusters[RowSide] = 3;  // the counts of another series
    SideClusters[ColSide] = 2;
    WriteTopTen();
    std::string listing = ListingText();
    const std::string expected =
        "\r\n T O P   T E N\r\n\r\n"
        "     4: { 3 } { 1 2 }  \r\n        { 1 2 }  \r\nP =    0.000\r\n"
        "     7: { 1 2 3 }  \r\n        { 1 2 }  \r\nP =    2.000\r\n\r\n";
    EXPECT_EQ(listing.substr(0, expected.size()), expected);
    EXPECT_EQ(SideClusters[RowSide], 2);
    EXPECT_EQ(SideClusters[ColSide], 1);
    EXPECT_EQ(std::vector<int>(ListingOrder[RowSide] + 1, ListingOrder[RowSide] + 4), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(std::vector<int>(Partition[RowSide] + 1, Partition[RowSide] + 4), (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(ClusterSize[RowSide][1], 1);
    EXPECT_EQ(ClusterSize[RowSide][2], 2);
    EXPECT_EQ(CurrentError, 0.0);
    EXPECT_NE(listing.find("final error =       0.000\r\n"), std::string::npos);
}

}  // namespace
