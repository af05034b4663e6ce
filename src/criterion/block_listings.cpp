// The block matrices of the latest evaluation in the listing. They reserve
// nothing and let each row announce itself, so a page break never splits a row.
#include "criterion/block_listings.h"

#include "console/listing_pages.h"
#include "console/output.h"
#include "state.h"

// The title lines and the heading of a block matrix.
static void WriteBlockMatrixHeading(const char* title, int indent, int width) {
    ListEndLine();
    ListLine("%s%s", title, ListTitle.c_str());
    ListEndLine();
    NewLines(4);
    ListPrint("%*s", indent, "");
    for (int k = 1; k <= SideClusters[ColSide]; ++k) ListPrint("%*d", width, k);
    ListEndLine();
}

void WriteModelMatrix() {
    WriteBlockMatrixHeading("MODEL MATRIX : ", 6, 4);
    for (int i = 1; i <= SideClusters[RowSide]; ++i) {
        NewLines(1);
        ListPrint("%6d ", i);
        for (int j = 1; j <= SideClusters[ColSide]; ++j) {
            int t = BlockTypeMatrix[i][j];
            ListPrint("%4s", (t >= 0 && t <= MaxTypeCode) ? TypeCode[t] : "");
        }
        ListEndLine();
    }
    ListEndLine();
}

void WriteErrorMatrix() {
    WriteBlockMatrixHeading("ERROR MATRIX : ", 7, 4);
    for (int i = 1; i <= SideClusters[RowSide]; ++i) {
        NewLines(1);
        ListPrint("%6d ", i);
        for (int j = 1; j <= SideClusters[ColSide]; ++j) ListPrint("%4d", ErrorMatrix[i][j]);
        ListEndLine();
    }
    ListEndLine();
}

void WriteValueMatrix() {
    WriteBlockMatrixHeading("VALUE MATRIX : ", 7, 9);
    for (int i = 1; i <= SideClusters[RowSide]; ++i) {
        NewLines(1);
        ListPrint("%6d ", i);
        for (int j = 1; j <= SideClusters[ColSide]; ++j) ListPrint(" %8.3f", RealValueMatrix[i][j]);
        ListEndLine();
    }
    ListEndLine();
}
