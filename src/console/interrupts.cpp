// One handler serves the series and the writes at the end of a run; the mode
// it reads says which. A handler may only make async-signal-safe calls, so it
// sets a flag of type sig_atomic_t that the run loop looks at between
// repetitions, notes the time of the first Ctrl-C with the monotonic clock,
// and ends the program itself with write(2) and _exit: the running repetition
// may take long, and buffered files are not touched from here.
// SA_RESTART keeps a console read that the signal interrupts going, so that
// an answer being typed is not taken for the end of the input. A program
// started with SIGINT ignored (a background job) leaves it ignored.
#include "console/interrupts.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "state.h"

static volatile std::sig_atomic_t Mode = InterruptEndsProgram;
// Written by the handler only, at the first Ctrl-C.
static struct timespec FirstInterrupt;

static bool SecondOrMoreSince(const struct timespec& first, const struct timespec& now) {
    int64_t nanoseconds = (int64_t{now.tv_sec} - first.tv_sec) * 1000000000 + (now.tv_nsec - first.tv_nsec);
    return nanoseconds >= 1000000000;
}

static void OnInterrupt(int) {
    int savedErrno = errno;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (!SeriesInterrupted) {
        FirstInterrupt = now;
        SeriesInterrupted = 1;
    } else if (Mode == InterruptEndsSeries && SecondOrMoreSince(FirstInterrupt, now)) {
        // The console line holds progress marks or a question: the message
        // starts a line of its own.
        static const char message[] = "\nInterrupted again: the series is not reported\n";
        if (write(STDOUT_FILENO, message, sizeof message - 1) < 0) {
            // Nothing more can be said; the exit code tells.
        }
        _exit(130);
    }
    errno = savedErrno;
}

static bool InterruptIgnored() {
    struct sigaction current {};
    sigaction(SIGINT, nullptr, &current);
    return current.sa_handler == SIG_IGN;
}

static void Install(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

// The mode is set before the handler is installed and after it is removed,
// so that the handler never runs in the mode of the default action.
static void SetMode(InterruptMode mode) {
    if (InterruptIgnored()) return;
    if (mode == InterruptEndsProgram) {
        Install(SIG_DFL);
        Mode = mode;
    } else {
        Mode = mode;
        Install(OnInterrupt);
    }
}

void CatchSeriesInterrupt() { SetMode(InterruptEndsSeries); }

void ReleaseSeriesInterrupt() { SetMode(InterruptEndsProgram); }

InterruptMode HoldInterrupt() {
    InterruptMode before = static_cast<InterruptMode>(Mode);
    SetMode(InterruptHeld);
    return before;
}

void EndHold(InterruptMode before) {
    if (!SeriesInterrupted) SetMode(before);
}
