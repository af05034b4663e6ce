// The progress line. It is written with a carriage return before it and
// blanks over the rest of a longer line before it, so that it needs nothing
// of the terminal beyond what every terminal does; the line is left open, as
// progress marks are, so a message or the next dialogue starts a new line.
#include "results/progress_line.h"

#include <unistd.h>

#include <chrono>
#include <string>

#include "console/output.h"
#include "criterion/block_listings.h"
#include "results/result_text.h"
#include "state.h"

using ProgressClock = std::chrono::steady_clock;

static const double UpdateSeconds = 0.2;  // between two rewrites of the line

static ProgressClock::time_point SeriesStart;
static ProgressClock::time_point LastUpdate;
static size_t LineLength;  // of the line last written, to blank out its rest

bool ProgressLineShown() {
    static const bool terminal = isatty(STDOUT_FILENO) == 1;
    return terminal && ScriptedRun && RunMode == RandomRun && !WritesMovesOnConsole() && !AskSave;
}

void StartProgressLine() {
    SeriesStart = ProgressClock::now();
    LastUpdate = SeriesStart;
    LineLength = 0;
}

// Seconds as m:ss, or h:mm:ss from an hour on.
static void AppendDuration(std::string& out, double seconds) {
    long whole = static_cast<long>(seconds + 0.5);
    if (whole >= 3600) {
        AppendFormat(out, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        AppendFormat(out, "%ld:%02ld", whole / 60, whole % 60);
    }
}

void UpdateProgressLine() {
    // A series asked for 0 repetitions runs one.
    int32_t asked = Max(RepLimit, 1);
    ProgressClock::time_point now = ProgressClock::now();
    bool last = RepCount >= asked;
    if (RepCount > 1 && !last && std::chrono::duration<double>(now - LastUpdate).count() < UpdateSeconds) return;
    LastUpdate = now;
    double elapsed = std::chrono::duration<double>(now - SeriesStart).count();
    double left = elapsed / RepCount * (asked - RepCount);
    // A time budget may end the series first.
    if (SeriesSeconds > 0 && SeriesSeconds - elapsed < left)
        left = SeriesSeconds > elapsed ? SeriesSeconds - elapsed : 0;
    std::string line;
    if (SeriesSeconds > 0 && asked == MaxRepetitions) {
        // The time ends the series: the repetitions asked for say nothing.
        AppendFormat(line, "%d repetitions, best error %s, ", RepCount, ErrorText(BestError).c_str());
    } else {
        AppendFormat(line, "%*d/%d repetitions, best error %s, ", static_cast<int>(std::to_string(asked).size()),
                     RepCount, asked, ErrorText(BestError).c_str());
    }
    AppendDuration(line, elapsed);
    line += " elapsed, ";
    AppendDuration(line, left);
    line += " left";
    size_t length = line.size();
    if (length < LineLength) line.append(LineLength - length, ' ');
    LineLength = length;
    ConMark("\r%s", line.c_str());
    ConFlush();
}
