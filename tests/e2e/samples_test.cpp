// Replays the recorded sample runs when the shared folder beside the checkout
// holds them: console, exit code and every file, byte for byte.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

static const std::string SamplesFolder = std::string(KORVEL_SOURCE_DIR) + "/../shared/samples";

static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

static std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
}

static void Replay(const std::string& sample) {
    std::string base = SamplesFolder + "/" + sample;
    struct stat info;
    if (stat(base.c_str(), &info) != 0) GTEST_SKIP() << "no recorded samples beside the checkout";
    TempFolder folder;
    for (const std::string& name : FilesIn(base + "/input")) {
        folder.Write(name, ReadFile(base + "/input/" + name));
    }
    std::string seed = ReadFile(base + "/seed");
    while (!seed.empty() && (seed.back() == '\n' || seed.back() == '\r')) seed.pop_back();
    RunResult run = RunKorvel(folder, ReadFile(base + "/stdin"), "", seed);
    EXPECT_EQ(run.ExitCode, std::stoi(ReadFile(base + "/expected/exit_code")));
    EXPECT_EQ(run.Console, ReadFile(base + "/expected/stdout"));
    for (const std::string& name : FilesIn(base + "/expected/files")) {
        EXPECT_EQ(folder.Read(name), ReadFile(base + "/expected/files/" + name)) << name;
    }
}

TEST(Samples, TwoModeMatrixWithDefaultNames) { Replay("net-twomode-matrix-default-names"); }
TEST(Samples, ListLevelFourTracesEveryTrial) { Replay("list-level-4"); }
TEST(Samples, SaveOptionTwoKeepsTheBestSoFar) { Replay("save-2-opt"); }
