// Partition files: clusterings saved after repetitions and read back as the
// start of a repetition. A written file stays open across the saves of a run
// until a partition file is read; from then on every save rewrites it. Each
// clustering goes to the file in one write as soon as it is made, so that a
// later failure, or an end of the run on bad input, cannot lose a clustering
// already saved, and none is ever left cut in the middle.
// A file that is read is checked in full before anything is taken from it.
#include "results/partition_files.h"

#include <sys/types.h>
#include <unistd.h>

#include <cassert>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "console/file_select.h"
#include "console/output.h"
#include "console/text_input.h"
#include "console/visible_text.h"
#include "state.h"

static const char* const PartFileDescription = "ZEP - partition file";

// Reports the first failed write of the partition file.
static void CheckPartitionWrite(bool failed) {
    if (failed && !PartitionWriteFailed) {
        PartitionWriteFailed = true;
        ConMessage("Cannot write %s", PartFileName.c_str());
    }
}

static void ClosePartitionFile() {
    if (PartitionFile == nullptr) return;
    CheckPartitionWrite(std::fclose(PartitionFile) != 0);
    PartitionFile = nullptr;
    PartFileOpen = false;
}

// Room for one clustering: the two header lines (the criterion may be wide)
// and a line of at most 6 characters per unit of either side.
static size_t ClusteringRoom() {
    return 1024 + (static_cast<size_t>(SideUnits[RowSide]) + static_cast<size_t>(SideUnits[ColSide])) * 6;
}

// Adds formatted text at text[used]; the caller's room is sized to hold it.
static void AddText(char* text, size_t& used, const char* format, int value) {
    int n = std::snprintf(text + used, ClusteringRoom() - used, format, value);
    assert(n > 0 && used + static_cast<size_t>(n) < ClusteringRoom());
    used += static_cast<size_t>(n);
}

// The accepted partitions as one clustering of the file; gives its length.
static size_t FormatClustering(char* text) {
    int n = std::snprintf(text, ClusteringRoom(), "*partition  KORVEL: %d/%d [%d] = %8.2f\r\n*vertices",
                          SideClusters[RowSide], SideClusters[ColSide], RepCount, CurrentError);
    assert(n > 0 && static_cast<size_t>(n) < 1024);
    size_t used = static_cast<size_t>(n);
    AddText(text, used, "%5d", NumUnits);
    AddText(text, used, "%5d", SideUnits[RowSide]);
    AddText(text, used, "%5d\r\n", SideUnits[ColSide]);
    for (int s = RowSide; s <= ColSide; ++s) {
        // Column clusters are numbered on from the row clusters.
        int first = s == RowSide ? 0 : SideClusters[RowSide];
        for (int u = 1; u <= SideUnits[s]; ++u) AddText(text, used, "%4d\r\n", AcceptedPartition[s][u] + first);
    }
    return used;
}

void WritePartition() {
    // After a failed write the file keeps the clusterings written whole
    // before it: nothing more goes to it in this run.
    if (PartitionWriteFailed) return;
    if (!(PartFileKeepOpen && PartFileOpen && PartitionFile != nullptr)) {
        ClosePartitionFile();
        PartitionFile = OpenOutputFile(WriteMode, PartFileName, PartFileDescription, PartitionRole);
        PartFileOpen = PartitionFile != nullptr;
        if (!PartFileOpen) {
            if (!FileInUse) ConMessage("Cannot write partition file %s", PartFileName.c_str());
            PartitionSaveSkipped = true;
            return;
        }
    }
    // One write for the whole clustering: a run killed between two saves
    // never leaves a clustering cut in the file.
    std::vector<char> text(ClusteringRoom());
    size_t size = FormatClustering(text.data());
    int fd = fileno(PartitionFile);
    off_t start = lseek(fd, 0, SEEK_CUR);
    if (!WriteWhole(fd, text.data(), size)) {
        // A disk that filled in the middle of the clustering: its start is
        // taken back, so that a reader never meets a broken clustering.
        if (start >= 0 && ftruncate(fd, start) != 0) {
            // A file that cannot be shortened keeps the cut; nothing else to do.
        }
        CheckPartitionWrite(true);
    }
    if (!PartFileKeepOpen) ClosePartitionFile();
}

// The first line: '*' and "parti" in any case. At a line end a blank stands
// for the missing character and the line end stays to be read.
static bool ReadPartitionMagic(TextFile& file) {
    if (ReadChar(file) != '*') return false;
    std::string magic;
    for (int n = 0; n < 5; ++n) {
        int c = PeekChar(file);
        if (c < 0 || c == '\r') {
            magic.push_back(' ');
        } else {
            magic.push_back(static_cast<char>(std::toupper(ReadChar(file))));
        }
    }
    return magic == "PARTI";
}

// Reads one cluster number; false at the end of the file or on a bad token.
static bool ReadClusterNumber(TextFile& file, int32_t& k) {
    char token[TokenSize];
    return ReadInt(file, k, token) && token[0] != '\0';
}

// True when each cluster 1..k holds at least one of units 1..n.
static bool EveryClusterUsed(const uint8_t partition[], int n, int k) {
    bool used[MaxModelSize + 1] = {};
    for (int u = 1; u <= n; ++u) used[partition[u]] = true;
    for (int c = 1; c <= k; ++c)
        if (!used[c]) return false;
    return true;
}

// Reads the numbers of a partition file after its two header lines into the
// given arrays; false when the file does not hold a usable clustering.
static bool ReadClusterNumbers(TextFile& file, uint8_t rows[], uint8_t cols[], int32_t& rowClusters,
                               int32_t& colClusters) {
    int32_t k = 0;
    rowClusters = 1;
    for (int i = 1; i <= SideUnits[RowSide]; ++i) {
        if (!ReadClusterNumber(file, k) || k < 1 || k > MaxModelSize) return false;
        SkipLine(file);
        rows[i] = static_cast<uint8_t>(k);
        if (k > rowClusters) rowClusters = k;
    }
    colClusters = 1;
    for (int j = 1; j <= SideUnits[ColSide]; ++j) {
        // Compared before the offset is taken off, so that no number read
        // can overflow the subtraction.
        if (!ReadClusterNumber(file, k) || k <= rowClusters || k > rowClusters + MaxModelSize)
            return false;
        k -= rowClusters;
        cols[j] = static_cast<uint8_t>(k);
        if (k > colClusters) colClusters = k;
    }
    // Every cluster up to the counts must hold a unit: the search never
    // fills an empty cluster, and the criterion would judge empty blocks.
    return EveryClusterUsed(rows, SideUnits[RowSide], rowClusters) &&
           EveryClusterUsed(cols, SideUnits[ColSide], colClusters);
}

// One partition on both sides, as a run for one partition needs.
static bool SamePartition(const uint8_t rows[], const uint8_t cols[], int32_t rowClusters, int32_t colClusters) {
    if (rowClusters != colClusters) return false;
    for (int u = 1; u <= SideUnits[RowSide]; ++u)
        if (rows[u] != cols[u]) return false;
    return true;
}

void ReadPartitionFile() {
    StartFromFile = true;
    PartFileKeepOpen = false;
    // Clusterings saved so far must be complete in the file before it is read.
    ClosePartitionFile();
    TextFile file{};
    PartFileOpen = OpenInputFile(file, PartFileName, PartFileDescription, PartitionRole);
    bool inUse = PartFileOpen && !LockForReading(file, PartFileName);
    bool good = false;
    if (inUse) {
        // Another run is writing it: nothing is read, and the console has
        // already named the file as in use.
    } else if (AtEnd(file)) {
        ConLine("Empty partition file");
    } else if (ReadPartitionMagic(file)) {
        // The title is what follows "*partition" within the first 70
        // characters after "*parti", UTF-8 characters whole. It ends at a
        // control character; the messages show the line as it is.
        std::string text = FirstCharacters(ReadLineText(file, 4 * MaxTitleLength), MaxTitleLength);
        text.erase(0, FirstCharacters(text, 4).size());
        SkipLine(file);
        std::string shown = VisibleText(text);
        ConLine(" Reading partition: %s", shown.c_str());
        ListLine(" Reading partition: %s", shown.c_str());
        std::vector<uint8_t> read[2];
        for (int s = RowSide; s <= ColSide; ++s) read[s].assign(static_cast<size_t>(SideUnits[s]) + 1, 0);
        int32_t rowClusters = 0, colClusters = 0;
        bool whole = ReadClusterNumbers(file, read[RowSide].data(), read[ColSide].data(), rowClusters, colClusters);
        if (whole && OneMode)
            whole = SamePartition(read[RowSide].data(), read[ColSide].data(), rowClusters, colClusters);
        if (whole) {
            good = true;
            ListLine("NumRows = %d   NumCols = %d", rowClusters, colClusters);
            Title = CutTitle(text);
            RepLimit = RepCount + 1;
            SideClusters[RowSide] = rowClusters;
            SideClusters[ColSide] = colClusters;
            for (int s = RowSide; s <= ColSide; ++s) {
                for (int c = 1; c <= MaxModelSize; ++c) ClusterSize[s][c] = 0;
                for (int u = 1; u <= SideUnits[s]; ++u) {
                    Partition[s][u] = read[s][u];
                    ++ClusterSize[s][read[s][u]];
                }
            }
        }
    }
    if (!good) {
        if (!inUse) ConLine("Bad partition file");
        PartFileOpen = false;
    }
    CloseTextFile(file);
}
