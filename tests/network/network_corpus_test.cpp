// The network reader on files as published by today's network tools and data
// collections (tests/data/networks, byte for byte as found; of the 500-unit
// file only its first lines, since its counts line refuses it). The counts were
// worked out from the files by hand: units, ties (cells with a positive value),
// the sum of the values after rounding, and a few cells and names.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "network/network_reader.h"
#include "support/test_support.h"

// The corpus file of that name: the copies kept here, else the shared data
// beside the checkout (a larger file is not copied); "" for neither.
static std::string CorpusPath(const char* name) {
    for (const char* folder : {"/tests/data/networks/", "/../shared/data/real/"}) {
        std::string path = std::string(KORVEL_SOURCE_DIR) + folder + name;
        if (std::ifstream(path).good()) return path;
    }
    return "";
}

// Opens the named file of the corpus as the network file, on a fresh state.
static void UseCorpusFile(const char* name) {
    std::ifstream in(CorpusPath(name), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_FALSE(content.str().empty()) << name;
    ResetState();
    CaptureListing();
    UseTextFile(NetFile, content.str());
}

static std::string ReadCorpusFile(const char* name, std::string* console = nullptr) {
    UseCorpusFile(name);
    testing::internal::CaptureStdout();
    ReadNetwork();
    std::string said = testing::internal::GetCapturedStdout();
    if (console != nullptr) *console = said;
    return said;
}

struct CorpusFile {
    const char* Name;
    int Rows, Cols;
    bool TwoMode;
    int Ties;
    long long ValueSum;
    int Rounded;
};

TEST(NetworkCorpus, EveryFileReadsWithItsCounts) {
    const CorpusFile files[] = {
        {"sampson.net", 18, 18, false, 57, 57, 0},
        {"ba500.net", 500, 500, false, 1219, 1219, 0},
        {"kite.net", 10, 10, false, 36, 36, 0},
        {"campnet.net", 18, 18, false, 63, 63, 0},
        {"padgett.net", 16, 16, false, 40, 40, 0},
        {"kocka.net", 8, 8, false, 24, 24, 0},
        {"cite.net", 9, 9, false, 13, 13, 0},
        {"dolphins_w.net", 7, 7, false, 20, 70, 0},
        {"tiny2mode.net", 3, 2, true, 5, 5, 0},
        {"tinamatr.net", 11, 11, false, 41, 41, 0},
        {"divorce_2mode_matrix.net", 50, 9, true, 225, 225, 0},
        {"watest_2mode_arcs_unquoted.net", 10, 6, true, 24, 24, 0},
        {"homoena_multirel_edges_k.net", 15, 15, false, 26, 26, 0},
        {"ussr_jaccard_realweights_loops.net", 15, 15, false, 197, 197, 91},
        {"graphlist_arcslist_edgeslist.net", 12, 12, false, 26, 26, 0},
        {"delitsch_boys_utf8_bom_partition.paj", 53, 53, false, 179, 179, 0},
    };
    for (const CorpusFile& file : files) {
        if (CorpusPath(file.Name).empty()) continue;  // ba500.net without the shared data
        std::string console = ReadCorpusFile(file.Name);
        EXPECT_EQ(SideUnits[RowSide], file.Rows) << file.Name;
        EXPECT_EQ(SideUnits[ColSide], file.Cols) << file.Name;
        EXPECT_EQ(TwoMode, file.TwoMode) << file.Name;
        int ties = 0;
        long long sum = 0;
        for (int i = 1; i <= SideUnits[RowSide]; ++i) {
            for (int j = 1; j <= SideUnits[ColSide]; ++j) {
                ties += (IsTie(i, j) ? 1 : 0);
                sum += CellValueAt(i, j);
            }
        }
        EXPECT_EQ(ties, file.Ties) << file.Name;
        EXPECT_EQ(sum, file.ValueSum) << file.Name;
        std::string rounded = std::to_string(file.Rounded) + " tie values rounded to integers\n";
        EXPECT_EQ(console.find(rounded) != std::string::npos, file.Rounded > 0) << file.Name << console;
    }
}

TEST(NetworkCorpus, NamedCellsAndLabels) {
    // Unquoted labels, an arcs list with negative unit numbers.
    ReadCorpusFile("cite.net");
    EXPECT_STREQ(UnitName[3], "Three     ");
    EXPECT_EQ(CellValueAt(1, 5), 1);
    EXPECT_EQ(CellValueAt(5, 1), 0);
    EXPECT_EQ(CellValueAt(7, 9), 1);
    // An edges list sets both cells.
    ReadCorpusFile("kocka.net");
    EXPECT_EQ(CellValueAt(5, 1), 1);
    EXPECT_EQ(CellValueAt(8, 7), 1);
    EXPECT_EQ(CellValueAt(1, 4), 0);
    // Lower-case keywords, lines that start with their number, values 10.0.
    ReadCorpusFile("dolphins_w.net");
    EXPECT_EQ(CellValueAt(2, 1), 10);
    EXPECT_EQ(CellValueAt(7, 2), 4);
    EXPECT_STREQ(UnitName[1], "0         ");
    // Two-mode edges without values: columns are numbered after the rows.
    ReadCorpusFile("tiny2mode.net");
    EXPECT_EQ(CellValueAt(1, 1), 1);
    EXPECT_EQ(CellValueAt(2, 2), 0);
    EXPECT_STREQ(UnitName[4], "4         ");
    ReadCorpusFile("watest_2mode_arcs_unquoted.net");
    EXPECT_EQ(CellValueAt(1, 4), 1);  // 1 14
    EXPECT_STREQ(UnitName[11], "a         ");
    // An arcs list with a loop and a repeated target, then an edges list.
    ReadCorpusFile("graphlist_arcslist_edgeslist.net");
    EXPECT_EQ(CellValueAt(3, 3), 1);
    EXPECT_EQ(CellValueAt(3, 7), 1);
    EXPECT_EQ(CellValueAt(7, 3), 0);
    EXPECT_EQ(CellValueAt(5, 2), 1);
    EXPECT_EQ(CellValueAt(2, 5), 1);
    // Labels followed by colours, coordinates and shapes, with tabs.
    ReadCorpusFile("campnet.net");
    EXPECT_STREQ(UnitName[7], "PAULINE   ");
    // Real weights: a small positive value is a tie of 1, never 0.
    ReadCorpusFile("ussr_jaccard_realweights_loops.net");
    EXPECT_EQ(CellValueAt(1, 1), 1);
    EXPECT_EQ(CellValueAt(1, 2), 1);
    EXPECT_EQ(CellValueAt(2, 1), 1);
    EXPECT_STREQ(UnitName[15], "Uzbekistan");
}

TEST(NetworkCorpus, FirstRelationIsReadAndTheOthersNamed) {
    std::string console;
    ReadCorpusFile("padgett.net", &console);
    EXPECT_EQ(CellValueAt(1, 9), 1);
    EXPECT_STREQ(UnitName[9], "Medici    ");
    EXPECT_NE(console.find("form =  1\n*** reading network  16 =  16 +  16 form = 1\n"
                           "Relation 1 \"Marital\" read; later relations not read\n\n"),
              std::string::npos)
        << console;
    ReadCorpusFile("homoena_multirel_edges_k.net", &console);
    EXPECT_NE(console.find("Relation 1 \"Prvi\" read; later relations not read\n"), std::string::npos);
}

TEST(NetworkCorpus, Utf8LabelsAreCutAndPaddedByCharacters) {
    ReadCorpusFile("delitsch_boys_utf8_bom_partition.paj");
    EXPECT_STREQ(UnitName[3], "Böger     ");  // five characters, six bytes
    EXPECT_STREQ(UnitName[36], "Groß      ");
    EXPECT_STREQ(UnitName[2], "Albert Hag");
}

