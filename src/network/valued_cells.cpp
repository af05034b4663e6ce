// The cell values as the valued criteria add them: each cell's two terms as
// fixed-point integers, and the cells listed by column as well, for the
// trials that move columns. Fixed point rather than doubles because a trial
// forms a block's sums by adding and taking away whole lines, in an order
// that depends on the path of the search: integers give the same sum
// whatever the order, so both evaluators, and every path, agree bit for bit.
// Each term's scale is the largest that keeps every sum the criteria form
// (at most twice the cells times the largest term) below 2^125; a term is
// then exact unless the values span some 2^70 in magnitude, and only the
// smallest bits of the smallest values go.
#include "network/valued_cells.h"

#include <cmath>

#include "state.h"

// The power of 2 that keeps 2 x cells x largest below 2^125.
static int32_t ScaleFor(long double largest, int64_t cells) {
    const long double bound = largest * 2.0L * static_cast<long double>(cells > 0 ? cells : 1);
    if (bound == 0.0L) return 0;
    int exponent;
    std::frexp(bound, &exponent);  // bound < 2^exponent
    return 125 - exponent;
}

static FixedSum Fixed(long double term, int32_t scale) {
    return static_cast<FixedSum>(std::nearbyint(std::ldexp(term, scale)));
}

// The column lists of the valued cells, with each entry's cell index.
static void ListByColumn() {
    const int32_t rows = SideUnits[RowSide], cols = SideUnits[ColSide];
    ValuedColumns.Start.assign(static_cast<size_t>(cols) + 2, 0);
    ValuedColumns.Bits.clear();
    ValuedColumns.Words = 0;
    for (int32_t j : ValuedCells.Units) ++ValuedColumns.Start[static_cast<size_t>(j) + 1];
    for (int32_t j = 1; j <= cols + 1; ++j) ValuedColumns.Start[j] += ValuedColumns.Start[j - 1];
    std::vector<int32_t> next(ValuedColumns.Start.begin(), ValuedColumns.Start.end());
    ValuedColumns.Units.assign(ValuedCells.Units.size(), 0);
    ColumnCell.assign(ValuedCells.Units.size(), 0);
    for (int32_t i = 1; i <= rows; ++i)
        for (int32_t n = ValuedCells.Start[i]; n < ValuedCells.Start[i + 1]; ++n) {
            int32_t at = next[ValuedCells.Units[n]]++;
            ValuedColumns.Units[at] = i;
            ColumnCell[at] = n;
        }
}

void PrepareValuedCells() {
    if (!ValuedCriterion()) {
        std::vector<CellTerms>().swap(CellTerm);
        std::vector<int32_t>().swap(ColumnCell);
        ValuedColumns = UnitLists{};
        return;
    }
    const size_t cells = CellReal.size();
    // The terms as doubles first: the square is the double product, as a
    // reader of the definition would form it.
    std::vector<double> termB(cells);
    long double largestA = Criterion == ValuesCriterion ? PresetM : 0.0L, largestB = largestA;
    for (size_t n = 0; n < cells; ++n) {
        const double x = CellReal[n];
        termB[n] = Criterion == SquaresCriterion ? x * x : Criterion == AbsoluteCriterion ? std::fabs(x)
                                                                                          : std::fmin(x, PresetM);
        if (std::fabs(x) > largestA) largestA = std::fabs(x);
        if (std::fabs(termB[n]) > largestB) largestB = std::fabs(termB[n]);
    }
    // Under ad and val the two terms, and M, are compared or combined: one scale.
    if (Criterion != SquaresCriterion) largestA = largestB = std::fmax(largestA, largestB);
    const int64_t allCells = static_cast<int64_t>(SideUnits[RowSide]) * SideUnits[ColSide];
    TermScale[0] = ScaleFor(largestA, allCells);
    TermScale[1] = ScaleFor(largestB, allCells);
    for (int term = 0; term < 2; ++term) TermUnit[term] = std::ldexp(1.0L, -TermScale[term]);
    CellTerm.resize(cells);
    for (size_t n = 0; n < cells; ++n) {
        CellTerm[n].A = Fixed(CellReal[n], TermScale[0]);
        CellTerm[n].B = Fixed(termB[n], TermScale[1]);
    }
    FixedM = Criterion == ValuesCriterion ? Fixed(PresetM, TermScale[1]) : 0;
    ListByColumn();
}
