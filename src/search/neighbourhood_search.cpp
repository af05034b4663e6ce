// The neighbourhood search. A shake moves k units of the best partitions so
// far, each to a random other cluster, and the local optimization runs again
// from there; a lower error becomes the best and k starts again from 1,
// otherwise k grows by one up to LargestShake and then starts again from 1.
// A shake of a few units leaves most of a good partition in place, so its
// local optimization is short, and it reaches optima whose basins a random
// start rarely falls into.
//
// The shakes draw from a generator of their own, seeded by the run's seed and
// the repetition's number. The starts keep the series' generator, so
// repetition r starts where it does without the shakes, and the search of a
// repetition depends on nothing another thread writes: a seed gives the same
// result on any number of threads.
#include "search/neighbourhood_search.h"

#include <cstring>
#include <vector>

#include "console/output.h"
#include "criterion/total_error.h"
#include "search/accepted_partitions.h"
#include "search/local_optimization.h"
#include "search/series_clock.h"
#include "state.h"

// More than a handful of units moved at once is a random start in all but name.
static const int32_t ShakeCeiling = 8;

static thread_local uint64_t ShakeState;
static thread_local ShakenUnit Shaken[ShakeCeiling];
static thread_local int32_t ShakenCount;
static thread_local std::vector<uint8_t> BestPartition[2];
static thread_local int32_t BestClusterSize[2][MaxModelSize + 1];

// splitmix64: every seed, 0 included, gives a full-period stream.
static uint64_t NextShakeBits() {
    uint64_t z = (ShakeState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// An integer in 0..m-1, for m >= 1.
static int32_t ShakeBelow(int32_t m) {
    return static_cast<int32_t>(((NextShakeBits() >> 32) * static_cast<uint64_t>(m)) >> 32);
}

static int32_t ShakenUnits() { return OneMode ? SideUnits[RowSide] : SideUnits[RowSide] + SideUnits[ColSide]; }

int32_t LargestShake() { return Max(1, Min(ShakeCeiling, ShakenUnits() / 4)); }

static void KeepBest() {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(BestPartition[s].data(), AcceptedPartition[s], BestPartition[s].size());
        std::memcpy(BestClusterSize[s], AcceptedClusterSize[s], sizeof BestClusterSize[s]);
    }
}

static void RestoreBest() {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(AcceptedPartition[s], BestPartition[s].data(), BestPartition[s].size());
        std::memcpy(AcceptedClusterSize[s], BestClusterSize[s], sizeof AcceptedClusterSize[s]);
    }
}

// True when the accepted partitions are the best ones again.
static bool BackAtBest() {
    for (int s = RowSide; s <= ColSide; ++s)
        if (std::memcmp(AcceptedPartition[s] + 1, BestPartition[s].data() + 1, BestPartition[s].size() - 1) != 0)
            return false;
    return true;
}

// Moves k random units of the accepted partitions to random other clusters,
// noting them in Shaken. A unit alone in its cluster stays, as a move would
// leave the cluster empty. The moves go through the evaluator rather than
// restarting it: a restart costs more than a descent's worth of trials and
// forgets every block error it has judged.
static void Shake(int32_t k) {
    const int32_t rows = SideUnits[RowSide];
    ShakenCount = 0;
    for (int32_t i = 0; i < k; ++i) {
        int32_t pick = ShakeBelow(ShakenUnits());
        int s = pick < rows ? RowSide : ColSide;
        int u = (s == RowSide ? pick : pick - rows) + 1;
        int b = AcceptedPartition[s][u];
        if (SideClusters[s] < 2 || AcceptedClusterSize[s][b] <= 1) continue;
        int c = ShakeBelow(SideClusters[s] - 1) + 1;
        if (c >= b) ++c;
        Shaken[ShakenCount++] = ShakenUnit{s, u};
        ForceMove(s, u, c);
    }
}


// Back to the best partitions by moves of the units that differ; false when
// only an exchange of lone units would do, and nothing was left unchanged.
static bool ReturnToBest() {
    const int lastSide = OneMode ? RowSide : ColSide;
    for (;;) {
        bool pending = false, moved = false;
        for (int s = RowSide; s <= lastSide; ++s) {
            for (int u = 1; u <= SideUnits[s]; ++u) {
                const int b = AcceptedPartition[s][u], c = BestPartition[s][u];
                if (b == c) continue;
                if (AcceptedClusterSize[s][b] > 1) {
                    ForceMove(s, u, c);
                    moved = true;
                } else {
                    pending = true;
                }
            }
        }
        if (!pending) return true;
        if (!moved) return false;
    }
}

void SearchNeighbourhood(int32_t rep) {
    if (SideClusters[RowSide] < 2 && SideClusters[ColSide] < 2) return;
    ShakeState = uint64_t{RunSeed} << 32 | static_cast<uint32_t>(rep);
    for (int s = RowSide; s <= ColSide; ++s) BestPartition[s].resize(static_cast<size_t>(SideUnits[s]) + 1);
    KeepBest();
    double bestError = CurrentError;

    // The shakes' own moves are not listed: the listing shows the start's
    // search and the result. Worker threads run at the short listing only,
    // so only the main thread ever changes these.
    const int32_t listLevel = ListLevel;
    const bool listMoves = ListMoves, listTrace = ListTrace;
    if (listLevel != ShortListing) {
        ListLevel = ShortListing;
        ListMoves = ListTrace = false;
    }
    int32_t shakes = 0, improvements = 0;
    int32_t k = 1;
    // The evaluator follows the shakes and the way back move by move, so its
    // memo of block errors stays warm for the whole repetition.
    CopyAcceptedToWorking();
    for (int32_t fruitless = 0; fruitless < ShakeLimit && !SeriesTimeSpent(); ++shakes) {
        Shake(k);
        // Most shaken units go back where they were; only a shake that
        // leads elsewhere is worth a descent of every unit, and only a
        // descent below the best the exchanges as well.
        SettleUnits(Shaken, ShakenCount);
        if (!BackAtBest()) DescendByMoves();
        if (CurrentError < bestError) ImproveToLocalOptimum();
        if (CurrentError < bestError) {
            bestError = CurrentError;
            KeepBest();
            ++improvements;
            fruitless = 0;
            k = 1;
        } else {
            if (!ReturnToBest()) {  // a rare swap of lone units: the evaluator starts anew
                RestoreBest();
                CopyAcceptedToWorking();
                StartTrials();
            }
            CurrentError = bestError;
            ++fruitless;
            k = k % LargestShake() + 1;
        }
    }
    if (listLevel != ShortListing) {
        ListLevel = listLevel;
        ListMoves = listMoves;
        ListTrace = listTrace;
    }

    RestoreBest();
    CopyAcceptedToWorking();
    CurrentError = bestError;
    if (ListMoves)
        ListLine("neighbourhood search %d: %d shakes, %d improvements  error =%12.3f", rep, shakes, improvements,
                 CurrentError);
}
