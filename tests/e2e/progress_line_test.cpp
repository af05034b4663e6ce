// The console of a scripted series on a terminal and elsewhere: one progress
// line rewritten in place on a terminal (script(1) gives the program one),
// today's progress marks and result lines into a pipe.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/test_support.h"

static const std::string Arguments = "net=davis.net mdl=null-complete.mdl rows=2 cols=3 reps=100 seed=2026";

TEST(ProgressLine, OneLineOnATerminalAndTheMarksIntoAPipe) {
    if (std::system("command -v script >/dev/null") != 0) GTEST_SKIP() << "script (util-linux) is missing";
    TempFolder folder;
    folder.Write("davis.net", Example("davis.net"));
    folder.Write("null-complete.mdl", Example("null-complete.mdl"));
    std::string program = std::string("'") + KORVEL_BINARY + "' " + Arguments;
    std::string onTerminal = "cd '" + folder.Path + "' && script -qec \"" + program +
                             " lst=term.lst env=term.env\" /dev/null < /dev/null > tty.txt 2>&1";
    ASSERT_EQ(std::system(onTerminal.c_str()), 0);
    std::string intoPipe =
        "cd '" + folder.Path + "' && " + program + " lst=pipe.lst env=pipe.env < /dev/null 2>&1 | cat > pipe.txt";
    ASSERT_EQ(std::system(intoPipe.c_str()), 0);

    // The terminal ends lines with CR LF; the progress line starts with a
    // CR alone. Its last state counts every repetition and the best error.
    std::string terminal = folder.Read("tty.txt");
    EXPECT_TRUE(Contains(terminal, "      0\r\n"));
    EXPECT_TRUE(Contains(terminal, "\r  1/100 repetitions, best error "));
    EXPECT_TRUE(Contains(terminal, "\r100/100 repetitions, best error 52.000, "));
    EXPECT_TRUE(Contains(terminal, " elapsed, 0:00 left\r\n***  O R V E N  - 2 mode KORVEL\r\n"));
    EXPECT_FALSE(Contains(terminal, "      1>"));
    EXPECT_FALSE(Contains(terminal, " P =   52.000"));
    EXPECT_TRUE(Contains(terminal, "K O R V E L - end\r\n\r\nSummary\r\n"));

    // Elsewhere the marks and result lines of a typed run, then the summary.
    std::string pipe = folder.Read("pipe.txt");
    EXPECT_TRUE(Contains(pipe, "      0\n"));
    EXPECT_TRUE(Contains(pipe, "\n      1>.\n      2 P =   53.000\n      2>...\n"));
    EXPECT_TRUE(Contains(pipe, "\n     51>.........\n"));
    EXPECT_FALSE(Contains(pipe, "repetitions, best error"));
    EXPECT_TRUE(Contains(pipe, "K O R V E L - end\n\nSummary\n"));
    // The listing is the same wherever the console goes (each run with an
    // environment file of its own).
    std::string listing = folder.Read("term.lst");
    listing.replace(listing.find("term.lst"), 8, "pipe.lst");
    EXPECT_EQ(listing, folder.Read("pipe.lst"));
}
