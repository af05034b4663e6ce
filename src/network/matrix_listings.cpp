// The network matrix in the listing. It keeps a page to itself when it fits.
// A matrix of thousands of units would be pages no one reads, so above
// ListedSideUnits a side its place says where the picture is.
#include "network/matrix_listings.h"

#include "console/listing_pages.h"
#include "console/output.h"
#include "network/tie_storage.h"
#include "state.h"

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
    ListPrint("%14s", "");
    for (int j = 1; j <= SideUnits[ColSide]; ++j) ListPrint("%3d", ListingOrder[ColSide][j]);
    ListEndLine();
    for (int r = 1; r <= SideUnits[RowSide]; ++r) {
        int u = ListingOrder[RowSide][r];
        ListPrint("%s%3d ", UnitName[u], u);
        for (int j = 1; j <= SideUnits[ColSide]; ++j) ListPrint("%3d", CellValueAt(u, ListingOrder[ColSide][j]));
        ListEndLine();
        NewLines(1);
    }
    ListEndLine();
}
