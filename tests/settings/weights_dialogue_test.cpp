// The weights dialogue: defaults, the console table, the priority
// entry with its duplicate check, and the listing table. The dialogue is run
// in the test process with a scripted standard input, and end to end in the
// built program.
#include "settings/weights_dialogue.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

const char* const Names[] = {"null",         "complete",     "row-dominant", "col-dominant", "regular",
                             "row-regular",  "col-regular",  "row-function", "col-function", "density",
                             "do not care",  "non-null",     "symmetric"};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

struct Settings {
    double Weight[13];
    int Priority[13];
    int Sequence[14];  // entries 1..13
    double Dia = 0.75;
    double Out = 0.5;
    Settings() {
        for (int k = 0; k < 13; ++k) {
            Weight[k] = 1.0;
            Priority[k] = k + 1;
            Sequence[k + 1] = k;
        }
        Sequence[0] = -1;
    }
};

// The console weights table, rows 0..12.
std::string ConsoleTable(const Settings& s) {
    std::string text;
    for (int k = 0; k < 13; ++k) {
        text += Format("%2d%9.3f  %s", k, s.Weight[k], Names[k]);
        if (k == 9) text += Format(" = %8.5f%9.5f", s.Dia, s.Out);
        text += "\n";
    }
    return text;
}

std::string PrioritiesLine(const Settings& s) {
    std::string text = Format("Priorities: %3d", s.Priority[0]);
    for (int k = 1; k < 13; ++k) text += Format(",%3d", s.Priority[k]);
    return text + "\n";
}

std::string ListingTable(int errorType, int minSize, int values, const Settings& s) {
    std::string text = errorType == 2 ? "error type = size\r\n" : "error type = constant\r\n";
    text += Format(" minimal dom/fun/par size  = %5d\r\n", minSize);
    text += Format(" averaging rule no/ave/med = %5d\r\n", values);
    text += "\r\n\r\nWeights, Priorities, Sequence\r\n\r\n";
    for (int k = 0; k < 13; ++k) {
        text += Format("%5d : %9.3f%5d%5d\r\n", k, s.Weight[k], s.Priority[k], s.Sequence[k + 1]);
    }
    text += Format("density = %8.5f%9.5f\r\n\r\n", s.Dia, s.Out);
    return text;
}

const std::string Heading =
    "***  ORVEN / KORVEL - blockmodeling by local optimization \n"
    "W E I G H T S\n";
const std::string ChoicePrompt = "Int [   -1,   13] -1 - stop, 13 - priority, i - change i-th weight  = ";
const std::string PriorityPrompt = "Int [    0,   13] priority  = ";

std::string FirstPrompts(int numUnits) {
    return "Int [    1,    2] error type:  1 - constant,  2 - size  = " +
           Format("Int [    1,%5d] minimal dom/fun/reg size  = ", numUnits) +
           "Int [    0,    1] values: 0 - without,  1 - average  = ";
}

void UseConsoleInput(const std::string& text) {
    static TempFolder folder;
    folder.Write("stdin", text);
    ASSERT_NE(std::freopen((folder.Path + "/stdin").c_str(), "r", stdin), nullptr);
    ConsoleInputEnded = false;
}

class Weights : public ::testing::Test {
protected:
    void SetUp() override {
        ResetState();
        UseBinaryNetwork({"0110", "1001", "0000", "0100"});
        CaptureListing();
    }
    // Runs the dialogue on the given answers; gives the console text.
    std::string Run(const std::string& answers) {
        UseConsoleInput(answers);
        testing::internal::CaptureStdout();
        WeightsDialogue();
        std::string console = testing::internal::GetCapturedStdout();
        UseConsoleInput("");
        return console;
    }
};

TEST_F(Weights, DefaultsOfEveryRun) {
    TypeWeight[3] = 7.0;
    DiaDensity = 0.1;
    OutDensity = 0.2;
    TypePriority[0] = 0;
    PrioritySequence[1] = 99;
    SetCriterionDefaults();
    for (int k = 0; k <= MaxTypeCode; ++k) {
        EXPECT_EQ(TypeWeight[k], 1.0);
        EXPECT_EQ(TypePriority[k], k + 1);
        EXPECT_EQ(PrioritySequence[k + 1], k);
        EXPECT_STREQ(TypeName[k], Names[k]);
        EXPECT_EQ(std::string(TypeCode[k]).size(), 3u);
    }
    EXPECT_EQ(DiaDensity, 0.75);
    EXPECT_EQ(OutDensity, 0.5);
    const char* const codes[] = {" - ", "com", "rdo", "cdo", "reg", "rre", "cre",
                                 "rfn", "cfn", "den", "dnc", "one", "sym"};
    for (int k = 0; k <= MaxTypeCode; ++k) EXPECT_STREQ(TypeCode[k], codes[k]);
}

TEST_F(Weights, ShowWeightRow) {
    testing::internal::CaptureStdout();
    ShowWeightRow(0);
    ShowWeightRow(9);
    ShowWeightRow(12);
    TypeWeight[10] = 123456.5;
    ShowWeightRow(10);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              " 0    1.000  null\n"
              " 9    1.000  density =  0.75000  0.50000\n"
              "12    1.000  symmetric\n"
              "10123456.500  do not care\n");
}

TEST_F(Weights, StopAtOnce) {
    std::string console = Run("2\n3\n1\n-1\n");
    Settings s;
    EXPECT_EQ(console, Heading + FirstPrompts(4) + ConsoleTable(s) + "\n" + PrioritiesLine(s) + ChoicePrompt);
    EXPECT_EQ(ListingText(), ListingTable(2, 3, 1, s));
    EXPECT_EQ(ErrorType, 2);
    EXPECT_EQ(MinBlockSize, 3);
    EXPECT_EQ(ValuesRule, 1);
    for (int k = 0; k <= MaxTypeCode; ++k) {
        EXPECT_EQ(TypeWeight[k], 1.0);
        EXPECT_EQ(TypePriority[k], k + 1);
        EXPECT_EQ(PrioritySequence[k + 1], k);
    }
    EXPECT_EQ(DiaDensity, 0.75);
    EXPECT_EQ(OutDensity, 0.5);
}

TEST_F(Weights, AnswersOutOfRangeAreAskedAgain) {
    // error type 3, minimal size 5 (of 4 units) and 0, values 2: asked again.
    std::string console = Run("3\n1\n5\n0\n4\n2\n0\n-1\n");
    EXPECT_EQ(ErrorType, 1);
    EXPECT_EQ(MinBlockSize, 4);
    EXPECT_EQ(ValuesRule, 0);
    EXPECT_EQ(console.substr(0, Heading.size() + 200).find(
                  "error type:  1 - constant,  2 - size  = error type:  1 - constant,  2 - size  = Int"),
              Heading.size() + 18);
}

TEST_F(Weights, WeightNineAsksBothDensitiesOthersOnlyTheWeight) {
    std::string console = Run("1\n1\n0\n9\n2.5\n0.6\n0.4\n3\n0\n-1\n");
    Settings s;
    std::string expected = Heading + FirstPrompts(4) + ConsoleTable(s) + "\n" + PrioritiesLine(s) + ChoicePrompt;
    expected += "Real [   0.0000,999999.0000] new weight = ";
    expected += "Real [   0.0000,   1.0000] dia-density = ";
    expected += "Real [   0.0000,   1.0000] out-density = ";
    expected += " 9    2.500  density =  0.60000  0.40000\n";
    expected += ChoicePrompt + "Real [   0.0000,999999.0000] new weight = ";
    expected += " 3    0.000  col-dominant\n";
    expected += ChoicePrompt;
    EXPECT_EQ(console, expected);
    s.Weight[9] = 2.5;
    s.Weight[3] = 0.0;
    s.Dia = 0.6;
    s.Out = 0.4;
    EXPECT_EQ(ListingText(), ListingTable(1, 1, 0, s));
    EXPECT_EQ(TypeWeight[9], 2.5);
    EXPECT_EQ(TypeWeight[3], 0.0);
    EXPECT_EQ(DiaDensity, 0.6);
    EXPECT_EQ(OutDensity, 0.4);
}

TEST_F(Weights, DuplicatePriorityRepeatsAllThirteen) {
    // First entry 1, 1, 2, ..., 12 (a duplicate); second: null left out
    // (0), priority 2 given to no type, the rest in reverse.
    std::string answers = "1\n1\n0\n13\n1\n";
    for (int p = 1; p <= 12; ++p) answers += std::to_string(p) + "\n";
    const int second[13] = {0, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 1};
    for (int p : second) answers += std::to_string(p) + "\n";
    answers += "-1\n";
    std::string console = Run(answers);

    Settings s;
    std::string expected = Heading + FirstPrompts(4) + ConsoleTable(s) + "\n" + PrioritiesLine(s) + ChoicePrompt;
    Settings duplicate;
    duplicate.Priority[0] = 1;
    for (int k = 1; k < 13; ++k) duplicate.Priority[k] = k;
    for (int k = 0; k < 13; ++k) expected += PriorityPrompt;
    expected += ConsoleTable(s) + PrioritiesLine(duplicate);  // no empty line the second time
    Settings corrected;
    for (int k = 0; k < 13; ++k) corrected.Priority[k] = second[k];
    for (int p = 0; p <= 13; ++p) corrected.Sequence[p] = -1;
    for (int k = 1; k < 13; ++k) corrected.Sequence[second[k]] = k;
    for (int k = 0; k < 13; ++k) expected += PriorityPrompt;
    expected += ConsoleTable(s) + PrioritiesLine(corrected) + ChoicePrompt;
    EXPECT_EQ(console, expected);

    EXPECT_EQ(ListingText(), ListingTable(1, 1, 0, corrected));
    EXPECT_EQ(TypePriority[NullType], 0);
    for (int p = 1; p <= 13; ++p) {
        EXPECT_NE(PrioritySequence[p], NullType);  // null never in the sequence
        EXPECT_NE(PrioritySequence[p], 99);
    }
    EXPECT_EQ(PrioritySequence[1], SymmetricType);
    EXPECT_EQ(PrioritySequence[2], -1);
    EXPECT_EQ(PrioritySequence[13], CompleteType);
    // The rows of the weights table in the listing.
    std::string listing = ListingText();
    EXPECT_NE(listing.find("    0 :     1.000    0   12\r\n"), std::string::npos);
    EXPECT_NE(listing.find("    1 :     1.000   13   -1\r\n"), std::string::npos);
    EXPECT_NE(listing.find("   12 :     1.000    1    1\r\n"), std::string::npos);
}

TEST_F(Weights, TripleDuplicateAndGaps) {
    // Three types with priority 5 (the entry stays 99, asked again), then
    // only 1, 5 and 13 given.
    std::string answers = "1\n1\n0\n13\n";
    for (int k = 0; k < 13; ++k) answers += (k < 3 ? "5" : "0") + std::string("\n");
    const int second[13] = {1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 13};
    for (int p : second) answers += std::to_string(p) + "\n";
    answers += "-1\n";
    std::string console = Run(answers);
    size_t prompts = 0;
    for (size_t at = console.find(PriorityPrompt); at != std::string::npos;
         at = console.find(PriorityPrompt, at + 1)) {
        ++prompts;
    }
    EXPECT_EQ(prompts, 26u);
    const int sequence[14] = {-1, 0, -1, -1, -1, 2, -1, -1, -1, -1, -1, -1, -1, 12};
    for (int p = 0; p <= 13; ++p) EXPECT_EQ(PrioritySequence[p], sequence[p]) << p;
    Settings s;
    for (int k = 0; k < 13; ++k) s.Priority[k] = second[k];
    for (int p = 0; p <= 13; ++p) s.Sequence[p] = sequence[p];
    EXPECT_EQ(ListingText(), ListingTable(1, 1, 0, s));
}

TEST_F(Weights, ListingRowsAreAnnouncedForPageBreaks) {
    // 50 lines on the page: the four settings lines and the three title lines
    // reach 57, so rows 0..2 still fit and the header comes before row 3.
    LineOnPage = 50;
    PageNumber = 1;
    Run("1\n1\n0\n-1\n");
    std::string listing = ListingText();
    size_t header = listing.find('\f');
    ASSERT_NE(header, std::string::npos);
    EXPECT_EQ(listing.find("    3 : "), listing.find("\r\n\r\n\r\n", header) + 6);
    EXPECT_EQ(listing.rfind("    2 : ", header), header - 29);
    EXPECT_EQ(PageNumber, 2);
    EXPECT_EQ(LineOnPage, 10);  // rows 3..12 on the new page
}

TEST_F(Weights, MinimalSizeRangeIsTheNumberOfUnits) {
    UseBinaryNetwork({"1010", "0101", "1100"});  // two-mode: 3 + 4 units
    std::string console = Run("1\n8\n7\n0\n-1\n");
    EXPECT_EQ(MinBlockSize, 7);
    EXPECT_NE(console.find("Int [    1,    7] minimal dom/fun/reg size  = minimal dom/fun/reg size  = Int"),
              std::string::npos);
}

// End to end: the built program in a folder with a small network and an
// empty model file.
const char* const EnvFile =
    "ORVEN / PC - network structure analysis\r\n*.RAW\r\nnet.net\r\n*.NAM\r\n*.VAR\r\n"
    "out.lst\r\npart.zep\r\nmodel.mdl\r\n*.EXT\r\n*.DIS\r\n0\r\n0\r\n0\r\n0\r\n  0  0  0\r\n";

struct EndToEnd {
    RunResult Result;
    std::string Listing;
};

EndToEnd RunProgram(const std::string& weightsAnswers) {
    TempFolder folder;
    folder.Write("Tebra.ENV", EnvFile);
    folder.Write("net.net", "*Vertices 7 3\r\n*Matrix\r\n1 0 1 0\r\n0 1 0 1\r\n1 1 0 0\r\n");
    folder.Write("model.mdl", "");
    // Banner, parameters, three files, title; then the weights; then stop
    // the run loop and the final wait.
    std::string input = "\nn\n\n\n\n\n" + weightsAnswers + "0\n\n";
    EndToEnd run;
    run.Result = RunKorvel(folder, input);
    run.Listing = folder.Read("out.lst");
    return run;
}

// The weights part of the console: from the heading to the run dialogue.
std::string WeightsConsole(const std::string& console) {
    size_t from = console.find(Heading);
    size_t to = console.find("\n***  O R V E N  - 2 mode KORVEL\n");
    if (from == std::string::npos || to == std::string::npos) return "(not found)";
    return console.substr(from, to - from);
}

std::string WeightsListing(const std::string& listing) {
    size_t from = listing.find("error type = ");
    size_t to = listing.find("density = ");
    if (from == std::string::npos || to == std::string::npos) return "(not found)";
    return listing.substr(from, listing.find("\r\n\r\n", to) + 4 - from);
}

TEST(WeightsEndToEnd, StopAtOnce) {
    EndToEnd run = RunProgram("1\n1\n0\n-1\n");
    EXPECT_EQ(run.Result.ExitCode, 0);
    Settings s;
    EXPECT_EQ(WeightsConsole(run.Result.Console),
              Heading + FirstPrompts(7) + ConsoleTable(s) + "\n" + PrioritiesLine(s) + ChoicePrompt);
    EXPECT_EQ(WeightsListing(run.Listing), ListingTable(1, 1, 0, s));
    // Row k of the listing table: k, " : ", 1.000, k + 1 and k.
    EXPECT_NE(run.Listing.find("   12 :     1.000   13   12\r\ndensity =  0.75000  0.50000\r\n\r\n"),
              std::string::npos);
}

TEST(WeightsEndToEnd, WeightNineWithBothDensities) {
    EndToEnd run = RunProgram("2\n2\n1\n9\n0.25\n1\n0.00001\n-1\n");
    EXPECT_EQ(run.Result.ExitCode, 0);
    Settings s;
    std::string expected = Heading + FirstPrompts(7) + ConsoleTable(s) + "\n" + PrioritiesLine(s) + ChoicePrompt +
                           "Real [   0.0000,999999.0000] new weight = "
                           "Real [   0.0000,   1.0000] dia-density = "
                           "Real [   0.0000,   1.0000] out-density = "
                           " 9    0.250  density =  1.00000  0.00001\n" +
                           ChoicePrompt;
    EXPECT_EQ(WeightsConsole(run.Result.Console), expected);
    s.Weight[9] = 0.25;
    s.Dia = 1.0;
    s.Out = 0.00001;
    EXPECT_EQ(WeightsListing(run.Listing), ListingTable(2, 2, 1, s));
    EXPECT_NE(run.Listing.find("    9 :     0.250   10    9\r\n"), std::string::npos);
}

TEST(WeightsEndToEnd, DuplicatePriorityThenCorrected) {
    std::string answers = "1\n1\n0\n13\n";
    const int first[13] = {2, 2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const int second[13] = {2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    for (int p : first) answers += std::to_string(p) + "\n";
    for (int p : second) answers += std::to_string(p) + "\n";
    answers += "-1\n";
    EndToEnd run = RunProgram(answers);
    EXPECT_EQ(run.Result.ExitCode, 0);
    Settings s;
    Settings wrong, right;
    for (int k = 0; k < 13; ++k) {
        wrong.Priority[k] = first[k];
        right.Priority[k] = second[k];
    }
    right.Sequence[1] = 1;
    right.Sequence[2] = 0;
    std::string expected = Heading + FirstPrompts(7) + ConsoleTable(s) + "\n" + PrioritiesLine(s) + ChoicePrompt;
    for (int k = 0; k < 13; ++k) expected += PriorityPrompt;
    expected += ConsoleTable(s) + PrioritiesLine(wrong);
    for (int k = 0; k < 13; ++k) expected += PriorityPrompt;
    expected += ConsoleTable(s) + PrioritiesLine(right) + ChoicePrompt;
    EXPECT_EQ(WeightsConsole(run.Result.Console), expected);
    EXPECT_EQ(WeightsListing(run.Listing), ListingTable(1, 1, 0, right));
    EXPECT_NE(run.Listing.find("    0 :     1.000    2    1\r\n    1 :     1.000    1    0\r\n"),
              std::string::npos);
}

}  // namespace
