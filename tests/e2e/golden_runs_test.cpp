// Seeded runs recorded by the program itself in tests/data/golden, replayed
// byte for byte (console, exit code, every file the run leaves) on one, two
// and three search threads. A case is a folder: input/ (files copied in),
// args, stdin, seed, expected/stdout, expected/summary (the summary a
// scripted run appends to its console), expected/exit_code, expected/files/.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

static const std::string GoldenFolder = std::string(KORVEL_SOURCE_DIR) + "/tests/data/golden";

static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

static std::string FirstLine(const std::string& path) {
    std::string text = ReadFile(path);
    return text.substr(0, text.find('\n'));
}

static std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') names.push_back(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

static void ReplayOnThreads(const std::string& name) {
    std::string base = GoldenFolder + "/" + name;
    std::vector<std::string> inputs = FilesIn(base + "/input");
    std::vector<std::string> expected = FilesIn(base + "/expected/files");
    ASSERT_FALSE(inputs.empty()) << base;
    std::vector<std::string> everyFile = inputs;
    everyFile.insert(everyFile.end(), expected.begin(), expected.end());
    std::sort(everyFile.begin(), everyFile.end());
    for (const char* threads : {"1", "2", "3"}) {
        SCOPED_TRACE(std::string("threads=") + threads);
        TempFolder folder;
        for (const std::string& file : inputs) folder.Write(file, ReadFile(base + "/input/" + file));
        RunResult run = RunKorvel(folder, ReadFile(base + "/stdin"),
                                  FirstLine(base + "/args") + " threads=" + threads, FirstLine(base + "/seed"));
        EXPECT_EQ(run.ExitCode, std::stoi(ReadFile(base + "/expected/exit_code")));
        // A scripted run's console ends with its summary, kept apart from the
        // console it had before it wrote one.
        EXPECT_EQ(run.Console, ReadFile(base + "/expected/stdout") + ReadFile(base + "/expected/summary"));
        for (const std::string& file : expected)
            EXPECT_EQ(folder.Read(file), ReadFile(base + "/expected/files/" + file)) << file;
        EXPECT_EQ(FilesIn(folder.Path), everyFile);
    }
}

// Scripted, every clustering saved, the result files of a two-mode network.
TEST(GoldenRuns, ScriptedSeriesSavingEveryClustering) { ReplayOnThreads("davis-scripted-save-all"); }
// Typed answers, two series in one run: the report of the first comes
// between them, "opt" saves in the first and every save in the second.
TEST(GoldenRuns, TwoTypedSeriesWithOptThenAllSaves) { ReplayOnThreads("karate-two-series-opt"); }
// List level 2 prints every move: the series stays on one thread.
TEST(GoldenRuns, ListingEveryMove) { ReplayOnThreads("davis-list-all"); }

TEST(GoldenRuns, ThreadsOutsideTheRangeAreRefusedBeforeAnyFile) {
    TempFolder folder;
    RunResult run = RunKorvel(folder, "", "rows=2 threads=65");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Console.find("Bad argument threads=65: threads must be 0..64\n"), std::string::npos);
    EXPECT_TRUE(FilesIn(folder.Path).empty());
}
