// The tie storage as the reader fills it: the last setting of a cell counts,
// a cell set to 0 is gone, values are kept as read beside the rounded ones,
// and both sides list the same ties, with the mirror cells of a two-mode
// network read inside its rows x columns only.
#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"

static std::vector<int32_t> ListOf(const UnitLists& lists, int u) {
    return std::vector<int32_t>(lists.Units.begin() + lists.Start[u], lists.Units.begin() + lists.Start[u + 1]);
}

TEST(TieStorage, LastSettingCountsAndBothSidesAgree) {
    ResetState();
    SideUnits[RowSide] = 3;
    SideUnits[ColSide] = 4;
    NumUnits = 7;
    TwoMode = true;
    SizeNetworkState();
    StartCells();
    SetCell(1, 2, 5, 5.0);
    SetCell(2, 1, 1, 0.4);  // a small positive value read as 1
    SetCell(1, 4, 3, 3.0);
    SetCell(3, 3, -2, -2.0);
    SetCell(1, 2, 0, 0.0);  // set again: no tie any more
    SetCell(2, 4, 1, 1.0);
    SetCell(1, 4, 2, 2.25);
    FinishCells();

    EXPECT_EQ(CellValueAt(1, 2), 0);
    EXPECT_EQ(CellValueAt(1, 4), 2);
    EXPECT_EQ(CellValueAt(3, 3), -2);
    EXPECT_FALSE(IsTie(3, 3));
    EXPECT_EQ(ListOf(ValuedCells, 1), (std::vector<int32_t>{4}));
    EXPECT_EQ(CellReal[static_cast<size_t>(ValuedCells.Start[1])], 2.25);
    EXPECT_EQ(CellReal[static_cast<size_t>(ValuedCells.Start[2])], 0.4);
    EXPECT_EQ(ListOf(Ties[RowSide], 2), (std::vector<int32_t>{1, 4}));
    EXPECT_EQ(ListOf(Ties[ColSide], 4), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(ListOf(Ties[ColSide], 3), (std::vector<int32_t>{}));
    // Mirror of (1, 4) is (4, 1), outside the 3 rows: 0, so asymmetric; (2, 1)
    // against (1, 2), now 0: asymmetric; (2, 4) against (4, 2): outside.
    EXPECT_EQ(ListOf(Asymmetric[RowSide], 1), (std::vector<int32_t>{2, 4}));
    EXPECT_EQ(ListOf(Asymmetric[RowSide], 2), (std::vector<int32_t>{1, 4}));
    EXPECT_EQ(ListOf(Asymmetric[ColSide], 1), (std::vector<int32_t>{2}));
    EXPECT_EQ(ListOf(Asymmetric[ColSide], 2), (std::vector<int32_t>{1}));
}
