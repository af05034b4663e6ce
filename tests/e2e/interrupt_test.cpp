// Ctrl-C sent to a real process in the middle of a random series: the first
// ends the series after its running repetition and keeps the work, the
// second ends the program at once.
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
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    // Emptied before the child starts, so that no earlier run's console is seen.
    int output = open((folder.Path + "/.stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.Path.c_str()) != 0) _exit(99);
        dup2(pipeEnds[0], 0);
        dup2(output, 1);
        dup2(output, 2);
        close(pipeEnds[1]);
        signal(SIGINT, SIG_DFL);
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
    EXPECT_EQ(console.substr(console.size() - 18), "K O R V E L - end\n");
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
    kill(run.Pid, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return run;
}

TEST(Interrupt, AnInterruptedTypedRunAsksNothingMoreAndASecondCtrlCEndsAtOnce) {
    TempFolder folder;
    UseDavis(folder);
    // The answer being typed is still taken; then the run ends without
    // asking for a run mode or waiting for Enter, though input stays open.
    Child first = StartAskingSeries(folder);
    ASSERT_EQ(write(first.Input, "n\n", 2), 2);
    int status = WaitForEnd(first.Pid);
    close(first.Input);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_NE(folder.Read("Model.LST").find(" NUMBER OF CLUSTERINGS =      1\r\n"), std::string::npos);

    // Sent again until it ends, in case a busy machine has not yet run the
    // handler of the first, which would merge the two.
    Child second = StartAskingSeries(folder);
    status = -1;
    for (int tries = 0; tries < 100 && status == -1; ++tries) {
        kill(second.Pid, SIGINT);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        int ended;
        if (waitpid(second.Pid, &ended, WNOHANG) == second.Pid) status = ended;
    }
    close(second.Input);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGINT);
}
