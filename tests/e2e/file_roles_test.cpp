// Files a run must not damage: one file named in two roles, another user's
// link, result files the user may not write or keeps private, a listing that
// is a device, result names another run holds, and names of any length. Each
// run is checked against a snapshot of every file of its folder.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "support/test_support.h"

static const std::string Davis = "net=davis.net mdl=null-complete.mdl reps=3 seed=1 ";

static void UseDavis(const TempFolder& folder) {
    folder.Write("davis.net", Example("davis.net"));
    folder.Write("null-complete.mdl", Example("null-complete.mdl"));
    folder.Write("Tebra.ENV", Example("Tebra.ENV"));
}

// Every file of the folder (hidden ones too) with its bytes.
static std::map<std::string, std::string> Snapshot(const TempFolder& folder) {
    std::map<std::string, std::string> files;
    DIR* dir = opendir(folder.Path.c_str());
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != ".." && name != ".stdin" && name != ".stdout") files[name] = folder.Read(name);
    }
    closedir(dir);
    return files;
}

// A file named in two roles stops the run with exit 1 before anything is
// written to it, naming the role it had first; no file of the folder changes
// but the listing the run was asked to write.
TEST(FileRoles, OneFileServesOneRole) {
    struct Case {
        const char* Arguments;
        const char* Message;
        const char* Listing;
    };
    const Case cases[] = {
        {"zep=davis.net save=3", "Same file as the network file: davis.net", "davis.lst"},
        {"lst=null-complete.mdl", "Same file as the model file: null-complete.mdl", ""},
        {"zep=Tebra.ENV save=3", "Same file as the environment file: Tebra.ENV", "davis.lst"},
        {"lst=Tebra.ENV", "Same file as the environment file: Tebra.ENV", ""},
        {"zep=x.lst lst=x.lst save=3", "Same file as the listing file: x.lst", "x.lst"},
        {"env=davis.net", "Same file as the environment file: davis.net", ""},
        {"net=./davis.json", "Same file as the network file: davis.json", ""},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        UseDavis(folder);
        folder.Write("davis.json", "{}");
        auto before = Snapshot(folder);
        RunResult run = RunKorvel(folder, "", Davis + "lst=davis.lst " + c.Arguments);
        EXPECT_EQ(run.ExitCode, 1) << c.Arguments;
        EXPECT_TRUE(Contains(run.Console, std::string("\n") + c.Message + "\n")) << c.Arguments << run.Console;
        auto after = Snapshot(folder);
        if (*c.Listing != '\0') after.erase(c.Listing);
        EXPECT_EQ(after, before) << c.Arguments;
    }
}

// In a folder anyone may write to, another user's link named like the
// environment file is neither read nor followed; the file it points at stays.
TEST(FileRoles, AnotherUsersLinkIsNotFollowed) {
    if (geteuid() != 0) GTEST_SKIP() << "needs the superuser to make a link of another user";
    TempFolder folder, victim;
    chmod(folder.Path.c_str(), 01777);
    UseDavis(folder);
    std::remove((folder.Path + "/Tebra.ENV").c_str());
    victim.Write("notes.txt", "notes\n");
    std::string link = folder.Path + "/Tebra.ENV";
    ASSERT_EQ(symlink((victim.Path + "/notes.txt").c_str(), link.c_str()), 0);
    ASSERT_EQ(lchown(link.c_str(), 4321, 4321), 0);
    RunResult run = RunKorvel(folder, "", Davis);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(Contains(run.Console, "\nCannot read ENV file Tebra.ENV: the link belongs to another user\n"));
    EXPECT_TRUE(Contains(run.Console, "\nCannot write ENV file Tebra.ENV: the link belongs to another user\n"));
    EXPECT_EQ(victim.Read("notes.txt"), "notes\n");
}

// A result file keeps its permissions; one the user may not write is left
// whole and fails the run; none is written beside a listing that is a device.
TEST(FileRoles, ResultFilesKeepTheirPermissions) {
    TempFolder folder;
    UseDavis(folder);
    folder.Write("davis.json", "{}");
    folder.Write("davis.svg", "<svg/>");
    chmod((folder.Path + "/davis.json").c_str(), 0444);
    chmod((folder.Path + "/davis.svg").c_str(), 0600);
    RunResult run = RunKorvel(folder, "", Davis + "lst=davis.lst");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(Contains(run.Console, "\nCannot write davis.json\n"));
    EXPECT_EQ(folder.Read("davis.json"), "{}");
    struct stat info;
    ASSERT_EQ(stat((folder.Path + "/davis.svg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_NE(folder.Read("davis.svg"), "<svg/>");

    TempFolder quiet;
    UseDavis(quiet);
    auto before = Snapshot(quiet);
    RunResult device = RunKorvel(quiet, "", Davis + "lst=/dev/null");
    EXPECT_EQ(device.ExitCode, 0);
    EXPECT_FALSE(Contains(device.Console, "Cannot write"));
    auto after = Snapshot(quiet);
    after.erase("Tebra.ENV");
    before.erase("Tebra.ENV");
    EXPECT_EQ(after, before);
}

// A listing name as long as a file name may be gets every result file, and
// no temporary file is left beside them.
TEST(FileRoles, LongNamesLeaveNoTemporaryFiles) {
    TempFolder folder;
    UseDavis(folder);
    std::string stem(245, 'x');
    RunResult run = RunKorvel(folder, "", Davis + "lst=" + stem + ".lst");
    EXPECT_EQ(run.ExitCode, 0) << run.Console;
    auto files = Snapshot(folder);
    for (const char* suffix : {".lst", ".json", ".svg", ".clu", "-rows.clu", "-cols.clu"})
        EXPECT_EQ(files.count(stem + suffix), 1u) << suffix;
    EXPECT_EQ(files.size(), 9u);
}
