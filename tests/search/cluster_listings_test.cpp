// The cluster listing of a side, byte for byte, and the order it builds.
#include "search/cluster_listings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

// Seven rows: cluster 1 holds six (two member lines), cluster 2 one, cluster 3 none.
TEST(ClusterListings, ClusterListingWritesFiveUnitsALineAndBuildsTheOrder) {
    ResetState();
    CaptureListing();
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

}  // namespace
