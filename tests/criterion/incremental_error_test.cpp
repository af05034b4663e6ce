// The incremental criterion against the full scan. A few cases are counted
// by hand; the rest draw random networks, models and settings, and demand
// that every trial's total be the full total bit for bit, and that whole
// local optimizations end alike with either evaluator.
#include "criterion/incremental_error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "criterion/total_error.h"
#include "results/repetition_record.h"
#include "search/accepted_partitions.h"
#include "search/local_optimization.h"
#include "search/random_starts.h"
#include "support/test_support.h"

namespace {

constexpr uint16_t NullOrComplete = (1 << NullType) | (1 << CompleteType);

// A quarter of the random problems judged by a valued criterion, each in turn.
int CriterionOf(unsigned seed) {
    return seed % 4 == 2 ? SquaresCriterion + static_cast<int>(seed / 4 % 3) : BinaryCriterion;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class IncrementalError : public ::testing::Test {
protected:
    void SetUp() override {
        ResetState();
        ForceFullEvaluation = false;
    }
};

// Two 2 x 2 blocks of ones on the diagonal, null or complete everywhere.
TEST_F(IncrementalError, MoveAndExchangeCountedByHand) {
    UseBinaryNetwork({"11000", "11000", "00111", "00111"});
    UsePartitions({1, 1, 2, 2}, {1, 1, 2, 2, 2});
    AllowEverywhere(NullOrComplete);
    StartIncrementalError();

    // Row 3 to cluster 1: rows {1,2,3} x cols {1,2} hold 4 of 6 (complete, 2
    // gaps), x cols {3,4,5} 3 of 9 (null, 3 ties); row 4 fits both blocks.
    Partition[RowSide][3] = 1;
    EXPECT_EQ(MoveError(RowSide, 3, 1), 5.0);
    Partition[RowSide][3] = 2;

    // Rows 2 and 3 swapped: every block holds half ones, 2 + 3 + 2 + 3.
    Partition[RowSide][2] = 2;
    Partition[RowSide][3] = 1;
    EXPECT_EQ(ExchangeError(RowSide, 2, 3), 10.0);
    Partition[RowSide][2] = 1;
    Partition[RowSide][3] = 2;

    // Column 3 to cluster 1: cols {1,2,3} take 4 of 6 on rows 1-2 (2 gaps)
    // and 2 of 6 on rows 3-4 (2 ties).
    Partition[ColSide][3] = 1;
    EXPECT_EQ(MoveError(ColSide, 3, 1), 4.0);
}

TEST_F(IncrementalError, AcceptedMoveBecomesTheStartOfTheNextTrial) {
    UseBinaryNetwork({"11000", "11000", "00111", "00111"});
    UsePartitions({1, 2, 2, 2}, {1, 1, 2, 2, 2});  // row 2 is misplaced
    AllowEverywhere(NullOrComplete);
    StartIncrementalError();

    // Row 2 home to cluster 1: a perfect fit.
    Partition[RowSide][2] = 1;
    EXPECT_EQ(MoveError(RowSide, 2, 1), 0.0);
    AcceptIncrementalTrial();

    // From there, column 5 to cluster 1: rows 1-2 x cols {1,2,5} hold 4 of 6
    // (complete, 2 gaps), rows 3-4 x cols {1,2,5} 2 of 6 (null, 2 ties);
    // rows 3-4 x cols {3,4} stay complete.
    Partition[ColSide][5] = 1;
    EXPECT_EQ(MoveError(ColSide, 5, 1), 4.0);
}

TEST_F(IncrementalError, LeavingLineAtTheTopLowersTheLargestRowSum) {
    // Row-dominant needs a full row: row 1 is the only full one in block (1, 1).
    UseBinaryNetwork({"111", "100", "100", "000"});
    UsePartitions({1, 1, 1, 2}, {1, 1, 1});
    AllowEverywhere(1 << RowDominantType);
    StartIncrementalError();
    // Without row 1, rows 2-3 have sums 1: (3 - 1) x 2 = 4; row 1 with row 4
    // has a full row: 0.
    Partition[RowSide][1] = 2;
    ClusterSize[RowSide][1] = 2;
    ClusterSize[RowSide][2] = 2;
    EXPECT_EQ(MoveError(RowSide, 1, 2), 4.0);
    EXPECT_EQ(TotalError(), 4.0);
}

// A random problem: network, model, settings, constraints and partitions.
struct RandomProblem {
    std::mt19937 random;
    explicit RandomProblem(unsigned seed) : random(seed) {}

    int Below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

    void RandomPartitionOf(uint8_t partition[], int32_t sizes[], int n, int k) {
        std::memset(sizes, 0, sizeof(int32_t) * (MaxModelSize + 1));
        for (int u = 1; u <= n; ++u) partition[u] = static_cast<uint8_t>(u <= k ? u : 1 + Below(k));
        for (int u = n; u > 1; --u) std::swap(partition[u], partition[1 + Below(u)]);
        for (int u = 1; u <= n; ++u) ++sizes[partition[u]];
    }

    // A value of a valued network: whole numbers, fractions and values
    // between, of either sign unless the criterion is val, and some repeated.
    double RandomValue() {
        static const double Common[] = {1.0, 2.0, 0.5, 0.09, 1.0 / 3.0, 7.25};
        double magnitude = Chance(40) ? Common[Below(6)] : (1 + Below(100000)) / 997.0;
        return Criterion != ValuesCriterion && Chance(30) ? -magnitude : magnitude;
    }

    // oneMode: one set of units and one partition for rows and columns.
    // criterion: the criterion, set before the cells are read; a valued one
    // takes real values and a model of null, complete and do not care blocks.
    void Make(int maxUnits, bool oneMode = false, int criterion = BinaryCriterion) {
        ResetState();
        Criterion = criterion;
        static const double Ms[] = {1.0, 2.5, 0.3, 7.0};
        PresetM = criterion == ValuesCriterion ? Ms[Below(4)] : 0.0;
        bool twoMode = Chance(50) && !oneMode;
        SideUnits[RowSide] = 2 + Below(maxUnits - 1);
        SideUnits[ColSide] = twoMode ? 2 + Below(maxUnits - 1) : SideUnits[RowSide];
        TwoMode = twoMode;
        ColOffset = twoMode ? SideUnits[RowSide] : 0;
        NumUnits = twoMode ? SideUnits[RowSide] + SideUnits[ColSide] : SideUnits[RowSide];
        static const int Densities[] = {3, 20, 50, 90};
        int density = Densities[Below(4)];
        SizeNetworkState();
        TiesAsListsOnly = Chance(50);  // else bit rows where they are short
        StartCells();
        for (int i = 1; i <= SideUnits[RowSide]; ++i)
            for (int j = 1; j <= SideUnits[ColSide]; ++j) {
                if (criterion != BinaryCriterion) {
                    if (Chance(density)) SetCell(i, j, 1, RandomValue());
                    continue;
                }
                int value = Chance(density) ? 1 + Below(3) : 0;
                if (value != 0) SetCell(i, j, value, value);
            }
        FinishCells();

        SideClusters[RowSide] = 1 + Below(Chance(15) ? SideUnits[RowSide] : (SideUnits[RowSide] < 6 ? SideUnits[RowSide] : 6));
        SideClusters[ColSide] = 1 + Below(Chance(15) ? SideUnits[ColSide] : (SideUnits[ColSide] < 6 ? SideUnits[ColSide] : 6));
        ModelRows = SideClusters[RowSide] < 2 ? 2 + Below(2) : SideClusters[RowSide] + Below(2);
        ModelCols = SideClusters[ColSide] < 2 ? 2 : SideClusters[ColSide];
        for (int r = 1; r <= MaxModelSize; ++r)
            for (int c = 1; c <= MaxModelSize; ++c) {
                int kind = Below(10);
                ModelMatrix[r][c] = kind == 0   ? 0
                                    : kind < 3 ? static_cast<uint16_t>(1 << Below(NumTypeCodes))
                                    : kind < 5 ? 0x1FFF
                                               : static_cast<uint16_t>(random() & 0xFFFF);
                static const int32_t Penalties[] = {1, 1, 1, 0, 2, 3, -1, 7};
                PenaltyMatrix[r][c] = Penalties[Below(8)];
            }
        // A quarter of the models judge every block by its ties and cells
        // alone, some with one type more.
        if (Chance(25)) {
            uint16_t kept = 1 << NullType | 1 << CompleteType | 1 << DensityType | 1 << DoNotCareType |
                            1 << NonNullType;
            if (Chance(40)) kept |= static_cast<uint16_t>(1 << Below(NumTypeCodes));
            for (int r = 1; r <= MaxModelSize; ++r)
                for (int c = 1; c <= MaxModelSize; ++c) ModelMatrix[r][c] &= kept;
        }

        if (criterion != BinaryCriterion) {
            for (int r = 1; r <= MaxModelSize; ++r)
                for (int c = 1; c <= MaxModelSize; ++c)
                    ModelMatrix[r][c] &= 1 << NullType | 1 << CompleteType | 1 << DoNotCareType;
        }

        ErrorType = criterion != BinaryCriterion ? ConstantErrors : 1 + Below(2);
        MinBlockSize = 1 + Below(5);
        static const double Weights[] = {1.0, 1.0, 0.0, 0.5, 1.0 / 3.0, 2.75, 0.1, 999999.0};
        for (int t = 0; t < NumTypeCodes; ++t) TypeWeight[t] = Weights[Below(8)];
        static const double Densities2[] = {0.5, 0.00001, 1.0, 0.3, 2.0 / 3.0};
        OutDensity = Densities2[Below(5)];
        // Priorities: a random order, some types left out.
        int order[NumTypeCodes];
        for (int t = 0; t < NumTypeCodes; ++t) order[t] = t;
        for (int t = NumTypeCodes - 1; t > 0; --t) std::swap(order[t], order[Below(t + 1)]);
        for (int p = 0; p <= NumTypeCodes; ++p) PrioritySequence[p] = -1;
        for (int p = 1; p <= NumTypeCodes; ++p)
            if (!Chance(15)) PrioritySequence[p] = order[p - 1];

        NumConstraints = Below(3) == 0 ? 0 : Below(9);
        for (int k = 1; k <= NumConstraints; ++k) {
            ConstraintKind[k] = static_cast<uint8_t>(Below(8));
            ConstraintFirst[k] = static_cast<uint8_t>(Below(SideUnits[RowSide] + SideUnits[ColSide] + 4));
            ConstraintSecond[k] = static_cast<uint8_t>(Chance(50) ? Below(ModelRows + SideClusters[ColSide] + 3)
                                                                  : Below(SideUnits[RowSide] + SideUnits[ColSide] + 4));
            ConstraintWeight[k] = Below(12) - 2;
        }

        if (oneMode) {
            SideClusters[ColSide] = SideClusters[RowSide];
            ModelCols = ModelRows;
        }
        RandomPartitionOf(Partition[RowSide], ClusterSize[RowSide], SideUnits[RowSide], SideClusters[RowSide]);
        RandomPartitionOf(Partition[ColSide], ClusterSize[ColSide], SideUnits[ColSide], SideClusters[ColSide]);
        if (oneMode) {
            std::memcpy(Partition[ColSide], Partition[RowSide], static_cast<size_t>(SideUnits[RowSide]) + 1);
            std::memcpy(ClusterSize[ColSide], ClusterSize[RowSide], sizeof ClusterSize[ColSide]);
        }
        CopyWorkingToAccepted();
    }
};

// True when a trial's incremental total equals the full one bit for bit.
// Takes the improving trials and a quarter of the others, so that the kept
// state wanders through accepted pairs of every kind.
bool TrialAgrees(RandomProblem& problem, double incremental, double& current, int& accepted) {
    double full = TotalError();
    if (!SameBits(incremental, full)) {
        ADD_FAILURE() << incremental << " != " << full;
        return false;
    }
    if (full < current || problem.Chance(25)) {
        AcceptIncrementalTrial();
        CopyWorkingToAccepted();
        current = full;
        ++accepted;
    }
    return true;
}

// Draws one trial on the working pair and evaluates it incrementally; false
// when the drawn trial does not exist (one cluster, a lone unit, one cluster
// for both units).
bool RandomTrial(RandomProblem& problem, double& incremental, std::string& what, double limit = NoLimit) {
    int kind = problem.Below(4);
    bool rows = kind % 2 == 0;
    int n = rows ? SideUnits[RowSide] : SideUnits[ColSide];
    int k = rows ? SideClusters[RowSide] : SideClusters[ColSide];
    uint8_t* partition = rows ? Partition[RowSide] : Partition[ColSide];
    int32_t* sizes = rows ? ClusterSize[RowSide] : ClusterSize[ColSide];
    if (k < 2) return false;
    if (kind < 2) {  // a move out of a cluster of two or more
        int u = 1 + problem.Below(n);
        int b = partition[u];
        if (sizes[b] < 2) return false;
        int c = 1 + problem.Below(k - 1);
        if (c >= b) ++c;
        partition[u] = static_cast<uint8_t>(c);
        --sizes[b];
        ++sizes[c];
        incremental = MoveError(rows ? RowSide : ColSide, u, c, limit);
        what = std::string(rows ? "row" : "col") + " move " + std::to_string(u) + " " +
               std::to_string(b) + "->" + std::to_string(c);
        return true;
    }
    int a = 1 + problem.Below(n), b = 1 + problem.Below(n);
    if (partition[a] == partition[b]) return false;
    std::swap(partition[a], partition[b]);
    incremental = ExchangeError(rows ? RowSide : ColSide, a, b, limit);
    what = std::string(rows ? "row" : "col") + " exchange " + std::to_string(a) + " " + std::to_string(b);
    return true;
}

TEST_F(IncrementalError, EveryTrialEqualsTheFullTotalOnRandomProblems) {
    int compared = 0, accepted = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomProblem problem(seed);
        problem.Make(seed % 3 == 0 ? 60 : 14, false, CriterionOf(seed));
        CopyAcceptedToWorking();
        StartIncrementalError();
        double current = TotalError();
        for (int trial = 0; trial < 120; ++trial) {
            CopyAcceptedToWorking();
            double incremental;
            std::string what;
            if (!RandomTrial(problem, incremental, what)) continue;
            ASSERT_TRUE(TrialAgrees(problem, incremental, current, accepted))
                << "seed " << seed << " trial " << trial << " " << what;
            ++compared;
        }
    }
    EXPECT_GT(compared, 20000);
    EXPECT_GT(accepted, 5000);
}

// Exchanges as the phases try them: one unit with every partner in turn, the
// two sides taking turns without an accepted trial between them, accepted
// trials in the middle of a unit's partners, and clusters enough on some
// problems that the unit sums no longer fit. Each trial is judged without a
// limit, which must give the full total, and against the accepted total,
// which must give the full total or, only when that is not lower, infinity.
// Then the weights change and a new search must not reuse a chosen error.
TEST_F(IncrementalError, ExchangePhasesEqualTheFullTotal) {
    int compared = 0, notBelow = 0, accepted = 0, manyClusters = 0;
    for (unsigned seed = 3000; seed < 3150; ++seed) {
        RandomProblem problem(seed);
        problem.Make(seed % 3 == 0 ? 14 : 40, false, CriterionOf(seed));
        if (seed % 2 == 0) NumConstraints = 0;  // constraints keep every trial on the full sum
        if (seed % 4 == 0) {                     // whole block errors, whose sums are exact
            ErrorType = 1;
            for (int t = 0; t < NumTypeCodes; ++t) TypeWeight[t] = 1 + problem.Below(3);
        }
        if (seed % 4 == 1 && SideUnits[RowSide] >= 17 && SideUnits[ColSide] >= 17) {
            SideClusters[RowSide] = SideClusters[ColSide] = ModelRows = ModelCols = 17;
            problem.RandomPartitionOf(Partition[RowSide], ClusterSize[RowSide], SideUnits[RowSide], SideClusters[RowSide]);
            problem.RandomPartitionOf(Partition[ColSide], ClusterSize[ColSide], SideUnits[ColSide], SideClusters[ColSide]);
            CopyWorkingToAccepted();
            ++manyClusters;
        }
        CopyAcceptedToWorking();
        StartIncrementalError();
        double current = TotalError();
        for (int round = 0; round < 6; ++round) {
            bool rows = round % 2 == 0;
            int n = rows ? SideUnits[RowSide] : SideUnits[ColSide];
            uint8_t* partition = rows ? Partition[RowSide] : Partition[ColSide];
            int a = 1 + problem.Below(n), trials = 0;
            for (; a < n && trials < 150; ++a) {
                for (int b = a + 1; b <= n && trials < 150; ++b) {
                    CopyAcceptedToWorking();
                    if (partition[a] == partition[b]) continue;
                    std::swap(partition[a], partition[b]);
                    double full = TotalError();
                    double free = ExchangeError(rows ? RowSide : ColSide, a, b);
                    double limited = ExchangeError(rows ? RowSide : ColSide, a, b, current);
                    ASSERT_TRUE(SameBits(free, full)) << "seed " << seed << " " << a << "<->" << b;
                    if (limited == NoLimit)
                        ASSERT_GE(full, current) << "seed " << seed << " " << a << "<->" << b;
                    else
                        ASSERT_TRUE(SameBits(limited, full)) << "seed " << seed << " " << a << "<->" << b;
                    notBelow += limited == NoLimit;
                    ++compared;
                    ++trials;
                    if (full < current && problem.Chance(30)) {
                        AcceptIncrementalTrial();
                        CopyWorkingToAccepted();
                        current = full;
                        ++accepted;
                    }
                }
            }
        }

        for (int t = 0; t < NumTypeCodes; ++t) TypeWeight[t] = 0.25 + problem.Below(8);
        CopyAcceptedToWorking();
        StartIncrementalError();
        for (int a = 1; a < SideUnits[RowSide]; ++a) {
            CopyAcceptedToWorking();
            if (Partition[RowSide][a] == Partition[RowSide][a + 1]) continue;
            std::swap(Partition[RowSide][a], Partition[RowSide][a + 1]);
            double incremental = ExchangeError(RowSide, a, a + 1);
            ASSERT_TRUE(SameBits(incremental, TotalError())) << "seed " << seed << " new weights " << a;
        }
    }
    EXPECT_GT(compared, 20000);
    EXPECT_GT(notBelow, 5000);
    EXPECT_GT(accepted, 500);
    EXPECT_GT(manyClusters, 5);
}

// One partition of a one-mode network: every move and exchange changes a
// unit's row, its column and the diagonal cell they share. Each trial, drawn
// at random and in runs of one unit with every partner as the exchange phase
// takes them, must give the full total bit for bit; accepted trials of both
// kinds make the next state to start from.
TEST_F(IncrementalError, BothSidesTrialsEqualTheFullTotal) {
    int compared = 0, accepted = 0, diagonalTies = 0;
    for (unsigned seed = 5000; seed < 5200; ++seed) {
        RandomProblem problem(seed);
        problem.Make(seed % 4 == 0 ? 40 : 12, true, CriterionOf(seed));
        if (SideClusters[RowSide] < 2) continue;
        for (int u = 1; u <= SideUnits[RowSide]; ++u) diagonalTies += (IsTie(u, u) ? 1 : 0);
        StartIncrementalError();
        double current = TotalError();
        for (int trial = 0; trial < 150; ++trial) {
            CopyAcceptedToWorking();
            int a = 1 + problem.Below(SideUnits[RowSide]), b = 1 + problem.Below(SideUnits[RowSide]);
            int ca = Partition[RowSide][a], cb = Partition[RowSide][b];
            double incremental;
            if (trial % 2 == 0) {  // a move out of a cluster of two or more
                if (ClusterSize[RowSide][ca] < 2) continue;
                int c = 1 + problem.Below(SideClusters[RowSide] - 1);
                if (c >= ca) ++c;
                for (int32_t* sizes : {ClusterSize[RowSide], ClusterSize[ColSide]}) --sizes[ca], ++sizes[c];
                Partition[RowSide][a] = Partition[ColSide][a] = static_cast<uint8_t>(c);
                incremental = BothSidesMoveError(a, c);
            } else {
                if (ca == cb) continue;
                Partition[RowSide][a] = Partition[ColSide][a] = static_cast<uint8_t>(cb);
                Partition[RowSide][b] = Partition[ColSide][b] = static_cast<uint8_t>(ca);
                incremental = BothSidesExchangeError(a, b);
            }
            ASSERT_TRUE(TrialAgrees(problem, incremental, current, accepted))
                << "seed " << seed << " trial " << trial << " units " << a << " " << b;
            ++compared;
        }
    }
    EXPECT_GT(compared, 15000);
    EXPECT_GT(accepted, 3000);
    EXPECT_GT(diagonalTies, 500);
}

TEST_F(IncrementalError, SingletonClustersAndOneClusterSides) {
    for (unsigned seed = 1000; seed < 1100; ++seed) {
        RandomProblem problem(seed);
        problem.Make(8);
        // Every row its own cluster; a single column cluster.
        SideClusters[RowSide] = SideUnits[RowSide];
        SideClusters[ColSide] = 1;
        ModelRows = SideUnits[RowSide] < 2 ? 2 : SideUnits[RowSide];
        for (int i = 1; i <= SideUnits[RowSide]; ++i) AcceptedPartition[RowSide][i] = static_cast<uint8_t>(i);
        for (int j = 1; j <= SideUnits[ColSide]; ++j) AcceptedPartition[ColSide][j] = 1;
        std::memset(AcceptedClusterSize[RowSide], 0, sizeof AcceptedClusterSize[RowSide]);
        for (int r = 1; r <= SideUnits[RowSide]; ++r) AcceptedClusterSize[RowSide][r] = 1;
        std::memset(AcceptedClusterSize[ColSide], 0, sizeof AcceptedClusterSize[ColSide]);
        AcceptedClusterSize[ColSide][1] = static_cast<uint8_t>(SideUnits[ColSide]);
        CopyAcceptedToWorking();
        StartIncrementalError();
        ASSERT_TRUE(SameBits(TotalError(), TotalError()));
        for (int a = 1; a < SideUnits[RowSide]; ++a) {
            int b = a + 1 + problem.Below(SideUnits[RowSide] - a);
            CopyAcceptedToWorking();
            std::swap(Partition[RowSide][a], Partition[RowSide][b]);
            double incremental = ExchangeError(RowSide, a, b);
            ASSERT_TRUE(SameBits(incremental, TotalError())) << "seed " << seed << " " << a << "<->" << b;
            if (problem.Chance(50)) {
                AcceptIncrementalTrial();
                CopyWorkingToAccepted();
            }
        }
    }
}

// Runs LocalOptimization with the console in a file; gives what it wrote.
std::string Optimize() {
    FILE* output = std::tmpfile();
    FILE* savedOut = stdout;
    stdout = output;
    LocalOptimization();
    std::fflush(output);
    stdout = savedOut;
    std::string text(static_cast<size_t>(std::ftell(output)), '\0');
    std::rewind(output);
    text.resize(std::fread(&text[0], 1, text.size(), output));
    std::fclose(output);
    return text;
}

struct SearchOutcome {
    std::string Listing, Console;
    std::vector<int> Rows, Cols;
    double Error;
};

// Searches from the accepted pair at the given listing level.
SearchOutcome SearchFrom(int listLevel, bool full) {
    ForceFullEvaluation = full;
    ResetSeriesResults();
    HaveSolution = true;
    RepCount = 1;
    ListLevel = listLevel;
    ListMoves = listLevel > 1;
    ListTrace = listLevel > 3;
    ListClusters = ListMoves || ListTrace;
    PageNumber = 0;  // both runs start on the same fresh listing
    LineOnPage = 0;
    CaptureListing();
    SearchOutcome outcome;
    outcome.Console = Optimize();
    outcome.Listing = ListingText();
    outcome.Rows.assign(AcceptedPartition[RowSide] + 1, AcceptedPartition[RowSide] + 1 + SideUnits[RowSide]);
    outcome.Cols.assign(AcceptedPartition[ColSide] + 1, AcceptedPartition[ColSide] + 1 + SideUnits[ColSide]);
    outcome.Error = CurrentError;
    ForceFullEvaluation = false;
    return outcome;
}

TEST_F(IncrementalError, WholeSearchesEndAlikeWithEitherEvaluator) {
    int moved = 0;
    for (unsigned seed = 2000; seed < 2060; ++seed) {
        RandomProblem problem(seed);
        problem.Make(seed % 4 == 0 ? 30 : 12, false, CriterionOf(seed));
        int listLevel = 1 + static_cast<int>(seed % 3);  // 1..3: no trace
        uint8_t startRows[251], startCols[251];  // the tables of a reset state hold 250 units a side
        int32_t startRowSizes[MaxModelSize + 1], startColSizes[MaxModelSize + 1];
        std::memcpy(startRows, AcceptedPartition[RowSide], sizeof startRows);
        std::memcpy(startCols, AcceptedPartition[ColSide], sizeof startCols);
        std::memcpy(startRowSizes, AcceptedClusterSize[RowSide], sizeof startRowSizes);
        std::memcpy(startColSizes, AcceptedClusterSize[ColSide], sizeof startColSizes);

        SearchOutcome full = SearchFrom(listLevel, true);

        std::memcpy(AcceptedPartition[RowSide], startRows, sizeof startRows);
        std::memcpy(AcceptedPartition[ColSide], startCols, sizeof startCols);
        std::memcpy(AcceptedClusterSize[RowSide], startRowSizes, sizeof startRowSizes);
        std::memcpy(AcceptedClusterSize[ColSide], startColSizes, sizeof startColSizes);
        CopyAcceptedToWorking();
        SearchOutcome incremental = SearchFrom(listLevel, false);

        ASSERT_EQ(incremental.Listing, full.Listing) << "seed " << seed;
        ASSERT_EQ(incremental.Console, full.Console) << "seed " << seed;
        ASSERT_EQ(incremental.Rows, full.Rows) << "seed " << seed;
        ASSERT_EQ(incremental.Cols, full.Cols) << "seed " << seed;
        ASSERT_TRUE(SameBits(incremental.Error, full.Error)) << "seed " << seed;
        if (std::memcmp(startRows, AcceptedPartition[RowSide], sizeof startRows) != 0) ++moved;
    }
    EXPECT_GT(moved, 20);  // the searches did move units
}

// The trace levels keep the full evaluation: the listing is the same with
// the switch either way, trial lines and block traces included.
TEST_F(IncrementalError, TraceLevelListingIsTheSameEitherWay) {
    RandomProblem problem(77);
    problem.Make(8);
    uint8_t startRows[251], startCols[251];  // the tables of a reset state hold 250 units a side
    std::memcpy(startRows, AcceptedPartition[RowSide], sizeof startRows);
    std::memcpy(startCols, AcceptedPartition[ColSide], sizeof startCols);
    int32_t startRowSizes[MaxModelSize + 1], startColSizes[MaxModelSize + 1];
    std::memcpy(startRowSizes, AcceptedClusterSize[RowSide], sizeof startRowSizes);
    std::memcpy(startColSizes, AcceptedClusterSize[ColSide], sizeof startColSizes);
    SearchOutcome full = SearchFrom(4, true);
    std::memcpy(AcceptedPartition[RowSide], startRows, sizeof startRows);
    std::memcpy(AcceptedPartition[ColSide], startCols, sizeof startCols);
    std::memcpy(AcceptedClusterSize[RowSide], startRowSizes, sizeof startRowSizes);
    std::memcpy(AcceptedClusterSize[ColSide], startColSizes, sizeof startColSizes);
    CopyAcceptedToWorking();
    SearchOutcome incremental = SearchFrom(4, false);
    EXPECT_NE(full.Listing.find("block_error"), std::string::npos);
    EXPECT_EQ(incremental.Listing, full.Listing);
}

}  // namespace
