// The choice of the best type per block, the total error P and the
// constraint penalties. Every number is compared exactly.
#include "criterion/total_error.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

constexpr uint16_t AllTypes = 0x1FFF;

// Sets the priorities and rebuilds the sequence as the priority entry does
// (no duplicates expected here).
void UsePriorities(const std::vector<int>& priorities) {
    for (int p = 0; p <= NumTypeCodes; ++p) PrioritySequence[p] = -1;
    for (int k = 0; k < NumTypeCodes; ++k) {
        TypePriority[k] = static_cast<uint8_t>(priorities[static_cast<size_t>(k)]);
        if (priorities[static_cast<size_t>(k)] > 0) PrioritySequence[priorities[static_cast<size_t>(k)]] = k;
    }
}

// The sample list-level-4 network: six people in two triads.
void UseTriads() {
    UseBinaryNetwork({"011001", "101000", "110000", "000011", "001101", "000110"});
}

class TotalErrors : public ::testing::Test {
protected:
    void SetUp() override { ResetState(); }
};

TEST_F(TotalErrors, DefaultPrioritiesPreferNullOverDoNotCare) {
    UseBinaryNetwork({"00", "00"});
    UsePartitions({1, 1}, {1, 1});
    AllowEverywhere((1 << NullType) | (1 << DoNotCareType));
    EXPECT_EQ(BlockError(1, 1), 0.0);
    EXPECT_EQ(BlockTypeMatrix[1][1], NullType);
    EXPECT_EQ(ErrorMatrix[1][1], 0);
    // Do not care first, null second: do not care wins the tie.
    UsePriorities({2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 1, 12, 13});
    EXPECT_EQ(BlockError(1, 1), 0.0);
    EXPECT_EQ(BlockTypeMatrix[1][1], DoNotCareType);
}

TEST_F(TotalErrors, LeastErrorWinsAndErrorMatrixHoldsTheRawError) {
    UseBinaryNetwork({"11", "10"});
    UsePartitions({1, 1}, {1, 1});
    AllowEverywhere((1 << NullType) | (1 << CompleteType), 2);
    EXPECT_EQ(BlockError(1, 1), 2.0);  // complete: 1 x 1 x 2
    EXPECT_EQ(BlockTypeMatrix[1][1], CompleteType);
    EXPECT_EQ(ErrorMatrix[1][1], 1);
    EXPECT_EQ(TotalError(), 2.0);
}

TEST_F(TotalErrors, MinBlockSizeAboveTheSideGivesNoChoice) {
    UseBinaryNetwork({"11", "10"});
    UsePartitions({1, 1}, {1, 1});
    AllowEverywhere(1 << RowDominantType);
    MinBlockSize = 3;  // above n_c = 2
    ErrorMatrix[1][1] = 77;
    EXPECT_EQ(BlockError(1, 1), 999998.0);
    EXPECT_EQ(BlockTypeMatrix[1][1], -1);
    EXPECT_EQ(ErrorMatrix[1][1], 0);  // no type chosen
    EXPECT_EQ(TotalError(), 999998.0);
    MinBlockSize = 2;
    EXPECT_EQ(TotalError(), 0.0);  // row 1 is full: (2 - 2) x 2
    EXPECT_EQ(BlockTypeMatrix[1][1], RowDominantType);
}

TEST_F(TotalErrors, PriorityZeroIsNeverChosen) {
    UseBinaryNetwork({"00", "00"});
    UsePartitions({1, 1}, {1, 1});
    AllowEverywhere(1 << NullType);
    UsePriorities({0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    EXPECT_EQ(BlockError(1, 1), 999998.0);
    EXPECT_EQ(BlockTypeMatrix[1][1], -1);
    EXPECT_EQ(TotalError(), 999998.0);
    // With another allowed type, that one is taken even with a larger error.
    AllowEverywhere((1 << NullType) | (1 << CompleteType));
    EXPECT_EQ(BlockError(1, 1), 4.0);
    EXPECT_EQ(BlockTypeMatrix[1][1], CompleteType);
}

TEST_F(TotalErrors, GapsInTheSequenceAreSkipped) {
    UseBinaryNetwork({"10", "00"});
    UsePartitions({1, 1}, {1, 1});
    AllowEverywhere(AllTypes);
    // Only null (13), complete (5) and non-null (1) have priorities.
    UsePriorities({13, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0});
    EXPECT_EQ(BlockError(1, 1), 0.0);  // non-null: S > 0
    EXPECT_EQ(BlockTypeMatrix[1][1], NonNullType);
}

// Found by a search over small weights and block sizes in size mode: in a
// 1 x 5 block with two ones, null (raw 2, weight 0.35) and density (raw 4
// with OutDensity 1, weight 0.21) both give exactly 0.21 in extended
// precision, a tie that the priorities decide. Formed in double, null would
// be one unit in the last place smaller and would win whatever the priorities.
TEST_F(TotalErrors, ExtendedPrecisionTieGoesToThePriority) {
    UseBinaryNetwork({"11000", "00000"});
    UsePartitions({1, 2}, {1, 1, 1, 1, 1});
    AllowEverywhere((1 << NullType) | (1 << DensityType));
    ErrorType = 2;
    OutDensity = 1.0;  // D = 5.5 to even = 6, density raw 6 - 2 = 4
    TypeWeight[NullType] = 0.35;
    TypeWeight[DensityType] = 0.21;
    UsePriorities({2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 11, 12, 13});  // density first
    double error = BlockError(1, 1);
    EXPECT_EQ(error, 0x1.ae147ae147ae1p-3);
    EXPECT_EQ(BlockTypeMatrix[1][1], DensityType);
    EXPECT_EQ(ErrorMatrix[1][1], 4);
    // The same quotients formed in double differ, and null would be less.
    volatile double w0 = 0.35, w9 = 0.21;
    volatile double p0 = 3.0 * w0, p9 = 5.0 * w9;
    double null = p0 / 5, density = p9 / 5;
    EXPECT_EQ(null, 0x1.ae147ae147aep-3);
    EXPECT_EQ(density, 0x1.ae147ae147ae2p-3);
    EXPECT_LT(null, density);
    // Null first: the tie goes to null.
    UsePriorities({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    EXPECT_EQ(BlockError(1, 1), 0x1.ae147ae147ae1p-3);
    EXPECT_EQ(BlockTypeMatrix[1][1], NullType);
    EXPECT_EQ(ErrorMatrix[1][1], 2);
}

TEST_F(TotalErrors, BlockSumInExtendedPrecision) {
    // Four blocks of size mode errors; the sum is rounded after each addition.
    UseTriads();
    UsePartitions({2, 2, 1, 2, 1, 1}, {2, 1, 2, 2, 1, 1});
    AllowEverywhere((1 << NullType) | (1 << CompleteType));
    ErrorType = 2;
    TypeWeight[NullType] = 0.1;
    // Blocks of 3 x 3 with 3, 4, 4 and 3 ties: null errors (3 + 1) x 0.1 / 9,
    // (4 + 1) x 0.1 / 9, ...; by hand (4 + 5 + 5 + 4) x 0.1 / 9 = 0.2, and the
    // sum rounded after each addition lands on the double nearest 0.2.
    EXPECT_EQ(TotalError(), 0.2);
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 2; ++c) EXPECT_EQ(BlockTypeMatrix[r][c], NullType);
    }
}

TEST_F(TotalErrors, TraceOfTheSampleListLevelFour) {
    UseTriads();
    UsePartitions({2, 2, 1, 2, 1, 1}, {2, 1, 2, 2, 1, 1});
    AllowEverywhere((1 << NullType) | (1 << CompleteType));
    CaptureListing();
    EXPECT_EQ(TotalError(), 14.0);
    EXPECT_EQ(ListingText(), "");  // nothing below level 4
    ListLevel = 4;
    ListTrace = true;
    EXPECT_EQ(TotalError(), 14.0);
    EXPECT_EQ(ListingText(),
              "\r\n"
              "*** Total error\r\n"
              "   2   2   1   2   1   1\r\n"
              "   2   1   2   2   1   1\r\n"
              "block_error\r\n"
              "  1  3  1  1  3    0\r\n"
              "  1  3  1  1  3    3\r\n"
              " error[  1,  1 ] =      3.000    0\r\n"
              "block_error\r\n"
              "  1  3  1  2  3    0\r\n"
              "  2  3  1  2  3    4\r\n"
              " error[  1,  2 ] =      4.000    0\r\n"
              "block_error\r\n"
              "  2  3  0  2  2    0\r\n"
              "  1  3  1  2  3    4\r\n"
              " error[  2,  1 ] =      4.000    0\r\n"
              "block_error\r\n"
              "  2  3  0  2  2    0\r\n"
              "  2  3  0  2  2    3\r\n"
              " error[  2,  2 ] =      3.000    0\r\n");
    const int errors[3][3] = {{0, 0, 0}, {0, 3, 4}, {0, 4, 3}};
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 2; ++c) {
            EXPECT_EQ(BlockTypeMatrix[r][c], NullType);
            EXPECT_EQ(ErrorMatrix[r][c], errors[r][c]);
        }
    }
}

TEST_F(TotalErrors, TraceOfABlockWithNoChoice) {
    UseBinaryNetwork({"1"});
    UsePartitions({1}, {1});
    AllowEverywhere(0);
    CaptureListing();
    ListTrace = true;
    EXPECT_EQ(BlockError(1, 1), 999998.0);
    EXPECT_EQ(ListingText(),
              "block_error\r\n"
              "  1  1  1  1  1    0\r\n"
              "  1  1  1  1  1    1\r\n"
              " error[  1,  1 ] = 999998.000   -1\r\n");
}

TEST_F(TotalErrors, VectorLineOfTwoDigitClusters) {
    SideUnits[RowSide] = 3;
    SideUnits[ColSide] = 1;
    Partition[RowSide][1] = 1;
    Partition[RowSide][2] = 2;
    Partition[RowSide][3] = 10;
    Partition[ColSide][1] = 1;
    SideClusters[RowSide] = SideClusters[ColSide] = 0;  // no blocks: only the vectors
    ListLevel = FullListing;
    ListTrace = true;
    CaptureListing();
    EXPECT_EQ(TotalError(), 0.0);
    EXPECT_EQ(ListingText(), "\r\n*** Total error\r\n   1   2  10\r\n   1\r\n");
}

TEST_F(TotalErrors, BlockValuesOnlyInThePrintedEvaluation) {
    UseBinaryNetwork({"23", "00"});
    UsePartitions({1, 2}, {1, 1});
    AllowEverywhere((1 << NullType) | (1 << CompleteType));
    ValuesRule = 1;
    RealValueMatrix[1][1] = -1.0;
    TotalError();
    EXPECT_EQ(RealValueMatrix[1][1], -1.0);
    TotalError(true);
    EXPECT_EQ(BlockTypeMatrix[1][1], CompleteType);
    EXPECT_EQ(RealValueMatrix[1][1], 2.5);
    EXPECT_EQ(BlockTypeMatrix[2][1], NullType);
    EXPECT_EQ(RealValueMatrix[2][1], 0.0);
}

// Constraints: a one-mode network of 6 units, 2 row and 2 column clusters
// with a model of 3 rows (ModelRows = 3), so column cluster c is 3 + c.
class Constraints : public TotalErrors {
protected:
    void SetUp() override {
        TotalErrors::SetUp();
        UseBinaryNetwork({"000000", "000000", "000000", "000000", "000000", "000000"});
        // Row clusters: 1 = {1}, 2 = {2, 3, 4, 5, 6}... sizes 1 and 5.
        UsePartitions({1, 2, 2, 2, 2, 2}, {1, 1, 2, 2, 1, 2});
        AllowEverywhere(1 << NullType);  // every block error 0
        ModelRows = 3;
        ModelCols = 3;
        NumConstraints = 0;
    }
    void Add(int kind, int a, int b, int32_t penalty) {
        ++NumConstraints;
        ConstraintKind[NumConstraints] = static_cast<uint8_t>(kind);
        ConstraintFirst[NumConstraints] = static_cast<uint8_t>(a);
        ConstraintSecond[NumConstraints] = static_cast<uint8_t>(b);
        ConstraintWeight[NumConstraints] = penalty;
    }
    double Only(int kind, int a, int b, int32_t penalty) {
        NumConstraints = 0;
        Add(kind, a, b, penalty);
        return TotalError();
    }
};

TEST_F(Constraints, KindOneOnTheColumnSide) {
    // a = SideUnits[RowSide] + 5, b = ModelRows + 2: column unit 5 is in column cluster 2.
    EXPECT_EQ(Only(1, 6 + 5, 3 + 2, 7), 7.0);  // column unit 5 is in cluster 1
    Partition[ColSide][5] = 2;
    EXPECT_EQ(Only(1, 6 + 5, 3 + 2, 7), 0.0);
}

TEST_F(Constraints, KindsOneAndTwoOnTheRowSide) {
    EXPECT_EQ(Only(1, 1, 1, 3), 0.0);  // row unit 1 is in row cluster 1
    EXPECT_EQ(Only(1, 2, 1, 3), 3.0);
    EXPECT_EQ(Only(2, 1, 1, 3), 3.0);  // unit 1 must not be in cluster 1
    EXPECT_EQ(Only(2, 2, 1, 3), 0.0);
    EXPECT_EQ(Only(2, 6 + 3, 3 + 2, 4), 4.0);  // column unit 3 is in column cluster 2
    EXPECT_EQ(Only(2, 6 + 1, 3 + 2, 4), 0.0);
}

TEST_F(Constraints, KindsThreeAndFour) {
    EXPECT_EQ(Only(3, 2, 3, 5), 0.0);  // row units 2 and 3 together
    EXPECT_EQ(Only(3, 1, 3, 5), 5.0);
    EXPECT_EQ(Only(4, 1, 3, 5), 0.0);
    EXPECT_EQ(Only(4, 2, 3, 5), 5.0);
    // Column side by b > SideUnits[RowSide]: column units 1 and 2 (cluster 1), 3 (cluster 2).
    EXPECT_EQ(Only(3, 6 + 1, 6 + 2, 6), 0.0);
    EXPECT_EQ(Only(3, 6 + 1, 6 + 3, 6), 6.0);
    EXPECT_EQ(Only(4, 6 + 1, 6 + 2, 6), 6.0);
    EXPECT_EQ(Only(4, 6 + 1, 6 + 3, 6), 0.0);
}

TEST_F(Constraints, KindsFiveAndSix) {
    // Row cluster 2 has 5 units; make it 1 and 3 by moving units.
    UsePartitions({1, 2, 1, 1, 1, 1}, {1, 1, 2, 2, 1, 2});
    EXPECT_EQ(Only(5, 4, 2, 10), 30.0);  // at least 4, has 1
    EXPECT_EQ(Only(5, 1, 2, 10), 0.0);
    UsePartitions({1, 2, 2, 2, 1, 1}, {1, 1, 2, 2, 1, 2});
    EXPECT_EQ(Only(6, 1, 2, 10), 20.0);  // at most 1, has 3
    EXPECT_EQ(Only(6, 3, 2, 10), 0.0);
    // Column side: column cluster 2 (b = 3 + 2) has 3 units.
    EXPECT_EQ(Only(5, 5, 3 + 2, 2), 4.0);
    EXPECT_EQ(Only(6, 0, 3 + 2, 2), 6.0);
}

TEST_F(Constraints, KindsFiveAndSixAmountsInSixtyFourBits) {
    // (200 - 1) x 2147483647 does not fit in 32 bits.
    UsePartitions({1, 2, 1, 1, 1, 1}, {1, 1, 2, 2, 1, 2});
    EXPECT_EQ(Only(5, 200, 2, 2147483647), 199.0 * 2147483647.0);
    EXPECT_EQ(Only(6, 0, 1, -2147483647 - 1), 5.0 * -2147483648.0);
}

TEST_F(Constraints, OtherKindsAddNothing) {
    for (int kind : {0, 7, 8, 255}) {
        EXPECT_EQ(Only(kind, 1, 2, 9), 0.0) << "kind " << kind;
        EXPECT_EQ(Only(kind, 4, 1, 9), 0.0) << "kind " << kind;
    }
}

TEST_F(Constraints, OperandsThatDoNotFitAddNothing) {
    // The constraint is not evaluated at all.
    EXPECT_EQ(Only(1, 6 + 1, 1, 9), 0.0);       // row cluster, column unit
    EXPECT_EQ(Only(1, 0, 1, 9), 0.0);           // unit 0
    EXPECT_EQ(Only(1, 1, 0, 9), 0.0);           // cluster 0
    EXPECT_EQ(Only(1, 1, 3, 9), 0.0);           // row cluster 3 of 2
    EXPECT_EQ(Only(2, 2, 3, 9), 0.0);
    EXPECT_EQ(Only(1, 2, 3 + 1, 9), 0.0);       // column cluster, row unit
    EXPECT_EQ(Only(1, 6 + 7, 3 + 1, 9), 0.0);   // column unit 7 of 6
    EXPECT_EQ(Only(1, 6 + 1, 3 + 3, 9), 0.0);   // column cluster 3 of 2
    EXPECT_EQ(Only(3, 1, 6 + 1, 9), 0.0);       // row unit with column unit
    EXPECT_EQ(Only(4, 0, 1, 9), 0.0);           // unit 0
    EXPECT_EQ(Only(4, 6 + 7, 6 + 1, 9), 0.0);   // column unit 7 of 6
    EXPECT_EQ(Only(3, 6 + 1, 255, 9), 0.0);     // 255 - 6 beyond the columns
    EXPECT_EQ(Only(5, 4, 0, 9), 0.0);           // cluster 0
    EXPECT_EQ(Only(5, 4, 3, 9), 0.0);           // row cluster 3 of 2
    EXPECT_EQ(Only(6, 0, 3 + 3, 9), 0.0);       // column cluster 3 of 2
    // The same operands in range do count.
    EXPECT_EQ(Only(4, 6 + 1, 6 + 2, 9), 9.0);
    EXPECT_EQ(Only(5, 4, 3 + 1, 9), 9.0);  // column cluster 1 has 3 units
}

TEST_F(Constraints, PenaltiesAddUpAfterTheBlocks) {
    AllowEverywhere(1 << CompleteType);  // every cell of the zero network counts
    ModelRows = 3;
    Add(1, 2, 1, 10);  // violated
    Add(4, 2, 3, 100);  // violated
    Add(5, 4, 3, 1000);  // not evaluated (row cluster 3)
    Add(6, 0, 1, 1);  // violated by 1
    EXPECT_EQ(TotalError(), 36.0 + 111.0);
}

}  // namespace
