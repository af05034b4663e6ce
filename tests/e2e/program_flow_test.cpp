// Whole runs of the built program in a temporary folder, with scripted
// console answers: the start-up, the file dialogues, the first listing page,
// the environment file, and the stops on bad input.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "support/test_support.h"

static const char* const Environment =
    "ORVEN / PC - network structure analysis\r\n*.RAW\r\nnet.net\r\n*.NAM\r\n*.VAR\r\nout.lst\r\n"
    "part.zep\r\nmodel.mdl\r\n*.EXT\r\n*.DIS\r\n0\r\n0\r\n0\r\n0\r\n  0  0  0\r\n";

// Banner, parameters, three file dialogues, title, weights (constant, size 1,
// no values, no changes), stop, final Enter.
static const char* const StopAtOnce = "\nn\n\n\n\n\n1\n1\n0\n-1\n0\n\n";

static void Prepare(TempFolder& folder, const std::string& network, const std::string& model = "") {
    folder.Write("Tebra.ENV", Environment);
    folder.Write("net.net", network);
    folder.Write("model.mdl", model);
}

TEST(ProgramFlow, TwoModeMatrixRunFromBannerToEnd) {
    TempFolder folder;
    Prepare(folder, "*Vertices 5 2\r\n*Matrix\r\n1 0 1\r\n0 1 1\r\n");
    RunResult run = RunKorvel(folder, StopAtOnce);
    EXPECT_EQ(run.ExitCode, 0);
    const std::string& console = run.Console;
    EXPECT_EQ(console.substr(0, 35), "O  R  V  E  N   /  PC  -  research\n");
    EXPECT_TRUE(Contains(console, "K O R V E L   - 2-mode blockmodeling by local optimization\n"
                                  "version: 7 December 2026\n"));
    EXPECT_TRUE(Contains(console, "Load ENV file Tebra.ENV\nTebra PC /   -  research\n"));
    EXPECT_TRUE(Contains(console, "\nChange parameters? (y/n) \nSELECT FILE: LST - list file\n"
                                  "Press RETURN to confirm current value\nCurrent file = out.lst\n"
                                  "New file     = Rewrite out.lst\n"));
    EXPECT_TRUE(Contains(console, "New file     = Reset net.net\n"));
    EXPECT_TRUE(Contains(console, "New file     = Reset model.mdl\n\n"
                                  "2-mode blockmodeling by local optimization\nch = *\nform =  1\n"
                                  "*** reading network   5 =   2 +   3 form = 1\n\n"
                                  "***  ORVEN / KORVEL - 2 mode blockmodeling by local optimization \n"
                                  "Title = 2-mode blockmodeling by local optimization\n\n"
                                  "New title or <ENTER> : \n"));
    EXPECT_TRUE(Contains(console, "\n***  O R V E N  - 2 mode KORVEL\nblockmodeling by local optimization\n"
                                  "Int [    0,    2] 0 - stop,  1 - read file,  2 - random  = "
                                  "Saving ENV on Tebra.ENV\n\nK O R V E L - end\n"));
    EXPECT_EQ(console.substr(console.size() - 18), "K O R V E L - end\n");

    std::string listing = folder.Read("out.lst");
    EXPECT_EQ(listing.substr(0, 80 + 81 + 4),
              "\f***  O R V E N  - Network analysis -  KORVEL                      Page -    1\r\n"
              "ORVEN / PC - network structure analysis                                        \r\n"
              "\r\n\r\n");
    EXPECT_TRUE(Contains(listing, "NET - file = net.net\r\nLST - file = out.lst\r\nMDL - file = model.mdl\r\n"
                                  "\r\n\r\n\r\nMATRIX : \r\n\r\n                1  2  3\r\n"
                                  "r-1         1   1  0  1\r\nr-2         2   0  1  1\r\n\r\n"));
    std::string defaultRow;
    for (int c = 1; c <= 75; ++c) defaultRow += " 25600";
    EXPECT_TRUE(Contains(listing, "\r\nBlock model matrix\r\n\r\n" + defaultRow + "\r\n"));
    EXPECT_EQ(folder.Read("Tebra.ENV"),
              std::string("2-mode blockmodeling by local optimization\r\n") +
                  (Environment + std::string(Environment).find("\r\n") + 2));
}

TEST(ProgramFlow, OneModeEdgesAndNamesChosenInTheDialogues) {
    TempFolder folder;
    folder.Write("Tebra.ENV", Environment);
    folder.Write("edges.net", "*Vertices 3\n 1 \"Ann\"\n*Edges\n 1 2 4\n 3 3 1\n");
    // New names typed at each dialogue, then confirmed with an empty line.
    std::string input = "\nn\nrun.lst\n\nedges.net\n\nnew.mdl\n\nMy title\n1\n1\n0\n-1\n0\n\n";
    RunResult run = RunKorvel(folder, input);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(Contains(run.Console, "Current file = run.lst\nNew file     = Rewrite run.lst\n"));
    EXPECT_TRUE(Contains(run.Console, "Current file = new.mdl\nNew file     = Rewrite new.mdl\n"));
    EXPECT_TRUE(Contains(run.Console, "*** reading network   3 =   3 +   3 form = 2\n"));
    EXPECT_TRUE(folder.Exists("new.mdl"));  // a missing model file is created and read as empty
    std::string listing = folder.Read("run.lst");
    EXPECT_TRUE(Contains(listing, "Network    3 =   3 +   3 form = 2\r\n\r\n\r\nMATRIX : \r\n\r\n"
                                  "                1  2  3\r\nAnn         1   0  4  0\r\n"
                                  "v-2         2   4  0  0\r\nv-3         3   0  0  1\r\n"));
    std::string environment = folder.Read("Tebra.ENV");
    EXPECT_EQ(environment.substr(0, 10), "My title\r\n");
    EXPECT_TRUE(Contains(environment, "\r\nedges.net\r\n*.NAM\r\n*.VAR\r\nrun.lst\r\npart.zep\r\nnew.mdl\r\n"));
}

TEST(ProgramFlow, ListingIsAppendedRunAfterRun) {
    TempFolder folder;
    Prepare(folder, "*Vertices 2\n*Matrix\n0 1\n1 0\n");
    ASSERT_EQ(RunKorvel(folder, StopAtOnce).ExitCode, 0);
    std::string first = folder.Read("out.lst");
    RunResult second = RunKorvel(folder, StopAtOnce);
    EXPECT_TRUE(Contains(second.Console, "New file     = Append out.lst\n"));
    std::string both = folder.Read("out.lst");
    EXPECT_EQ(both.substr(0, first.size()), first);
    EXPECT_EQ(both.size(), 2 * first.size());
}

TEST(ProgramFlow, YesToParametersSavesAndEndsWithOne) {
    TempFolder folder;
    Prepare(folder, "*Vertices 2\n*Matrix\n0 1\n1 0\n");
    RunResult run = RunKorvel(folder, "\nyes\n\n", "zep=saved.zep");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(Contains(run.Console, "Change parameters? (y/n) To change the parameters rerun the program  \n"
                                      "Saving ENV on Tebra.ENV\n"));
    EXPECT_TRUE(Contains(folder.Read("Tebra.ENV"), "\r\nsaved.zep\r\n"));
    EXPECT_FALSE(folder.Exists("out.lst"));
}

TEST(ProgramFlow, EnvironmentFromAnotherFileAndBrokenOnes) {
    TempFolder folder;
    Prepare(folder, "*Vertices 2\n*Matrix\n0 1\n1 0\n");
    // Three lines only: the rest reads as empty names and zeros.
    folder.Write("short.env", "Title\r\n*.RAW\r\nnet.net\r\n");
    RunResult run = RunKorvel(folder, "\nn\nout.lst\n\n\nmodel.mdl\n\n\n1\n1\n0\n-1\n0\n\n", "env=short.env");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(Contains(run.Console, "Load ENV file short.env\n"));
    EXPECT_TRUE(Contains(run.Console, "LST = \n"));
    EXPECT_TRUE(Contains(folder.Read("short.env"), "\r\nout.lst\r\n\r\nmodel.mdl\r\n"
                                                   "\r\n\r\n0\r\n0\r\n0\r\n0\r\n  0  0  0\r\n"));

    // Binary junk: the run still starts and the file is rewritten whole.
    std::string junk;
    for (int k = 0; k < 600; ++k) junk.push_back(static_cast<char>((k * 73 + 11) % 256));
    folder.Write("junk.env", junk);
    RunResult junkRun = RunKorvel(folder, "\nyes\n\n", "env=junk.env");
    EXPECT_EQ(junkRun.ExitCode, 1);
    std::string saved = folder.Read("junk.env");
    size_t lineEnds = 0;
    for (size_t at = saved.find("\r\n"); at != std::string::npos; at = saved.find("\r\n", at + 2)) ++lineEnds;
    EXPECT_EQ(lineEnds, 15u);
    EXPECT_EQ(saved.substr(saved.size() - 2), "\r\n");
}

TEST(ProgramFlow, BadNetworkFilesStopWithTheirMessage) {
    struct Case {
        const char* Network;
        const char* Message;
    };
    const Case cases[] = {
        {"", "Empty NET file\n"},
        {"*Vertices 3\n 4 \"D\"\n*Matrix\n", "\nError in NAMES\n"},
        {"*Vertices 4 2\n*Arcs\n 1 9 1\n", "vertex data   1   7 in network out of range\n"},
        {"*Vertices 2\n*Matrix\n1 99999999999\n", "Bad number in NET file, line 3: 99999999999\n"},
        {"*Vertices", "Bad NET file: unexpected end\nThe unfinished item began on line 1\n"},
        {"*Vertices 2\n \"A\n", "Bad number in NET file, line 2: \"A\n"},
        {"*Vertices 700 700\n", "ORVEN - fatal error in K O R V E LError 5 : "},
        {"*Vertices 2\n*Network\n", "ORVEN - fatal error in K O R V E LError 6 : "},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        Prepare(folder, c.Network);
        RunResult run = RunKorvel(folder, StopAtOnce);
        EXPECT_EQ(run.ExitCode, 1) << c.Network;
        EXPECT_TRUE(Contains(run.Console, c.Message)) << c.Network << run.Console.substr(run.Console.size() - 200);
        EXPECT_FALSE(Contains(run.Console, "K O R V E L - end"));
        // What was written to the listing before the stop is kept.
        EXPECT_TRUE(Contains(folder.Read("out.lst"), "MDL - file = model.mdl\r\n")) << c.Network;
        EXPECT_EQ(folder.Read("Tebra.ENV"), Environment);  // not saved on a stop
    }
}

TEST(ProgramFlow, MissingNetworkIsCreatedEmptyAndStops) {
    TempFolder folder;
    folder.Write("Tebra.ENV", Environment);
    RunResult run = RunKorvel(folder, StopAtOnce);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(Contains(run.Console, "New file     = Rewrite net.net\n\nSELECT FILE: MDL"));
    EXPECT_TRUE(Contains(run.Console, "Rewrite model.mdl\nEmpty NET file\n"));
    EXPECT_TRUE(folder.Exists("net.net"));
}

TEST(ProgramFlow, FilesThatCannotBeOpenedStop) {
    TempFolder folder;
    Prepare(folder, "*Vertices 2\n*Matrix\n0 1\n1 0\n");
    ASSERT_EQ(mkdir((folder.Path + "/out.lst").c_str(), 0755), 0);
    RunResult run = RunKorvel(folder, StopAtOnce);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(Contains(run.Console, "Append out.lst\nCannot open out.lst\n"));

    TempFolder second;
    Prepare(second, "");
    std::remove((second.Path + "/net.net").c_str());
    ASSERT_EQ(mkdir((second.Path + "/net.net").c_str(), 0755), 0);
    RunResult network = RunKorvel(second, StopAtOnce);
    EXPECT_EQ(network.ExitCode, 1);
    EXPECT_TRUE(Contains(network.Console, "Reset net.net\nCannot open net.net\n"));
}

TEST(ProgramFlow, EndOfConsoleInputStopsAQuestionThatWouldRepeat) {
    TempFolder folder;
    Prepare(folder, "*Vertices 2\n*Matrix\n0 1\n1 0\n");
    // Input ends at the error type question: every earlier wait goes on as for Enter.
    RunResult run = RunKorvel(folder, "");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(Contains(run.Console, "error type:  1 - constant,  2 - size  = \nEnd of console input\n"));
    EXPECT_EQ(folder.Read("Tebra.ENV"), Environment);
    EXPECT_TRUE(Contains(folder.Read("out.lst"), "Block penalty matrix"));
}

TEST(ProgramFlow, LineEndsTypedIntoNamesAndTitleNeverReachTheEnvironment) {
    TempFolder folder;
    Prepare(folder, "*Vertices 2\n*Matrix\n0 1\n1 0\n");
    // A lone CR inside an answer is refused as a name and ends the title.
    std::string input = "\nn\nbad\rname\n\n\n\nT1\rT2\n1\n1\n0\n-1\n0\n\n";
    RunResult run = RunKorvel(folder, input);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(Contains(run.Console, "New file     = Current file = out.lst\n"));
    std::string environment = folder.Read("Tebra.ENV");
    EXPECT_EQ(environment.substr(0, 4), "T1\r\n");
    EXPECT_TRUE(Contains(environment, "\r\nout.lst\r\npart.zep\r\nmodel.mdl\r\n"));
}
