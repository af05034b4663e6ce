// Result files beside the listing, derived from its name so that a run never
// touches files it was not asked about: NAME.json, NAME.svg, NAME-rows.clu,
// NAME-cols.clu, for a two-mode network NAME.clu, and for a sweep over
// cluster counts NAME-sweep.svg. Every file is replaced whole, so a reader
// never sees half a file and a failed write leaves the old one; a file keeps
// its permissions, and one this user may not write is left as it is. Beside
// a listing that is no regular file (a device) nothing is written: /dev/null
// has no folder of results.
//
// The JSON file holds every series of the run: the series already reported
// are kept as text, and the whole file is rewritten at each report. Errors
// are written with 17 significant digits, which read back to the same double.
#include "results/result_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "console/bad_input.h"
#include "console/file_roles.h"
#include "console/output.h"
#include "console/whole_files.h"
#include "results/blockmodel_picture.h"
#include "results/result_text.h"
#include "results/sweep_picture.h"
#include "search/accepted_partitions.h"
#include "search/neighbourhood_search.h"
#include "state.h"

static const char* const ResultSuffix[NumResultFiles] = {".json", ".svg", "-rows.clu", "-cols.clu", ".clu", "-sweep.svg"};

static bool HasExtension(const std::string& extension, const char* wanted) {
    if (extension.size() != std::strlen(wanted)) return false;
    for (size_t k = 0; k < extension.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(extension[k])) != wanted[k]) return false;
    return true;
}

std::string ResultFileName(ResultFile kind) {
    std::string base = LstFileName;
    size_t slash = base.find_last_of('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = base.find_last_of('.');
    // A leading dot names a hidden file, not an extension. A listing named
    // like a result file keeps its extension, so that no result file can
    // take the listing's own name.
    if (dot != std::string::npos && dot > nameStart) {
        std::string extension = base.substr(dot + 1);
        if (!HasExtension(extension, "json") && !HasExtension(extension, "svg") && !HasExtension(extension, "clu"))
            base.resize(dot);
    }
    return base + ResultSuffix[kind];
}

void ClaimResultFiles() {
    struct stat listing;
    NoResultFiles = stat(LstFileName.c_str(), &listing) == 0 && !S_ISREG(listing.st_mode);
    PictureFileName = ResultFileName(PictureResultFile);
    if (NoResultFiles || LstFileName.empty()) return;
    for (int kind = 0; kind < NumResultFiles; ++kind)
        if (kind != SweepResultFile || Sweep) ClaimFile(ResultRole, ResultFileName(static_cast<ResultFile>(kind)));
    // Every result name shares the JSON file's stem: holding one holds them all.
    std::string json = ResultFileName(JsonResultFile);
    if (!HoldNameAgainstOtherRuns(json)) StopOnBadInput("In use by another run: %s", json.c_str());
}

// Writes text (lines ended by LF) to the file name with CR LF line ends;
// false when the file may not be written or any step fails.
static bool WriteWholeFile(const std::string& name, const std::string& text) {
    mode_t mode;
    if (!ReplacementMode(name, mode)) return false;
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return ReplaceWholeFile(name, bytes, mode);
}

static void WriteResultFile(ResultFile kind, const std::string& text) {
    std::string name = ResultFileName(kind);
    ResultFileWritten[kind] = WriteWholeFile(name, text);
    if (ResultFileWritten[kind]) return;
    ResultWriteFailed = true;
    if (ResultFileFailed[kind]) return;
    ResultFileFailed[kind] = true;
    ConMessage("Cannot write %s", name.c_str());
}

static void AddString(std::string& out, const char* text, size_t length) {
    out += '"';
    AppendJsonText(out, text, length);
    out += '"';
}

static void AddString(std::string& out, const std::string& text) { AddString(out, text.data(), text.size()); }

static void AddNumber(std::string& out, double value) { AppendFormat(out, "%.17g", value); }

// Clusters 1..k of a side as {"units": [...], "names": [...]}, one a line.
static void AddClusters(std::string& out, const std::vector<uint8_t>& partition, int k, int n, int offset) {
    out += "[\n";
    for (int c = 1; c <= k; ++c) {
        std::string units, names;
        for (int u = 1; u <= n; ++u) {
            if (partition[u] != c) continue;
            if (!units.empty()) {
                units += ", ";
                names += ", ";
            }
            AppendFormat(units, "%d", u);
            std::string_view label = UnitLabel(offset + u);
            AddString(names, label.data(), label.size());
        }
        out += "            {\"units\": [" + units + "], \"names\": [" + names + "]}";
        out += c < k ? ",\n" : "\n";
    }
    out += "          ]";
}

// The block matrix of the current evaluation, one row of blocks a line:
// which is 0 for the types, 1 the errors, 2 the values, 3 the means or medians.
static void AddBlockMatrix(std::string& out, const char* key, int which) {
    AppendFormat(out, "        \"%s\": [\n", key);
    for (int r = 1; r <= SideClusters[RowSide]; ++r) {
        out += "          [";
        for (int c = 1; c <= SideClusters[ColSide]; ++c) {
            if (c > 1) out += ", ";
            int32_t type = BlockTypeMatrix[r][c];
            if (which == 0 && (type < 0 || type > MaxTypeCode)) {
                out += "null";
            } else if (which == 0) {
                const char* code = TypeCode[type];
                while (*code == ' ') ++code;
                AddString(out, code, TrimmedLength(code));
            } else if (which == 1 && ValuedCriterion()) {
                AddNumber(out, ValuedErrorMatrix[r][c]);
            } else if (which == 1) {
                AppendFormat(out, "%d", ErrorMatrix[r][c]);
            } else if (which == 3) {
                AddNumber(out, BlockCenterMatrix[r][c]);
            } else {
                AddNumber(out, RealValueMatrix[r][c]);
            }
        }
        out += r < SideClusters[RowSide] ? "],\n" : "]\n";
    }
    out += "        ]";
}

// The series just reported: its counts, the ten best and the best blockmodel.
static void AddSeries(std::string& out) {
    out += "    {\n      \"title\": ";
    AddString(out, TitleText);
    AppendFormat(out, ",\n      \"row_clusters\": %d,\n      \"column_clusters\": %d,\n", SideClusters[RowSide],
                 SideClusters[ColSide]);
    AppendFormat(out, "      \"repetitions\": %d,\n      \"clusterings\": %d,\n", SeriesRepetitions, RepCount - 1);
    out += "      \"results\": [\n";
    bool first = true;
    for (int d = 1; d <= TopTenSize; ++d) {
        const TopTenEntry& entry = TopTen[d];
        if (entry.Error >= ListedErrorLimit) continue;
        if (!first) out += ",\n";
        first = false;
        AppendFormat(out, "        {\n          \"rank\": %d,\n          \"repetition\": %d,\n          \"error\": ", d,
            entry.Rep);
        AddNumber(out, entry.Error);
        out += ",\n          \"row_clusters\": ";
        AddClusters(out, entry.Partitions[RowSide], entry.Clusters[RowSide], SideUnits[RowSide], 0);
        out += ",\n          \"column_clusters\": ";
        AddClusters(out, entry.Partitions[ColSide], entry.Clusters[ColSide], SideUnits[ColSide], ColOffset);
        out += "\n        }";
    }
    out += "\n      ],\n      \"best\": {\n";
    AppendFormat(out, "        \"repetition\": %d,\n        \"error\": ", TopTen[1].Rep);
    AddNumber(out, CurrentError);
    out += ",\n";
    AddBlockMatrix(out, "block_types", 0);
    out += ",\n";
    AddBlockMatrix(out, "block_errors", 1);
    if (Criterion == SquaresCriterion || Criterion == AbsoluteCriterion) {
        out += ",\n";
        AddBlockMatrix(out, Criterion == SquaresCriterion ? "block_means" : "block_medians", 3);
    }
    if (ValuesRule == AverageValues) {
        out += ",\n";
        AddBlockMatrix(out, "block_values", 2);
    }
    out += "\n      }\n    }";
}

static void AddFileEntry(std::string& out, const char* key, const std::string& name, bool last = false) {
    AppendFormat(out, "    \"%s\": ", key);
    AddString(out, name);
    out += last ? "\n" : ",\n";
}

static void BuildJson(std::string& out) {
    out += "{\n  \"program\": \"KORVEL\",\n  \"files\": {\n";
    AddFileEntry(out, "network", NetFileName);
    if (GivenBlockTypes != 0) {
        out += "    \"model\": null,\n";  // blocks= is the model; settings name its types
    } else {
        AddFileEntry(out, "model", MdlFileName);
    }
    AddFileEntry(out, "listing", LstFileName);
    AddFileEntry(out, "partition", PartFileName);
    AddFileEntry(out, "picture", ResultFileName(PictureResultFile));
    AddFileEntry(out, "row_partition", ResultFileName(RowsResultFile));
    AddFileEntry(out, "column_partition", ResultFileName(ColsResultFile));
    if (TwoMode) {
        AddFileEntry(out, "unit_partition", ResultFileName(UnitsResultFile), !Sweep);
    } else {
        out += Sweep ? "    \"unit_partition\": null,\n" : "    \"unit_partition\": null\n";
    }
    if (Sweep) AddFileEntry(out, "sweep_picture", ResultFileName(SweepResultFile), true);
    AppendFormat(out, "  },\n  \"network\": {\"units\": %d, \"rows\": %d, \"columns\": %d, \"two_mode\": %s},\n",
                 NumUnits, SideUnits[RowSide], SideUnits[ColSide], TwoMode ? "true" : "false");
    AppendFormat(out, "  \"settings\": {\n");
    // The binary criterion's files stay as they were before there was a choice.
    if (ValuedCriterion()) {
        AppendFormat(out, "    \"criterion\": \"%s\",\n    \"m\": ", CriterionName[Criterion]);
        if (Criterion == ValuesCriterion) {
            AddNumber(out, PresetM);
        } else {
            out += "null";
        }
        out += ",\n";
    }
    AppendFormat(out, "    \"error_type\": \"%s\",\n    \"minimal_block_size\": %d,\n",
        ErrorType == SizeErrors ? "size" : "constant", MinBlockSize);
    AppendFormat(out, "    \"block_values\": %s,\n    \"weights\": {", ValuesRule == AverageValues ? "true" : "false");
    for (int t = 0; t <= MaxTypeCode; ++t) {
        out += t > 0 ? ", " : "";
        AddString(out, TypeName[t] != nullptr ? TypeName[t] : "",
                  TypeName[t] != nullptr ? std::strlen(TypeName[t]) : 0);
        out += ": ";
        AddNumber(out, TypeWeight[t]);
    }
    out += "},\n";
    if (GivenBlockTypes != 0) {
        out += "    \"blocks\": [";
        for (int t = 0; t <= MaxTypeCode; ++t) {
            if (!(GivenBlockTypes & (1u << t))) continue;
            if (out.back() != '[') out += ", ";
            AddString(out, TypeName[t], std::strlen(TypeName[t]));
        }
        out += "],\n";
    }
    // Only what was asked beyond the default search is named, so that the
    // files of a default run stay as they were.
    if (SearchStrategy == SearchStrategies::Neighbourhood)
        AppendFormat(out, "    \"search\": {\"strategy\": \"vns\", \"shakes\": %d, \"largest_shake\": %d},\n", ShakeLimit,
                     LargestShake());
    if (SeriesSeconds > 0) {
        AppendFormat(out, "    \"time\": %.15g,\n", SeriesSeconds);  // as given, not to the last bit
    }
    out += "    \"seed\": ";
    if (SeedFixed) {
        AppendFormat(out, "%u", FixedSeed);
    } else {
        out += "null";
    }
    out += "\n  },\n  \"series\": [\n" + ReportedSeriesJson + "\n  ]\n}\n";
}

// One cluster number a line after "*Vertices n"; the column clusters are
// numbered on after the row clusters when both sides share one file.
static void BuildPartition(std::string& out, bool rows, bool cols) {
    AppendFormat(out, "*Vertices %d\n", (rows ? SideUnits[RowSide] : 0) + (cols ? SideUnits[ColSide] : 0));
    if (rows)
        for (int i = 1; i <= SideUnits[RowSide]; ++i) AppendFormat(out, "%d\n", AcceptedPartition[RowSide][i]);
    int offset = rows ? SideClusters[RowSide] : 0;
    if (cols)
        for (int j = 1; j <= SideUnits[ColSide]; ++j) AppendFormat(out, "%d\n", AcceptedPartition[ColSide][j] + offset);
}

void WriteResultFiles() {
    if (LstFileName.empty() || NoResultFiles) return;
    if (!ReportedSeriesJson.empty()) ReportedSeriesJson += ",\n";
    AddSeries(ReportedSeriesJson);

    std::string text;
    BuildPartition(text, true, false);
    WriteResultFile(RowsResultFile, text);
    text.clear();
    BuildPartition(text, false, true);
    WriteResultFile(ColsResultFile, text);
    if (TwoMode) {
        text.clear();
        BuildPartition(text, true, true);
        WriteResultFile(UnitsResultFile, text);
    }
    text.clear();
    BuildBlockmodelPicture(text);
    WriteResultFile(PictureResultFile, text);
    if (Sweep) {
        text.clear();
        BuildSweepPicture(text);
        WriteResultFile(SweepResultFile, text);
    }
    // Last, so that the files it names are in place when it is.
    text.clear();
    BuildJson(text);
    WriteResultFile(JsonResultFile, text);
}
