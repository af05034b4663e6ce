// The error of every ideal block type in a block, and the block values
// Every number is compared exactly.
#include "criterion/block_errors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

constexpr uint16_t AllTypes = 0x1FFF;  // bits 0..12

struct Errors {
    int32_t Raw[NumTypeCodes];
    double Weighted[NumTypeCodes];
};

Errors Evaluate(int r, int c) {
    Errors e;
    for (int t = 0; t < NumTypeCodes; ++t) e.Raw[t] = -7;  // marks "left as it was"
    BlockTypeErrors(r, c, e.Raw, e.Weighted);
    return e;
}

// A one-mode network of 7 units: block (1, 1) = rows 1..3 x columns 4..7 is
// all zero, but its mirror cells (rows 4..7, columns 1..3) hold 5 ones.
void UseZeroBlockWithMirror() {
    UseBinaryNetwork({"0000000",
                      "0000000",
                      "0000000",
                      "1100000",
                      "0010000",
                      "1000000",
                      "0100000"});
    UsePartitions({1, 1, 1, 2, 2, 2, 2}, {2, 2, 2, 1, 1, 1, 1});
}

// A two-mode network of 3 x 4 all ones: one block, no mirror cells read
// outside the network (they hold 0).
void UseFullBlock() {
    UseBinaryNetwork({"1111", "1111", "1111"});
    UsePartitions({1, 1, 1}, {1, 1, 1, 1});
}

class BlockErrors : public ::testing::Test {
protected:
    void SetUp() override { ResetState(); }
};

TEST_F(BlockErrors, AllZeroBlockConstantMode) {
    UseZeroBlockWithMirror();
    AllowEverywhere(AllTypes);
    Errors e = Evaluate(1, 1);
    const int32_t raw[] = {0, 12, 12, 12, 12, 12, 12, 12, 12, 6, 0, 1, 5};
    for (int t = 0; t < NumTypeCodes; ++t) {
        EXPECT_EQ(e.Raw[t], raw[t]) << "type " << t;
        EXPECT_EQ(e.Weighted[t], static_cast<double>(raw[t])) << "type " << t;
    }
}

TEST_F(BlockErrors, AllZeroBlockSizeMode) {
    UseZeroBlockWithMirror();
    AllowEverywhere(AllTypes);
    ErrorType = 2;
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[NullType], 1.0 / 12);
    EXPECT_EQ(e.Weighted[CompleteType], 13.0 / 12);
    EXPECT_EQ(e.Weighted[DoNotCareType], 0.0);
    EXPECT_EQ(e.Raw[DoNotCareType], 0);
    EXPECT_EQ(e.Weighted[NonNullType], 2.0 / 12);
    EXPECT_EQ(e.Weighted[SymmetricType], 6.0 / 12);
}

TEST_F(BlockErrors, FullBlock) {
    UseFullBlock();
    AllowEverywhere(AllTypes);
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[NullType], 12.0);
    EXPECT_EQ(e.Weighted[CompleteType], 0.0);
    EXPECT_EQ(e.Weighted[RowDominantType], 0.0);
    EXPECT_EQ(e.Weighted[ColDominantType], 0.0);
    EXPECT_EQ(e.Weighted[RegularType], 0.0);
    EXPECT_EQ(e.Weighted[RowRegularType], 0.0);
    EXPECT_EQ(e.Weighted[ColRegularType], 0.0);
    EXPECT_EQ(e.Weighted[RowFunctionType], 9.0);
    EXPECT_EQ(e.Weighted[ColFunctionType], 8.0);
    EXPECT_EQ(e.Weighted[DensityType], 0.0);
    EXPECT_EQ(e.Weighted[NonNullType], 0.0);
    EXPECT_EQ(e.Raw[RowFunctionType], 9);
    EXPECT_EQ(e.Raw[ColFunctionType], 8);
}

TEST_F(BlockErrors, DominantRegularAndFunctionTypesOfAMixedBlock) {
    // Block 3 x 4: rows 1100, 0000, 1111. s = 2, 0, 4; t = 2, 2, 1, 1.
    UseBinaryNetwork({"1100", "0000", "1111"});
    UsePartitions({1, 1, 1}, {1, 1, 1, 1});
    AllowEverywhere(AllTypes);
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(e.Raw[NullType], 6);
    EXPECT_EQ(e.Raw[CompleteType], 6);
    EXPECT_EQ(e.Raw[RowDominantType], 0);       // (4 - 4) x 3
    EXPECT_EQ(e.Raw[ColDominantType], 4);       // (3 - 2) x 4
    EXPECT_EQ(e.Raw[RegularType], 4);           // (4 - 4) x 3 + (3 - 2) x 4
    EXPECT_EQ(e.Raw[RowRegularType], 4);        // (3 - 2) x 4
    EXPECT_EQ(e.Raw[ColRegularType], 0);        // (4 - 4) x 3
    EXPECT_EQ(e.Raw[RowFunctionType], 8);       // 6 - 2 + 1 x 4
    EXPECT_EQ(e.Raw[ColFunctionType], 2);       // 6 - 4 + 0
    EXPECT_EQ(e.Raw[DensityType], 0);           // D = 6 (6.5 to even), 6 - 6
    EXPECT_EQ(e.Raw[NonNullType], 0);
}

TEST_F(BlockErrors, MinBlockSizeAboveTheColumnCount) {
    UseFullBlock();  // n_r = 3, n_c = 4
    AllowEverywhere(AllTypes);
    MinBlockSize = 5;  // above both sides
    Errors e = Evaluate(1, 1);
    for (int t : {2, 3, 5, 6, 7, 8}) {
        EXPECT_EQ(e.Weighted[t], 999999.0) << "type " << t;
        EXPECT_EQ(e.Raw[t], -7) << "type " << t;  // left as it was
    }
    EXPECT_EQ(e.Weighted[RegularType], 0.0);  // regular has no size condition
    MinBlockSize = 4;                         // n_c = 4 fits, n_r = 3 does not
    e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[RowDominantType], 0.0);
    EXPECT_EQ(e.Weighted[ColRegularType], 0.0);
    EXPECT_EQ(e.Weighted[ColFunctionType], 8.0);
    EXPECT_EQ(e.Weighted[ColDominantType], 999999.0);
    EXPECT_EQ(e.Weighted[RowRegularType], 999999.0);
    EXPECT_EQ(e.Weighted[RowFunctionType], 999999.0);
    MinBlockSize = 3;
    e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[ColDominantType], 0.0);
    EXPECT_EQ(e.Weighted[RowRegularType], 0.0);
    EXPECT_EQ(e.Weighted[RowFunctionType], 9.0);
}

TEST_F(BlockErrors, TypesNotAllowedGet999999) {
    UseFullBlock();
    AllowEverywhere((1 << NullType) | (1 << DoNotCareType), 3);
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[NullType], 36.0);  // S x w x q = 12 x 1 x 3
    EXPECT_EQ(e.Raw[NullType], 12);
    EXPECT_EQ(e.Weighted[DoNotCareType], 0.0);
    EXPECT_EQ(e.Raw[DoNotCareType], 0);
    for (int t = 0; t < NumTypeCodes; ++t) {
        if (t == NullType || t == DoNotCareType) continue;
        EXPECT_EQ(e.Weighted[t], 999999.0) << "type " << t;
        EXPECT_EQ(e.Raw[t], -7) << "type " << t;
    }
    // Bits 13..15 are ignored.
    AllowEverywhere(0xE000);
    e = Evaluate(1, 1);
    for (int t = 0; t < NumTypeCodes; ++t) EXPECT_EQ(e.Weighted[t], 999999.0);
}

TEST_F(BlockErrors, DoNotCareIsZeroWhateverTheWeightAndPenalty) {
    UseFullBlock();
    AllowEverywhere(AllTypes, 7);
    TypeWeight[DoNotCareType] = 5.0;
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[DoNotCareType], 0.0);
    ErrorType = 2;
    e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[DoNotCareType], 0.0);
    EXPECT_EQ(e.Weighted[CompleteType], 7.0 / 12);  // (0 + 1) x 1 x 7 / 12
}

TEST_F(BlockErrors, PenaltyZeroMakesEveryAdmissibleErrorZero) {
    UseBinaryNetwork({"1100", "0000", "1111"});
    UsePartitions({1, 1, 1}, {1, 1, 1, 1});
    AllowEverywhere(AllTypes, 0);
    for (int mode : {1, 2}) {
        ErrorType = mode;
        Errors e = Evaluate(1, 1);
        for (int t = 0; t < NumTypeCodes; ++t) EXPECT_EQ(e.Weighted[t], 0.0) << t;
        EXPECT_EQ(e.Raw[NullType], 6);  // the raw errors stay
    }
}

TEST_F(BlockErrors, WeightZeroMakesTheTypeZero) {
    UseFullBlock();
    AllowEverywhere(AllTypes);
    TypeWeight[NullType] = 0.0;
    EXPECT_EQ(Evaluate(1, 1).Weighted[NullType], 0.0);
    ErrorType = 2;
    EXPECT_EQ(Evaluate(1, 1).Weighted[NullType], 0.0);
}

// The density threshold D of an all-zero block of n_r x n_c is its raw error.
int32_t DensityThreshold(int rows, int cols, double outDensity) {
    std::vector<std::string> lines(static_cast<size_t>(rows), std::string(static_cast<size_t>(cols), '0'));
    UseBinaryNetwork(lines);
    UsePartitions(std::vector<int>(static_cast<size_t>(rows), 1), std::vector<int>(static_cast<size_t>(cols), 1));
    AllowEverywhere(1 << DensityType);
    OutDensity = outDensity;
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[DensityType], static_cast<double>(e.Raw[DensityType]));
    return e.Raw[DensityType];
}

TEST_F(BlockErrors, DensityThresholdRoundsHalvesToEven) {
    EXPECT_EQ(DensityThreshold(2, 2, 0.5), 2);   // 2.5 goes to 2
    EXPECT_EQ(DensityThreshold(2, 3, 0.5), 4);   // 3.5 goes to 4
    EXPECT_EQ(DensityThreshold(1, 5, 0.5), 3);   // 3.0 goes to 3
    EXPECT_EQ(DensityThreshold(2, 2, 0.55), 3);  // 2.2 + 0.5 = 2.7 goes to 3
    EXPECT_EQ(DensityThreshold(1, 5, 1.0), 6);   // 5.5 goes to 6
    EXPECT_EQ(DensityThreshold(3, 3, 0.5), 5);   // 4.5 + 0.5 = 5
    // DiaDensity plays no part, on a diagonal block either.
    DiaDensity = 0.00001;
    EXPECT_EQ(DensityThreshold(2, 2, 0.5), 2);
}

TEST_F(BlockErrors, DensityErrorIsZeroWhenTheBlockHasEnoughOnes) {
    UseFullBlock();
    AllowEverywhere(1 << DensityType);
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(e.Raw[DensityType], 0);
    EXPECT_EQ(e.Weighted[DensityType], 0.0);
}

TEST_F(BlockErrors, NonNullAndSymmetricOnAOneModeNetwork) {
    // Block {1,2} x {1,2} of 0110 / 1000 ...: cells (1,2)=1, (2,1)=1 symmetric;
    // block {1,2} x {3,4}: cells (1,3)=1, (2,4)=1; mirrors (3,1)=0, (4,2)=1.
    UseBinaryNetwork({"0110", "1001", "0000", "0100"});
    UsePartitions({1, 1, 2, 2}, {1, 1, 2, 2});
    AllowEverywhere(AllTypes);
    EXPECT_EQ(Evaluate(1, 1).Raw[SymmetricType], 0);
    EXPECT_EQ(Evaluate(1, 2).Raw[SymmetricType], 1);
    EXPECT_EQ(Evaluate(2, 1).Raw[SymmetricType], 1);
    EXPECT_EQ(Evaluate(2, 2).Raw[NonNullType], 1);
    EXPECT_EQ(Evaluate(1, 2).Raw[NonNullType], 0);
}

// Rule 5 of the weighting: the products and the quotient are formed in 80-bit
// extended precision and rounded once. Found by a search over small weights,
// penalties and block sizes in size mode: a 1 x 3 block with two ones
// (raw null error 2) and null weight 0.1 gives (3 x 0.1) / 3, exactly the
// double 0.1 in extended precision but 0.10000000000000002 in double.
TEST_F(BlockErrors, ExtendedPrecisionSizeModeOneTenth) {
    UseBinaryNetwork({"110"});
    UsePartitions({1}, {1, 1, 1});
    AllowEverywhere(1 << NullType);
    ErrorType = 2;
    TypeWeight[NullType] = 0.1;
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[NullType], 0.1);
    EXPECT_EQ(e.Weighted[NullType], 0x1.999999999999ap-4);
    // Formed in double instead, the stored value differs in the last bit.
    volatile double w = 0.1;
    volatile double product = 3.0 * w;
    double inDouble = product / 3;
    EXPECT_EQ(inDouble, 0x1.999999999999bp-4);
    EXPECT_NE(e.Weighted[NullType], inDouble);
}

// Constant mode: raw 3 x weight 0.1 x penalty 5 is exactly 1.5 in extended
// precision, 1.5000000000000002 in double.
TEST_F(BlockErrors, ExtendedPrecisionConstantMode) {
    UseBinaryNetwork({"111"});
    UsePartitions({1}, {1, 1, 1});
    AllowEverywhere(1 << NullType, 5);
    TypeWeight[NullType] = 0.1;
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(e.Weighted[NullType], 1.5);
    volatile double w = 0.1;
    volatile double product = 3.0 * w;
    double inDouble = product * 5;
    EXPECT_EQ(inDouble, 0x1.8000000000001p+0);
}

TEST_F(BlockErrors, TraceAtListTrace) {
    // The first evaluation of the sample list-level-4, block (1, 1) and (2, 2).
    UseBinaryNetwork({"011001", "101000", "110000", "000011", "001101", "000110"});
    UsePartitions({2, 2, 1, 2, 1, 1}, {2, 1, 2, 2, 1, 1});
    AllowEverywhere(3);
    CaptureListing();
    Errors e = Evaluate(1, 1);
    EXPECT_EQ(ListingText(), "");  // no trace below level 4
    ListTrace = true;
    e = Evaluate(1, 1);
    Evaluate(2, 2);
    EXPECT_EQ(ListingText(),
              "block_error\r\n"
              "  1  3  1  1  3    0\r\n"
              "  1  3  1  1  3    3\r\n"
              "block_error\r\n"
              "  2  3  0  2  2    0\r\n"
              "  2  3  0  2  2    3\r\n");
    EXPECT_EQ(e.Weighted[NullType], 3.0);
    EXPECT_EQ(e.Weighted[CompleteType], 6.0);
}

TEST_F(BlockErrors, TraceOfAnEmptyClusterShows999) {
    UseBinaryNetwork({"10", "01"});
    UsePartitions({1, 1}, {1, 1});
    SideClusters[RowSide] = 2;  // cluster 2 has no unit
    AllowEverywhere(1 << NullType);
    CaptureListing();
    ListTrace = true;
    Evaluate(2, 1);
    EXPECT_EQ(ListingText(),
              "block_error\r\n"
              "  2  0999  0  0    0\r\n"
              "  1  2  0  0  0    0\r\n");
}

// Block values: a network of values, read with ValuesRule 1.
class BlockValues : public BlockErrors {
protected:
    void SetUp() override {
        BlockErrors::SetUp();
        ValuesRule = 1;
    }
    double Value(int r, int c, int t) {
        RealValueMatrix[r][c] = -1.0;
        BlockValue(r, c, t);
        return RealValueMatrix[r][c];
    }
};

TEST_F(BlockValues, EveryTypeOfATwoByThreeBlockOfFives) {
    // Block (1, 2) is off the diagonal: rows 1, 2 x columns 1..3.
    UseBinaryNetwork({"555555", "555555"});
    UsePartitions({1, 1}, {2, 2, 2, 1, 1, 1});
    EXPECT_EQ(Value(1, 1, NullType), 5.0);
    EXPECT_EQ(Value(1, 2, NullType), 5.0);
    EXPECT_EQ(Value(1, 2, CompleteType), 5.0);
    EXPECT_EQ(Value(1, 2, RowDominantType), 10.0);
    EXPECT_EQ(Value(1, 2, ColDominantType), 15.0);
    EXPECT_EQ(Value(1, 2, RegularType), 10.0);
    EXPECT_EQ(Value(1, 2, RowRegularType), 15.0);
    EXPECT_EQ(Value(1, 2, ColRegularType), 10.0);
    EXPECT_EQ(Value(1, 2, RowFunctionType), 15.0);
    EXPECT_EQ(Value(1, 2, ColFunctionType), 10.0);
    EXPECT_EQ(Value(1, 2, DensityType), 10.0);  // 30 / 6 / 0.5
    EXPECT_EQ(Value(1, 2, DoNotCareType), 5.0);
    EXPECT_EQ(Value(1, 2, NonNullType), 30.0);
    EXPECT_EQ(Value(1, 2, SymmetricType), 5.0);
    EXPECT_EQ(Value(1, 2, -1), 0.0);
}

TEST_F(BlockValues, SymmetricCountsOnlyPositiveCells) {
    UseBinaryNetwork({"503", "000"});
    UsePartitions({1, 1}, {1, 1, 1});
    EXPECT_EQ(Value(1, 1, SymmetricType), 4.0);  // 8 / 2
    UseBinaryNetwork({"000", "000"});
    EXPECT_EQ(Value(1, 1, SymmetricType), 0.0);  // no positive cell
}

TEST_F(BlockValues, DiagonalBlocksTakeAllCells) {
    // A diagonal block's complete and density values include the
    // diagonal cells, and density divides by DiaDensity.
    UseBinaryNetwork({"111", "111", "111"});
    for (int i = 1; i <= 3; ++i) SetCell(i, i, 4, 4.0);
    FinishCells();
    UsePartitions({1, 1, 1}, {1, 1, 1});
    DiaDensity = 0.75;
    OutDensity = 0.5;
    // V = 6 x 1 + 3 x 4 = 18, h = 9.
    EXPECT_EQ(Value(1, 1, CompleteType), 2.0);
    EXPECT_EQ(Value(1, 1, DensityType), static_cast<double>(2.0L / 0.75L));
    EXPECT_EQ(Value(1, 1, DensityType), 0x1.5555555555555p+1);
    // The same values in an off-diagonal block divide by OutDensity.
    UseBinaryNetwork({"444", "111", "111"});
    UsePartitions({1, 2, 2}, {1, 1, 1});
    SetCell(2, 1, 4, 4.0);
    SetCell(3, 1, 4, 4.0);
    FinishCells();
    // Block (2, 1): rows 2, 3: 4 1 1 / 4 1 1, V = 12, h = 6.
    EXPECT_EQ(Value(2, 1, DensityType), 4.0);  // 12 / 6 / 0.5
}

TEST_F(BlockValues, QuotientsAreFormedInExtendedPrecision) {
    // Off-diagonal block (1, 2) of 1 x 5 cells with V = 3 and OutDensity 0.1:
    // 3 / 5 / 0.1 is exactly 6 in extended precision, 5.999999999999999 in double.
    UseBinaryNetwork({"11100", "00000"});
    UsePartitions({1, 2}, {2, 2, 2, 2, 2});
    OutDensity = 0.1;
    EXPECT_EQ(Value(1, 2, DensityType), 6.0);
    volatile double perCell = 3.0 / 5;
    EXPECT_EQ(perCell / 0.1, 0x1.7ffffffffffffp+2);
}

TEST_F(BlockValues, SumInSixtyFourBits) {
    // 2 x 2000000000 does not overflow.
    UseBinaryNetwork({"11"});
    UsePartitions({1}, {1, 1});
    SetCell(1, 1, 2000000000, 2e9);
    SetCell(1, 2, 2000000000, 2e9);
    FinishCells();
    EXPECT_EQ(Value(1, 1, NonNullType), 4000000000.0);
    EXPECT_EQ(Value(1, 1, NullType), 2000000000.0);
}

TEST_F(BlockValues, NothingWithoutValuesRuleOne) {
    UseBinaryNetwork({"55", "55"});
    UsePartitions({1, 1}, {1, 1});
    ValuesRule = 0;
    EXPECT_EQ(Value(1, 1, NullType), -1.0);
    ValuesRule = 2;
    EXPECT_EQ(Value(1, 1, NullType), -1.0);
}

}  // namespace
