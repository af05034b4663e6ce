// The console summary of a scripted run. Nothing else of a scripted run's
// console says what it found: the result stands in the listing and the JSON.
// The summary shows that result as a reader wants it on a screen: units by
// their labels, lines wrapped at the screen's width, and the result files by
// the names to open. It describes the latest series, whose best the
// partition files and the picture hold.
#include "results/run_summary.h"

#include <string>
#include <vector>

#include "console/output.h"
#include "console/visible_text.h"
#include "criterion/block_listings.h"
#include "results/result_files.h"
#include "results/result_text.h"
#include "state.h"

static const int ScreenWidth = 79;           // characters a summary line takes at most, where it can wrap
static const int32_t LabelledSideUnits = 50;  // above this, a side's clusters are shown by their sizes

// The whole label of unit u of a side: ten characters would make units look alike.
static std::string SideLabel(int side, int32_t u) { return std::string(UnitLabel(NameOffset(side) + u)); }

static int Characters(const std::string& text) { return CharacterCount(text.c_str()); }

// Writes lead followed by the items, separated by separator and wrapped at
// the screen's width; every further line is indented to the first item.
static void WriteWrapped(const std::string& lead, const std::vector<std::string>& items, const char* separator) {
    int indent = Characters(lead);
    std::string line = lead;
    int width = indent;
    for (size_t k = 0; k < items.size(); ++k) {
        std::string item = items[k] + (k + 1 < items.size() ? separator : "");
        // The separator's trailing blank may reach past the width.
        int itemWidth = Characters(item);
        if (k + 1 < items.size() && item.back() == ' ') --itemWidth;
        if (width > indent && width + itemWidth > ScreenWidth) {
            while (!line.empty() && line.back() == ' ') line.pop_back();
            ConLine("%s", line.c_str());
            line.assign(static_cast<size_t>(indent), ' ');
            width = indent;
        }
        line += item;
        width += Characters(item);
    }
    ConLine("%s", line.c_str());
}

// The clusters of one side: each with the labels of its units, or, on a
// large side, the sizes of all of them.
static void WriteClusters(int side, const char* heading) {
    int32_t k = LatestReport.Clusters[side], n = SideUnits[side];
    if (n > LabelledSideUnits) {
        std::vector<std::string> sizes;
        for (int c = 1; c <= k; ++c) sizes.push_back(std::to_string(AcceptedClusterSize[side][c]));
        WriteWrapped(std::string(heading) + ", units in each: ", sizes, " ");
        return;
    }
    ConLine("%s:", heading);
    for (int c = 1; c <= k; ++c) {
        std::vector<std::string> labels;
        for (int32_t u = 1; u <= n; ++u)
            if (AcceptedPartition[side][u] == c) labels.push_back(SideLabel(side, u));
        std::string lead;
        AppendFormat(lead, "%3d (%d %s): ", c, AcceptedClusterSize[side][c],
                     AcceptedClusterSize[side][c] == 1 ? "unit" : "units");
        WriteWrapped(lead, labels, ", ");
    }
}

// The chosen type of a block without its padding: "-" for null, "none"
// where no type was chosen.
static std::string BlockTypeText(int32_t type) {
    if (type < 0 || type > MaxTypeCode) return "none";
    std::string code = TypeCode[type];
    while (!code.empty() && code.front() == ' ') code.erase(code.begin());
    while (!code.empty() && code.back() == ' ') code.pop_back();
    return code;
}

// The blockmodel of the current best: a table of the blocks, each with its
// type and its error.
static void WriteBlockmodel() {
    int32_t rows = LatestReport.Clusters[RowSide], cols = LatestReport.Clusters[ColSide];
    int errorWidth = 2;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            errorWidth = Max(errorWidth, static_cast<int32_t>(BlockErrorText(r, c).size()));
    int cellWidth = 2 + 4 + errorWidth;  // blanks, the type, its error
    ConLine("Blockmodel, the type and error of each block:");
    std::string line = "   ";
    for (int c = 1; c <= cols; ++c) AppendFormat(line, "%*d", cellWidth, c);
    ConLine("%s", line.c_str());
    for (int r = 1; r <= rows; ++r) {
        line.clear();
        AppendFormat(line, "%3d", r);
        for (int c = 1; c <= cols; ++c)
            AppendFormat(line, "  %-4s%*s", BlockTypeText(BlockTypeMatrix[r][c]).c_str(), errorWidth,
                         BlockErrorText(r, c).c_str());
        ConLine("%s", line.c_str());
    }
}

// A sweep's best error of every pair reported: one partition's counts one
// a line, otherwise a table with the row counts down and the column counts
// across ("-" for a pair without a result).
static void WriteSweepErrors() {
    bool rowSeen[MaxModelSize + 1] = {}, colSeen[MaxModelSize + 1] = {};
    int errorWidth = 1;
    for (int r = 1; r <= MaxModelSize; ++r) {
        for (int c = 1; c <= MaxModelSize; ++c) {
            if (SweepError[r][c] >= NoResultError) continue;
            rowSeen[r] = colSeen[c] = true;
            std::string text;
            text = ErrorText(SweepError[r][c]);
            errorWidth = Max(errorWidth, static_cast<int32_t>(text.size()));
        }
    }
    if (OneMode) {
        ConLine("Best error by number of clusters:");
        for (int k = 1; k <= MaxModelSize; ++k)
            if (rowSeen[k]) ConLine("%3d  %*s", k, errorWidth, ErrorText(SweepError[k][k]).c_str());
        return;
    }
    ConLine("Best error by number of clusters, rows down and columns across:");
    std::string line = "   ";
    for (int c = 1; c <= MaxModelSize; ++c)
        if (colSeen[c]) AppendFormat(line, "  %*d", errorWidth, c);
    ConLine("%s", line.c_str());
    for (int r = 1; r <= MaxModelSize; ++r) {
        if (!rowSeen[r]) continue;
        line.clear();
        AppendFormat(line, "%3d", r);
        for (int c = 1; c <= MaxModelSize; ++c) {
            if (!colSeen[c]) continue;
            if (SweepError[r][c] < NoResultError) {
                AppendFormat(line, "  %*s", errorWidth, ErrorText(SweepError[r][c]).c_str());
            } else {
                AppendFormat(line, "  %*s", errorWidth, "-");
            }
        }
        ConLine("%s", line.c_str());
    }
}

// The best result of the latest series report.
static void WriteBestResult() {
    const ReportedResult& best = LatestReport;
    std::string clusters = std::to_string(best.Clusters[RowSide]);
    if (!OneMode) clusters += " x " + std::to_string(best.Clusters[ColSide]);
    ConLine("Series of %s clusters, %d %s: best error %s, first found at repetition %d", clusters.c_str(),
            best.Clusterings, best.Clusterings == 1 ? "repetition" : "repetitions", ErrorText(best.Error).c_str(),
            best.Rep);
    if (ValuedCriterion()) ConLine("Criterion: %s", CriterionText().c_str());
    if (OneMode) {
        WriteClusters(RowSide, "Clusters");
    } else {
        WriteClusters(RowSide, "Row clusters");
        WriteClusters(ColSide, "Column clusters");
    }
    WriteBlockmodel();
}

static void WriteFileNames() {
    ConLine("Listing: %s", LstFileName.c_str());
    std::vector<std::string> names;
    for (int kind = 0; kind < NumResultFiles; ++kind)
        if (ResultFileWritten[kind]) names.push_back(ResultFileName(static_cast<ResultFile>(kind)));
    if (names.empty()) {
        ConLine("Result files: none written");
        return;
    }
    WriteWrapped("Result files: ", names, ", ");
}

void WriteRunSummary() {
    ConEndLine();
    ConLine("Summary");
    if (Sweep) WriteSweepErrors();
    if (LatestReport.Made) {
        WriteBestResult();
    } else if (HaveSolution) {
        ConLine("The series has no result: every error was 2e10 or more.");
    } else {
        ConLine("No random series was run.");
    }
    WriteFileNames();
}
