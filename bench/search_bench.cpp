// The cost of one trial move with the full scan and with the incremental
// criterion, of one trial exchange, of one whole local optimization, and of
// a series of 100 repetitions on one and on two threads, on random two-mode
// networks of density 0.2 drawn from fixed seeds. Arguments of the trial
// benchmarks: units per side, clusters per side.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>

#include "criterion/incremental_error.h"
#include "criterion/total_error.h"
#include "settings/weights_dialogue.h"
#include "results/repetition_record.h"
#include "search/accepted_partitions.h"
#include "search/local_optimization.h"
#include "search/random_starts.h"
#include "search/threaded_series.h"
#include "network/tie_storage.h"
#include "state.h"
#include "state_memory.h"

namespace {

constexpr uint16_t NullComplete = (1 << NullType) | (1 << CompleteType);
constexpr uint16_t NullCompleteRegular = NullComplete | (1 << RegularType);

// A units x units two-mode network of density 0.2, the given model in every
// block, constant errors, random start partitions with the given clusters;
// the working pair equals the accepted pair. Nothing is listed.
// The recording of a repetition searched on a worker thread.
void RecordRepetition() {
    WriteProgressMark();
    RecordResult();
}

// criterion: the criterion the cells are read for (val with M = 1); reals:
// the ties take values drawn from (0, 1] rather than 1.
void MakeProblem(int units, int clusters, uint16_t allowed, unsigned seed, int criterion = BinaryCriterion,
                 bool reals = false) {
    std::mt19937 random(seed);
    Criterion = criterion;
    PresetM = criterion == ValuesCriterion ? 1.0 : 0.0;
    SideUnits[RowSide] = SideUnits[ColSide] = units;
    NumUnits = 2 * units;
    TwoMode = true;
    ColOffset = units;
    SizeNetworkState();
    StartCells();
    for (int i = 1; i <= units; ++i)
        for (int j = 1; j <= units; ++j)
            if (random() % 5 == 0) SetCell(i, j, 1, reals ? (1 + random() % 1000) / 1000.0 : 1.0);
    FinishCells();

    ModelRows = ModelCols = clusters < 2 ? 2 : clusters;
    for (int r = 1; r <= MaxModelSize; ++r)
        for (int c = 1; c <= MaxModelSize; ++c) {
            ModelMatrix[r][c] = allowed;
            PenaltyMatrix[r][c] = 1;
        }
    NumConstraints = 0;
    SetCriterionDefaults();
    ErrorType = 1;
    MinBlockSize = 1;
    ValuesRule = 0;
    ListLevel = 1;
    ListMoves = ListTrace = ListClusters = false;
    ListingFile = nullptr;

    SideClusters[RowSide] = SideClusters[ColSide] = clusters;
    RandomSeed = seed;
    RandomPartition(AcceptedPartition[RowSide], AcceptedClusterSize[RowSide], units, clusters);
    RandomPartition(AcceptedPartition[ColSide], AcceptedClusterSize[ColSide], units, clusters);
    CopyAcceptedToWorking();
}

// The next trial of the row move phase's order: unit u to the cluster after
// its own. No trial is accepted, so the state stays the start.
void NextRowTrial(int& u, int& b, int& c) {
    u = u % SideUnits[RowSide] + 1;
    b = AcceptedPartition[RowSide][u];
    c = b % SideClusters[RowSide] + 1;
}

void BM_TrialMoveFull(benchmark::State& state) {
    MakeProblem(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                NullCompleteRegular, 11);
    int u = 0, b = 0, c = 0;
    for (auto _ : state) {
        NextRowTrial(u, b, c);
        std::memcpy(Partition[RowSide] + 1, AcceptedPartition[RowSide] + 1, static_cast<size_t>(SideUnits[RowSide]));
        std::memcpy(ClusterSize[RowSide], AcceptedClusterSize[RowSide], sizeof ClusterSize[RowSide]);
        Partition[RowSide][u] = static_cast<uint8_t>(c);
        ++ClusterSize[RowSide][c];
        --ClusterSize[RowSide][b];
        benchmark::DoNotOptimize(TotalError());
    }
}

void BM_TrialMoveIncremental(benchmark::State& state) {
    MakeProblem(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                NullCompleteRegular, 11);
    StartIncrementalError();
    int u = 0, b = 0, c = 0;
    for (auto _ : state) {
        NextRowTrial(u, b, c);
        Partition[RowSide][u] = static_cast<uint8_t>(c);
        ++ClusterSize[RowSide][c];
        --ClusterSize[RowSide][b];
        benchmark::DoNotOptimize(MoveError(RowSide, u, c));
        Partition[RowSide][u] = static_cast<uint8_t>(b);
        --ClusterSize[RowSide][c];
        ++ClusterSize[RowSide][b];
    }
}

// The same incremental trial move under the criterion of the first argument
// (0 bin, 1 ss, 2 ad, 3 val), null and complete blocks everywhere, on ties
// of value 1 or (second argument 1) of values drawn from (0, 1].
void BM_TrialMoveByCriterion(benchmark::State& state) {
    MakeProblem(250, 5, NullComplete, 11, static_cast<int>(state.range(0)), state.range(1) != 0);
    StartIncrementalError();
    int u = 0, b = 0, c = 0;
    for (auto _ : state) {
        NextRowTrial(u, b, c);
        Partition[RowSide][u] = static_cast<uint8_t>(c);
        ++ClusterSize[RowSide][c];
        --ClusterSize[RowSide][b];
        benchmark::DoNotOptimize(MoveError(RowSide, u, c));
        Partition[RowSide][u] = static_cast<uint8_t>(b);
        --ClusterSize[RowSide][c];
        ++ClusterSize[RowSide][b];
    }
    Criterion = BinaryCriterion;
}
BENCHMARK(BM_TrialMoveByCriterion)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMicrosecond);

// The next trial of the row exchange phase's order: units a < b of different
// clusters, a outer, b inner, from the first pair again after the last.
void NextRowExchange(int& a, int& b) {
    do {
        if (++b > SideUnits[RowSide]) {
            a = a % (SideUnits[RowSide] - 1) + 1;
            b = a + 1;
        }
    } while (AcceptedPartition[RowSide][a] == AcceptedPartition[RowSide][b]);
}

// One trial exchange of two row units, judged as the exchange phase judges
// it, against the start's total; no trial is accepted.
void BM_ExchangeTrial(benchmark::State& state) {
    MakeProblem(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                NullCompleteRegular, 11);
    StartIncrementalError();
    const double current = TotalError();
    int a = 1, b = 1;
    for (auto _ : state) {
        NextRowExchange(a, b);
        int ca = AcceptedPartition[RowSide][a], cb = AcceptedPartition[RowSide][b];
        Partition[RowSide][a] = static_cast<uint8_t>(cb);
        Partition[RowSide][b] = static_cast<uint8_t>(ca);
        benchmark::DoNotOptimize(ExchangeError(RowSide, a, b, current));
        Partition[RowSide][a] = static_cast<uint8_t>(ca);
        Partition[RowSide][b] = static_cast<uint8_t>(cb);
    }
}

#define TRIAL_ARGUMENTS Args({50, 3})->Args({100, 5})->Args({250, 5})->Args({250, 10})
BENCHMARK(BM_TrialMoveFull)->TRIAL_ARGUMENTS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrialMoveIncremental)->TRIAL_ARGUMENTS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExchangeTrial)->TRIAL_ARGUMENTS->Unit(benchmark::kMicrosecond);

// One whole local optimization of a 250 x 250 network with 5 x 5 clusters,
// null and complete everywhere, from the same random start every time, under
// the criterion of the first argument (0 bin, 1 ss, 2 ad, 3 val), on ties of
// value 1 or (second argument 1) of values drawn from (0, 1]. The criteria
// lead the search along different paths, with different numbers of trials.
void BM_Repetition(benchmark::State& state) {
    MakeProblem(250, 5, NullComplete, 2026, static_cast<int>(state.range(0)), state.range(1) != 0);
    uint8_t startRows[251], startCols[251];
    int32_t startRowSizes[MaxModelSize + 1], startColSizes[MaxModelSize + 1];
    std::memcpy(startRows, AcceptedPartition[RowSide], sizeof startRows);
    std::memcpy(startCols, AcceptedPartition[ColSide], sizeof startCols);
    std::memcpy(startRowSizes, AcceptedClusterSize[RowSide], sizeof startRowSizes);
    std::memcpy(startColSizes, AcceptedClusterSize[ColSide], sizeof startColSizes);
    // The search writes its result lines to the console.
    FILE* quiet = std::fopen("/dev/null", "w");
    FILE* console = stdout;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(AcceptedPartition[RowSide], startRows, sizeof startRows);
        std::memcpy(AcceptedPartition[ColSide], startCols, sizeof startCols);
        std::memcpy(AcceptedClusterSize[RowSide], startRowSizes, sizeof startRowSizes);
        std::memcpy(AcceptedClusterSize[ColSide], startColSizes, sizeof startColSizes);
        CopyAcceptedToWorking();
        ResetSeriesResults();
        HaveSolution = true;
        RepCount = 1;
        stdout = quiet;
        state.ResumeTiming();
        LocalOptimization();
        state.PauseTiming();
        stdout = console;
        state.ResumeTiming();
    }
    state.counters["error"] = CurrentError;
    std::fclose(quiet);
    Criterion = BinaryCriterion;
}

BENCHMARK(BM_Repetition)
    ->Args({0, 0})->Args({1, 0})->Args({2, 0})->Args({3, 0})->Args({1, 1})->Args({3, 1})
    ->Unit(benchmark::kMillisecond)->Iterations(3);

// A random series of 100 repetitions of 250 x 250 units, 5 x 5 clusters,
// null and complete everywhere, recorded as the program records it; the
// argument is threads=. Wall time is what the threads save.
void BM_Series(benchmark::State& state) {
    MakeProblem(250, 5, NullComplete, 2026);
    RunMode = 2;
    HaveSolution = true;
    SaveOption = 0;
    SearchThreads = static_cast<int32_t>(state.range(0));
    FILE* quiet = std::fopen("/dev/null", "w");
    FILE* console = stdout;
    for (auto _ : state) {
        state.PauseTiming();
        ResetSeriesResults();
        RandomSeed = 2026;
        RepCount = 1;
        RepLimit = 100;
        stdout = quiet;
        state.ResumeTiming();
        if (!(SeriesRunsOnThreads() && RunThreadedSeries(RecordRepetition))) {
            for (; RepCount <= RepLimit; ++RepCount) {
                DrawRandomStarts();
                WriteProgressMark();
                CopyWorkingToAccepted();
                SearchLocalOptimum(RepCount);
                RecordResult();
            }
        }
        state.PauseTiming();
        stdout = console;
        state.ResumeTiming();
    }
    state.counters["best"] = BestError;
    std::fclose(quiet);
}

BENCHMARK(BM_Series)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
