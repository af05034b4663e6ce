// The generator, the three start methods with their shuffle, and the start of
// a random series. Expected values were worked out from the congruence
// s' = s * 134775813 + 1 (mod 2^32) by hand.
#include "search/random_starts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

class RandomStarts : public ::testing::Test {
protected:
    void SetUp() override { ResetState(); }
};

template <typename T>
std::vector<int> Drawn(const T values[], int n) {
    std::vector<int> result;
    for (int i = 1; i <= n; ++i) result.push_back(values[i]);
    return result;
}

TEST_F(RandomStarts, GeneratorFollowsTheCongruence) {
    RandomSeed = 0;
    EXPECT_EQ(RandomUniform(), 1.0 / 4294967296.0);
    EXPECT_EQ(RandomSeed, 1u);
    RandomSeed = 1;
    EXPECT_EQ(RandomBelow(10), 0);
    EXPECT_EQ(RandomSeed, 134775814u);
    // 2026 * 134775813 + 1 = 273055797139 = 63 * 2^32 + 2472857491.
    RandomSeed = 2026;
    EXPECT_EQ(RandomBelow(10), 5);  // 24728574910 / 2^32 = 5.76
    EXPECT_EQ(RandomSeed, 2472857491u);
    // -134775813 + 1 wraps to 4160191484; its share of 3 is 2.906.
    RandomSeed = 4294967295u;
    EXPECT_EQ(RandomBelow(3), 2);
    EXPECT_EQ(RandomSeed, 4160191484u);
}

TEST_F(RandomStarts, SeedComesFromTheEnvironmentWhenValid) {
    setenv("KORVEL_SEED", "4294967295", 1);
    SeedRandom();
    EXPECT_EQ(RandomSeed, 4294967295u);
    setenv("KORVEL_SEED", "4294967296", 1);  // too large: the clock is used
    SeedRandom();
    EXPECT_LT(RandomSeed, 86400000u);
    setenv("KORVEL_SEED", "12x", 1);
    SeedRandom();
    EXPECT_LT(RandomSeed, 86400000u);
    unsetenv("KORVEL_SEED");
}

// Seed 1 draws method 0: round robin [2 3 1 2 3 1], then the shuffle draws
// j = 6, 2, 2, 3, 1 for i = 6..2.
TEST_F(RandomStarts, RoundRobinThenShuffle) {
    RandomSeed = 1;
    uint8_t partition[251] = {};
    int32_t sizes[MaxModelSize + 1] = {};
    RandomPartition(partition, sizes, 6, 3);
    EXPECT_EQ(Drawn(partition, 6), (std::vector<int>{2, 2, 1, 3, 3, 1}));
    EXPECT_EQ(Drawn(sizes, 3), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(RandomSeed, 1368768587u);  // 1 + 5 draws
}

// Seed 11 draws method 1: singletons 1, 2 and the rest in 3.
TEST_F(RandomStarts, SingletonsThenShuffle) {
    RandomSeed = 11;
    uint8_t partition[251] = {};
    int32_t sizes[MaxModelSize + 1] = {};
    RandomPartition(partition, sizes, 6, 3);
    EXPECT_EQ(Drawn(partition, 6), (std::vector<int>{3, 3, 2, 3, 3, 1}));
    EXPECT_EQ(Drawn(sizes, 3), (std::vector<int>{1, 1, 4}));
}

// Seed 22 draws method 2: units 1..3 seed the clusters, 4..6 are drawn
// (three draws), then five shuffle draws.
TEST_F(RandomStarts, RandomFillThenShuffle) {
    RandomSeed = 22;
    uint8_t partition[251] = {};
    int32_t sizes[MaxModelSize + 1] = {};
    RandomPartition(partition, sizes, 6, 3);
    EXPECT_EQ(Drawn(partition, 6), (std::vector<int>{3, 2, 3, 1, 2, 1}));
    EXPECT_EQ(Drawn(sizes, 3), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(RandomSeed, 2352857607u);
}

TEST_F(RandomStarts, OneClusterPerUnitAndOneClusterForAll) {
    uint8_t partition[251] = {};
    int32_t sizes[MaxModelSize + 1] = {};
    for (uint32_t seed : {1u, 11u, 22u}) {
        RandomSeed = seed;
        RandomPartition(partition, sizes, 4, 4);
        std::vector<int> seen = Drawn(partition, 4);
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
        RandomPartition(partition, sizes, 4, 1);
        EXPECT_EQ(Drawn(partition, 4), (std::vector<int>{1, 1, 1, 1}));
        EXPECT_EQ(sizes[1], 4);
    }
}

// One partition: the columns copy the rows' draw, and the generator moves
// on by that draw alone.
TEST_F(RandomStarts, OnePartitionDrawsTheRowsOnly) {
    UseBinaryNetwork({"0110110", "1010010", "1100100", "0001011", "1110000", "1000101", "0011010"});
    SideClusters[RowSide] = SideClusters[ColSide] = 3;
    RandomSeed = 99;
    uint8_t rows[251];
    int32_t sizes[MaxModelSize + 1];
    RandomPartition(rows, sizes, 7, 3);
    uint32_t after = RandomSeed;
    OneMode = true;
    RandomSeed = 99;
    DrawRandomStarts();
    EXPECT_EQ(RandomSeed, after);
    EXPECT_EQ(Drawn(Partition[ColSide], 7), Drawn(rows, 7));
    EXPECT_EQ(Drawn(ClusterSize[ColSide], 3), Drawn(sizes, 3));
}

TEST_F(RandomStarts, TraceWritesPartitionAndSizesAtLevelFour) {
    CaptureListing();
    ListLevel = TrialsTraced;
    ListTrace = true;
    RandomSeed = 1;
    uint8_t partition[251] = {};
    int32_t sizes[MaxModelSize + 1] = {};
    RandomPartition(partition, sizes, 6, 3);
    EXPECT_EQ(ListingText(), "   2   2   1   3   3   1\r\n   2   2   2\r\n");
}

}  // namespace
