// The three block matrix listings, filled by the criterion.
#include "criterion/block_listings.h"

#include <gtest/gtest.h>

#include <string>

#include "criterion/total_error.h"
#include "support/test_support.h"

namespace {

class BlockMatrixListings : public ::testing::Test {
protected:
    void SetUp() override {
        ResetState();
        CaptureListing();
        ListTitle = "two triads";
        SideClusters[RowSide] = 2;
        SideClusters[ColSide] = 3;
    }
};

TEST_F(BlockMatrixListings, ModelMatrixShowsShortNamesAndBlanksForNoChoice) {
    BlockTypeMatrix[1][1] = NullType;
    BlockTypeMatrix[1][2] = CompleteType;
    BlockTypeMatrix[1][3] = -1;
    BlockTypeMatrix[2][1] = SymmetricType;
    BlockTypeMatrix[2][2] = DoNotCareType;
    BlockTypeMatrix[2][3] = RegularType;
    WriteModelMatrix();
    EXPECT_EQ(ListingText(),
              "\r\n"
              "MODEL MATRIX : two triads\r\n"
              "\r\n"
              "         1   2   3\r\n"
              "     1   -  com    \r\n"
              "     2  sym dnc reg\r\n"
              "\r\n");
    EXPECT_EQ(LineOnPage, 6);  // 4 announced, then one per row
}

TEST_F(BlockMatrixListings, ErrorMatrix) {
    ErrorMatrix[1][1] = 0;
    ErrorMatrix[1][2] = 12;
    ErrorMatrix[1][3] = 12345;
    ErrorMatrix[2][1] = 3;
    ErrorMatrix[2][2] = 999;
    ErrorMatrix[2][3] = 1;
    WriteErrorMatrix();
    EXPECT_EQ(ListingText(),
              "\r\n"
              "ERROR MATRIX : two triads\r\n"
              "\r\n"
              "          1   2   3\r\n"
              "     1    0  1212345\r\n"
              "     2    3 999   1\r\n"
              "\r\n");
}

TEST_F(BlockMatrixListings, ValueMatrix) {
    RealValueMatrix[1][1] = 0.5;
    RealValueMatrix[1][2] = 0.0625;  // an exact tie goes to the even digit: 0.062
    RealValueMatrix[1][3] = 123456.789;
    RealValueMatrix[2][1] = 10.0;
    RealValueMatrix[2][2] = 2.0 / 3;
    RealValueMatrix[2][3] = 0.0;
    WriteValueMatrix();
    EXPECT_EQ(ListingText(),
              "\r\n"
              "VALUE MATRIX : two triads\r\n"
              "\r\n"
              "               1        2        3\r\n"
              "     1     0.500    0.062 123456.789\r\n"
              "     2    10.000    0.667    0.000\r\n"
              "\r\n");
}

TEST_F(BlockMatrixListings, PageBreakBeforeTheHeading) {
    PageNumber = 1;
    LineOnPage = 58;
    Title = "T";
    SideClusters[RowSide] = 1;
    SideClusters[ColSide] = 1;
    BlockTypeMatrix[1][1] = NullType;
    WriteModelMatrix();
    std::string text = ListingText();
    // The three title lines come first, then the page header, then the heading.
    EXPECT_EQ(text.substr(0, 31), "\r\nMODEL MATRIX : two triads\r\n\r\n");
    EXPECT_EQ(text[31], '\f');
    EXPECT_NE(text.find("Page -    2\r\n"), std::string::npos);
    const std::string tail = "\r\n\r\n         1\r\n     1   - \r\n\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(LineOnPage, 5);
}

TEST_F(BlockMatrixListings, MatricesOfACriterionEvaluation) {
    // The sample list-level-4 start: all blocks null, errors 3 4 / 4 3.
    UseBinaryNetwork({"011001", "101000", "110000", "000011", "001101", "000110"});
    UsePartitions({2, 2, 1, 2, 1, 1}, {2, 1, 2, 2, 1, 1});
    ModelRows = ModelCols = 2;
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 2; ++c) {
            ModelMatrix[r][c] = 3;
            PenaltyMatrix[r][c] = 1;
        }
    }
    ErrorType = 1;
    MinBlockSize = 1;
    ValuesRule = 1;
    ListTitle = "2-mode blockmodeling by local optimization";
    EXPECT_EQ(TotalError(true), 14.0);
    WriteModelMatrix();
    WriteErrorMatrix();
    WriteValueMatrix();
    EXPECT_EQ(ListingText(),
              "\r\n"
              "MODEL MATRIX : 2-mode blockmodeling by local optimization\r\n"
              "\r\n"
              "         1   2\r\n"
              "     1   -   - \r\n"
              "     2   -   - \r\n"
              "\r\n"
              "\r\n"
              "ERROR MATRIX : 2-mode blockmodeling by local optimization\r\n"
              "\r\n"
              "          1   2\r\n"
              "     1    3   4\r\n"
              "     2    4   3\r\n"
              "\r\n"
              "\r\n"
              "VALUE MATRIX : 2-mode blockmodeling by local optimization\r\n"
              "\r\n"
              "               1        2\r\n"
              "     1     0.333    0.444\r\n"
              "     2     0.444    0.333\r\n"
              "\r\n");
}

}  // namespace
