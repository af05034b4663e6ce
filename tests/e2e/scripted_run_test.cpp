// Runs driven by the command line: the usage, named answers that make a run
// scripted, and answers that the run refuses before touching a file.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "support/test_support.h"

static void UseDavis(const TempFolder& folder) {
    folder.Write("davis.net", Example("davis.net"));
    folder.Write("null-complete.mdl", Example("null-complete.mdl"));
}

static int FilesIn(const TempFolder& folder) {
    int count = 0;
    DIR* dir = opendir(folder.Path.c_str());
    while (dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
    closedir(dir);
    return count;
}

TEST(ScriptedRun, HelpAndVersionTouchNoFile) {
    TempFolder folder;
    RunResult help = RunKorvel(folder, "", "net=x.net --help");
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_EQ(help.Console.substr(0, 34), "Usage: korvel [keyword=value ...]\n");
    EXPECT_TRUE(Contains(help.Console, "KORVEL_SEED"));
    EXPECT_TRUE(Contains(help.Console, "More: man korvel, and the guide "));
    EXPECT_TRUE(Contains(help.Console, "README.md\n"));
    EXPECT_EQ(RunKorvel(folder, "", "-h").Console, help.Console);
    RunResult version = RunKorvel(folder, "", "--version");
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Console, "KORVEL version: 7 December 2026\n");
    EXPECT_EQ(FilesIn(folder), 0);
}

// The answers typed one by one for the scripted run of the same test.
static const char* const TypedAnswers = "\nn\n\n\n\n\n1\n1\n0\n-1\n2\n2\n3\n100\n0\n1\n0\n\n";

TEST(ScriptedRun, SameResultsAsTheRunAnsweredOnTheConsole) {
    TempFolder scripted, typed;
    UseDavis(scripted);
    UseDavis(typed);
    RunResult script = RunKorvel(scripted, "", "net=davis.net mdl=null-complete.mdl rows=2 cols=3 reps=100 seed=2026");
    RunResult console = RunKorvel(typed, TypedAnswers, "net=davis.net mdl=null-complete.mdl", "2026");
    EXPECT_EQ(script.ExitCode, 0);
    EXPECT_EQ(console.ExitCode, 0);
    std::string listing = scripted.Read("Model.LST");
    EXPECT_EQ(listing, typed.Read("Model.LST"));
    EXPECT_TRUE(Contains(listing, "P =   52.000\r\n"));
    EXPECT_EQ(scripted.Read("Tebra.ENV"), typed.Read("Tebra.ENV"));
    // The scripted console is the typed one with every answer echoed as if typed.
    EXPECT_TRUE(Contains(script.Console, "Number of Col clusters = 3\nInt [    0,2147483646] "
                                         "Number of random repetitions              = 100\n"));
    std::string unechoed = script.Console;
    const char* const echoes[][2] = {
        {"(y/n) ", "n"},       {"New file     = ", ""}, {"<ENTER> : \n", ""},  {"size  = ", "1"},
        {"size  = ", "1"},     {"average  = ", "0"},    {"weight  = ", "-1"},   {"random  = ", "2"},
        {"clusters = ", "2"},  {"clusters = ", "3"},    {"repetitions              = ", "100"},
        {"all   = ", "0"},     {"list all  = ", "1"},   {"random  = ", "0"}};
    for (const auto& echo : echoes) {
        std::string typedText = std::string(echo[0]) + echo[1] + "\n";
        for (size_t at = unechoed.find(typedText); at != std::string::npos; at = unechoed.find(typedText, at))
            unechoed.replace(at, typedText.size(), echo[0]);
    }
    // Then the summary, which only a scripted run writes.
    const std::string summary =
        "\nSummary\nSeries of 2 x 3 clusters, 100 repetitions: best error 52.000, first found at repetition 9\n";
    ASSERT_EQ(unechoed.substr(0, console.Console.size()), console.Console);
    EXPECT_EQ(unechoed.substr(console.Console.size(), summary.size()), summary);
    EXPECT_TRUE(Contains(unechoed, "Column clusters:\n  1 (2 units): E8, E9\n"));
    EXPECT_TRUE(Contains(unechoed, "\nListing: Model.LST\n"
                                   "Result files: Model.json, Model.svg, Model-rows.clu, Model-cols.clu, Model.clu\n"));
}

TEST(ScriptedRun, EveryQuestionHasItsKeyword) {
    TempFolder folder;
    UseDavis(folder);
    std::string arguments =
        "net=davis.net mdl=null-complete.mdl lst=all.lst zep=all.zep reps=3 rows=3 cols=2 save=3 list=2 "
        "'title=Southern women' errors=2 minsize=2 values=1 weights=com:2,density:0.5 diadensity=0.6 "
        "priorities=2,1,3,4,5,6,7,8,9,10,11,12,13";
    RunResult run = RunKorvel(folder, "", arguments);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(Contains(run.Console, "New title or <ENTER> : \nSouthern women\n"));
    EXPECT_TRUE(Contains(run.Console, "change i-th weight  = 1\nReal [   0.0000,999999.0000] new weight = 2\n"
                                      " 1    2.000  complete\n"));
    EXPECT_TRUE(Contains(run.Console, "change i-th weight  = 9\nReal [   0.0000,999999.0000] new weight = 0.5\n"
                                      "Real [   0.0000,   1.0000] dia-density = 0.6\n"));
    std::string listing = folder.Read("all.lst");
    EXPECT_TRUE(Contains(listing, "Southern women"));
    EXPECT_TRUE(Contains(listing, "error type = size\r\n minimal dom/fun/par size  =     2\r\n"
                                  " averaging rule no/ave/med =     1\r\n"));
    EXPECT_TRUE(Contains(listing, "    0 :     1.000    2    1\r\n    1 :     2.000    1    0\r\n"));
    EXPECT_TRUE(Contains(listing, "density =  0.60000  0.50000\r\n"));
    EXPECT_TRUE(Contains(listing, " NUMBER OF CLUSTERS    =   3  2\r\n NUMBER OF CLUSTERINGS =      3\r\n"));
    // Save option "all" writes the three clusterings without asking for a name.
    std::string saved = folder.Read("all.zep");
    EXPECT_TRUE(Contains(saved, "[1] = ") && Contains(saved, "[2] = ") && Contains(saved, "[3] = "));

    // The saved clustering read back as a start: run=1 stops after its two passes.
    RunResult read = RunKorvel(folder, "", "run=1 list=1");
    EXPECT_EQ(read.ExitCode, 0);
    EXPECT_TRUE(Contains(read.Console, "random  = 1\n"));
    EXPECT_TRUE(Contains(read.Console, " Reading partition:   KORVEL: 3/2 [1] = "));
    EXPECT_TRUE(Contains(read.Console, "random  = 0\nSaving ENV on Tebra.ENV\n"));

    RunResult params = RunKorvel(folder, "", "params=yes");
    EXPECT_EQ(params.ExitCode, 1);
    EXPECT_TRUE(Contains(params.Console, "(y/n) yes\nTo change the parameters rerun the program  \n"));
}

TEST(ScriptedRun, BadAnswersStopBeforeAnyFileIsWritten) {
    TempFolder folder;
    RunResult rows = RunKorvel(folder, "", "rows=0 net=davis.net");
    EXPECT_EQ(rows.ExitCode, 1);
    EXPECT_EQ(rows.Console, "Bad argument rows=0: rows must be 1..75\n");
    RunResult weights = RunKorvel(folder, "", "WEIGHTS=nul:1");
    EXPECT_EQ(weights.ExitCode, 1);
    EXPECT_TRUE(Contains(weights.Console, "Bad argument weights=nul:1: weights must be name:weight pairs"));
    RunResult priorities = RunKorvel(folder, "", "priorities=1,1,3,4,5,6,7,8,9,10,11,12,13");
    EXPECT_EQ(priorities.ExitCode, 1);
    EXPECT_EQ(RunKorvel(folder, "", "seed=4294967296").ExitCode, 1);
    for (const char* bad : {"search=tabu", "shakes=0", "time=0", "time=1e9"})
        EXPECT_EQ(RunKorvel(folder, "", bad).ExitCode, 1) << bad;
    RunResult both = RunKorvel(folder, "", "net=davis.net blocks=null,complete Mdl=null-complete.mdl rows=2");
    EXPECT_EQ(both.ExitCode, 1);
    EXPECT_EQ(both.Console, "blocks= and mdl= cannot both be given: blocks= is the model, without a model file\n");
    RunResult typo = RunKorvel(folder, "", "net=davis.net blocks=null,compelte rows=2");
    EXPECT_EQ(typo.ExitCode, 1);
    EXPECT_TRUE(Contains(typo.Console, "Bad argument blocks=null,compelte: blocks must be block types"));
    // The valued criteria: a name, M above 0 for val alone, constant errors.
    const std::pair<const char*, const char*> valued[] = {
        {"criterion=sq", "Bad argument criterion=sq: criterion must be bin, ss, ad or val\n"},
        {"criterion=val m=0", "Bad argument m=0: m must be a number above 0\n"},
        {"CRITERION=Val rows=2", "criterion=val needs m=M, the value a tie of a complete block should reach (M > 0)\n"},
        {"criterion=ss m=2", "m= belongs to criterion=val, not to criterion=ss\n"},
        {"criterion=ad errors=02 rows=2", "errors=02 does not go with criterion=ad: its block errors are constant\n"}};
    for (const auto& [arguments, message] : valued) {
        RunResult refused = RunKorvel(folder, "", arguments);
        EXPECT_EQ(refused.ExitCode, 1) << arguments;
        EXPECT_EQ(refused.Console, message);
    }
    EXPECT_EQ(FilesIn(folder), 0);

    // Within 1..75 but more than the model's 10 columns: refused once the
    // network and model are read, and the listing keeps nothing of the run.
    UseDavis(folder);
    folder.Write("Tebra.ENV", Example("Tebra.ENV"));
    folder.Write("davis.lst", "earlier run\r\n");
    RunResult cols = RunKorvel(folder, "", "cols=11");
    EXPECT_EQ(cols.ExitCode, 1);
    EXPECT_TRUE(Contains(cols.Console, "\nBad argument cols=11: cols must be 1..10 for this network and model\n"));
    EXPECT_EQ(folder.Read("davis.lst"), "earlier run\r\n");
    EXPECT_EQ(folder.Read("Tebra.ENV"), Example("Tebra.ENV"));

    // A valued criterion judges null, complete and do not care blocks only:
    // a model allowing another type stops the run, naming the type.
    for (const char* model : {"blocks=null,com,reg", "mdl=null-complete-regular.mdl"}) {
        folder.Write("null-complete-regular.mdl", Example("null-complete-regular.mdl"));
        RunResult other = RunKorvel(folder, "", std::string("criterion=ss rows=2 cols=2 ") + model);
        EXPECT_EQ(other.ExitCode, 1);
        EXPECT_TRUE(Contains(other.Console, "\nThe model allows regular blocks (block 1, 1): criterion=ss judges "
                                            "null, complete and do not care blocks only\n")) << other.Console;
        EXPECT_EQ(folder.Read("davis.lst"), "earlier run\r\n");
    }
}

// blocks=null,complete is the model of null-complete.mdl without the file,
// 75 x 75 blocks where the file has 10 x 10: the same results for the 2 x 3
// clusters both allow. The listing echoes it as the file of its one block
// line would be; no model file is asked for.
TEST(ScriptedRun, BlocksGiveTheModelWithoutAFile) {
    TempFolder file, blocks;
    UseDavis(file);
    blocks.Write("davis.net", Example("davis.net"));
    const std::string series = " rows=2 cols=3 reps=20 seed=1";
    RunResult fromFile = RunKorvel(file, "", "net=davis.net mdl=null-complete.mdl" + series);
    RunResult fromBlocks = RunKorvel(blocks, "", "net=davis.net BLOCKS=Null,com" + series);
    ASSERT_EQ(fromFile.ExitCode, 0) << fromFile.Console;
    ASSERT_EQ(fromBlocks.ExitCode, 0) << fromBlocks.Console;
    std::string a = file.Read("Model.LST"), b = blocks.Read("Model.LST");
    ASSERT_TRUE(Contains(a, " T O P   T E N"));
    EXPECT_EQ(b.substr(b.find(" T O P   T E N")), a.substr(a.find(" T O P   T E N")));
    std::string jsonA = file.Read("Model.json"), jsonB = blocks.Read("Model.json");
    EXPECT_EQ(jsonB.substr(jsonB.find("\"series\"")), jsonA.substr(jsonA.find("\"series\"")));
    EXPECT_TRUE(Contains(jsonB, "\"model\": null,") && Contains(jsonB, "\"blocks\": [\"null\", \"complete\"],"));
    EXPECT_TRUE(Contains(b, "MDL - blocks = null,complete\r\n"));
    EXPECT_TRUE(Contains(b, "Model matrix definition\r\n    0    3      1  0  1\r\n\r\n"
                            "MaxModel rows =  75 cols =  75\r\n"));
    EXPECT_TRUE(Contains(fromFile.Console, "MDL - model data file"));
    EXPECT_FALSE(Contains(fromBlocks.Console, "MDL - model data file"));
}


// While cols= waits for its check, a stop on a bad network still leaves in
// the listing all that the run wrote before it.
TEST(ScriptedRun, StopOnTheNetworkWhileAnswersWaitForTheirCheck) {
    TempFolder folder;
    folder.Write("net.net", "*Vertices 5 2\n*Edges\n 1 3 1\n 2 9 1\n");
    folder.Write("empty.mdl", "");
    RunResult run = RunKorvel(folder, "", "net=net.net mdl=empty.mdl lst=out.lst cols=2");
    EXPECT_EQ(run.ExitCode, 1);
    std::string listing = folder.Read("out.lst");
    EXPECT_EQ(listing.substr(0, 1), "\f");
    EXPECT_TRUE(Contains(listing, "NET - file = net.net\r\n"));
    EXPECT_TRUE(Contains(listing, "\r\n\r\nvertex data   2   7 in network out of range\r\n"));
}

// onemode=1: one partition of the karate club, the same bytes on one and
// two threads, the cluster question asked once.
TEST(ScriptedRun, OnePartitionOnOneAndTwoThreads) {
    TempFolder one, two;
    for (const TempFolder* folder : {&one, &two}) {
        folder->Write("karate.net", Example("karate.net"));
        folder->Write("null-complete-regular.mdl", Example("null-complete-regular.mdl"));
    }
    const std::string arguments = "net=karate.net mdl=null-complete-regular.mdl onemode=1 rows=3 cols=5 reps=100 seed=1";
    RunResult single = RunKorvel(one, "", arguments + " threads=1");
    RunResult pair = RunKorvel(two, "", arguments + " threads=2");
    ASSERT_EQ(single.ExitCode, 0) << single.Console;
    EXPECT_EQ(pair.Console, single.Console);
    EXPECT_TRUE(Contains(single.Console, "cols= ignored: one partition takes its number of clusters from rows=\n"));
    EXPECT_TRUE(Contains(single.Console, "] Number of clusters = 3\n"));
    for (const char* name : {"Model.LST", "Model.json", "Model-rows.clu", "Model-cols.clu", "Model.svg"})
        EXPECT_EQ(two.Read(name), one.Read(name)) << name;
    // The best error of three clusters, one partition on both sides.
    EXPECT_TRUE(Contains(one.Read("Model.LST"), "final error =       2.000\r\n"));
    EXPECT_EQ(one.Read("Model-rows.clu"), one.Read("Model-cols.clu"));
    // The environment file does not keep the keyword.
    EXPECT_FALSE(Contains(one.Read("Tebra.ENV"), "onemode"));
}

// For a two-mode network onemode=1 changes nothing but a console line.
TEST(ScriptedRun, OnePartitionIgnoredForATwoModeNetwork) {
    TempFolder with, without;
    UseDavis(with);
    UseDavis(without);
    const std::string arguments = "net=davis.net mdl=null-complete.mdl rows=2 cols=3 reps=20 seed=5";
    RunResult asked = RunKorvel(with, "", arguments + " onemode=1");
    RunResult plain = RunKorvel(without, "", arguments);
    std::string line = "onemode=1 ignored: the network is two-mode\n";
    size_t at = asked.Console.find(line);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(asked.Console.substr(0, at) + asked.Console.substr(at + line.size()), plain.Console);
    EXPECT_EQ(with.Read("Model.LST"), without.Read("Model.LST"));
    EXPECT_EQ(RunKorvel(with, "", "onemode=2").ExitCode, 1);
}
