// The valued criteria's block errors from the sums and values of a block,
// counted by hand: the median among zeros and negative values, and the
// weights, penalties and priorities of the chosen type.
#include "criterion/valued_errors.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"

namespace {

FixedSum Deviation(std::vector<FixedSum> values, int64_t zeros, FixedSum& median) {
    return AbsoluteDeviation(values.data(), static_cast<int32_t>(values.size()), zeros, median);
}

// The lower middle cell of the block, sorted with its zeros.
TEST(ValuedErrors, DeviationFromTheLowerMedianWithZerosCounting) {
    FixedSum median;
    EXPECT_TRUE(Deviation({5, -2, 7, 1}, 0, median) == 13);  // -2 1 5 7: median 1, 3 + 0 + 4 + 6
    EXPECT_TRUE(median == 1);
    EXPECT_TRUE(Deviation({3, 3, 3}, 4, median) == 9);  // 0 0 0 0 3 3 3: median 0
    EXPECT_TRUE(median == 0);
    EXPECT_TRUE(Deviation({-4, -1}, 1, median) == 4);  // -4 -1 0: median -1, 3 + 0 + 1
    EXPECT_TRUE(median == -1);
    EXPECT_TRUE(Deviation({6, 2, 9, 2}, 1, median) == 13);  // 0 2 2 6 9: median 2, 2 + 0 + 0 + 4 + 7
    EXPECT_TRUE(median == 2);
    EXPECT_TRUE(Deviation({}, 0, median) == 0);
}

// Block (1, 1) of four cells with values 1, 2, 3 and 0 (a fixed point of 1):
// ss null 14, complete 14 - 6^2 / 4 = 5; val with M = 2 null 6, complete
// 1 + 0 + 0 + 2 = 3 (the sum of min(M, x) is 1 + 2 + 2 = 5, 4 x 2 - 5 = 3).
TEST(ValuedErrors, WeightsPenaltiesAndPrioritiesChooseTheType) {
    ResetState();
    AllowEverywhere(1 << NullType | 1 << CompleteType);
    TermScale[0] = TermScale[1] = 0;
    TermUnit[0] = TermUnit[1] = 1.0L;
    ValuedBlock block{};
    block.Cells = 4;
    block.Sums.A = 6;

    Criterion = SquaresCriterion;
    block.Sums.B = 14;
    double raw;
    int32_t chosen;
    EXPECT_EQ(ValuedChosenError(1, 1, block, &raw, &chosen), 5.0);
    EXPECT_EQ(chosen, CompleteType);
    TypeWeight[CompleteType] = 2.5;  // 12.5 against 14
    PenaltyMatrix[1][1] = 3;         // 37.5 against 42
    EXPECT_EQ(ValuedChosenError(1, 1, block, &raw, &chosen), 37.5);
    EXPECT_EQ(raw, 5.0);  // the block's own error, unweighted
    TypeWeight[CompleteType] = 2.8;  // 14 x 3 each: the earlier priority, null, stays
    EXPECT_EQ(ValuedChosenError(1, 1, block, &raw, &chosen), 42.0);
    EXPECT_EQ(chosen, NullType);
    // Three cells of 0.3 on a scale of 2^60, each square rounded to a
    // double: a constant block deviates by nothing, not by the rounding.
    TypeWeight[CompleteType] = 1.0;
    PenaltyMatrix[1][1] = 1;
    TermScale[0] = TermScale[1] = 60;
    TermUnit[0] = TermUnit[1] = 0x1p-60L;
    block.Cells = 3;
    block.Sums.A = 3 * static_cast<FixedSum>(0.3 * 0x1p60);
    block.Sums.B = 3 * static_cast<FixedSum>(0.3 * 0.3 * 0x1p60);
    EXPECT_EQ(ValuedChosenError(1, 1, block, &raw, &chosen), 0.0);
    TermScale[0] = TermScale[1] = 0;
    TermUnit[0] = TermUnit[1] = 1.0L;
    block.Cells = 4;
    block.Sums.A = 6;

    Criterion = ValuesCriterion;
    FixedM = 2;
    block.Sums.B = 5;
    TypeWeight[CompleteType] = 1.0;
    PenaltyMatrix[1][1] = 1;
    EXPECT_EQ(ValuedChosenError(1, 1, block, &raw, &chosen), 3.0);
    EXPECT_EQ(chosen, CompleteType);
    ModelMatrix[1][1] = 1 << NullType | 1 << DoNotCareType;  // do not care costs nothing
    EXPECT_EQ(ValuedChosenError(1, 1, block, &raw, &chosen), 0.0);
    EXPECT_EQ(chosen, DoNotCareType);
    ModelMatrix[1][1] = 0;  // no type: the binary criterion's "none"
    EXPECT_EQ(ValuedChosenError(1, 1, block, &raw, &chosen), 999998.0);
    EXPECT_EQ(chosen, -1);
}

}  // namespace
