// Prompted input. An answer that is not valid is never an error: the question
// is simply asked again, until standard input ends, which stops the run
// instead of asking forever.
#include "console/prompts.h"

#include <cmath>
#include <cstdlib>

#include "console/output.h"
#include "console/stop.h"
#include "console/text_input.h"
#include "driver/state.h"

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

int32_t AskInt(const char* prompt, int32_t min, int32_t max) {
    if (min < max) ConPrint("Int [%5d,%5d] ", min, max);
    std::string line;
    for (;;) {
        ConPrint("%s", prompt);
        bool got = ReadConsoleLine(line);
        double number;
        if (got && ParseAnswer(line, number) && std::fabs(number) < 2147483647.0) {
            // The default rounding mode sends halves to the even integer.
            int32_t value = static_cast<int32_t>(std::nearbyint(number));
            if (min >= max || (value >= min && value <= max)) return value;
        }
        if (ConsoleInputEnded) StopOnConsoleEnd();
    }
}

double AskReal(const char* prompt, double min, double max) {
    if (min < max) ConPrint("Real [%9.4f,%9.4f] ", min, max);
    std::string line;
    for (;;) {
        ConPrint("%s", prompt);
        bool got = ReadConsoleLine(line);
        double value;
        if (got && ParseAnswer(line, value) && std::isfinite(value)) {
            if (min >= max || (value >= min && value <= max)) return value;
        }
        if (ConsoleInputEnded) StopOnConsoleEnd();
    }
}

void WaitForEnter() {
    std::string line;
    ReadConsoleLine(line);
}

char AskChar() {
    std::string line;
    ReadConsoleLine(line);
    Ch = line.empty() ? '\0' : line[0];
    return Ch;
}

void FatalError(int32_t code) {
    ConPrint("ORVEN - fatal error in %s", BannerName.c_str());
    ConPrint("Error %d : ", code);
    ConFlush();
    WaitForEnter();
    EndProgram(1);
}
