// Random starts: a 32-bit linear congruential generator, the random start
// partition of one side, and the start of a random series with its questions.
// The generator is the family's classic one, kept bit for bit so that a fixed
// seed gives the same starts, and so the same listing, on every platform.
#include "search/random_starts.h"

#include <sys/time.h>

#include <cstdlib>
#include <cstring>

#include "console/output.h"
#include "search/series_clock.h"
#include "settings/named_answers.h"
#include "state.h"

static const uint32_t RandomMultiplier = 134775813u;  // 08088405 hexadecimal

static bool SeedFromEnvironment(uint32_t& seed) {
    const char* text = std::getenv("KORVEL_SEED");
    return text != nullptr && ParseSeed(text, seed);
}

void SeedRandom() {
    uint32_t seed;
    // The command line wins over the process environment, as it does over
    // the environment file; the result files report the seed.
    SeedFixed = NamedSeed(seed) || SeedFromEnvironment(seed);
    if (SeedFixed) {
        FixedSeed = seed;
        RandomSeed = RunSeed = seed;
        return;
    }
    // The time of day in UTC, to the millisecond: the epoch is a UTC midnight.
    struct timeval now;
    gettimeofday(&now, nullptr);
    uint32_t secondOfDay = static_cast<uint32_t>(now.tv_sec % 86400);
    uint32_t h = secondOfDay / 3600, m = secondOfDay / 60 % 60, s = secondOfDay % 60;
    uint32_t ms = static_cast<uint32_t>(now.tv_usec / 1000);
    RandomSeed = RunSeed = ((h * 60 + m) * 60 + s) * 1000 + ms;
}

double RandomUniform() {
    RandomSeed = RandomSeed * RandomMultiplier + 1u;  // wraps modulo 2^32
    return RandomSeed / 4294967296.0;
}

int32_t RandomBelow(int32_t m) {
    RandomSeed = RandomSeed * RandomMultiplier + 1u;
    // The upper half of the 64-bit product is the integer part of
    // RandomUniform() * m, without any rounding of the real.
    return static_cast<int32_t>((static_cast<uint64_t>(RandomSeed) * static_cast<uint32_t>(m)) >> 32);
}

void RandomPartition(uint8_t partition[], int32_t sizes[], int n, int k) {
    for (int c = 1; c <= MaxModelSize; ++c) sizes[c] = 0;
    switch (RandomBelow(3)) {
        case 0:  // round robin: sizes differ by at most one
            for (int u = 1; u <= n; ++u) partition[u] = static_cast<uint8_t>(u % k + 1);
            break;
        case 1:  // k - 1 singletons and one cluster holding the rest
            for (int u = 1; u <= n; ++u) partition[u] = static_cast<uint8_t>(u < k ? u : k);
            break;
        default:  // one unit per cluster, then the rest at random
            for (int u = 1; u <= n; ++u)
                partition[u] = static_cast<uint8_t>(u <= k ? u : RandomBelow(k) + 1);
            break;
    }
    for (int u = 1; u <= n; ++u) ++sizes[partition[u]];
    // The methods fill clusters in unit order; the shuffle spreads them.
    for (int i = n; i >= 2; --i) {
        int j = RandomBelow(i) + 1;
        uint8_t held = partition[j];
        partition[j] = partition[i];
        partition[i] = held;
    }
    if (ListTrace) {
        for (int u = 1; u <= n; ++u) ListPrint(" %3d", partition[u]);
        ListEndLine();
        for (int c = 1; c <= k; ++c) ListPrint(" %3d", sizes[c]);
        ListEndLine();
    }
}

void DrawRandomStarts() {
    RandomPartition(Partition[RowSide], ClusterSize[RowSide], SideUnits[RowSide], SideClusters[RowSide]);
    if (OneMode) {
        // One partition: the columns take the rows' draw, and the generator
        // moves on only by that one draw.
        std::memcpy(Partition[ColSide], Partition[RowSide], static_cast<size_t>(SideUnits[RowSide]) + 1);
        std::memcpy(ClusterSize[ColSide], ClusterSize[RowSide], sizeof ClusterSize[ColSide]);
        return;
    }
    RandomPartition(Partition[ColSide], ClusterSize[ColSide], SideUnits[ColSide], SideClusters[ColSide]);
}

void ResetSeriesResults() {
    BestRep = 0;
    BestError = NoResultError;
    EquivalencesListed = false;
    for (int d = 1; d <= TopTenSize; ++d) TopTen[d].Error = NoResultError;
}

void StartRandomSeries(const int32_t clusters[2]) {
    SideClusters[RowSide] = clusters[RowSide];
    SideClusters[ColSide] = clusters[ColSide];
    // Each series of a sweep draws the starts a run of its pair alone would.
    if (Sweep) RandomSeed = RunSeed;
    RepCount = 1;
    SeriesRepetitions = RepLimit;
    ResetSeriesResults();
    StartSeriesClock();
    ConLine("%7d", BestRep);
}
