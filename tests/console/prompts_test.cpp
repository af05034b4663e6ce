// Questions on the console: answers are read from a scripted standard input
// and the prompts captured from standard output.
#include "console/prompts.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "console/text_input.h"
#include "support/test_support.h"

static void UseConsoleInput(const std::string& text) {
    static TempFolder folder;
    folder.Write("stdin", text);
    ASSERT_NE(std::freopen((folder.Path + "/stdin").c_str(), "r", stdin), nullptr);
    ConsoleInputEnded = false;
}

TEST(AskInt, AcceptsOnlyWholeAnswersWithinTheRange) {
    ResetState();
    // Refused: 6 (out of range), a word, an empty line, a trailing blank, "5.", ".5".
    UseConsoleInput("6\nthree\n\n3 \n5.\n.5\n 3\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(AskInt("n = ", 1, 5), 3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Int [    1,    5] n = n = n = n = n = n = n = ");
}

TEST(AskInt, RoundsHalvesToEvenAndTakesExponents) {
    ResetState();
    UseConsoleInput("2.5\n3.5\n4e0\n-2.5\n+1E+1\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(AskInt("", 1, 5), 2);
    EXPECT_EQ(AskInt("", 1, 5), 4);
    EXPECT_EQ(AskInt("", 1, 5), 4);
    EXPECT_EQ(AskInt("", -5, 5), -2);
    EXPECT_EQ(AskInt("", 1, 1), 10);  // equal bounds: no range at all
    std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console.find("Int [    1,    1]"), std::string::npos);
}

TEST(AskInt, RefusesMagnitudesThatDoNotFitIn32Bits) {
    ResetState();
    UseConsoleInput("2147483647\n-2147483647\n2147483646\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(AskInt("", 0, 2147483646), 2147483646);
    testing::internal::GetCapturedStdout();
}

TEST(AskReal, ShowsTheRangeWithFourDecimalsAndKeepsTheValue) {
    ResetState();
    UseConsoleInput("0\n1.5\n0.75\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(AskReal("d = ", 0.00001, 1), 0.75);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Real [   0.0000,   1.0000] d = d = d = ");
}

TEST(ParseAnswer, FollowsTheAnswerGrammar) {
    double value = 0;
    EXPECT_TRUE(ParseAnswer("  -12.25e-1", value));
    EXPECT_EQ(value, -1.225);
    EXPECT_FALSE(ParseAnswer("", value));
    EXPECT_FALSE(ParseAnswer("\t3", value));  // only spaces lead
    EXPECT_FALSE(ParseAnswer("1e", value));
    EXPECT_FALSE(ParseAnswer("0x10", value));
    EXPECT_FALSE(ParseAnswer("--1", value));
}

// The console goes to stderr inside the child, so that EXPECT_EXIT sees it.
static void AskAtEndOfInput() {
    UseConsoleInput("");
    std::fflush(stdout);
    dup2(2, 1);
    AskInt("n = ", 1, 5);
}

TEST(AskIntDeathTest, EndOfInputStopsInsteadOfAskingForever) {
    ResetState();
    EXPECT_EXIT(AskAtEndOfInput(), testing::ExitedWithCode(1), "n = \nEnd of console input\n");
}

TEST(AskChar, GivesTheFirstCharacterOrNothing) {
    ResetState();
    UseConsoleInput("yes\n\n");
    EXPECT_EQ(AskChar(""), 'y');
    EXPECT_EQ(AskChar(""), '\0');
    EXPECT_EQ(AskChar(""), '\0');  // end of input reads as an empty line
    EXPECT_TRUE(ConsoleInputEnded);
}
