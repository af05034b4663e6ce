// Memory follows the ties: a network of thousands of units with a few ties
// each takes lists, not a matrix of every cell. Bit rows are added where they
// are small, because two dense rows compare faster word by word.
#include "network/tie_storage.h"

#include <algorithm>
#include <iterator>

#include "network/valued_cells.h"
#include "state.h"

namespace {
struct SetCellEntry {
    int32_t Row, Col;
    int32_t Value;
    double Real;
};
}  // namespace

// The cells in the order they were set.
static std::vector<SetCellEntry> CellsSet;

// Bit rows beyond this many bytes in all are not kept: the lists serve alone.
constexpr double BitRowsLimit = 64.0 * 1024 * 1024;

void StartCells() { CellsSet.clear(); }

void SetCell(int32_t i, int32_t j, int32_t value, double real) { CellsSet.push_back({i, j, value, real}); }

void ReleaseCells() { std::vector<SetCellEntry>().swap(CellsSet); }

// The lists of units 0..n, empty, ready for AddToList in unit order.
static void EmptyLists(UnitLists& lists, int32_t n) {
    lists.Start.assign(static_cast<size_t>(n) + 2, 0);
    lists.Units.clear();
    lists.Bits.clear();
    lists.Words = 0;
}

// Closes the list of unit u (every unit up to u added in order).
static void CloseList(UnitLists& lists, int32_t u) {
    lists.Start[static_cast<size_t>(u) + 1] = static_cast<int32_t>(lists.Units.size());
}

// The lists of the other side: unit j's list holds the units whose lists hold j,
// in order, since they are visited in order.
static void Transpose(const UnitLists& lists, int32_t n, int32_t m, UnitLists& transposed) {
    EmptyLists(transposed, m);
    std::vector<int32_t> next(static_cast<size_t>(m) + 2, 0);
    for (int32_t j : lists.Units) ++next[static_cast<size_t>(j) + 1];
    for (int32_t j = 1; j <= m + 1; ++j) next[j] += next[j - 1];
    for (int32_t j = 0; j <= m + 1; ++j) transposed.Start[j] = next[j];
    transposed.Units.resize(lists.Units.size());
    for (int32_t u = 1; u <= n; ++u)
        for (int32_t k = lists.Start[u]; k < lists.Start[u + 1]; ++k)
            transposed.Units[next[lists.Units[k]]++] = u;
}

static void AddBitRows(UnitLists& lists, int32_t n, int32_t m) {
    lists.Words = (m + 1 + 63) / 64;
    lists.Bits.assign(static_cast<size_t>(n + 1) * lists.Words, 0);
    for (int32_t u = 1; u <= n; ++u) {
        uint64_t* row = lists.Bits.data() + static_cast<size_t>(u) * lists.Words;
        for (int32_t k = lists.Start[u]; k < lists.Start[u + 1]; ++k)
            row[lists.Units[k] >> 6] |= uint64_t{1} << (lists.Units[k] & 63);
    }
}

// The rows whose cell (i, j) differs from its mirror (j, i) in being a tie.
static void FindAsymmetric(int32_t rows, int32_t cols) {
    UnitLists& asymmetric = Asymmetric[RowSide];
    EmptyLists(asymmetric, rows);
    for (int32_t i = 1; i <= rows; ++i) {
        const int32_t* own = Ties[RowSide].Units.data() + Ties[RowSide].Start[i];
        const int32_t* ownEnd = Ties[RowSide].Units.data() + Ties[RowSide].Start[i + 1];
        // The mirror cells (j, i): the rows tied to column i, where j is a column too.
        const int32_t* mirror = nullptr;
        const int32_t* mirrorEnd = nullptr;
        if (i <= cols) {
            mirror = Ties[ColSide].Units.data() + Ties[ColSide].Start[i];
            mirrorEnd = Ties[ColSide].Units.data() + Ties[ColSide].Start[i + 1];
            mirrorEnd = std::upper_bound(mirror, mirrorEnd, cols);
        }
        std::set_symmetric_difference(own, ownEnd, mirror, mirrorEnd, std::back_inserter(asymmetric.Units));
        CloseList(asymmetric, i);
    }
    Transpose(asymmetric, rows, cols, Asymmetric[ColSide]);
}

void FinishCells() {
    const int32_t rows = SideUnits[RowSide], cols = SideUnits[ColSide];
    std::vector<SetCellEntry>& cells = CellsSet;
    std::stable_sort(cells.begin(), cells.end(), [](const SetCellEntry& a, const SetCellEntry& b) {
        return a.Row != b.Row ? a.Row < b.Row : a.Col < b.Col;
    });
    EmptyLists(ValuedCells, rows);
    EmptyLists(Ties[RowSide], rows);
    CellValue.clear();
    CellReal.clear();
    size_t k = 0;
    for (int32_t i = 1; i <= rows; ++i) {
        for (; k < cells.size() && cells[k].Row == i; ++k) {
            // The cell's last setting counts.
            if (k + 1 < cells.size() && cells[k + 1].Row == i && cells[k + 1].Col == cells[k].Col) continue;
            const SetCellEntry& cell = cells[k];
            if (cell.Value == 0 && cell.Real == 0.0) continue;
            ValuedCells.Units.push_back(cell.Col);
            CellValue.push_back(cell.Value);
            CellReal.push_back(cell.Real);
            if (cell.Value > 0) Ties[RowSide].Units.push_back(cell.Col);
        }
        CloseList(ValuedCells, i);
        CloseList(Ties[RowSide], i);
    }
    Transpose(Ties[RowSide], rows, cols, Ties[ColSide]);
    FindAsymmetric(rows, cols);

    const double bitBytes = 2.0 * ((rows + 1.0) * ((cols + 64) / 64) + (cols + 1.0) * ((rows + 64) / 64)) * 8.0;
    if (bitBytes <= BitRowsLimit && !TiesAsListsOnly) {
        AddBitRows(Ties[RowSide], rows, cols);
        AddBitRows(Ties[ColSide], cols, rows);
        AddBitRows(Asymmetric[RowSide], rows, cols);
        AddBitRows(Asymmetric[ColSide], cols, rows);
    }
    PrepareValuedCells();
}

int32_t CellValueAt(int32_t i, int32_t j) {
    const int32_t* first = ValuedCells.Units.data() + ValuedCells.Start[i];
    const int32_t* last = ValuedCells.Units.data() + ValuedCells.Start[i + 1];
    const int32_t* found = std::lower_bound(first, last, j);
    if (found == last || *found != j) return 0;
    return CellValue[static_cast<size_t>(found - ValuedCells.Units.data())];
}

double CellRealAt(int32_t i, int32_t j) {
    const int32_t* first = ValuedCells.Units.data() + ValuedCells.Start[i];
    const int32_t* last = ValuedCells.Units.data() + ValuedCells.Start[i + 1];
    const int32_t* found = std::lower_bound(first, last, j);
    if (found == last || *found != j) return 0.0;
    return CellReal[static_cast<size_t>(found - ValuedCells.Units.data())];
}

bool IsTie(int32_t i, int32_t j) { return CellValueAt(i, j) > 0; }
