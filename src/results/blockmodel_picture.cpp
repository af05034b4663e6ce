// The blockmodel as a picture. Each block is tinted by its chosen type; a band
// above the rows of each row cluster names the type and error of the blocks
// below it, so that no label covers a cell. Only plain SVG 1.1 is used
// (rect, line, text, a rotation), with sizes in pixels and a monospaced font
// list ending in the generic family, so that browsers and command-line
// renderers draw the same picture; the layout reckons with 0.61 em a character.
// Units are named by their whole labels: ten characters make many real units
// look alike. A legend under the matrix gives the tint of every type shown.
// A network too large for a shape per cell is drawn block by block instead
// (results/block_density_picture.cpp).
#include "results/blockmodel_picture.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "criterion/block_listings.h"
#include "network/tie_storage.h"
#include "results/block_density_picture.h"
#include "results/result_text.h"
#include "state.h"

static const double CharWidth = PictureCharWidth;
static const int Margin = PictureMargin;
static const int LabelSize = 11;  // unit names
static const int TitleSize = 15;
static const int SummarySize = 12;       // the total error line
static const int SummaryBaseline = 17;   // below the title's baseline
static const int HeadingGap = 22;        // below the title: the total error line and air
static const int NameGap = 8;            // beside the widest name
static const int NameInset = 4;          // between a name and the matrix
static const int NameLift = 3;           // a row name's baseline above its cell's bottom
static const double ColumnNameShift = 0.35;  // em: a rotated name centred on its column
static const int TieInset = 1;           // between a tie's square and its cell's edge
static const int BandCodeBaseline = 11;  // the type's short name, in the band
static const int BandErrorBaseline = 22;  // the block's error, under it
static const double LargestBandText = 10, SmallestBandText = 4;
static const double LightestTie = 112.0;  // grey of the smallest value, of 255
static const int LegendGap = 12;         // above the legend
static const int LegendSize = 11;        // the legend's type names
static const int LegendLine = 18;        // from one row of the legend to the next
static const int Swatch = 11;            // side of a tint's square in the legend
static const int SwatchGap = 5;          // between a square and its type's name
static const int LegendEntryGap = 18;    // between one type and the next on a row

// Pale enough that a tie's square always stands out; index: type code + 1.
static const char* const TypeTint[NumTypeCodes + 1] = {
    "#ffffff",  // no type chosen
    "#eeeeee", "#c9dcf5", "#d4edc9", "#c9ede0", "#f7e3bd", "#f7d4bd", "#f5ecb8",
    "#e6d0f0", "#f0d0e4", "#d0e8f0", "#ffffff", "#e8e0cc", "#dcdcf5"};

static void AddText(std::string& out, const std::string& text) { AppendXmlText(out, text.data(), text.size()); }

int TypeIndex(int32_t type) { return type >= 0 && type <= MaxTypeCode ? type + 1 : 0; }

const char* TypeTintOf(int32_t type) { return TypeTint[TypeIndex(type)]; }

void TypeCodeText(int32_t type, char code[8]) {
    code[0] = '\0';
    if (type < 0 || type > MaxTypeCode) return;
    const char* name = TypeCode[type];
    while (*name == ' ') ++name;
    std::snprintf(code, 8, "%s", name);
    size_t n = std::strlen(code);
    while (n > 0 && code[n - 1] == ' ') code[--n] = '\0';
}

// The run's title, or while it is the default title, which every run has,
// the network file's name without its folder, which tells pictures apart.
std::string PictureTitle() {
    if (TitleText != DefaultTitle) return TitleText;
    return NetFileName.substr(NetFileName.find_last_of('/') + 1);
}

int PictureTitleWidth() {
    std::string title = PictureTitle();
    return 2 * Margin + static_cast<int>(TextCharacters(title.data(), title.size()) * CharWidth * TitleSize);
}

int PictureHeadingHeight() { return Margin + TitleSize + HeadingGap; }

void AddPictureHeading(std::string& svg, int width, int height) {
    AppendFormat(svg, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    AppendFormat(svg, "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%d\" height=\"%d\" "
             "viewBox=\"0 0 %d %d\">\n", width, height, width, height);
    std::string title = PictureTitle();
    svg += "<title>";
    AddText(svg, title);
    svg += "</title>\n";
    AppendFormat(svg, "<rect x=\"0\" y=\"0\" width=\"%d\" height=\"%d\" fill=\"#ffffff\"/>\n", width, height);
    svg += "<g font-family=\"DejaVu Sans Mono, Consolas, Menlo, Courier New, monospace\" fill=\"#000000\">\n";

    AppendFormat(svg, "<text x=\"%d\" y=\"%d\" font-size=\"%d\" font-weight=\"bold\">", Margin, Margin + TitleSize,
        TitleSize);
    AddText(svg, title);
    svg += "</text>\n";
    // The criterion is named where it is not the binary one.
    std::string criterion = ValuedCriterion() ? ", criterion " + CriterionText() : "";
    AppendFormat(svg, "<text x=\"%d\" y=\"%d\" font-size=\"%d\">Total error = %s (%d x %d clusters%s)</text>\n",
        Margin, Margin + TitleSize + SummaryBaseline, SummarySize, ErrorText(CurrentError).c_str(),
        SideClusters[RowSide], SideClusters[ColSide], criterion.c_str());
}

// A legend entry's text: the type's name and the short name its blocks
// show ("complete (com)"); "none" for blocks that no type fits.
static std::string LegendText(int32_t type) {
    if (type < 0 || type > MaxTypeCode) return "none";
    char code[8];
    TypeCodeText(type, code);
    return std::string(TypeName[type]) + " (" + code + ")";
}

// Pixels of a legend entry: its square and its text.
static int LegendEntryWidth(int32_t type) {
    return Swatch + SwatchGap + static_cast<int>(LegendText(type).size() * CharWidth * LegendSize);
}

// Lays the legend out in rows from top down, no row wider than width, and
// writes it to svg unless that is null; gives the rows it takes.
static int LayOutLegend(std::string* svg, const bool shown[], int top, int width) {
    int rows = 0, x = Margin;
    for (int type = 0; type <= NumTypeCodes; ++type) {
        int32_t code = type == NumTypeCodes ? -1 : type;  // blocks without a type last
        if (!shown[TypeIndex(code)]) continue;
        int entry = LegendEntryWidth(code);
        if (rows == 0 || (x > Margin && x + entry > width - Margin)) {
            ++rows;
            x = Margin;
        }
        int y = top + (rows - 1) * LegendLine;
        if (svg != nullptr) {
            AppendFormat(*svg,
                         "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\" stroke=\"#9a9a9a\" "
                         "stroke-width=\"0.5\"/>\n",
                         x, y, Swatch, Swatch, TypeTintOf(code));
            AppendFormat(*svg, "<text x=\"%d\" y=\"%d\" font-size=\"%d\">%s</text>\n", x + Swatch + SwatchGap,
                         y + Swatch - 1, LegendSize, LegendText(code).c_str());
        }
        x += entry + LegendEntryGap;
    }
    return rows;
}

int PictureLegendWidth(const bool shown[]) {
    int widest = 0;
    for (int32_t type = -1; type <= MaxTypeCode; ++type) {
        if (!shown[TypeIndex(type)]) continue;
        if (LegendEntryWidth(type) > widest) widest = LegendEntryWidth(type);
    }
    return 2 * Margin + widest;
}

int PictureLegendHeight(const bool shown[], int width) {
    int rows = LayOutLegend(nullptr, shown, 0, width);
    return rows == 0 ? 0 : LegendGap + rows * LegendLine;
}

void AddPictureLegend(std::string& svg, const bool shown[], int top, int width) {
    LayOutLegend(&svg, shown, top + LegendGap, width);
}

static std::string_view NameOf(int unitNumber) { return UnitLabel(unitNumber); }

// The widest unit name of a side, in characters.
static int WidestName(int s) {
    int widest = 1;
    for (int u = 1; u <= SideUnits[s]; ++u) {
        std::string_view name = NameOf(NameOffset(s) + u);
        int width = TextCharacters(name.data(), name.size());
        if (width > widest) widest = width;
    }
    return widest;
}

// A tie's grey: black for the largest value, lighter for smaller ones, and
// never lighter than a third of the way to white.
static int TieGrey(int32_t value, int32_t least, int32_t most) {
    if (most == least) return 0;
    return static_cast<int>(LightestTie * (static_cast<double>(most) - value) / (static_cast<double>(most) - least) +
                            0.5);
}

// The fill of a cell under a valued criterion: by its magnitude as the ties
// are by their values, grey for a positive value and red for a negative one.
static void ValuedFill(double value, double least, double most, char fill[8]) {
    const double magnitude = value < 0 ? -value : value;
    const int grey = most == least ? 0 : static_cast<int>(LightestTie * (most - magnitude) / (most - least) + 0.5);
    const int red = value < 0 ? 0xb0 + grey * (0xff - 0xb0) / LightestTie : grey;
    std::snprintf(fill, 8, "#%02x%02x%02x", red, grey, grey);
}

// One line of a band label, shrunk to the width of its block.
static void AddBandText(std::string& out, double x, double y, double width, const char* text) {
    int length = static_cast<int>(std::strlen(text));
    if (length == 0) return;
    double size = (width - 2 * TieInset) / (CharWidth * length);
    if (size > LargestBandText) size = LargestBandText;
    if (size < SmallestBandText) size = SmallestBandText;
    AppendFormat(out, "<text x=\"%.1f\" y=\"%.1f\" font-size=\"%.1f\" text-anchor=\"middle\">%s</text>\n", x, y, size,
                 text);
}

void BuildBlockmodelPicture(std::string& svg) {
    if (SideUnits[RowSide] > ListedSideUnits || SideUnits[ColSide] > ListedSideUnits) {
        BuildBlockDensityPicture(svg);
        return;
    }
    int rowClusters = SideClusters[RowSide], colClusters = SideClusters[ColSide];
    // Where each cluster of each side starts, in the listing order.
    int start[2][MaxModelSize + 2];
    for (int s = RowSide; s <= ColSide; ++s) {
        start[s][1] = 1;
        for (int k = 1; k <= SideClusters[s]; ++k) start[s][k + 1] = start[s][k] + AcceptedClusterSize[s][k];
    }

    double labelChar = CharWidth * LabelSize;
    int rowLabels = static_cast<int>(WidestName(RowSide) * labelChar) + NameGap;
    int colLabels = static_cast<int>(WidestName(ColSide) * labelChar) + NameGap;
    int top = PictureHeadingHeight();
    int x0 = Margin + rowLabels;
    int y0 = top + colLabels;
    int matrixWidth = SideUnits[ColSide] * PictureCell;
    int matrixHeight = rowClusters * PictureBand + SideUnits[RowSide] * PictureCell;
    // The types of the blocks shown: a block of an empty column cluster has no width.
    bool shown[NumTypeCodes + 1] = {};
    for (int r = 1; r <= rowClusters; ++r)
        for (int c = 1; c <= colClusters; ++c)
            if (AcceptedClusterSize[ColSide][c] > 0) shown[TypeIndex(BlockTypeMatrix[r][c])] = true;
    int width = x0 + matrixWidth + Margin;
    if (PictureTitleWidth() > width) width = PictureTitleWidth();
    if (PictureLegendWidth(shown) > width) width = PictureLegendWidth(shown);
    int height = y0 + matrixHeight + PictureLegendHeight(shown, width) + Margin;
    auto bandTop = [&](int r) { return y0 + (r - 1) * PictureBand + (start[RowSide][r] - 1) * PictureCell; };
    auto colX = [&](int position) { return x0 + (position - 1) * PictureCell; };

    AddPictureHeading(svg, width, height);

    // Blocks, tinted by type, with their labels in the band above their rows.
    for (int r = 1; r <= rowClusters; ++r) {
        for (int c = 1; c <= colClusters; ++c) {
            int32_t type = BlockTypeMatrix[r][c];
            bool known = type >= 0 && type <= MaxTypeCode;
            int x = colX(start[ColSide][c]), y = bandTop(r);
            int w = (start[ColSide][c + 1] - start[ColSide][c]) * PictureCell;
            int h = PictureBand + (start[RowSide][r + 1] - start[RowSide][r]) * PictureCell;
            AppendFormat(svg, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\">", x, y, w, h,
                TypeTintOf(type));
            const std::string error = BlockErrorText(r, c);
            AppendFormat(svg, "<title>block %d, %d: %s, error %s%s</title></rect>\n", r, c,
                         known ? TypeName[type] : "none", error.c_str(), BlockCenterText(r, c).c_str());
            if (w == 0) continue;
            char code[8];
            TypeCodeText(type, code);
            AddBandText(svg, x + w / 2.0, y + BandCodeBaseline, w, code);
            AddBandText(svg, x + w / 2.0, y + BandErrorBaseline, w, error.c_str());
        }
    }

    // A square for every positive tie, darker for larger values; under a
    // valued criterion for every cell with a value, by its magnitude.
    int32_t least = 0, most = 0;
    for (int32_t v : CellValue) {
        if (v <= 0) continue;
        if (least == 0 || v < least) least = v;
        if (v > most) most = v;
    }
    double leastMagnitude = 0.0, mostMagnitude = 0.0;
    for (double v : CellReal) {
        const double magnitude = v < 0 ? -v : v;
        if (magnitude == 0.0) continue;
        if (leastMagnitude == 0.0 || magnitude < leastMagnitude) leastMagnitude = magnitude;
        if (magnitude > mostMagnitude) mostMagnitude = magnitude;
    }
    for (int r = 1; r <= rowClusters; ++r) {
        for (int p = start[RowSide][r]; p < start[RowSide][r + 1]; ++p) {
            int u = ListingOrder[RowSide][p];
            int y = bandTop(r) + PictureBand + (p - start[RowSide][r]) * PictureCell;
            for (int q = 1; q <= SideUnits[ColSide]; ++q) {
                if (ValuedCriterion()) {
                    const double value = CellRealAt(u, ListingOrder[ColSide][q]);
                    if (value == 0.0) continue;
                    char fill[8];
                    ValuedFill(value, leastMagnitude, mostMagnitude, fill);
                    AppendFormat(svg, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\"/>\n",
                                 colX(q) + TieInset, y + TieInset, PictureCell - 2 * TieInset,
                                 PictureCell - 2 * TieInset, fill);
                    continue;
                }
                int32_t v = CellValueAt(u, ListingOrder[ColSide][q]);
                if (v <= 0) continue;
                int grey = TieGrey(v, least, most);
                AppendFormat(svg, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#%02x%02x%02x\"/>\n",
                             colX(q) + TieInset, y + TieInset, PictureCell - 2 * TieInset, PictureCell - 2 * TieInset,
                             grey, grey, grey);
            }
            // The row's name, right-aligned against the matrix.
            AppendFormat(svg, "<text x=\"%d\" y=\"%d\" font-size=\"%d\" text-anchor=\"end\">", x0 - NameInset,
                y + PictureCell - NameLift, LabelSize);
            std::string_view name = NameOf(u);
            AppendXmlText(svg, name.data(), name.size());
            svg += "</text>\n";
        }
    }

    // Column names, read upwards from just above the matrix.
    for (int q = 1; q <= SideUnits[ColSide]; ++q) {
        double x = colX(q) + PictureCell / 2.0 + ColumnNameShift * LabelSize;
        int y = y0 - NameInset;
        AppendFormat(svg, "<text x=\"%.1f\" y=\"%d\" font-size=\"%d\" transform=\"rotate(-90 %.1f %d)\">", x, y,
            LabelSize, x, y);
        std::string_view name = NameOf(ColOffset + ListingOrder[ColSide][q]);
        AppendXmlText(svg, name.data(), name.size());
        svg += "</text>\n";
    }
    AddPictureLegend(svg, shown, y0 + matrixHeight, width);
    svg += "</g>\n";

    // Lines between clusters, and the frame; each band is set off by a thin line.
    for (int r = 1; r <= rowClusters; ++r)
        AppendFormat(svg, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#9a9a9a\" stroke-width=\"0.5\"/>\n",
                     x0, bandTop(r) + PictureBand, x0 + matrixWidth, bandTop(r) + PictureBand);
    for (int r = 2; r <= rowClusters; ++r)
        AppendFormat(svg, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#000000\" stroke-width=\"1.5\"/>\n",
                     x0, bandTop(r), x0 + matrixWidth, bandTop(r));
    for (int c = 2; c <= colClusters; ++c)
        AppendFormat(svg, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#000000\" stroke-width=\"1.5\"/>\n",
            colX(start[ColSide][c]), y0, colX(start[ColSide][c]), y0 + matrixHeight);
    AppendFormat(svg,
                 "<rect id=\"matrix\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" stroke=\"#000000\" "
                 "stroke-width=\"1.5\"/>\n",
                 x0, y0, matrixWidth, matrixHeight);
    svg += "</svg>\n";
}
