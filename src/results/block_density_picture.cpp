// The picture of a blockmodel with more than ListedSideUnits units on a side.
// A shape per cell would make a file of hundreds of megabytes that no browser
// opens, so each block is one rectangle, its sides in proportion to its
// clusters' sizes, and the file grows with the blocks, never with the units or
// the ties: 75 x 75 blocks take under 1.5 MB. The ties of every block are
// counted in one pass over the tie lists.
#include "results/block_density_picture.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "criterion/block_listings.h"
#include "results/blockmodel_picture.h"
#include "results/result_text.h"
#include "state.h"

static const int MatrixSide = 1000;  // pixels of the matrix's longer side
// The shorter side is drawn to scale down to this, so that a narrow two-mode
// network keeps room for its labels; 75 clusters of ClusterFloor fit in it.
static const int ShortestSide = 300;
// Pixels of a cluster with units, however few: a cluster of one unit beside
// one of thousands must still be seen and pointed at.
static const int ClusterFloor = 4;
static const int LabelSize = 11;  // cluster labels on the margins
static const int NoteSize = 11;
static const int NoteLine = 16;   // below the heading: the note and air
static const int LabelGap = 8;    // beside the widest cluster label
static const int LabelInset = 4;  // between a label and the matrix
static const double LabelShift = 0.35;  // em: a label's baseline below its cluster's middle
static const int TextInset = 1;         // between a block's text and its edges
static const double LineStep = 1.15;    // em from one baseline of a block's text to the next
static const double CapHeight = 0.75;   // em above the first baseline
static const double LargestText = 10;
static const double ReadableText = 4;  // the least size of a block's three lines
// The density alone is drawn smaller still: a viewer zooms in until it reads.
static const double SmallestText = 2;
static const int LargestBar = 6;        // pixels of the density bar's height

// Where each cluster of side s starts, in pixels from the matrix's edge, for
// a side of the given extent: edge[k + 1] - edge[k] is cluster k's share,
// ClusterFloor for every cluster with units and the rest by its units. Edges
// are whole pixels, so that neighbouring blocks meet without a seam.
static void ClusterEdges(int s, int extent, int edge[]) {
    int filled = 0;
    for (int k = 1; k <= SideClusters[s]; ++k)
        if (AcceptedClusterSize[s][k] > 0) ++filled;
    int64_t spare = extent - filled * ClusterFloor, units = SideUnits[s], before = 0;
    int floors = 0;
    edge[1] = 0;
    for (int k = 1; k <= SideClusters[s]; ++k) {
        before += AcceptedClusterSize[s][k];
        if (AcceptedClusterSize[s][k] > 0) ++floors;
        edge[k + 1] = floors * ClusterFloor + static_cast<int>((2 * spare * before + units) / (2 * units));
    }
}

// The margin label of cluster k of side s: its number and its units.
static void ClusterLabel(int s, int k, char label[32]) {
    std::snprintf(label, 32, "%d (%d)", k, AcceptedClusterSize[s][k]);
}

// Pixels of the widest cluster label of side s at LabelSize.
static int WidestLabel(int s) {
    size_t widest = 1;
    char label[32];
    for (int k = 1; k <= SideClusters[s]; ++k) {
        ClusterLabel(s, k, label);
        if (std::strlen(label) > widest) widest = std::strlen(label);
    }
    return static_cast<int>(widest * PictureCharWidth * LabelSize);
}

// A cluster label's size: LabelSize, or less where the cluster is narrower.
static double LabelFontSize(int extent) {
    return extent - 1 < LabelSize ? extent - 1 : LabelSize;
}

static void AddText(std::string& svg, const char* text) { AppendXmlText(svg, text, std::strlen(text)); }

// Pixels of the density bar of a block h pixels high.
static int BarHeight(int h) { return h / 5 < 1 ? 1 : h / 5 > LargestBar ? LargestBar : h / 5; }

// The text of block (r, c) at x, y, w pixels wide and h high, centred above
// its bar and as large as the block allows: its type, error and density, or
// the density alone where three lines would be too small to read (the
// tooltip has them all), or nothing where even that is.
static void AddBlockText(std::string& svg, int r, int c, int x, int y, int w, int h, double density) {
    char code[8], error[40], shown[16];
    TypeCodeText(BlockTypeMatrix[r][c], code);
    std::snprintf(error, sizeof error, "%s", BlockErrorText(r, c).c_str());
    // A block with ties never reads as one without.
    if (density > 0 && density < 0.0005)
        std::snprintf(shown, sizeof shown, "<0.001");
    else
        std::snprintf(shown, sizeof shown, "%.3f", density);
    size_t widest = std::strlen(code);
    if (std::strlen(error) > widest) widest = std::strlen(error);
    if (std::strlen(shown) > widest) widest = std::strlen(shown);
    double room = h - BarHeight(h) - 2 * TextInset, middle = x + w / 2.0;
    // Sizes as written, so that the text still fits.
    auto fitted = [&](size_t characters, double lines) {
        double size = (w - 2 * TextInset) / (PictureCharWidth * characters);
        if (room / lines < size) size = room / lines;
        if (size > LargestText) size = LargestText;
        return std::floor(size * 10) / 10;
    };
    double size = fitted(widest, CapHeight + 2 * LineStep);
    if (size >= ReadableText) {
        double baseline = y + TextInset + (room - size * (CapHeight + 2 * LineStep)) / 2 + size * CapHeight;
        AppendFormat(svg, "<text x=\"%.1f\" y=\"%.1f\" font-size=\"%.1f\">%s", middle, baseline, size, code);
        AppendFormat(svg, "<tspan x=\"%.1f\" dy=\"%.2fem\">%s</tspan>", middle, LineStep, error);
        AppendFormat(svg, "<tspan x=\"%.1f\" dy=\"%.2fem\">", middle, LineStep);
        AddText(svg, shown);
        svg += "</tspan></text>\n";
        return;
    }
    size = fitted(std::strlen(shown), 1);
    if (size < SmallestText) return;
    double baseline = y + TextInset + (room - size) / 2 + size * CapHeight;
    AppendFormat(svg, "<text x=\"%.1f\" y=\"%.1f\" font-size=\"%.1f\">", middle, baseline, size);
    AddText(svg, shown);
    svg += "</text>\n";
}

void BuildBlockDensityPicture(std::string& svg) {
    int rowClusters = SideClusters[RowSide], colClusters = SideClusters[ColSide];

    // Ties of every block: one pass over the rows' tie lists.
    int64_t ties[MaxModelSize + 1][MaxModelSize + 1] = {};
    const UnitLists& rows = Ties[RowSide];
    for (int32_t u = 1; u <= SideUnits[RowSide]; ++u) {
        int64_t* row = ties[AcceptedPartition[RowSide][u]];
        for (int32_t t = rows.Start[u]; t < rows.Start[u + 1]; ++t) ++row[AcceptedPartition[ColSide][rows.Units[t]]];
    }

    auto cells = [](int r, int c) {
        return static_cast<int64_t>(AcceptedClusterSize[RowSide][r]) * AcceptedClusterSize[ColSide][c];
    };

    // The layout: the longer side MatrixSide pixels, the other to scale.
    int longer = SideUnits[RowSide] > SideUnits[ColSide] ? SideUnits[RowSide] : SideUnits[ColSide];
    int extent[2], edge[2][MaxModelSize + 2];
    for (int s = RowSide; s <= ColSide; ++s) {
        extent[s] = static_cast<int>(static_cast<int64_t>(MatrixSide) * SideUnits[s] / longer);
        if (extent[s] < ShortestSide) extent[s] = ShortestSide;
        ClusterEdges(s, extent[s], edge[s]);
    }
    char note[200];
    std::snprintf(note, sizeof note,
                  "%d x %d units. Blocks to scale: type, error, density (ties / cells) and a bar as long as the "
                  "density. Margins: cluster (units).",
                  SideUnits[RowSide], SideUnits[ColSide]);
    int top = PictureHeadingHeight() + NoteLine;
    int x0 = PictureMargin + WidestLabel(RowSide) + LabelGap;
    int y0 = top + WidestLabel(ColSide) + LabelGap;
    // The types of the blocks drawn: an empty cluster has no blocks.
    bool shown[NumTypeCodes + 1] = {};
    for (int r = 1; r <= rowClusters; ++r)
        for (int c = 1; c <= colClusters; ++c)
            if (cells(r, c) > 0) shown[TypeIndex(BlockTypeMatrix[r][c])] = true;
    int width = x0 + extent[ColSide] + PictureMargin;
    int noteWidth = 2 * PictureMargin + static_cast<int>(std::strlen(note) * PictureCharWidth * NoteSize);
    if (PictureTitleWidth() > width) width = PictureTitleWidth();
    if (noteWidth > width) width = noteWidth;
    if (PictureLegendWidth(shown) > width) width = PictureLegendWidth(shown);
    int height = y0 + extent[RowSide] + PictureLegendHeight(shown, width) + PictureMargin;

    AddPictureHeading(svg, width, height);
    AppendFormat(svg, "<text x=\"%d\" y=\"%d\" font-size=\"%d\">%s</text>\n", PictureMargin, top - 5, NoteSize, note);

    // Blocks: the type's tint under the block's tooltip. Then the density
    // bars along the blocks' bottoms and the texts above them, each kind in a
    // group of its own, so that what they share is written once.
    for (int r = 1; r <= rowClusters; ++r) {
        for (int c = 1; c <= colClusters; ++c) {
            if (cells(r, c) == 0) continue;  // an empty cluster has no blocks
            int32_t type = BlockTypeMatrix[r][c];
            AppendFormat(svg, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\">",
                         x0 + edge[ColSide][c], y0 + edge[RowSide][r], edge[ColSide][c + 1] - edge[ColSide][c],
                         edge[RowSide][r + 1] - edge[RowSide][r], TypeTintOf(type));
            AppendFormat(svg, "<title>block %d, %d: %s, error %s%s, %lld ties in %lld cells</title></rect>\n", r,
                         c, type >= 0 && type <= MaxTypeCode ? TypeName[type] : "none", BlockErrorText(r, c).c_str(),
                         BlockCenterText(r, c).c_str(),
                         static_cast<long long>(ties[r][c]), static_cast<long long>(cells(r, c)));
        }
    }
    svg += "<g fill=\"#404040\">\n";
    for (int r = 1; r <= rowClusters; ++r) {
        for (int c = 1; c <= colClusters; ++c) {
            if (ties[r][c] == 0) continue;
            int w = edge[ColSide][c + 1] - edge[ColSide][c], h = edge[RowSide][r + 1] - edge[RowSide][r];
            // At least a pixel, so that a block with a few ties is told from one with none.
            double length = w * static_cast<double>(ties[r][c]) / cells(r, c);
            AppendFormat(svg, "<rect x=\"%d\" y=\"%d\" width=\"%.1f\" height=\"%d\"/>\n", x0 + edge[ColSide][c],
                         y0 + edge[RowSide][r + 1] - BarHeight(h), length < 1 ? 1 : length, BarHeight(h));
        }
    }
    svg += "</g>\n<g text-anchor=\"middle\">\n";
    for (int r = 1; r <= rowClusters; ++r)
        for (int c = 1; c <= colClusters; ++c)
            if (cells(r, c) > 0)
                AddBlockText(svg, r, c, x0 + edge[ColSide][c], y0 + edge[RowSide][r],
                             edge[ColSide][c + 1] - edge[ColSide][c], edge[RowSide][r + 1] - edge[RowSide][r],
                             static_cast<double>(ties[r][c]) / cells(r, c));
    svg += "</g>\n";

    // Cluster labels: rows right-aligned against the matrix, columns read upwards.
    char label[32];
    for (int r = 1; r <= rowClusters; ++r) {
        int h = edge[RowSide][r + 1] - edge[RowSide][r];
        if (h == 0) continue;
        double size = LabelFontSize(h);
        ClusterLabel(RowSide, r, label);
        AppendFormat(svg, "<text x=\"%d\" y=\"%.1f\" font-size=\"%.1f\" text-anchor=\"end\">%s</text>\n",
                     x0 - LabelInset, y0 + edge[RowSide][r] + h / 2.0 + LabelShift * size, size, label);
    }
    for (int c = 1; c <= colClusters; ++c) {
        int w = edge[ColSide][c + 1] - edge[ColSide][c];
        if (w == 0) continue;
        double size = LabelFontSize(w);
        double x = x0 + edge[ColSide][c] + w / 2.0 + LabelShift * size;
        int y = y0 - LabelInset;
        ClusterLabel(ColSide, c, label);
        AppendFormat(svg, "<text x=\"%.1f\" y=\"%d\" font-size=\"%.1f\" transform=\"rotate(-90 %.1f %d)\">%s</text>\n",
                     x, y, size, x, y, label);
    }
    AddPictureLegend(svg, shown, y0 + extent[RowSide], width);
    svg += "</g>\n";

    // Lines between clusters, and the frame.
    for (int r = 2; r <= rowClusters; ++r)
        AppendFormat(svg, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#000000\" stroke-width=\"1\"/>\n", x0,
                     y0 + edge[RowSide][r], x0 + extent[ColSide], y0 + edge[RowSide][r]);
    for (int c = 2; c <= colClusters; ++c)
        AppendFormat(svg, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#000000\" stroke-width=\"1\"/>\n",
                     x0 + edge[ColSide][c], y0, x0 + edge[ColSide][c], y0 + extent[RowSide]);
    AppendFormat(svg,
                 "<rect id=\"matrix\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" stroke=\"#000000\" "
                 "stroke-width=\"1.5\"/>\n",
                 x0, y0, extent[ColSide], extent[RowSide]);
    svg += "</svg>\n";
}
