// Prompted input. An answer that is not valid is never an error: the question
// is simply asked again, until standard input ends, which stops the run
// instead of asking forever.
#include "console/prompts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "console/output.h"
#include "console/stop.h"
#include "console/text_input.h"
#include "state.h"

void ShowBanner(const char* description, const char* versionDate, const char* yearRange) {
    ConLine("O  R  V  E  N   /  PC  -  research");
    ConLine("network structure analysis programs");
    ConLine("%s   - %s", BannerName.c_str(), description);
    ConLine("version: %s", versionDate);
    ConLine("Copyright (c) %s the ORVEN authors", yearRange);
    WaitForEnter();
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool ParseAnswer(const std::string& text, double& value) {
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    size_t start = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = i;
    while (i < n && IsDigit(text[i])) ++i;
    if (i == digits) return false;
    if (i < n && text[i] == '.') {
        size_t fraction = ++i;
        while (i < n && IsDigit(text[i])) ++i;
        if (i == fraction) return false;
    }
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        size_t exponent = i;
        while (i < n && IsDigit(text[i])) ++i;
        if (i == exponent) return false;
    }
    if (i != n) return false;
    value = std::strtod(text.c_str() + start, nullptr);
    return true;
}

bool ReadAnswer(const GivenAnswer* given, std::string& line) {
    if (given != nullptr) {
        line = given->Text;
        ConLine("%s", line.c_str());
        return true;
    }
    return ReadConsoleLine(line);
}

void StopOnGivenAnswer(const char* keyword, const std::string& text, const std::string& range) {
    if (*keyword == '\0') {
        ConLine("No scripted answer for this question: %s", text.c_str());
    } else {
        ConLine("Bad argument %s=%s: %s must be %s", keyword, text.c_str(), keyword, range.c_str());
    }
    EndProgram(1);
}

int32_t AskInt(const char* prompt, int32_t min, int32_t max, const GivenAnswer* given) {
    if (min < max) ConPrint("Int [%5d,%5d] ", min, max);
    std::string line;
    for (;;) {
        ConPrint("%s", prompt);
        bool got = ReadAnswer(given, line);
        double number;
        if (got && ParseAnswer(line, number) && std::fabs(number) < 2147483647.0) {
            // The default rounding mode sends halves to the even integer.
            int32_t value = static_cast<int32_t>(std::nearbyint(number));
            if (min >= max || (value >= min && value <= max)) return value;
        }
        // An answer given in advance would be refused again and again.
        if (given != nullptr) StopOnGivenAnswer(given->Keyword, line, std::to_string(min) + ".." + std::to_string(max));
        if (ConsoleInputEnded) StopOnConsoleEnd();
    }
}

double AskReal(const char* prompt, double min, double max, const GivenAnswer* given) {
    if (min < max) ConPrint("Real [%9.4f,%9.4f] ", min, max);
    std::string line;
    for (;;) {
        ConPrint("%s", prompt);
        bool got = ReadAnswer(given, line);
        double value;
        if (got && ParseAnswer(line, value) && std::isfinite(value)) {
            if (min >= max || (value >= min && value <= max)) return value;
        }
        if (given != nullptr) {
            char range[64];
            std::snprintf(range, sizeof range, "%g..%g", min, max);
            StopOnGivenAnswer(given->Keyword, line, range);
        }
        if (ConsoleInputEnded) StopOnConsoleEnd();
    }
}

void WaitForEnter() {
    // A scripted run has nobody to press Enter.
    if (ScriptedRun) return;
    std::string line;
    ReadConsoleLine(line);
}

char AskChar(const char* prompt, const GivenAnswer* given) {
    ConPrint("%s", prompt);
    std::string line;
    ReadAnswer(given, line);
    return line.empty() ? '\0' : line[0];
}
