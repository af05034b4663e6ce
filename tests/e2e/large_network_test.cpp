// A network far beyond 250 units a side, run as an analyst would: read, one
// series started from the planted partition and one from random starts. The
// listing keeps its place for the matrix but lists no cells, and every file
// of results holds every unit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

// Two-mode, 1,500 x 900 units in 3 x 2 planted clusters (unit u of a side in
// cluster u mod k + 1): ties with probability 0.7 in the blocks (1, 1),
// (2, 2), (3, 1) and 0.02 elsewhere. Error counts the planted partition's
// deviations from the best of null and complete in every block.
struct PlantedNetwork {
    static constexpr int Rows = 1500, Cols = 900, RowClusters = 3, ColClusters = 2;
    std::string Net, Zep;
    long long Error = 0;

    PlantedNetwork() {
        std::mt19937 random(7);
        std::ostringstream net;
        net << "*Vertices " << Rows + Cols << " " << Rows << "\n*Arcs\n";
        long long ties[RowClusters + 1][ColClusters + 1] = {}, cells[RowClusters + 1][ColClusters + 1] = {};
        for (int i = 1; i <= Rows; ++i)
            for (int j = 1; j <= Cols; ++j) {
                int r = i % RowClusters + 1, c = j % ColClusters + 1;
                bool dense = c == (r == 3 ? 1 : r);
                ++cells[r][c];
                if (random() % 100 >= (dense ? 70u : 2u)) continue;
                ++ties[r][c];
                net << i << " " << Rows + j << "\n";
            }
        for (int r = 1; r <= RowClusters; ++r)
            for (int c = 1; c <= ColClusters; ++c) Error += std::min(ties[r][c], cells[r][c] - ties[r][c]);
        Net = net.str();
        std::ostringstream zep;
        zep << "*partition  planted\r\n*vertices " << Rows + Cols << " " << Rows << " " << Cols << "\r\n";
        for (int i = 1; i <= Rows; ++i) zep << i % RowClusters + 1 << "\r\n";
        for (int j = 1; j <= Cols; ++j) zep << RowClusters + j % ColClusters + 1 << "\r\n";
        Zep = zep.str();
    }
};

// The unit numbers in the "units" lists of a result's clusters.
int UnitsListed(const std::string& result) {
    int units = 0;
    const std::string key = "\"units\": [";
    for (size_t at = result.find(key); at != std::string::npos; at = result.find(key, at + 1)) {
        size_t end = result.find(']', at);
        std::string list = result.substr(at + key.size(), end - at - key.size());
        units += list.empty() ? 0 : 1 + static_cast<int>(std::count(list.begin(), list.end(), ','));
    }
    return units;
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace

TEST(LargeNetwork, PlantedPartitionAndRandomStartsWithEveryUnitInTheResults) {
    PlantedNetwork planted;
    TempFolder folder;
    folder.Write("big.net", planted.Net);
    folder.Write("planted.zep", planted.Zep);
    folder.Write("nc.mdl", "null and complete\n3 3\n 0 3 1 0 1\n");

    RunResult fromFile =
        RunKorvel(folder, "", "net=big.net mdl=nc.mdl lst=file.lst zep=planted.zep run=1 rows=3 cols=2");
    ASSERT_EQ(fromFile.ExitCode, 0) << fromFile.Console;
    std::string listing = folder.Read("file.lst");
    char initial[64];
    std::snprintf(initial, sizeof initial, "initial error =%12.3f", static_cast<double>(planted.Error));
    EXPECT_NE(listing.find(initial), std::string::npos) << initial;
    EXPECT_NE(listing.find("Matrix of 1500 x 900 units not listed; see file.svg\r\n"), std::string::npos);
    EXPECT_EQ(listing.find("MATRIX :"), std::string::npos);

    RunResult random =
        RunKorvel(folder, "", "net=big.net mdl=nc.mdl lst=random.lst zep=random.zep rows=3 cols=2 reps=3 threads=2 save=2", "11");
    ASSERT_EQ(random.ExitCode, 0) << random.Console;
    std::string json = folder.Read("random.json");
    // Each unit once in the best result's clusters: 1,500 rows, 900 columns.
    size_t best = json.find("\"rank\": 1,");
    ASSERT_NE(best, std::string::npos);
    std::string first = json.substr(best, json.find("\"rank\": 2,") - best);
    EXPECT_EQ(UnitsListed(first), PlantedNetwork::Rows + PlantedNetwork::Cols);
    std::string rows = folder.Read("random-rows.clu"), cols = folder.Read("random-cols.clu");
    EXPECT_EQ(CountOf(rows, "\r\n"), PlantedNetwork::Rows + 1);
    EXPECT_EQ(CountOf(cols, "\r\n"), PlantedNetwork::Cols + 1);
    // The summary gives the sizes of the clusters of so large a side, as the partition files have them.
    std::smatch sizes;
    ASSERT_TRUE(std::regex_search(random.Console, sizes,
                                  std::regex("\nRow clusters, units in each: ([0-9]+) ([0-9]+) ([0-9]+)\n"
                                             "Column clusters, units in each: ([0-9]+) ([0-9]+)\n")));
    for (int k = 1; k <= 5; ++k) {
        const std::string& clu = k <= 3 ? rows : cols;
        std::istringstream clusters(clu.substr(clu.find('\n') + 1));
        int units = 0;
        for (int cluster; clusters >> cluster;) units += cluster == (k <= 3 ? k : k - 3);
        EXPECT_EQ(std::stoi(sizes[k]), units) << "cluster " << k;
    }
    std::string saved = folder.Read("random.zep");
    EXPECT_EQ(CountOf(saved, "\r\n") % (PlantedNetwork::Rows + PlantedNetwork::Cols + 2), 0);
    EXPECT_GE(CountOf(saved, "*partition"), 1);
}
