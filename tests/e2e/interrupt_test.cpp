// Ctrl-C sent to a real process in the middle of a random series: the first
// ends the series after its running repetition and keeps the work, a second
// one a second or more later ends the program at once. While the report and
// the files after it are written, Ctrl-C waits for them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

// A running program: its process and the write end of its standard input.
struct Child {
    pid_t Pid;
    int Input;
};

static Child StartKorvel(const TempFolder& folder, std::vector<std::string> arguments) {
    // A program that ended early fails the test's write to it, not the test.
    signal(SIGPIPE, SIG_IGN);
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    // Emptied before the child starts, so that no earlier run's console is seen.
    int output = open((folder.Path + "/.stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = fork();
    if (pid == 0) {
        // A group of its own, to be signalled as a tool signals a process and its group.
        setpgid(0, 0);
        if (chdir(folder.Path.c_str()) != 0) _exit(99);
        dup2(pipeEnds[0], 0);
        dup2(output, 1);
        dup2(output, 2);
        close(pipeEnds[1]);
        signal(SIGINT, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
        setenv("KORVEL_SEED", "2026", 1);
        std::vector<char*> argv;
        static char program[] = "korvel";
        argv.push_back(program);
        for (std::string& argument : arguments) argv.push_back(&argument[0]);
        argv.push_back(nullptr);
        execv(KORVEL_BINARY, argv.data());
        _exit(98);
    }
    close(pipeEnds[0]);
    close(output);
    return Child{pid, pipeEnds[1]};
}

static bool ConsoleShows(const TempFolder& folder, const std::string& text) {
    for (int tries = 0; tries < 3000; ++tries) {
        if (folder.Read(".stdout").find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The wait status of the child, or -1 when it does not end within a minute.
static int WaitForEnd(pid_t pid) {
    for (int tries = 0; tries < 6000; ++tries) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

static void UseDavis(const TempFolder& folder) {
    for (const char* name : {"davis.net", "null-complete.mdl"}) {
        std::ifstream in(std::string(KORVEL_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        folder.Write(name, text.str());
    }
}

static bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// On two search threads: the repetitions searched ahead are dropped.
TEST(Interrupt, FirstCtrlCEndsTheSeriesAndKeepsItsReport) {
    TempFolder folder;
    UseDavis(folder);
    Child run = StartKorvel(folder, {"net=davis.net", "mdl=null-complete.mdl", "rows=2", "cols=3", "reps=100000",
                                     "threads=2"});
    close(run.Input);
    ASSERT_TRUE(ConsoleShows(folder, "\n     51>"));
    kill(run.Pid, SIGINT);
    int status = WaitForEnd(run.Pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    std::string console = folder.Read(".stdout");
    size_t at = console.find("\nInterrupted: the series ends after repetition ");
    ASSERT_NE(at, std::string::npos);
    // The report counts exactly the repetitions recorded.
    int last = std::atoi(console.c_str() + at + 47);
    EXPECT_GT(last, 50);
    char counted[64];
    std::snprintf(counted, sizeof counted, " NUMBER OF CLUSTERINGS = %6d\r\n", last);
    EXPECT_NE(folder.Read("Model.LST").find(counted), std::string::npos);
    // The summary of the series reported follows the end of the console.
    EXPECT_TRUE(EndsWith(console.substr(0, console.find("\nSummary\nSeries of 2 x 3 clusters, ")),
                         "K O R V E L - end\n"));
    EXPECT_TRUE(EndsWith(console, "Model-cols.clu, Model.clu\n"));
    std::string listing = folder.Read("Model.LST");
    EXPECT_NE(listing.find(" T O P   T E N"), std::string::npos);
    EXPECT_NE(listing.find("final error =      52.000\r\n"), std::string::npos);
    EXPECT_NE(folder.Read("Model.json").find("52"), std::string::npos);
    EXPECT_TRUE(folder.Exists("Model.svg"));
    // Saved at the end: the file created at start held the default names.
    EXPECT_NE(folder.Read("Tebra.ENV").find("\r\ndavis.net\r\n"), std::string::npos);
}

// A typed run of 1000 repetitions with save option 1 (ask), waiting at its
// first "save clustering" question.
static Child StartAskingSeries(const TempFolder& folder) {
    static const char answers[] = "\nn\n\n\n\n\n1\n1\n0\n-1\n2\n2\n2\n1000\n1\n1\n";
    Child run = StartKorvel(folder, {"net=davis.net", "mdl=null-complete.mdl"});
    EXPECT_EQ(write(run.Input, answers, sizeof answers - 1), static_cast<ssize_t>(sizeof answers - 1));
    EXPECT_TRUE(ConsoleShows(folder, "save clustering (Yes/No) ? "));
    return run;
}

// The series of the run is reported in full: listing, JSON, picture and the
// environment saved with the files used (it was created with the defaults).
static void ExpectWholeReport(const TempFolder& folder, int clusterings) {
    char counted[64];
    std::snprintf(counted, sizeof counted, " NUMBER OF CLUSTERINGS = %6d\r\n", clusterings);
    std::string listing = folder.Read("Model.LST");
    EXPECT_NE(listing.find(counted), std::string::npos);
    size_t last = listing.rfind("\r\nfinal error =");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(listing.find("\r\n", last + 2) + 2, listing.size());
    std::string json = folder.Read("Model.json");
    EXPECT_NE(json.find("\"clusterings\": " + std::to_string(clusterings) + ","), std::string::npos);
    EXPECT_TRUE(EndsWith(json, "\r\n  ]\r\n}\r\n"));
    EXPECT_TRUE(EndsWith(folder.Read("Model.svg"), "</svg>\r\n"));
    EXPECT_NE(folder.Read("Tebra.ENV").find("\r\ndavis.net\r\n"), std::string::npos);
}

TEST(Interrupt, AnInterruptedTypedRunAsksNothingMoreAndASecondCtrlCEndsAtOnce) {
    TempFolder folder;
    UseDavis(folder);
    // The answer being typed is still taken; then the run ends without
    // asking for a run mode or waiting for Enter, though input stays open.
    Child first = StartAskingSeries(folder);
    kill(first.Pid, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(write(first.Input, "n\n", 2), 2);
    int status = WaitForEnd(first.Pid);
    close(first.Input);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_NE(folder.Read("Model.LST").find(" NUMBER OF CLUSTERINGS =      1\r\n"), std::string::npos);

    // Sent again until it ends: the one that comes a second or more after
    // the first ends the run at once, without its report.
    Child second = StartAskingSeries(folder);
    auto firstSent = std::chrono::steady_clock::now();
    kill(second.Pid, SIGINT);
    status = -1;
    for (int tries = 0; tries < 100 && status == -1; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kill(second.Pid, SIGINT);
        int ended;
        if (waitpid(second.Pid, &ended, WNOHANG) == second.Pid) status = ended;
    }
    auto ended = std::chrono::steady_clock::now();
    close(second.Input);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_GE(ended - firstSent, std::chrono::seconds(1));
    EXPECT_TRUE(EndsWith(folder.Read(".stdout"), "? \nInterrupted again: the series is not reported\n"));
    // Only the first run's report is in the listing.
    std::string listing = folder.Read("Model.LST");
    EXPECT_EQ(listing.find("NUMBER OF CLUSTERINGS"), listing.rfind("NUMBER OF CLUSTERINGS"));
}

// As a tool that signals a process and its group, then once more a moment
// later: all within the second of the first, one Ctrl-C. The question being
// answered is still taken, and the series of one repetition is reported.
TEST(Interrupt, CtrlCsWithinASecondOfTheFirstAreOne) {
    TempFolder folder;
    UseDavis(folder);
    Child run = StartAskingSeries(folder);
    kill(run.Pid, SIGINT);
    kill(-run.Pid, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(run.Pid, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(write(run.Input, "n\n", 2), 2);
    int status = WaitForEnd(run.Pid);
    close(run.Input);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_TRUE(EndsWith(folder.Read(".stdout"), "K O R V E L - end\n"));
    ExpectWholeReport(folder, 1);
}

// Sends SIGINT every fifth of a millisecond until the program ends; gives its wait status.
static int InterruptUntilEnd(pid_t pid) {
    for (int tries = 0; tries < 300000; ++tries) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        kill(pid, SIGINT);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

// Ctrl-C pressed again and again from the last repetition of a series on:
// the first that comes after the series ended lands in the report or the
// writes after it, which end whole before the run exits with 130. A run whose
// first Ctrl-C still caught the series, or that ended before any came, is
// tried again.
TEST(Interrupt, CtrlCDuringTheReportWaitsForTheWritesToEnd) {
    bool held = false;
    for (int attempt = 0; attempt < 50 && !held; ++attempt) {
        TempFolder folder;
        UseDavis(folder);
        Child run = StartKorvel(folder, {"net=davis.net", "mdl=null-complete.mdl", "rows=2", "cols=3", "reps=51",
                                         "save=3", "threads=2"});
        close(run.Input);
        // Read without a pause: the report follows the last mark within milliseconds.
        bool last = false;
        for (int tries = 0; tries < 1000000 && !last; ++tries)
            last = folder.Read(".stdout").find("\n     51>") != std::string::npos;
        ASSERT_TRUE(last);
        int status = InterruptUntilEnd(run.Pid);
        ASSERT_TRUE(WIFEXITED(status));
        std::string console = folder.Read(".stdout");
        if (WEXITSTATUS(status) == 0 || console.find("\nInterrupted: ") != std::string::npos) continue;
        held = true;
        EXPECT_EQ(WEXITSTATUS(status), 130);
        EXPECT_TRUE(EndsWith(console.substr(0, console.find("\nSummary\nSeries of 2 x 3 clusters, 51 repetitions")),
                             "K O R V E L - end\n"));
        ExpectWholeReport(folder, 51);
        // Every clustering of the series is saved, each whole.
        std::string saved = folder.Read("Model.ZEP");
        size_t count = 0;
        for (size_t at = saved.find("*partition"); at != std::string::npos; at = saved.find("*partition", at + 1))
            ++count;
        EXPECT_EQ(count, 51u);
        EXPECT_TRUE(EndsWith(saved, "\r\n"));
    }
    EXPECT_TRUE(held);
}
