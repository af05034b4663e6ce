// Every bad input the program meets, one whole run each: the console line it
// gives, what becomes of each file, and the exit code. The README's table of
// bad inputs lists the same cases in the same order.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <regex>
#include <string>

#include "support/test_support.h"

static const char* const Environment =
    "ORVEN / PC - network structure analysis\r\n*.RAW\r\nnet.net\r\n*.NAM\r\n*.VAR\r\nout.lst\r\n"
    "part.zep\r\nmodel.mdl\r\n*.EXT\r\n*.DIS\r\n0\r\n0\r\n0\r\n0\r\n  0  0  0\r\n";
static const char* const Network = "*Vertices 5 2\n*Matrix\n1 1 0\n0 0 1\n";

// Answers up to the run dialogue: banner, parameters, three files, title,
// weights (constant, size 1, no values, no changes).
static const std::string Start = "\nn\n\n\n\n\n1\n1\n0\n-1\n";
// Stop at the run dialogue, then the final Enter.
static const std::string Stop = "0\n\n";
// A random series of 2 x 2 clusters, 2 repetitions, the given save option,
// short listing. The first save confirms the partition file's name.
static std::string Series(const std::string& save) { return "2\n2\n2\n2\n" + save + "\n1\n"; }
static const std::string ConfirmName = "\n";

struct BadRun {
    TempFolder Folder;
    RunResult Result;
    bool Says(const std::string& text) const { return Result.Console.find(text) != std::string::npos; }
};

// The environment, network and empty model every run starts from.
static void Prepare(const TempFolder& folder) {
    folder.Write("Tebra.ENV", Environment);
    folder.Write("net.net", Network);
    folder.Write("model.mdl", "");
}

// Prepares the folder, lets adjust it, then runs with the given input and
// arguments.
template <typename Adjust>
static void RunWith(BadRun& run, const std::string& input, const std::string& arguments, Adjust adjust) {
    Prepare(run.Folder);
    adjust(run.Folder);
    run.Result = RunKorvel(run.Folder, input, arguments);
}

static void NoChange(const TempFolder&) {}

static std::string Listing(const BadRun& run) { return run.Folder.Read("out.lst"); }

// Runs the given input while a first run in the same folder holds its
// listing and partition file: that one has saved a series and waits at the
// run dialogue. Checks that the first run's files are those it leaves alone.
static RunResult BesideAHeldRun(const std::string& input, const std::string& arguments) {
    const std::string series = Start + Series("3") + ConfirmName;
    BadRun first, alone;
    RunWith(alone, series + Stop, "", NoChange);
    Prepare(first.Folder);
    std::signal(SIGPIPE, SIG_IGN);
    FILE* held = popen(("cd '" + first.Folder.Path + "' && KORVEL_SEED=1 '" + KORVEL_BINARY + "' > .held").c_str(), "w");
    std::fputs(series.c_str(), held);
    std::fflush(held);
    for (int wait = 0; wait < 600; ++wait) {
        std::string console = first.Folder.Read(".held");
        if (console.find("2 - random  = ") != console.rfind("2 - random  = ")) break;
        usleep(50000);
    }
    RunResult second = RunKorvel(first.Folder, input, arguments);
    std::fputs(Stop.c_str(), held);
    EXPECT_EQ(pclose(held), 0);
    for (const char* name : {"out.lst", "part.zep", "Tebra.ENV"})
        EXPECT_EQ(first.Folder.Read(name), alone.Folder.Read(name)) << name;
    return second;
}

// Console answers.

TEST(BadInput, InvalidAnswerIsAskedAgain) {
    BadRun run;
    RunWith(run, "\nn\n\n\n\n\nsize\n3\n1\n1\n0\n-1\n7\n0\n\n", "", NoChange);
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_TRUE(run.Says("2 - size  = error type:  1 - constant,  2 - size  = error type:  1 - constant,  2 - size  = "
                         "Int [    1,    5] minimal"));
    EXPECT_TRUE(run.Says("2 - random  = 0 - stop,  1 - read file,  2 - random  = Saving ENV"));
}

TEST(BadInput, EndOfConsoleInputAtAQuestionStops) {
    BadRun run;
    RunWith(run, Start + Series("3") + ConfirmName, "", NoChange);
    EXPECT_EQ(run.Result.ExitCode, 1);
    EXPECT_TRUE(run.Says("2 - random  = \nEnd of console input\n"));
    EXPECT_FALSE(run.Says("Saving ENV"));
    EXPECT_EQ(run.Folder.Read("Tebra.ENV"), Environment);
    // The listing and the clusterings saved so far are complete on disk.
    EXPECT_NE(Listing(run).find("P =    "), std::string::npos);
    EXPECT_EQ(run.Folder.Read("part.zep").substr(0, 20), "*partition  KORVEL: ");
}

TEST(BadInput, EndOfConsoleInputElsewhereIsAnEmptyAnswer) {
    BadRun run;
    // Input ends after the save question of a series with "ask": the
    // second repetition's question reads an empty answer (no save).
    RunWith(run, Start + Series("1") + "y\n" + ConfirmName, "", NoChange);
    EXPECT_EQ(run.Result.ExitCode, 1);  // then the run dialogue cannot be answered
    EXPECT_TRUE(run.Says("save clustering (Yes/No) ? "));
    EXPECT_TRUE(run.Says("End of console input"));
    std::string saved = run.Folder.Read("part.zep");
    EXPECT_EQ(saved.find("*partition", 1), std::string::npos);  // one clustering only
}

TEST(BadInput, LineEndInATypedNameOrTitle) {
    BadRun run;
    RunWith(run, "\nn\nx\ry\n\n\n\nA\x1a" "B\n1\n1\n0\n-1\n" + Stop, "", NoChange);
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_TRUE(run.Says("New file     = Current file = out.lst\n"));
    EXPECT_EQ(run.Folder.Read("Tebra.ENV").substr(0, 3), "A\r\n");
}

// An escape sequence typed into the listing's name, then into the title.
TEST(BadInput, ControlCharacterInATypedNameOrTitle) {
    BadRun run;
    RunWith(run, "\nn\nx\x1b[2Jy\n\n\n\nZoë \x1b[2J\n1\n1\n0\n-1\n" + Stop, "", NoChange);
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_TRUE(run.Says("New file     = Current file = out.lst\n"));
    EXPECT_EQ(run.Folder.Read("Tebra.ENV").substr(0, 7), "Zoë \r\n");
    // The same title given on the command line ends there too, echo included.
    RunWith(run, Start + Stop, "'title=Run\x1b[2J'", NoChange);
    EXPECT_TRUE(run.Says("New title or <ENTER> : \nRun\n"));
    EXPECT_EQ(run.Folder.Read("Tebra.ENV").substr(0, 5), "Run\r\n");
}

// Environment file.

TEST(BadInput, MissingEnvironmentFileIsCreated) {
    BadRun run;
    RunWith(run, "\nyes\n\n", "env=new.env", NoChange);
    EXPECT_TRUE(run.Says("Load ENV file new.env\nSaving ENV on new.env\n"));
    EXPECT_EQ(run.Folder.Read("new.env").substr(0, 41), "ORVEN / PC - network structure analysis\r\n");
}

TEST(BadInput, UnreadableEnvironmentFileKeepsTheDefaults) {
    BadRun run;
    RunWith(run, "\nyes\n\n", "env=dir.env", [](const TempFolder& folder) {
        mkdir((folder.Path + "/dir.env").c_str(), 0755);
    });
    EXPECT_TRUE(run.Says("Load ENV file dir.env\nCannot read ENV file dir.env\n"));
    EXPECT_TRUE(run.Says("\nTIT = ORVEN / PC - network structure analysis\n"));
    EXPECT_TRUE(run.Says("\nLST = Model.LST\n"));
    EXPECT_TRUE(run.Says("Saving ENV on dir.env\nCannot write ENV file dir.env\n"));
    EXPECT_EQ(run.Result.ExitCode, 1);
}

TEST(BadInput, BadNumberInTheEnvironmentFile) {
    BadRun run;
    RunWith(run, Start + Stop, "", [](const TempFolder& folder) {
        std::string environment = Environment;
        folder.Write("Tebra.ENV", environment.replace(environment.find("0\r\n0\r\n"), 1, "zero"));
    });
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_TRUE(run.Says("Load ENV file Tebra.ENV\nBad number in ENV file, line 11\n"));
    EXPECT_EQ(run.Folder.Read("Tebra.ENV").find("zero"), std::string::npos);
}

TEST(BadInput, ControlCharacterInTheEnvironmentFile) {
    BadRun run;
    RunWith(run, Start + Stop, "", [](const TempFolder& folder) {
        std::string environment = Environment;
        folder.Write("Tebra.ENV", environment.replace(environment.find("*.NAM"), 5, "\x1b]0;x\x07"));
    });
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_TRUE(run.Says("Load ENV file Tebra.ENV\nControl character in ENV file, line 4\n"));
    EXPECT_TRUE(run.Says("\nNAM = *.NAM\n"));
    EXPECT_NE(run.Folder.Read("Tebra.ENV").find("\r\nnet.net\r\n*.NAM\r\n"), std::string::npos);  // the default saved
}

TEST(BadInput, ShortEnvironmentFileGivesEmptyEntries) {
    BadRun run;
    RunWith(run, "\nyes\n\n", "", [](const TempFolder& folder) { folder.Write("Tebra.ENV", "T\r\n"); });
    EXPECT_TRUE(run.Says("NET = \n"));
    EXPECT_EQ(run.Folder.Read("Tebra.ENV"),
              "T\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n0\r\n0\r\n0\r\n  0  0  0\r\n");
}

TEST(BadInput, UnwritableEnvironmentFileIsReportedAndEndsWithOne) {
    BadRun run;
    RunWith(run, Start + Stop, "env=no/such/folder.env net=net.net lst=out.lst mdl=model.mdl", NoChange);
    EXPECT_TRUE(run.Says("Load ENV file no/such/folder.env\nSaving ENV on no/such/folder.env\n"
                         "Cannot write ENV file no/such/folder.env\n"));
    EXPECT_TRUE(run.Says("K O R V E L - end\n"));
    EXPECT_EQ(run.Result.ExitCode, 1);
}

// A family's shared environment file, reached through a relative link.
TEST(BadInput, EnvironmentFileThatIsASymbolicLink) {
    BadRun run;
    RunWith(run, Start + Stop, "units=7", [](const TempFolder& folder) {
        mkdir((folder.Path + "/family").c_str(), 0755);
        folder.Write("family/shared.env", Environment);
        chmod((folder.Path + "/family/shared.env").c_str(), 0640);
        std::remove((folder.Path + "/Tebra.ENV").c_str());
        symlink("family/shared.env", (folder.Path + "/Tebra.ENV").c_str());
    });
    EXPECT_EQ(run.Result.ExitCode, 0);
    char target[64] = {};
    EXPECT_GT(readlink((run.Folder.Path + "/Tebra.ENV").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "family/shared.env");
    EXPECT_NE(run.Folder.Read("family/shared.env").find("\r\n*.DIS\r\n7\r\n0\r\n"), std::string::npos);
    struct stat info;
    ASSERT_EQ(stat((run.Folder.Path + "/family/shared.env").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(BadInput, ReadOnlyEnvironmentFileIsLeft) {
    BadRun run;
    RunWith(run, Start + Stop, "units=7", [](const TempFolder& folder) {
        chmod((folder.Path + "/Tebra.ENV").c_str(), 0444);
    });
    EXPECT_TRUE(run.Says("Saving ENV on Tebra.ENV\nCannot write ENV file Tebra.ENV\n"));
    EXPECT_TRUE(run.Says("K O R V E L - end\n"));
    EXPECT_EQ(run.Result.ExitCode, 1);
    EXPECT_EQ(run.Folder.Read("Tebra.ENV"), Environment);
}

// Command line.

TEST(BadInput, NumericKeywordThatIsNoNumber) {
    BadRun run;
    RunWith(run, "\nyes\n\n", "debug=on units=7", NoChange);
    EXPECT_TRUE(run.Says("Ignored argument: debug=on\n"));
    EXPECT_NE(run.Folder.Read("Tebra.ENV").find("\r\n*.DIS\r\n7\r\n0\r\n0\r\n"), std::string::npos);
}

TEST(BadInput, FileKeywordWithALineEnd) {
    BadRun run;
    RunWith(run, "\nyes\n\n", "'net=a\rb'", NoChange);
    EXPECT_TRUE(run.Says("Ignored argument: net=a\rb\n"));
    EXPECT_EQ(run.Folder.Read("Tebra.ENV"), Environment);
}

TEST(BadInput, UnknownKeywordsAndPlainWordsStopTheRun) {
    for (const char* argument : {"rosw=3", "net.net"}) {
        BadRun run;
        RunWith(run, Start + Stop, std::string("title=x ") + argument, NoChange);
        EXPECT_EQ(run.Result.ExitCode, 1);
        EXPECT_EQ(run.Result.Console, std::string("Unknown argument: ") + argument + "\n");
        EXPECT_EQ(run.Folder.Read("Tebra.ENV"), Environment);
        EXPECT_FALSE(run.Folder.Exists("out.lst"));
    }
}

// Listing file.

TEST(BadInput, ListingThatCannotBeOpened) {
    BadRun run;
    RunWith(run, Start + Stop, "", [](const TempFolder& folder) {
        mkdir((folder.Path + "/out.lst").c_str(), 0755);
    });
    EXPECT_EQ(run.Result.ExitCode, 1);
    EXPECT_TRUE(run.Says("Append out.lst\nCannot open out.lst\n"));
    EXPECT_EQ(run.Folder.Read("Tebra.ENV"), Environment);
}

TEST(BadInput, ListingInUseByAnotherRun) {
    RunResult second = BesideAHeldRun(Start + Stop, "");
    EXPECT_EQ(second.ExitCode, 1);
    EXPECT_NE(second.Console.find("Append out.lst\nIn use by another run: out.lst\n"), std::string::npos);
    EXPECT_EQ(second.Console.find("Cannot open"), std::string::npos);
}

// Another listing of the same stem would share the result files.
TEST(BadInput, ResultFilesInUseByAnotherRun) {
    RunResult second = BesideAHeldRun(Start + Stop, "lst=out.txt");
    EXPECT_EQ(second.ExitCode, 1);
    EXPECT_NE(second.Console.find("New file     = In use by another run: out.json\n"), std::string::npos);
    EXPECT_EQ(second.Console.find("Rewrite out.txt"), std::string::npos);
}

TEST(BadInput, ListingWriteFails) {
    BadRun run;
    RunWith(run, Start + Stop, "lst=/dev/full", NoChange);
    EXPECT_TRUE(run.Says("Cannot write /dev/full\n"));
    EXPECT_EQ(run.Result.Console.find("Cannot write /dev/full"), run.Result.Console.rfind("Cannot write /dev/full"));
    EXPECT_TRUE(run.Says("K O R V E L - end\n"));
    EXPECT_EQ(run.Result.ExitCode, 1);
}

// Network file.

static void ExpectNetworkStop(const std::string& network, const std::string& message) {
    BadRun run;
    RunWith(run, Start + Stop, "", [&](const TempFolder& folder) { folder.Write("net.net", network); });
    EXPECT_EQ(run.Result.ExitCode, 1) << network;
    EXPECT_TRUE(run.Says(message)) << run.Result.Console;
    EXPECT_FALSE(run.Says("K O R V E L - end"));
    EXPECT_EQ(run.Folder.Read("Tebra.ENV"), Environment);
    EXPECT_NE(Listing(run).find("MDL - file = model.mdl\r\n"), std::string::npos);
}

TEST(BadInput, MissingNetworkFile) {
    BadRun run;
    RunWith(run, Start + Stop, "net=none.net", NoChange);
    EXPECT_EQ(run.Result.ExitCode, 1);
    EXPECT_TRUE(run.Says("Rewrite none.net\n"));
    EXPECT_TRUE(run.Says("Empty NET file\n"));
    EXPECT_TRUE(run.Folder.Exists("none.net"));
}

// A scripted run asks no names: a missing input file is a mistyped one, and
// nothing is created, the listing included.
TEST(BadInput, MissingInputFileInAScriptedRun) {
    for (const char* arguments : {"net=none.net reps=1", "mdl=none.mdl reps=1", "zep=none.zep run=1"}) {
        BadRun run;
        RunWith(run, "", arguments, NoChange);
        std::string name = std::string(arguments).substr(4, 8);
        EXPECT_EQ(run.Result.ExitCode, 1) << arguments;
        EXPECT_TRUE(run.Says("\nNo such file: " + name + "\n")) << arguments;
        EXPECT_FALSE(run.Folder.Exists(name));
        EXPECT_EQ(run.Folder.Read("Tebra.ENV"), Environment);
    }
}

TEST(BadInput, EmptyNetworkFile) { ExpectNetworkStop("", "Reset model.mdl\nEmpty NET file\n"); }

TEST(BadInput, NetworkFileThatCannotBeOpened) {
    BadRun run;
    RunWith(run, Start + Stop, "net=dir.net", [](const TempFolder& folder) {
        mkdir((folder.Path + "/dir.net").c_str(), 0755);
    });
    EXPECT_EQ(run.Result.ExitCode, 1);
    EXPECT_TRUE(run.Says("Reset dir.net\nCannot open dir.net\n"));
}

TEST(BadInput, NetworkFileEndsTooEarly) {
    ExpectNetworkStop("no counts here\n", "Bad NET file: unexpected end\nThe unfinished item began on line 1\n");
}

TEST(BadInput, BadNumberInTheNetworkFile) {
    ExpectNetworkStop("*Vertices 2\n*Matrix\n1 4294967296\n", "Bad number in NET file, line 3: 4294967296\n");
}

// An escape sequence in a value: read as a bad number, not as a missing one,
// and shown in the message without reaching the terminal.
TEST(BadInput, ControlCharacterInANetworkValue) {
    ExpectNetworkStop("*Vertices 2\n*Arcs\n 1 2 \x1b]0;x\x07\n",
                      "Bad number in NET file, line 3: ^[]0;x^G\n");
}

TEST(BadInput, CtrlZBeforeTheEndOfTheNetworkFile) {
    ExpectNetworkStop("*Vertices 2\r\n*Arcs\r\n 1 2 1\r\n\x1a 2 1 1\r\n",
                      "Bad NET file: Ctrl-Z before the end, line 4\n");
}

// A network larger than the machine's memory is refused before its ties are
// read, with what it would need; one within memory but beyond the counts a
// block holds names the bounds.
TEST(BadInput, NetworkTooLarge) {
    BadRun run;
    RunWith(run, Start + Stop, "", [](const TempFolder& folder) { folder.Write("net.net", "*Vertices 2000000000\n"); });
    EXPECT_EQ(run.Result.ExitCode, 1);
    EXPECT_TRUE(std::regex_search(run.Result.Console,
                                  std::regex("\nNetwork of 2000000000 units needs [0-9]{6,} MB; the machine has [0-9]+ MB\n")))
        << run.Result.Console;
    ExpectNetworkStop("*Vertices 70000\n", "Network size out of range: 70000 units read; at least 1, at most 65535\n"
                                            "ORVEN - fatal error in K O R V E LError 5 : ");
}

TEST(BadInput, NetworkWithoutAKeywordLine) {
    ExpectNetworkStop("*Vertices 2\n*Nothing\n", "form =  5\n*** reading network   2 =   2 +   2 form = 5\n"
                                                "No form keyword at line 2: *Nothing\n"
                                                "ORVEN - fatal error in K O R V E LError 6 : ");
}

TEST(BadInput, NameForAUnitOutOfRange) {
    ExpectNetworkStop("*Vertices 2\n 9 \"Ann\"\n*Matrix\n", "\nError in NAMES\n");
}

TEST(BadInput, ControlCharacterInALabel) {
    ExpectNetworkStop("*Vertices 2\n 1 \"Ann\"\n 2 \"B\x1b[5mob\"\n*Matrix\n", "Control character in a name, line 3\n");
}

TEST(BadInput, ValueLineOutOfRange) {
    BadRun run;
    RunWith(run, Start + Stop, "", [](const TempFolder& folder) {
        folder.Write("net.net", "*Vertices 5 2\n*Edges\n 1 3 1\n 2 9 1\n");
    });
    EXPECT_EQ(run.Result.ExitCode, 1);
    EXPECT_TRUE(run.Says("vertex data   2   7 in network out of range\n"));
    EXPECT_NE(Listing(run).find("\r\n\r\nvertex data   2   7 in network out of range\r\n"), std::string::npos);
}

// Two negative cells of the matrix, said after the reading; they are no ties.
TEST(BadInput, NegativeTieValues) {
    BadRun run;
    RunWith(run, Start + Stop, "", [](const TempFolder& folder) {
        folder.Write("net.net", "*Vertices 5 2\n*Matrix\n1 -1 0\n0 -3 1\n");
    });
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_TRUE(run.Says("form = 1\n\n2 negative tie values read as no tie\n"));
    EXPECT_NE(Listing(run).find("\r\nr-1         1   1 -1  0\r\n"), std::string::npos);  // kept as read
}

// Model file.

TEST(BadInput, MissingModelFileIsTheDefaultModel) {
    BadRun run;
    RunWith(run, Start + Stop, "mdl=none.mdl", NoChange);
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_TRUE(run.Says("Rewrite none.mdl\n"));
    EXPECT_NE(Listing(run).find(" 25600 25600"), std::string::npos);
}

TEST(BadInput, ModelFileThatCannotBeOpened) {
    BadRun run;
    RunWith(run, Start + Stop, "mdl=dir.mdl", [](const TempFolder& folder) {
        mkdir((folder.Path + "/dir.mdl").c_str(), 0755);
    });
    EXPECT_EQ(run.Result.ExitCode, 1);
    EXPECT_TRUE(run.Says("Reset dir.mdl\nCannot open dir.mdl\n"));
}

TEST(BadInput, BadNumberInTheModelFile) {
    BadRun run;
    RunWith(run, Start + Stop, "", [](const TempFolder& folder) { folder.Write("model.mdl", "m\n2 2\n 1 1 1 1x\n"); });
    EXPECT_EQ(run.Result.ExitCode, 1);
    EXPECT_TRUE(run.Says("Bad number in MDL file, line 3: 1x\n"));
    EXPECT_NE(Listing(run).find("    1    1      1"), std::string::npos);
}

TEST(BadInput, ModelSizeOutOfRangeAndBlocksOutsideTheModel) {
    BadRun run;
    RunWith(run, Start + Stop, "", [](const TempFolder& folder) {
        folder.Write("model.mdl", "m\n1 99\n 80 80 1 1\n 0 7 1 1\n");
    });
    EXPECT_EQ(run.Result.ExitCode, 0);
    std::string listing = Listing(run);
    EXPECT_NE(listing.find("   80   80      1  1\r\n    0    7      1  1\r\n\r\nMaxModel rows =  75 cols =  75\r\n"),
              std::string::npos);
    EXPECT_EQ(listing.find(" 24576"), std::string::npos);  // no block got complete
}

TEST(BadInput, TooManyConstraints) {
    BadRun run;
    RunWith(run, Start + Stop, "", [](const TempFolder& folder) {
        std::string model = "m\n2 2\n 0 3 1 0 1\n*C\n";
        for (int k = 0; k < 101; ++k) model += " 5 1 1 1\n";
        folder.Write("model.mdl", model);
    });
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_NE(Listing(run).find("  100    5    1    1  1\r\nTo many constraints (>100)\r\n"), std::string::npos);
}

TEST(BadInput, ConstraintThatDoesNotFitAddsNothing) {
    BadRun run;
    // Unit 200 does not exist: the constraint would otherwise add 1000.
    RunWith(run, Start + Series("0") + Stop, "", [](const TempFolder& folder) {
        folder.Write("model.mdl", "m\n2 2\n 0 3 1 0 1\n*C\n 1 1000 200 1\n");
    });
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_EQ(Listing(run).find("1000.000"), std::string::npos);
    EXPECT_NE(Listing(run).find("final error =       0.000"), std::string::npos);
}

// Partition file.

static void ExpectRefusedBeforeAnyPartition(const std::string& partition, const std::string& message) {
    BadRun run;
    RunWith(run, Start + "1\n\n1\n" + Stop, "", [&](const TempFolder& folder) {
        folder.Write("part.zep", partition);
    });
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_TRUE(run.Says(message)) << run.Result.Console;
    // Nothing to optimize: the list level is asked, then the dialogue again.
    EXPECT_TRUE(run.Says("1 - short list,  2 - list all  = \n***  O R V E N  - 2 mode KORVEL\n"));
    EXPECT_FALSE(run.Says("P*"));
    EXPECT_EQ(run.Folder.Read("part.zep"), partition);
}

TEST(BadInput, MissingPartitionFile) {
    BadRun run;
    RunWith(run, Start + "1\nnone.zep\n\n1\n" + Stop, "", NoChange);
    EXPECT_EQ(run.Result.ExitCode, 0);
    EXPECT_TRUE(run.Says("Rewrite none.zep\nEmpty partition file\nBad partition file\n"));
    EXPECT_TRUE(run.Folder.Exists("none.zep"));
}

TEST(BadInput, EmptyPartitionFile) {
    ExpectRefusedBeforeAnyPartition("", "Reset part.zep\nEmpty partition file\nBad partition file\n");
}

TEST(BadInput, PartitionFileWithABadFirstLine) {
    ExpectRefusedBeforeAnyPartition("*part\n*vertices 5 2 3\n1\n2\n3 4 4\n", "Reset part.zep\nBad partition file\n");
}

TEST(BadInput, PartitionFileWithBadClusters) {
    const std::string head = "*partition  test\n*vertices 5 2 3\n";
    ExpectRefusedBeforeAnyPartition(head + "1\n76\n77 77 78\n", " Reading partition:   test\nBad partition file\n");
    ExpectRefusedBeforeAnyPartition(head + "1\n2\n3\n", "Bad partition file\n");          // too few numbers
    ExpectRefusedBeforeAnyPartition(head + "1\n3\n4 4 5\n", "Bad partition file\n");      // row cluster 2 empty
    ExpectRefusedBeforeAnyPartition(head + "1\n2\n3 x 4\n", "Bad partition file\n");      // not a number
}

TEST(BadInput, PartitionFileThatCannotBeWritten) {
    BadRun run;
    // Each save tries to open the file anew, with its dialogue.
    RunWith(run, Start + Series("3") + ConfirmName + ConfirmName + Stop, "zep=dir.zep", [](const TempFolder& folder) {
        mkdir((folder.Path + "/dir.zep").c_str(), 0755);
    });
    EXPECT_TRUE(run.Says("Rewrite dir.zep\nCannot write partition file dir.zep\n.\n"));
    EXPECT_TRUE(run.Says("K O R V E L - end\n"));
    EXPECT_EQ(run.Result.ExitCode, 1);
}

TEST(BadInput, PartitionFileInUseByAnotherRun) {
    // With a listing of its own, the second run reads the first's partition
    // file, then tries to save a series of two into it.
    RunResult second = BesideAHeldRun(Start + "1\n" + ConfirmName + "1\n" + Series("3") + ConfirmName + ConfirmName + Stop,
                                      "lst=second.lst");
    EXPECT_EQ(second.ExitCode, 1);
    EXPECT_NE(second.Console.find("Reset part.zep\nIn use by another run: part.zep\nInt"), std::string::npos);
    const std::string refused = "Rewrite part.zep\nIn use by another run: part.zep\n";
    EXPECT_NE(second.Console.find(refused), second.Console.rfind(refused));  // both saves
    EXPECT_EQ(second.Console.find("Bad partition file"), std::string::npos);
    EXPECT_EQ(second.Console.find("Cannot write"), std::string::npos);
}

TEST(BadInput, PartitionFileWriteFails) {
    BadRun run;
    RunWith(run, Start + Series("3") + ConfirmName + Stop, "zep=/dev/full", NoChange);
    EXPECT_TRUE(run.Says("Cannot write /dev/full\n"));
    EXPECT_EQ(run.Result.Console.find("Cannot write /dev/full"), run.Result.Console.rfind("Cannot write /dev/full"));
    EXPECT_TRUE(run.Says("K O R V E L - end\n"));
    EXPECT_EQ(run.Result.ExitCode, 1);
}
