// The neighbourhood search and the time budget of a series, run as a user
// would: the results on one and two threads, and a series ended by its time.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "support/test_support.h"

// A two-mode network of 16 x 12 units whose values, 0.25 to 2.5, follow
// three row groups and three column groups, with some noise.
static std::string ValuedNetwork() {
    std::string text = "*Vertices 28 16\n*Arcs\n";
    for (int i = 1; i <= 16; ++i)
        for (int j = 1; j <= 12; ++j)
            if ((i % 3 == j % 3) != ((i * 7 + j * 5) % 11 == 0))
                text += std::to_string(i) + " " + std::to_string(16 + j) + " " + std::to_string(0.25 * (1 + (i + j) % 10)) +
                        "\n";
    return text;
}

// Every shape of the shakes: two partitions of a two-mode network, one
// partition of a one-mode network moved on both sides at once, and a valued
// criterion. Every byte the run writes is the same on one and two threads,
// and the search finds the optima the local search finds in a few percent
// of its starts.
TEST(SearchStrategy, NeighbourhoodSearchIsTheSameOnOneAndTwoThreads) {
    struct Case {
        const char* Network;
        const char* Model;
        const char* Arguments;
        const char* Optimum;
    };
    const Case cases[] = {
        {"davis.net", "null-complete.mdl", "rows=3 cols=4 reps=10 seed=1", "final error =      38.000\r\n"},
        {"karate.net", "null-complete-regular.mdl", "onemode=1 rows=4 reps=6 seed=2", "final error ="},
        {"valued.net", "null-complete.mdl", "criterion=ss rows=3 cols=3 reps=6 seed=4", "final error ="},
    };
    for (const Case& c : cases) {
        TempFolder one, two;
        for (const TempFolder* folder : {&one, &two}) {
            bool valued = std::string(c.Network) == "valued.net";
            folder->Write(c.Network, valued ? ValuedNetwork() : Example(c.Network));
            folder->Write(c.Model, Example(c.Model));
        }
        std::string arguments =
            std::string("net=") + c.Network + " mdl=" + c.Model + " search=vns shakes=12 " + c.Arguments;
        RunResult single = RunKorvel(one, "", arguments + " threads=1");
        RunResult pair = RunKorvel(two, "", arguments + " threads=2");
        ASSERT_EQ(single.ExitCode, 0) << single.Console;
        EXPECT_EQ(pair.Console, single.Console) << c.Network;
        for (const char* name : {"Model.LST", "Model.json", "Model-rows.clu", "Model-cols.clu"})
            EXPECT_EQ(two.Read(name), one.Read(name)) << c.Network << " " << name;
        std::string listing = one.Read("Model.LST");
        EXPECT_TRUE(Contains(listing, "SEARCH - vns, shakes = 12\r\n"));
        EXPECT_TRUE(Contains(listing, c.Optimum)) << c.Network;
        EXPECT_TRUE(Contains(one.Read("Model.json"), "\"search\": {\"strategy\": \"vns\", \"shakes\": 12, "));
    }
}

// time= alone runs repetitions until the time is spent, then reports the
// series as usual; with reps= the count comes first when it is reached first.
TEST(SearchStrategy, TimeEndsASeries) {
    TempFolder folder;
    folder.Write("davis.net", Example("davis.net"));
    folder.Write("null-complete.mdl", Example("null-complete.mdl"));
    RunResult timed = RunKorvel(folder, "", "net=davis.net mdl=null-complete.mdl rows=3 cols=3 time=0.3 seed=1");
    ASSERT_EQ(timed.ExitCode, 0) << timed.Console;
    std::smatch ended;
    ASSERT_TRUE(std::regex_search(timed.Console, ended, std::regex("Time spent: the series ends after repetition (\\d+)\n")))
        << timed.Console;
    const std::string done = ended[1];
    EXPECT_GT(std::stoi(done), 1);
    std::string json = folder.Read("Model.json");
    EXPECT_TRUE(Contains(json, "\"clusterings\": " + done + ",")) << done;
    EXPECT_TRUE(Contains(json, "\"time\": 0.3,"));
    EXPECT_TRUE(Contains(timed.Console, "Series of 3 x 3 clusters, " + done + " repetitions: best error 40.000"));
    EXPECT_TRUE(Contains(folder.Read("Model.LST"), "TIME - 0.3 seconds a series\r\n"));

    RunResult counted =
        RunKorvel(folder, "", "net=davis.net mdl=null-complete.mdl rows=3 cols=3 reps=5 time=600 seed=1 threads=2");
    ASSERT_EQ(counted.ExitCode, 0) << counted.Console;
    EXPECT_FALSE(Contains(counted.Console, "Time spent"));
    EXPECT_TRUE(Contains(folder.Read("Model.json"), "\"clusterings\": 5,"));
}
