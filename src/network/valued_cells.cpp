// The cell values as the valued criteria add them: each cell's two terms as
// fixed-point integers, and the cells listed by column as well, for the
// trials that move columns. Fixed point rather than doubles because a trial
// forms a block's sums by adding and taking away whole lines, in an order
// that depends on the path of the search: integers give the same sum
// whatever the order, so both evaluators, and every path, agree bit for bit.
// Each term's scale is the least that makes every term whole, and at most
// the one that keeps every sum the criteria form (at most twice the cells
// times the largest term) below 2^125; a term is then exact unless the
// values span some 2^70 in magnitude, and only the smallest bits of the
// smallest values go.
#include "network/valued_cells.h"

#include <cmath>

#include "state.h"

// The bits after the binary point that term t needs to be a whole number
// once scaled: 0 for whole numbers, 1 for halves, 56 for 0.09.
static int32_t FractionBits(double t) {
    if (t == 0.0) return 0;
    int exponent;
    const double fraction = std::frexp(std::fabs(t), &exponent);  // t = fraction x 2^exponent, fraction in [0.5, 1)
    const uint64_t mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    const int32_t bits = 53 - exponent - __builtin_ctzll(mantissa);
    return bits > 0 ? bits : 0;
}

// The power of 2 of a term's fixed point: the least that makes every term
// whole, so that whole-numbered values keep their sums in 64 bits, which
// convert fastest; at most the one that keeps 2 x cells x largest below
// 2^125, where the smallest bits of far smaller values would go.
static int32_t ScaleFor(long double largest, int64_t cells, int32_t needed) {
    const long double bound = largest * 2.0L * static_cast<long double>(cells > 0 ? cells : 1);
    if (bound == 0.0L) return 0;
    int exponent;
    std::frexp(bound, &exponent);  // bound < 2^exponent
    return needed < 125 - exponent ? needed : 125 - exponent;
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
    int32_t neededA = Criterion == ValuesCriterion ? FractionBits(PresetM) : 0, neededB = neededA;
    for (size_t n = 0; n < cells; ++n) {
        const double x = CellReal[n];
        termB[n] = Criterion == SquaresCriterion ? x * x : Criterion == AbsoluteCriterion ? std::fabs(x)
                                                                                          : std::fmin(x, PresetM);
        if (std::fabs(x) > largestA) largestA = std::fabs(x);
        if (std::fabs(termB[n]) > largestB) largestB = std::fabs(termB[n]);
        if (FractionBits(x) > neededA) neededA = FractionBits(x);
        if (FractionBits(termB[n]) > neededB) neededB = FractionBits(termB[n]);
    }
    // Under ad and val the two terms, and M, are compared or combined: one scale.
    if (Criterion != SquaresCriterion) {
        largestA = largestB = std::fmax(largestA, largestB);
        neededA = neededB = neededA > neededB ? neededA : neededB;
    }
    const int64_t allCells = static_cast<int64_t>(SideUnits[RowSide]) * SideUnits[ColSide];
    TermScale[0] = ScaleFor(largestA, allCells, neededA);
    TermScale[1] = ScaleFor(largestB, allCells, neededB);
    for (int term = 0; term < 2; ++term) TermUnit[term] = std::ldexp(1.0L, -TermScale[term]);
    CellTerm.resize(cells);
    for (size_t n = 0; n < cells; ++n) {
        CellTerm[n].A = Fixed(CellReal[n], TermScale[0]);
        CellTerm[n].B = Fixed(termB[n], TermScale[1]);
    }
    FixedM = Criterion == ValuesCriterion ? Fixed(PresetM, TermScale[1]) : 0;
    ListByColumn();
}
