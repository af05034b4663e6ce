// The environment file: its exact bytes, its round trip, and what survives a
// short, long or broken file.
#include "settings/environment.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "support/test_support.h"

static const char* const DefaultFile =
    "ORVEN / PC - network structure analysis\r\n*.RAW\r\n*.NET\r\n*.NAM\r\n*.VAR\r\n"
    "Model.LST\r\nModel.ZEP\r\n*.MDL\r\n*.EXT\r\n*.DIS\r\n0\r\n0\r\n0\r\n0\r\n  0  0  0\r\n";

// Runs fn with the console captured and the current folder set to folder.
template <typename Fn>
static std::string InFolder(const TempFolder& folder, Fn fn) {
    char previous[4096];
    EXPECT_NE(getcwd(previous, sizeof previous), nullptr);
    EXPECT_EQ(chdir(folder.Path.c_str()), 0);
    testing::internal::CaptureStdout();
    fn();
    std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(chdir(previous), 0);
    return console;
}

// The files and folders in a folder.
static int EntriesIn(const TempFolder& folder) {
    DIR* dir = opendir(folder.Path.c_str());
    int count = 0;
    for (dirent* entry = readdir(dir); entry != nullptr; entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) ++count;
    }
    closedir(dir);
    return count;
}

TEST(Environment, FirstStartCreatesTheDefaults) {
    ResetState();
    TempFolder folder;
    EnvFileName = "Tebra.ENV";
    std::string console = InFolder(folder, LoadEnvironment);
    EXPECT_EQ(console, "Load ENV file Tebra.ENV\nSaving ENV on Tebra.ENV\n");
    EXPECT_EQ(folder.Read("Tebra.ENV"), DefaultFile);
    EXPECT_EQ(EntriesIn(folder), 1);  // no temporary file is left beside it
}

TEST(Environment, RoundTripCarriesEveryEntry) {
    ResetState();
    TempFolder folder;
    const std::string file =
        "My title\r\nr.raw\r\nn.net\r\nn.nam\r\nv.var\r\nl.lst\r\nz.zep\r\nm.mdl\r\ne.ext\r\nd.dis\r\n"
        "-5\r\n65535\r\n0\r\n7\r\n  1 22  3\r\n";
    folder.Write("Tebra.ENV", file);
    EnvFileName = "Tebra.ENV";
    InFolder(folder, [] {
        LoadEnvironment();
        SaveEnvironment();
    });
    EXPECT_EQ(EnvUnits, -5);
    EXPECT_EQ(EnvVars, 65535);
    EXPECT_EQ(EnvAssc, 22);
    EXPECT_EQ(EnvNorm, 3);
    EXPECT_EQ(folder.Read("Tebra.ENV"), file);
}

TEST(Environment, LongTitleKeepsSeventyCharactersAndShortFileGivesBlanks) {
    ResetState();
    TempFolder folder;
    folder.Write("e.env", std::string(80, 't') + "\nraw only\n");
    EnvFileName = "e.env";
    InFolder(folder, LoadEnvironment);
    EXPECT_EQ(Title, std::string(70, 't'));
    EXPECT_EQ(RawFileName, "raw only");
    EXPECT_EQ(NetFileName, "");
    EXPECT_EQ(EnvUnits, 0);
}

TEST(Environment, DebugLevelShowsTheSettingsAfterLoading) {
    ResetState();
    TempFolder folder;
    folder.Write("Tebra.ENV", "T\n\n\n\n\n\n\n\n\n\n1\n2\n3\n4\n5 6 7\n");
    EnvFileName = "Tebra.ENV";
    std::string console = InFolder(folder, LoadEnvironment);
    EXPECT_EQ(console,
              "Load ENV file Tebra.ENV\nTebra PC /   -  research\nUSER = ORVEN public version\n"
              "TIT = T\nRAW = \nNET = \nNAM = \nVAR = \nLST = \nZEP = \nMDL = \nEXT = \nDIS = \n\n"
              "units  =     1     vars   =     2\ndebug  =     3     source = 4\n"
              "dism   =     5     assc   = 6\nnorm   = 7\n\n");
}

TEST(Environment, BadNumberKeepsTheDefaultAndNamesTheLine) {
    ResetState();
    TempFolder folder;
    folder.Write("Tebra.ENV", "T\n\n\n\n\n\n\n\n\n\n1x\n99999999999\n0\n0\n0 0 0\n");
    EnvFileName = "Tebra.ENV";
    std::string console = InFolder(folder, LoadEnvironment);
    EXPECT_EQ(console,
              "Load ENV file Tebra.ENV\nBad number in ENV file, line 11\n"
              "Bad number in ENV file, line 12\n");
    EXPECT_EQ(EnvUnits, 0);
    EXPECT_EQ(EnvVars, 0);
}

TEST(Environment, UnreadableFileKeepsDefaultsAndUnwritableIsReported) {
    ResetState();
    TempFolder folder;
    ASSERT_EQ(mkdir((folder.Path + "/dir.env").c_str(), 0755), 0);
    EnvFileName = "dir.env";
    std::string console = InFolder(folder, [] {
        LoadEnvironment();
        SaveEnvironment();
    });
    EXPECT_EQ(console,
              "Load ENV file dir.env\nCannot read ENV file dir.env\nSaving ENV on dir.env\n"
              "Cannot write ENV file dir.env\n");
    EXPECT_EQ(Title, "ORVEN / PC - network structure analysis");
    EXPECT_TRUE(EnvWriteFailed);
    EXPECT_EQ(EntriesIn(folder), 1);  // the folder in the way, and no temporary file
}

TEST(Environment, WideNumbersOfTheLastLineStillReadBack) {
    ResetState();
    TempFolder folder;
    folder.Write("Tebra.ENV", "T\n\n\n\n\n\n\n\n\n\n0\n0\n0\n0\n1000 100 65535\n");
    EnvFileName = "Tebra.ENV";
    InFolder(folder, [] {
        LoadEnvironment();
        SaveEnvironment();
        LoadEnvironment();
    });
    EXPECT_EQ(EnvDism, 1000);
    EXPECT_EQ(EnvAssc, 100);
    EXPECT_EQ(EnvNorm, 65535);
    std::string saved = folder.Read("Tebra.ENV");
    EXPECT_EQ(saved.substr(saved.size() - 18), "\r\n1000 100 65535\r\n");
}

// 80 characters of two bytes each: the title keeps 70 of them, 140 bytes.
TEST(Environment, LongTitleIsCutAtAWholeCharacter) {
    ResetState();
    TempFolder folder;
    std::string title;
    for (int k = 0; k < 80; ++k) title += "é";
    folder.Write("e.env", title + "\n");
    EnvFileName = "e.env";
    InFolder(folder, LoadEnvironment);
    EXPECT_EQ(Title, title.substr(0, 140));
}

