// The handler only sets a flag of type sig_atomic_t, the one thing a handler
// may safely do; the run loop looks at it between repetitions. SA_RESETHAND
// gives the default action back as the handler runs, so a second Ctrl-C ends
// the program at once however long the rest of the repetition takes.
// SA_RESTART keeps a console read that the signal interrupts going, so that
// an answer being typed is not taken for the end of the input. A program
// started with SIGINT ignored (a background job) leaves it ignored.
#include "driver/interrupts.h"

#include <signal.h>

#include "state.h"

static void OnSeriesInterrupt(int) { SeriesInterrupted = 1; }

static bool InterruptIgnored() {
    struct sigaction current {};
    sigaction(SIGINT, nullptr, &current);
    return current.sa_handler == SIG_IGN;
}

void CatchSeriesInterrupt() {
    if (InterruptIgnored()) return;
    struct sigaction action {};
    action.sa_handler = OnSeriesInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

void ReleaseSeriesInterrupt() {
    if (InterruptIgnored()) return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}
