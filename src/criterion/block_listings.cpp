// The block matrices of the latest evaluation in the listing. They reserve
// nothing and let each row announce itself, so a page break never splits a row.
#include "criterion/block_listings.h"

#include <cstdio>

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

// A real number with twelve significant digits, and at least the decimals
// given (zeros added), as a valued criterion's errors are written.
static std::string Trimmed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.12g", value);
    std::string shown = text;
    if (shown.find_first_of("en") != std::string::npos) return shown;  // 1e-20, inf, nan
    size_t point = shown.find('.');
    if (point == std::string::npos) {
        if (decimals == 0) return shown;
        point = shown.size();
        shown += '.';
    }
    while (shown.size() < point + 1 + decimals) shown += '0';
    return shown;
}

std::string ErrorText(double error) {
    if (!ValuedCriterion()) {
        char text[64];
        std::snprintf(text, sizeof text, "%.3f", error);
        return text;
    }
    return Trimmed(error, 3);
}

std::string BlockErrorText(int r, int c) {
    if (!ValuedCriterion()) return std::to_string(ErrorMatrix[r][c]);
    return Trimmed(ValuedErrorMatrix[r][c], 0);
}

std::string CriterionText() {
    std::string text = CriterionName[Criterion];
    if (Criterion == ValuesCriterion) text += ", M = " + Trimmed(PresetM, 0);
    return text;
}

std::string BlockCenterText(int r, int c) {
    if (Criterion == SquaresCriterion) return ", mean " + Trimmed(BlockCenterMatrix[r][c], 0);
    if (Criterion == AbsoluteCriterion) return ", median " + Trimmed(BlockCenterMatrix[r][c], 0);
    return "";
}

// The valued criterion's matrix of block errors, or of block centers, each
// column as wide as its widest entry.
static void WriteRealMatrix(const char* title, const double (*matrix)[MaxModelSize + 1]) {
    int width = 4;
    for (int i = 1; i <= SideClusters[RowSide]; ++i)
        for (int j = 1; j <= SideClusters[ColSide]; ++j)
            width = Max(width, static_cast<int32_t>(Trimmed(matrix[i][j], 0).size()) + 1);
    WriteBlockMatrixHeading(title, 7, width);
    for (int i = 1; i <= SideClusters[RowSide]; ++i) {
        NewLines(1);
        ListPrint("%6d ", i);
        for (int j = 1; j <= SideClusters[ColSide]; ++j) ListPrint("%*s", width, Trimmed(matrix[i][j], 0).c_str());
        ListEndLine();
    }
    ListEndLine();
}

void WriteErrorMatrix() {
    if (ValuedCriterion()) {
        ListEndLine();
        ListLine("criterion = %s", CriterionText().c_str());
        WriteRealMatrix("ERROR MATRIX : ", ValuedErrorMatrix);
        if (Criterion == SquaresCriterion) WriteRealMatrix("MEAN MATRIX : ", BlockCenterMatrix);
        if (Criterion == AbsoluteCriterion) WriteRealMatrix("MEDIAN MATRIX : ", BlockCenterMatrix);
        return;
    }
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
