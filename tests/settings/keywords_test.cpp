// Command-line keywords override the environment entries in order.
#include "settings/keywords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

// Sets the command line to the given arguments (after the program name).
static void UseArguments(std::vector<std::string>& arguments) {
    static std::vector<char*> pointers;
    pointers.clear();
    static char program[] = "korvel";
    pointers.push_back(program);
    for (std::string& argument : arguments) pointers.push_back(&argument[0]);
    ArgCount = static_cast<int>(pointers.size());
    ArgValues = pointers.data();
}

TEST(Keywords, FileNamesInAnyCaseAndTheLaterWins) {
    ResetState();
    std::vector<std::string> arguments = {"net=a.net", "LST=b.lst", "tex=x", "ext=y", "plain",
                                          "title=a=b"};
    UseArguments(arguments);
    testing::internal::CaptureStdout();
    ApplyCommandLine();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(NetFileName, "a.net");
    EXPECT_EQ(LstFileName, "b.lst");
    EXPECT_EQ(ExtFileName, "y");
}

TEST(Keywords, EnvIsScannedFirstAndLastOneCounts) {
    ResetState();
    std::vector<std::string> arguments = {"env=first.env", "Env=other.env"};
    UseArguments(arguments);
    ScanEnvKeyword();
    EXPECT_EQ(EnvFileName, "other.env");
    std::vector<std::string> none = {};
    UseArguments(none);
    ScanEnvKeyword();
    EXPECT_EQ(EnvFileName, "Tebra.ENV");
}

TEST(Keywords, NumbersKeepTheirBitsAndBadOnesAreIgnored) {
    ResetState();
    EnvVars = 3;
    std::vector<std::string> arguments = {"units=-70000", "vars=70000", "norm=12x", "dism="};
    UseArguments(arguments);
    testing::internal::CaptureStdout();
    ApplyCommandLine();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Ignored argument: norm=12x\nIgnored argument: dism=\n");
    EXPECT_EQ(EnvUnits, -70000);
    EXPECT_EQ(EnvVars, 70000 % 65536);
}

TEST(Keywords, DebugEchoTurnsOnAndOffArgumentByArgument) {
    ResetState();
    DebugLevel = 0;
    std::vector<std::string> arguments = {"a", "debug=1", "plain", "Zep=p.zep", "debug=0", "b"};
    UseArguments(arguments);
    testing::internal::CaptureStdout();
    ApplyCommandLine();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "    3 plain\n    4 Zep=p.zep\n>>> Zep = p.zep\n    5 debug=0\n>>> debug = 0\n");
    EXPECT_EQ(PartFileName, "p.zep");
}

TEST(Keywords, NamesWithLineEndsOrCtrlZAreIgnored) {
    ResetState();
    NetFileName = "kept.net";
    std::vector<std::string> arguments = {"net=a\rb", "lst=x\x1ay", "zep=p\nq"};
    UseArguments(arguments);
    testing::internal::CaptureStdout();
    ApplyCommandLine();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Ignored argument: net=a\rb\nIgnored argument: lst=x\x1ay\nIgnored argument: zep=p\nq\n");
    EXPECT_EQ(NetFileName, "kept.net");
}

// An escape sequence or a bell in a name: no name, env= included.
TEST(Keywords, NamesWithAnyControlCharacterAreIgnored) {
    ResetState();
    NetFileName = "kept.net";
    std::vector<std::string> arguments = {"net=a\x1b[2Jb.net", "env=e\x07.env"};
    UseArguments(arguments);
    ScanEnvKeyword();
    testing::internal::CaptureStdout();
    ApplyCommandLine();
    std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console.find("Ignored argument: net="), 0u) << console;
    EXPECT_NE(console.find("\nIgnored argument: env="), std::string::npos) << console;
    EXPECT_EQ(NetFileName, "kept.net");
    EXPECT_EQ(EnvFileName, "Tebra.ENV");  // neither the scan nor the later pass takes it
}
