// The network matrix in the listing. It keeps a page to itself when it fits.
// A matrix of thousands of units would be pages no one reads, so above
// ListedSideUnits a side its place says where the picture is.
#include "network/matrix_listings.h"

#include <cstdio>
#include <cstring>

#include "console/listing_pages.h"
#include "console/output.h"
#include "network/tie_storage.h"
#include "state.h"

// A cell's value as a valued criterion reads it, in at most six significant
// digits: the listing shows the matrix, not its last digits.
static void ValueText(double value, char text[32]) { std::snprintf(text, 32, "%.6g", value); }

// The width of a column of values as read, the widest value and a blank.
static int ValueWidth() {
    int width = 3;
    char text[32];
    for (double value : CellReal) {
        ValueText(value, text);
        width = Max(width, static_cast<int32_t>(std::strlen(text)) + 1);
    }
    return width;
}

void WriteNetworkMatrix() {
    if (SideUnits[RowSide] > ListedSideUnits || SideUnits[ColSide] > ListedSideUnits) {
        NewLines(2);
        ListEndLine();
        ListLine("Matrix of %d x %d units not listed; see %s", SideUnits[RowSide], SideUnits[ColSide],
                 PictureFileName.c_str());
        return;
    }
    NewLines(-(NumUnits + 3));
    NewLines(3);
    ListEndLine();
    ListLine("MATRIX : %s", ListTitle.c_str());
    ListEndLine();
    // A valued criterion judges the values as read: they are shown, not the
    // rounded ones the binary criterion sees.
    const int width = ValuedCriterion() ? ValueWidth() : 3;
    ListPrint("%14s", "");
    for (int j = 1; j <= SideUnits[ColSide]; ++j) ListPrint("%*d", width, ListingOrder[ColSide][j]);
    ListEndLine();
    for (int r = 1; r <= SideUnits[RowSide]; ++r) {
        int u = ListingOrder[RowSide][r];
        ListPrint("%s%3d ", UnitName[u], u);
        for (int j = 1; j <= SideUnits[ColSide]; ++j) {
            if (!ValuedCriterion()) {
                ListPrint("%3d", CellValueAt(u, ListingOrder[ColSide][j]));
                continue;
            }
            char text[32];
            ValueText(CellRealAt(u, ListingOrder[ColSide][j]), text);
            ListPrint("%*s", width, text);
        }
        ListEndLine();
        NewLines(1);
    }
    ListEndLine();
}
