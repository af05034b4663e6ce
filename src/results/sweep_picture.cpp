// The picture of a sweep over cluster counts. An analyst reads it for the
// count after which the error stops falling much, so the error axis starts at
// zero (a negative error, possible only with negative penalties, extends it)
// and every pair stands at its own count, whether or not its neighbours have
// been reported yet. Only plain SVG 1.1 is used, as in the blockmodel
// picture: lines, polylines, circles and text in a monospaced font list
// ending in the generic family, sizes in pixels.
#include "results/sweep_picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "results/blockmodel_picture.h"
#include "results/result_text.h"
#include "state.h"

static const int Margin = PictureMargin;
static const double CharWidth = PictureCharWidth;
static const int TitleSize = 15;
static const int TextSize = 12;          // the line under the title, axis titles, legend
static const int TickSize = 11;          // tick labels
static const int SubtitleBaseline = 17;  // below the title's baseline
static const int HeadingGap = 22;        // below the title: the line under it and air
static const int PlotHeight = 280;
static const int CountStep = 56;         // between two neighbouring counts on the x axis
static const int LeastPlotWidth = 280;
static const int TickLength = 5;
static const int TickGap = 4;            // between a tick and its label
static const int LegendGap = 24;         // between the plot and the legend
static const int LegendRow = 18;
static const int LegendSwatch = 26;
static const double PointRadius = 3.5;
static const int TargetTicks = 5;        // on the error axis, about

// Told apart by colour first; past ten lines by dashes too.
static const char* const LineColour[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e",
                                         "#8c564b", "#e377c2", "#17becf", "#7f7f7f", "#bcbd22"};
static const int NumLineColours = sizeof LineColour / sizeof LineColour[0];
static const char* const LineDash[] = {"", " stroke-dasharray=\"8 4\"", " stroke-dasharray=\"2 3\""};

// The blockmodel picture's fonts: the layout reckons with their character width.
static const char* const Fonts = "DejaVu Sans Mono, Consolas, Menlo, Courier New, monospace";

// One reported pair: the line it belongs to and its place along the x axis.
struct SweepPoint {
    int Line;  // index into the lines, in ascending order of their counts
    int Along;
    int Rows, Cols;
    double Error;
};

// The side whose counts run along the x axis: the columns when they are
// swept, else the rows (one partition's counts are the rows').
static int AlongSide() { return SweepFirst[ColSide] > 0 ? ColSide : RowSide; }

// The count that tells the lines apart; one partition has a single line.
static int LineCount(int rows, int cols) {
    if (OneMode) return 0;
    return AlongSide() == ColSide ? rows : cols;
}

static std::string LineName(int count) {
    if (OneMode) return "one partition";
    std::string name = std::to_string(count) + (AlongSide() == ColSide ? " row" : " column");
    return name + (count == 1 ? " cluster" : " clusters");
}

static const char* AlongTitle() {
    if (OneMode) return "Clusters";
    return AlongSide() == ColSide ? "Column clusters" : "Row clusters";
}

// A step of 1, 2 or 5 times a power of ten that cuts span into about
// TargetTicks parts.
static double TickStep(double span) {
    double raw = span / TargetTicks;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double multiple : {1.0, 2.0, 5.0})
        if (multiple * power >= raw) return multiple * power;
    return 10 * power;
}

static int TextWidth(const std::string& text, int size) {
    return static_cast<int>(TextCharacters(text.data(), text.size()) * CharWidth * size + 0.5);
}

static void AddText(std::string& svg, const std::string& text) { AppendXmlText(svg, text.data(), text.size()); }

// The pairs reported so far, rows outer, so that each line's points come in
// ascending order along the x axis; lineCounts gets the counts of the lines
// in ascending order, and each point the index of its line among them.
static void CollectPoints(std::vector<SweepPoint>& points, std::vector<int>& lineCounts) {
    bool lineSeen[MaxModelSize + 1] = {};
    for (int r = 1; r <= MaxModelSize; ++r) {
        for (int c = 1; c <= MaxModelSize; ++c) {
            if (SweepError[r][c] >= NoResultError) continue;
            int count = LineCount(r, c);
            if (!lineSeen[count]) lineCounts.push_back(count);
            lineSeen[count] = true;
            points.push_back(SweepPoint{count, AlongSide() == ColSide ? c : r, r, c, SweepError[r][c]});
        }
    }
    std::sort(lineCounts.begin(), lineCounts.end());
    for (SweepPoint& point : points)
        point.Line = static_cast<int>(std::lower_bound(lineCounts.begin(), lineCounts.end(), point.Line) -
                                      lineCounts.begin());
}

// The error axis: from zero, or the least error below it, to the first tick
// at or above the largest error.
struct ErrorAxis {
    double Low, High, Step;
    int Ticks;                          // intervals between Low and High
    std::vector<std::string> TickText;  // Ticks + 1 labels, from Low up
    int TickWidth;                      // of the widest label, in pixels
};

static ErrorAxis ErrorAxisOf(const std::vector<SweepPoint>& points) {
    double least = 0, most = 0;
    for (const SweepPoint& point : points) {
        least = std::min(least, point.Error);
        most = std::max(most, point.Error);
    }
    if (most <= least) most = least + 1;
    ErrorAxis axis{};
    axis.Step = TickStep(most - least);
    axis.Low = std::floor(least / axis.Step) * axis.Step;
    axis.High = std::ceil(most / axis.Step) * axis.Step;
    axis.Ticks = static_cast<int>(std::lround((axis.High - axis.Low) / axis.Step));
    int decimals = axis.Step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(axis.Step) - 1e-9));
    for (int t = 0; t <= axis.Ticks; ++t) {
        double value = axis.Low + t * axis.Step;
        if (std::fabs(value) < axis.Step / 2) value = 0;  // no "-0"
        std::string text;
        AppendFormat(text, "%.*f", decimals, value);
        axis.TickText.push_back(text);
        axis.TickWidth = std::max(axis.TickWidth, TextWidth(text, TickSize));
    }
    return axis;
}

void BuildSweepPicture(std::string& svg) {
    std::vector<SweepPoint> points;
    std::vector<int> lineCounts;
    CollectPoints(points, lineCounts);
    ErrorAxis axis = ErrorAxisOf(points);

    // Layout: the heading, the error axis's title and axis.Ticks, the plot, the legend.
    int along = AlongSide();
    int first = SweepFirst[along], counts = SweepLast[along] - SweepFirst[along] + 1;
    int plotTop = Margin + TitleSize + HeadingGap + TickSize;
    int plotLeft = Margin + TextSize + 2 * TickGap + axis.TickWidth + TickLength;
    int plotWidth = std::max(counts * CountStep, LeastPlotWidth);
    int plotBottom = plotTop + PlotHeight;
    int tickBaseline = plotBottom + TickLength + TickGap + TickSize;
    int alongTitleBaseline = tickBaseline + TickGap + 2 * TextSize;
    int legendLeft = plotLeft + plotWidth + LegendGap;
    int legendWidth = 0;
    for (int count : lineCounts) legendWidth = std::max(legendWidth, TextWidth(LineName(count), TextSize));
    legendWidth += LegendSwatch + TickGap;
    std::string subtitle;
    // A series asked for 0 repetitions runs one.
    int32_t repetitions = Max(SeriesRepetitions, 1);
    AppendFormat(subtitle, "Best error by number of clusters, %d %s each", repetitions,
                 repetitions == 1 ? "repetition" : "repetitions");
    int width = legendLeft + legendWidth + Margin;
    width = std::max(width,
                     2 * Margin + std::max(TextWidth(PictureTitle(), TitleSize), TextWidth(subtitle, TextSize)));
    int height = std::max(alongTitleBaseline, plotTop + static_cast<int>(lineCounts.size()) * LegendRow) + Margin;
    auto xOf = [&](int count) { return plotLeft + (count - first + 0.5) * plotWidth / counts; };
    auto yOf = [&](double error) { return plotBottom - (error - axis.Low) / (axis.High - axis.Low) * PlotHeight; };

    AppendFormat(svg, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    AppendFormat(svg, "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%d\" height=\"%d\" "
                      "viewBox=\"0 0 %d %d\">\n", width, height, width, height);
    svg += "<title>";
    AddText(svg, PictureTitle());
    svg += "</title>\n";
    AppendFormat(svg, "<rect x=\"0\" y=\"0\" width=\"%d\" height=\"%d\" fill=\"#ffffff\"/>\n", width, height);

    // Grid lines under everything else.
    for (int t = 0; t <= axis.Ticks; ++t) {
        double y = yOf(axis.Low + t * axis.Step);
        AppendFormat(svg, "<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\" stroke=\"#e4e4e4\" stroke-width=\"1\"/>\n",
                     plotLeft, y, plotLeft + plotWidth, y);
    }

    // The texts: heading, tick labels, axis titles, legend names.
    AppendFormat(svg, "<g font-family=\"%s\" fill=\"#000000\">\n", Fonts);
    AppendFormat(svg, "<text x=\"%d\" y=\"%d\" font-size=\"%d\" font-weight=\"bold\">", Margin, Margin + TitleSize,
                 TitleSize);
    AddText(svg, PictureTitle());
    svg += "</text>\n";
    AppendFormat(svg, "<text x=\"%d\" y=\"%d\" font-size=\"%d\">", Margin, Margin + TitleSize + SubtitleBaseline,
                 TextSize);
    AddText(svg, subtitle);
    svg += "</text>\n";
    for (int t = 0; t <= axis.Ticks; ++t)
        AppendFormat(svg, "<text x=\"%d\" y=\"%.1f\" font-size=\"%d\" text-anchor=\"end\">%s</text>\n",
                     plotLeft - TickLength - TickGap, yOf(axis.Low + t * axis.Step) + TickSize * 0.35, TickSize,
                     axis.TickText[t].c_str());
    for (int k = first; k <= SweepLast[along]; ++k)
        AppendFormat(svg, "<text x=\"%.1f\" y=\"%d\" font-size=\"%d\" text-anchor=\"middle\">%d</text>\n", xOf(k),
                     tickBaseline, TickSize, k);
    AppendFormat(svg, "<text x=\"%.1f\" y=\"%d\" font-size=\"%d\" text-anchor=\"middle\">%s</text>\n",
                 plotLeft + plotWidth / 2.0, alongTitleBaseline, TextSize, AlongTitle());
    int errorTitleX = Margin + TextSize, errorTitleY = plotTop + PlotHeight / 2;
    AppendFormat(svg, "<text x=\"%d\" y=\"%d\" font-size=\"%d\" text-anchor=\"middle\" "
                      "transform=\"rotate(-90 %d %d)\">Best error</text>\n",
                 errorTitleX, errorTitleY, TextSize, errorTitleX, errorTitleY);
    for (size_t k = 0; k < lineCounts.size(); ++k) {
        AppendFormat(svg, "<text x=\"%d\" y=\"%d\" font-size=\"%d\">", legendLeft + LegendSwatch + TickGap,
                     plotTop + static_cast<int>(k) * LegendRow + TextSize, TextSize);
        AddText(svg, LineName(lineCounts[k]));
        svg += "</text>\n";
    }
    svg += "</g>\n";

    // The axes and their axis.Ticks.
    AppendFormat(svg, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#000000\" stroke-width=\"1\"/>\n",
                 plotLeft, plotTop, plotLeft, plotBottom);
    AppendFormat(svg, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#000000\" stroke-width=\"1\"/>\n",
                 plotLeft, plotBottom, plotLeft + plotWidth, plotBottom);
    for (int t = 0; t <= axis.Ticks; ++t) {
        double y = yOf(axis.Low + t * axis.Step);
        AppendFormat(svg, "<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\" stroke=\"#000000\" stroke-width=\"1\"/>\n",
                     plotLeft - TickLength, y, plotLeft, y);
    }
    for (int k = first; k <= SweepLast[along]; ++k)
        AppendFormat(svg, "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"#000000\" stroke-width=\"1\"/>\n",
                     xOf(k), plotBottom, xOf(k), plotBottom + TickLength);

    // Each line, then its points, each naming its pair and error; the legend's swatches.
    for (size_t k = 0; k < lineCounts.size(); ++k) {
        const char* colour = LineColour[k % NumLineColours];
        const char* dash = LineDash[k / NumLineColours % 3];
        svg += "<polyline points=\"";
        bool firstPoint = true;
        for (const SweepPoint& point : points) {
            if (point.Line != static_cast<int>(k)) continue;
            AppendFormat(svg, "%s%.1f,%.1f", firstPoint ? "" : " ", xOf(point.Along), yOf(point.Error));
            firstPoint = false;
        }
        AppendFormat(svg, "\" fill=\"none\" stroke=\"%s\" stroke-width=\"2\"%s/>\n", colour, dash);
        for (const SweepPoint& point : points) {
            if (point.Line != static_cast<int>(k)) continue;
            AppendFormat(svg, "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"%s\">", xOf(point.Along),
                         yOf(point.Error), PointRadius, colour);
            if (OneMode) {
                AppendFormat(svg, "<title>%d clusters: best error %.3f</title></circle>\n", point.Rows, point.Error);
            } else {
                AppendFormat(svg, "<title>%d x %d clusters: best error %.3f</title></circle>\n", point.Rows,
                             point.Cols, point.Error);
            }
        }
        int y = plotTop + static_cast<int>(k) * LegendRow + TextSize / 2 + 2;
        AppendFormat(svg, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" stroke-width=\"2\"%s/>\n",
                     legendLeft, y, legendLeft + LegendSwatch, y, colour, dash);
        AppendFormat(svg, "<circle cx=\"%.1f\" cy=\"%d\" r=\"%.1f\" fill=\"%s\"/>\n", legendLeft + LegendSwatch / 2.0,
                     y, PointRadius, colour);
    }
    svg += "</svg>\n";
}
