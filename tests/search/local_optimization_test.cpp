// Moves, exchanges and the recording of results, on two-mode networks small
// enough to follow every trial by hand. The criterion is the real one, with
// constant errors: a null block costs its ties, a complete block its gaps.
#include "search/local_optimization.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "criterion/total_error.h"
#include "results/repetition_record.h"
#include "search/accepted_partitions.h"
#include "search/random_starts.h"
#include "support/test_support.h"

namespace {

constexpr uint16_t NullOnly = 1 << NullType;
constexpr uint16_t CompleteOnly = 1 << CompleteType;

class LocalSearch : public ::testing::Test {
protected:
    void SetUp() override {
        ResetState();
        AllowEverywhere(NullOnly | CompleteOnly);
        ResetSeriesResults();
        HaveSolution = true;
        RepCount = 1;
        CaptureListing();
    }
};

// Runs the search with the console sent to a file; gives what it wrote.
std::string Optimize(const char* answers = "") { return WithConsole(answers, LocalOptimization); }

// The trial, move and exchange lines of the listing, in order.
std::vector<std::string> SearchLines() {
    std::vector<std::string> lines;
    std::istringstream listing(ListingText());
    std::string line;
    while (std::getline(listing, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("try", 0) == 0 || line.rfind("move", 0) == 0 || line.rfind("transpose", 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

template <typename T>
std::vector<int> Accepted(const T partition[], int n) {
    return std::vector<int>(partition + 1, partition + n + 1);
}

// Rows 1 and 2 are full, row 3 is empty. Row 1 is alone and is never
// tried until row 2 joins it; row 3 is then alone and never tried. Row 2
// moves and is tried back at once; the phase ends at the third visit of it.
TEST_F(LocalSearch, FirstImprovingMoveAndLoneUnitsStay) {
    UseBinaryNetwork({"11", "11", "00"});
    UsePartitions({1, 2, 2}, {1, 1});
    ListLevel = 4;
    ListMoves = ListTrace = ListClusters = true;
    Optimize();
    EXPECT_EQ(SearchLines(), (std::vector<std::string>{
                                 "try row   2 :   2 -->  1  error =       0.000",
                                 "move row unit   2 from   2 to  1  error =       0.000",
                                 "try row   2 :   1 -->  2  error =       2.000",
                                 "try row   1 :   1 -->  2  error =       2.000",
                                 "try row   2 :   1 -->  2  error =       2.000",
                                 "try   1/1 <-->  3/2  error =       2.000",
                                 "try   2/1 <-->  3/2  error =       2.000",
                             }));
    EXPECT_EQ(Accepted(AcceptedPartition[RowSide], 3), (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(CurrentError, 0.0);
    EXPECT_EQ(Accepted(ListingOrder[RowSide], 3), (std::vector<int>{1, 2, 3}));
}

// Every row is "01"; column 1 must be complete, column 2 null. Row moves
// never change P (rejected as equal); only the column exchange helps, and
// after it the row moves are tried again from row 1.
TEST_F(LocalSearch, EqualErrorsRejectedAndExchangeRestartsTheMoves) {
    UseBinaryNetwork({"01", "01", "01"});
    UsePartitions({1, 1, 2}, {1, 2});
    for (int r = 1; r <= 2; ++r) {
        ModelMatrix[r][1] = CompleteOnly;
        ModelMatrix[r][2] = NullOnly;
    }
    ListLevel = 4;
    ListMoves = ListTrace = ListClusters = true;
    std::string console = Optimize();
    EXPECT_EQ(SearchLines(), (std::vector<std::string>{
                                 "try row   1 :   1 -->  2  error =       6.000",
                                 "try row   2 :   1 -->  2  error =       6.000",
                                 "try   1/1 <-->  3/2  error =       6.000",
                                 "try   2/1 <-->  3/2  error =       6.000",
                                 "try   1/1 <-->  2/2  error =       0.000",
                                 "transpose cols   1/1 and   2/2  error =       0.000",
                                 "try row   1 :   1 -->  2  error =       0.000",
                                 "try row   2 :   1 -->  2  error =       0.000",
                                 "try   1/1 <-->  3/2  error =       0.000",
                                 "try   2/1 <-->  3/2  error =       0.000",
                                 "try   1/2 <-->  2/1  error =       6.000",
                             }));
    EXPECT_EQ(Accepted(AcceptedPartition[RowSide], 3), (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(Accepted(AcceptedPartition[ColSide], 2), (std::vector<int>{2, 1}));
    EXPECT_NE(console.find("transpose cols   1/1 and   2/2   error =       0.000\n"), std::string::npos);
    // The dump after an exchange lists each cluster with its members.
    EXPECT_NE(ListingText().find("COL-CLUSTER 1 / 1\r\n    2 u5        \r\nCOL-CLUSTER 2 / 1\r\n"
                                 "    1 u4        \r\n"),
              std::string::npos);
}

// Exact fits: reported as near-best, listed once under the heading per
// series, and saved under "opt" while no worse than the best before them.
TEST_F(LocalSearch, ExactFitsAndTheOptSaveRule) {
    UseBinaryNetwork({"10", "10", "01"});
    UsePartitions({1, 1, 2}, {1, 2});
    SaveOption = 2;
    ListLevel = 2;
    ListMoves = ListClusters = true;
    std::string console = Optimize();
    EXPECT_EQ(console, "\n      1 P =    0.000\n      1>");
    EXPECT_TRUE(SaveThis);
    RepCount = 2;
    UsePartitions({1, 1, 2}, {1, 2});
    Optimize();
    std::string listing = ListingText();
    EXPECT_EQ(listing.find(" E Q U I V A L E N C E S"), listing.rfind(" E Q U I V A L E N C E S"));
    EXPECT_NE(listing.find("     2: { 1 2 } { 3 }  \r\n { 1 } { 2 }  \r\n"), std::string::npos);
    EXPECT_NE(listing.find("     2: { 1 2 } { 3 }  \r\n        { 1 } { 2 }  \r\nP =    0.000\r\n"),
              std::string::npos);
    EXPECT_EQ(BestRep, 1);  // the tie does not take over the best
    EXPECT_EQ(TopTen[2].Rep, 2);
    // A worse result is not saved under "opt".
    BestError = -1.0;
    Optimize();
    EXPECT_FALSE(SaveThis);
}

// Before any random series the result waits for Enter and goes to the listing.
TEST_F(LocalSearch, ResultBeforeAnySeriesWaitsForEnter) {
    UseBinaryNetwork({"10", "10", "01"});
    UsePartitions({1, 2, 2}, {1, 2});
    HaveSolution = false;
    std::string console = Optimize("\n");
    EXPECT_EQ(console.rfind("P*                 =       0.000\n", 0), 0u);
    EXPECT_NE(ListingText().find("final error =       0.000\r\n"), std::string::npos);
}

TEST_F(LocalSearch, TopTenKeepsArrivalOrderAndDuplicates) {
    SideClusters[RowSide] = 2;
    SideClusters[ColSide] = 1;
    const double errors[] = {5, 3, 5, 3, 9, 8, 7, 6, 4, 4, 9};
    for (int rep = 1; rep <= 11; ++rep) EnterTopTen(rep, errors[rep - 1]);
    std::vector<int> reps;
    for (int d = 1; d <= 10; ++d) reps.push_back(TopTen[d].Rep);
    // Equal errors in order of arrival; the second 9 ties the tenth and stays out.
    EXPECT_EQ(reps, (std::vector<int>{2, 4, 9, 10, 1, 3, 8, 7, 6, 5}));
    EnterTopTen(12, 8.5);  // between 8 and 9: the 9 is dropped
    EXPECT_EQ(TopTen[9].Rep, 6);
    EXPECT_EQ(TopTen[10].Rep, 12);
    EXPECT_EQ(TopTen[10].Clusters[RowSide], 2);
}

// The full total of the working pair after trying one step on it, put back after.
double TotalWithRowsSwapped(int a, int b) {
    std::swap(Partition[RowSide][a], Partition[RowSide][b]);
    double total = TotalError();
    std::swap(Partition[RowSide][a], Partition[RowSide][b]);
    return total;
}

double TotalWithColsSwapped(int a, int b) {
    std::swap(Partition[ColSide][a], Partition[ColSide][b]);
    double total = TotalError();
    std::swap(Partition[ColSide][a], Partition[ColSide][b]);
    return total;
}

// Random networks of 3..14 x 3..14 units, random starts of 1..4 clusters a
// side, null, complete and regular blocks with size errors: where the search
// stops, no cluster is empty, the error is the full total, and the full
// total of no column move (that leaves no cluster empty) and no exchange of
// either side is lower. Row moves are left out on purpose: the row moves
// settle before the column moves, which may make a row move profitable
// again, and the search then stops all the same unless an exchange helps.
TEST_F(LocalSearch, ResultIsALocalOptimum) {
    std::mt19937 random(2026);
    auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int trial = 0; trial < 60; ++trial) {
        SCOPED_TRACE(trial);
        int n = 3 + below(12), m = 3 + below(12);
        int density = 10 + below(80);
        std::vector<std::string> rows(n, std::string(m, '0'));
        for (auto& row : rows)
            for (char& cell : row) cell = below(100) < density ? '1' : '0';
        UseBinaryNetwork(rows);
        AllowEverywhere((1 << NullType) | (1 << CompleteType) | (1 << RegularType));
        ErrorType = 2;
        int k = 1 + below(n < 4 ? n : 4), l = 1 + below(m < 4 ? m : 4);
        std::vector<int> rowStart(n), colStart(m);
        for (int i = 0; i < n; ++i) rowStart[i] = i < k ? i + 1 : 1 + below(k);
        for (int j = 0; j < m; ++j) colStart[j] = j < l ? j + 1 : 1 + below(l);
        UsePartitions(rowStart, colStart);
        ListLevel = 1;
        ListMoves = ListTrace = ListClusters = false;
        SearchStrategy = SearchStrategies::Local;
        SearchLocalOptimum(1);
        // Every other network: the neighbourhood search from the same start
        // ends at a local optimum too, and no worse than the local search.
        if (trial % 2 == 1) {
            const double local = CurrentError;
            UsePartitions(rowStart, colStart);
            SearchStrategy = SearchStrategies::Neighbourhood;
            RunSeed = static_cast<uint32_t>(trial);
            SearchLocalOptimum(1);
            ASSERT_LE(CurrentError, local);
        }
        double found = CurrentError;
        CopyAcceptedToWorking();
        ASSERT_EQ(TotalError(), found);
        for (int c = 1; c <= k; ++c) ASSERT_GT(ClusterSize[RowSide][c], 0) << "row cluster " << c;
        for (int c = 1; c <= l; ++c) ASSERT_GT(ClusterSize[ColSide][c], 0) << "column cluster " << c;
        for (int v = 1; v <= m; ++v)
            for (int c = 1; c <= l; ++c) {
                int b = Partition[ColSide][v];
                if (c == b || ClusterSize[ColSide][b] == 1) continue;
                Partition[ColSide][v] = static_cast<uint8_t>(c);
                ++ClusterSize[ColSide][c];
                --ClusterSize[ColSide][b];
                EXPECT_GE(TotalError(), found) << "column " << v << " to " << c;
                Partition[ColSide][v] = static_cast<uint8_t>(b);
                --ClusterSize[ColSide][c];
                ++ClusterSize[ColSide][b];
            }
        for (int a = 1; a < n; ++a)
            for (int b = a + 1; b <= n; ++b) EXPECT_GE(TotalWithRowsSwapped(a, b), found) << a << "<->" << b;
        for (int a = 1; a < m; ++a)
            for (int b = a + 1; b <= m; ++b) EXPECT_GE(TotalWithColsSwapped(a, b), found) << a << "<->" << b;
    }
}

}  // namespace

// One partition of a one-mode network of 10 units, null, complete and
// regular blocks: the best of 60 random starts reaches the least error over
// every partition into k clusters, and every result is one partition, with
// the neighbourhood search too.
TEST_F(LocalSearch, OnePartitionReachesTheExhaustiveOptimum) {
    std::mt19937 random(11);
    OneMode = true;
    for (int network = 0; network < 6; ++network) {
        std::vector<std::string> rows(10, std::string(10, '0'));
        for (std::string& row : rows)
            for (char& cell : row) cell = random() % 100 < 30u + 5u * network ? '1' : '0';
        UseBinaryNetwork(rows);
        AllowEverywhere((1 << NullType) | (1 << CompleteType) | (1 << RegularType));
        int k = 2 + network % 2;
        ModelRows = ModelCols = SideClusters[RowSide] = SideClusters[ColSide] = k;
        double least = NoResultError;
        for (int code = 0, codes = k == 2 ? 512 : 19683; code < codes; ++code) {  // unit 1 in cluster 1
            std::vector<int> clusters(10, 1);
            for (int u = 1, rest = code; u < 10; ++u, rest /= k) clusters[u] = 1 + rest % k;
            if (*std::max_element(clusters.begin(), clusters.end()) < k ||
                (k == 3 && std::find(clusters.begin(), clusters.end(), 2) == clusters.end()))
                continue;  // a cluster left empty
            UsePartitions(clusters, clusters);
            least = std::min(least, TotalError());
        }
        for (SearchStrategies strategy : {SearchStrategies::Local, SearchStrategies::Neighbourhood}) {
            SearchStrategy = strategy;
            RandomSeed = 2026;
            double best = NoResultError;
            for (int rep = 1; rep <= 60; ++rep) {
                DrawRandomStarts();
                CopyWorkingToAccepted();
                SearchLocalOptimum(rep);
                ASSERT_EQ(Accepted(AcceptedPartition[RowSide], 10), Accepted(AcceptedPartition[ColSide], 10));
                best = std::min(best, CurrentError);
            }
            EXPECT_EQ(best, least) << "network " << network;
        }
    }
}
