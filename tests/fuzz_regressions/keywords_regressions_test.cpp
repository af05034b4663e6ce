// Fuzz findings of the command-line keywords, replayed: the settings the
// arguments give must come back unchanged from the environment file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/text_input.h"
#include "fuzz_regressions/regression_inputs.h"
#include "settings/environment.h"
#include "settings/keywords.h"
#include "support/test_support.h"

// Applies the arguments the fuzz input holds (split at NULs and line feeds),
// then saves the settings to text and reads that text back.
static std::string ApplyAndReadBack(const std::string& input, std::string& saved) {
    std::vector<std::string> arguments{"korvel"};
    std::string current;
    for (char c : input) {
        if (c == '\0' || c == '\n') {
            arguments.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) arguments.push_back(current);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(&argument[0]);
    ArgCount = static_cast<int>(pointers.size());
    ArgValues = pointers.data();
    testing::internal::CaptureStdout();
    ApplyCommandLine();
    testing::internal::GetCapturedStdout();
    ArgValues = nullptr;
    saved = EnvironmentText();
    TextFile file;
    UseTextFile(file, saved);
    ReadEnvironment(file);
    CloseTextFile(file);
    return EnvironmentText();
}

// Sets the settings the environment defaults give.
static void UseDefaultSettings() {
    ResetState();
    SetEnvironmentDefaults();
    Title = "title";
}

// net=a<CR>b: the saved NET line held a line end, so the file read back had
// "b" as NAM and every later entry one line down (ZEP became "Model.LST").
TEST(KeywordsRegression, LineEndInFileNameKeepsTheEntriesInTheirLines) {
    UseDefaultSettings();
    std::string saved;
    std::string again = ApplyAndReadBack(RegressionInput("keywords", "line-end-in-file-name"), saved);
    EXPECT_EQ(again, saved);
    EXPECT_EQ(NamFileName, "*.NAM");
    EXPECT_EQ(PartFileName, "Model.ZEP");
}

// lst=out<Ctrl-Z>.lst: the Ctrl-Z ended the saved file, so everything after
// "out" read back empty or 0.
TEST(KeywordsRegression, CtrlZInFileNameDoesNotCutTheFile) {
    UseDefaultSettings();
    std::string saved;
    std::string again = ApplyAndReadBack(RegressionInput("keywords", "ctrl-z-in-file-name"), saved);
    EXPECT_EQ(again, saved);
    EXPECT_EQ(PartFileName, "Model.ZEP");
    EXPECT_EQ(DisFileName, "*.DIS");
}
