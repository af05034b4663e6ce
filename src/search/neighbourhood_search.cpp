// The neighbourhood search. A shake moves k units of the home partitions,
// each to another cluster, and a search runs again from there; a lower error
// becomes the best and the home, and k starts again from 1, otherwise k grows
// by one up to LargestShake and then starts again from 1. A shake of a few
// units leaves most of a good partition in place, so the search after it is
// short, and it reaches optima whose basins a random start rarely falls into.
//
// Where the shakes go: the optima a random start falls into differ from the
// best ones mostly in the units on the borders between clusters, the ones
// whose move costs little. So the home's cheapest move of every unit is
// listed once per new best, and a shake of k units draws them from the 2k + 2
// cheapest, each to its cheapest cluster. Random units to random clusters
// rarely move the border units together, and their shakes are mostly undone
// at once.
//
// What runs after a shake, cheapest first: the shaken units alone, which
// mostly go back home (a shake wasted, but cheaply found out); then the units
// of the cheapest moves, where a gain shows first; only when these lead below
// the best, a descent by moves of every unit and then the exchanges, which
// make the new best a local optimum of the specified search. A result as good
// as the best but elsewhere becomes the home (the search walks the plateau),
// anything worse goes back home. The evaluator follows the shakes and the
// way back move by move rather than restarting, which would cost more than
// the search after a shake and forget every block error it has judged.
//
// Once every size of shake has failed, a side of three clusters or more has
// one of them regrouped (Regroup) before the sizes start again from 1. A
// best where no move of any unit changes the error gets no shakes at all.
//
// The shakes draw from a generator of their own, seeded by the run's seed and
// the repetition's number. The starts keep the series' generator, so
// repetition r starts where it does without the shakes, and the search of a
// repetition depends on nothing another thread writes: a seed gives the same
// result on any number of threads.
#include "search/neighbourhood_search.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "console/output.h"
#include "criterion/incremental_error.h"
#include "criterion/total_error.h"
#include "search/accepted_partitions.h"
#include "search/local_optimization.h"
#include "search/series_clock.h"
#include "state.h"

// More than a handful of units moved at once is a random start in all but name.
static const int32_t ShakeCeiling = 8;
// The fewest clusters of a side whose clusters Regroup changes.
static const int32_t RegroupClusters = 3;
// The units of the cheapest moves tried after a shake, at least.
static const int32_t FewestProbes = 8;
// The passes over them, at most: a gain shows in the first one or two.
static const int32_t ProbePasses = 3;

// A partition pair and its cluster sizes.
namespace {
struct PartitionCopy {
    std::vector<uint8_t> Cluster[2];
    int32_t Size[2][MaxModelSize + 1];
};
// The cheapest move of a unit at home: to cluster To, adding Cost to the error.
struct CheapMove {
    int32_t Side, Unit, To;
    double Cost;
    uint32_t Draw;  // orders moves of equal cost at random
};
}  // namespace

static thread_local uint64_t ShakeState;
static thread_local std::vector<ShakenUnit> Shaken;
static thread_local int32_t ShakenCount;
static thread_local PartitionCopy Best, Home;
static thread_local std::vector<CheapMove> CheapMoves;  // the cheapest first
static thread_local int32_t CheapCount;
static thread_local std::vector<ShakenUnit> Probes;
static thread_local int32_t ProbeCount;

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

static void Keep(PartitionCopy& copy) {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(copy.Cluster[s].data(), AcceptedPartition[s], copy.Cluster[s].size());
        std::memcpy(copy.Size[s], AcceptedClusterSize[s], sizeof copy.Size[s]);
    }
}

static void Restore(const PartitionCopy& copy) {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(AcceptedPartition[s], copy.Cluster[s].data(), copy.Cluster[s].size());
        std::memcpy(AcceptedClusterSize[s], copy.Size[s], sizeof AcceptedClusterSize[s]);
    }
}

// True when the accepted partitions are the home ones again.
static bool BackHome() {
    for (int s = RowSide; s <= ColSide; ++s)
        if (std::memcmp(AcceptedPartition[s] + 1, Home.Cluster[s].data() + 1, Home.Cluster[s].size() - 1) != 0)
            return false;
    return true;
}

// Lists the cheapest move of every unit of the accepted partitions, of error
// error, and the units to try after a shake.
static void FindCheapMoves(double error) {
    const int lastSide = OneMode ? RowSide : ColSide;
    CheapCount = 0;
    for (int s = RowSide; s <= lastSide; ++s) {
        for (int u = 1; u <= SideUnits[s]; ++u) {
            const int b = AcceptedPartition[s][u];
            if (AcceptedClusterSize[s][b] <= 1) continue;
            CheapMove cheapest{s, u, 0, NoLimit, 0};
            for (int c = 1; c <= SideClusters[s]; ++c) {
                if (c == b) continue;
                const double cost = MoveTrialError(s, u, c) - error;
                if (cost < cheapest.Cost) cheapest = CheapMove{s, u, c, cost, 0};
            }
            cheapest.Draw = static_cast<uint32_t>(NextShakeBits() >> 32);
            if (cheapest.To != 0) CheapMoves[static_cast<size_t>(CheapCount++)] = cheapest;
        }
    }
    // A total order, so that every library sorts alike.
    std::sort(CheapMoves.begin(), CheapMoves.begin() + CheapCount, [](const CheapMove& x, const CheapMove& y) {
        if (x.Cost != y.Cost) return x.Cost < y.Cost;
        if (x.Draw != y.Draw) return x.Draw < y.Draw;
        return x.Side != y.Side ? x.Side < y.Side : x.Unit < y.Unit;
    });
    ProbeCount = Min(CheapCount, Max(FewestProbes, ShakenUnits() / 4));
    for (int32_t i = 0; i < ProbeCount; ++i)
        Probes[static_cast<size_t>(i)] = ShakenUnit{CheapMoves[i].Side, CheapMoves[i].Unit};
}

// True when no unit's move changes the error: every block is too large for
// one unit to tip it (a sparse network's start with every block null, say).
// Shakes of a few units would only wander over the flat; a new random start
// is the better bet.
static bool Flat() { return CheapCount > 0 && !(CheapMoves[static_cast<size_t>(CheapCount - 1)].Cost > 0); }

static bool AlreadyShaken(int s, int u) {
    for (int i = 0; i < ShakenCount; ++i)
        if (Shaken[i].Unit == u && Shaken[i].Side == s) return true;
    return false;
}

// Moves up to k units of the 2k + 2 cheapest moves, drawn at random, each to
// its cheapest cluster, noting them in Shaken. A unit alone in its cluster
// stays, as a move would leave the cluster empty.
static void Shake(int32_t k) {
    ShakenCount = 0;
    const int32_t pool = Min(CheapCount, 2 * k + 2);
    for (int32_t i = 0; i < k && pool > 0; ++i) {
        const CheapMove& move = CheapMoves[static_cast<size_t>(ShakeBelow(pool))];
        const int b = AcceptedPartition[move.Side][move.Unit];
        if (b == move.To || AcceptedClusterSize[move.Side][b] <= 1 || AlreadyShaken(move.Side, move.Unit)) continue;
        Shaken[ShakenCount++] = ShakenUnit{move.Side, move.Unit};
        ForceMove(move.Side, move.Unit, move.To);
    }
}

// Moves a random unit into a random other cluster of its side and every
// other unit of that cluster to its cheapest other cluster: the cluster
// gives way to a new one seeded by the unit. The optima a start falls into
// often differ from the best ones by a cluster too many here and one too few
// there, which no handful of cheap moves undoes.
static void Regroup() {
    ShakenCount = 0;
    int s = RowSide;
    if (!OneMode && (SideClusters[RowSide] < RegroupClusters ||
                     (SideClusters[ColSide] >= RegroupClusters && ShakeBelow(2) == 1)))
        s = ColSide;
    const int clusters = SideClusters[s];
    const int seed = 1 + ShakeBelow(SideUnits[s]);
    const int from = AcceptedPartition[s][seed];
    if (AcceptedClusterSize[s][from] <= 1) return;
    int target = 1 + ShakeBelow(clusters - 1);
    if (target >= from) ++target;
    Shaken[static_cast<size_t>(ShakenCount++)] = ShakenUnit{s, seed};
    ForceMove(s, seed, target);
    for (int u = 1; u <= SideUnits[s]; ++u) {
        if (u == seed || AcceptedPartition[s][u] != target) continue;
        int to = 0;
        double cheapest = NoLimit;
        for (int c = 1; c <= clusters; ++c) {
            if (c == target) continue;
            const double error = MoveTrialError(s, u, c);
            if (error < cheapest) cheapest = error, to = c;
        }
        Shaken[static_cast<size_t>(ShakenCount++)] = ShakenUnit{s, u};
        ForceMove(s, u, to);
    }
}

// Whether a side has clusters enough for Regroup: of two clusters, one
// giving way leaves a new start rather than a neighbour.
static bool CanRegroup() {
    return SideClusters[RowSide] >= RegroupClusters || (!OneMode && SideClusters[ColSide] >= RegroupClusters);
}

// Back home by moves of the units that differ; false when only an exchange
// of lone units would do.
static bool ReturnHome() {
    const int lastSide = OneMode ? RowSide : ColSide;
    for (;;) {
        bool pending = false, moved = false;
        for (int s = RowSide; s <= lastSide; ++s) {
            for (int u = 1; u <= SideUnits[s]; ++u) {
                const int b = AcceptedPartition[s][u], c = Home.Cluster[s][u];
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

// The search after a shake; true when it went back home.
static bool SearchAfterShake(double bestError) {
    while (SettleUnits(Shaken.data(), ShakenCount))
        if (BackHome()) return true;
    for (int pass = 0; pass < ProbePasses && SettleUnits(Probes.data(), ProbeCount); ++pass) {
    }
    if (CurrentError < bestError) {
        DescendByMoves();
        ImproveSettled();
    }
    return false;
}

void SearchNeighbourhood(int32_t rep) {
    if (SideClusters[RowSide] < 2 && SideClusters[ColSide] < 2) return;
    ShakeState = uint64_t{RunSeed} << 32 | static_cast<uint32_t>(rep);
    for (int s = RowSide; s <= ColSide; ++s) {
        Best.Cluster[s].resize(static_cast<size_t>(SideUnits[s]) + 1);
        Home.Cluster[s].resize(static_cast<size_t>(SideUnits[s]) + 1);
    }
    CheapMoves.resize(static_cast<size_t>(SideUnits[RowSide] + SideUnits[ColSide]));
    Shaken.resize(CheapMoves.size() + 1);
    Probes.resize(CheapMoves.size());
    Keep(Best);
    Keep(Home);
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
    CopyAcceptedToWorking();
    FindCheapMoves(bestError);
    for (int32_t fruitless = 0; fruitless < ShakeLimit && CheapCount > 0 && !Flat() && !SeriesTimeSpent(); ++shakes) {
        if (k > LargestShake())
            Regroup();
        else
            Shake(k);
        const bool back = SearchAfterShake(bestError);
        if (CurrentError < bestError) {
            bestError = CurrentError;
            Keep(Best);
            Keep(Home);
            FindCheapMoves(bestError);
            ++improvements;
            fruitless = 0;
            k = 1;
            continue;
        }
        // The plateau keeps the cheap moves of the best: listing them again
        // costs more than a few shakes, and the border units stay mostly the
        // same.
        if (!back && CurrentError == bestError) {
            Keep(Home);
        } else if (!ReturnHome()) {  // a rare swap of lone units: the evaluator starts anew
            Restore(Home);
            CopyAcceptedToWorking();
            StartTrials();
        }
        CurrentError = bestError;
        ++fruitless;
        k = k % (LargestShake() + (CanRegroup() ? 1 : 0)) + 1;
    }
    if (listLevel != ShortListing) {
        ListLevel = listLevel;
        ListMoves = listMoves;
        ListTrace = listTrace;
    }

    Restore(Best);
    CopyAcceptedToWorking();
    CurrentError = bestError;
    if (ListMoves)
        ListLine("neighbourhood search %d: %d shakes, %d improvements  error =%12.3f", rep, shakes, improvements,
                 CurrentError);
}
