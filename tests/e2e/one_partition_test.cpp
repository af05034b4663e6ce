// onemode=1 run by the built program: one partition of the karate club on
// one and on two threads, the cluster question asked once, and the keyword
// ignored, with a line saying so, for a two-mode network.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/test_support.h"

static std::string Example(const std::string& name) {
    std::ifstream in(std::string(KORVEL_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

static bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(OnePartition, KarateClubOnOneAndTwoThreads) {
    TempFolder one, two;
    for (const TempFolder* folder : {&one, &two}) {
        folder->Write("karate.net", Example("karate.net"));
        folder->Write("null-complete-regular.mdl", Example("null-complete-regular.mdl"));
    }
    const std::string arguments = "net=karate.net mdl=null-complete-regular.mdl onemode=1 rows=3 cols=5 reps=100 seed=1";
    RunResult single = RunKorvel(one, "", arguments + " threads=1");
    RunResult pair = RunKorvel(two, "", arguments + " threads=2");
    ASSERT_EQ(single.ExitCode, 0) << single.Console;
    EXPECT_EQ(pair.Console, single.Console);
    EXPECT_TRUE(Contains(single.Console, "cols= ignored: one partition takes its number of clusters from rows=\n"));
    EXPECT_TRUE(Contains(single.Console, "Number of clusters = 3\n"));
    EXPECT_FALSE(Contains(single.Console, "Number of Row clusters"));
    EXPECT_TRUE(Contains(single.Console, "NUMBER OF CLUSTERS =   3  3\n"));
    for (const char* name : {"Model.LST", "Model.json", "Model-rows.clu", "Model-cols.clu", "Model.svg"})
        EXPECT_EQ(two.Read(name), one.Read(name)) << name;
    // The best error of three clusters, one partition on both sides.
    EXPECT_TRUE(Contains(one.Read("Model.LST"), "final error =       2.000\r\n"));
    EXPECT_EQ(one.Read("Model-rows.clu"), one.Read("Model-cols.clu"));
    // The environment file does not keep the keyword.
    EXPECT_FALSE(Contains(one.Read("Tebra.ENV"), "onemode"));
}

TEST(OnePartition, IgnoredForATwoModeNetwork) {
    TempFolder with, without;
    for (const TempFolder* folder : {&with, &without}) {
        folder->Write("davis.net", Example("davis.net"));
        folder->Write("null-complete.mdl", Example("null-complete.mdl"));
    }
    const std::string arguments = "net=davis.net mdl=null-complete.mdl rows=2 cols=3 reps=20 seed=5";
    RunResult asked = RunKorvel(with, "", arguments + " onemode=1");
    RunResult plain = RunKorvel(without, "", arguments);
    EXPECT_EQ(asked.ExitCode, 0);
    std::string line = "onemode=1 ignored: the network is two-mode\n";
    size_t at = asked.Console.find(line);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(asked.Console.substr(0, at) + asked.Console.substr(at + line.size()), plain.Console);
    EXPECT_EQ(with.Read("Model.LST"), without.Read("Model.LST"));
    EXPECT_EQ(RunKorvel(with, "", "onemode=2").ExitCode, 1);
}
