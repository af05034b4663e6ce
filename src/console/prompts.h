// Questions on the console: the banner, integer and real answers within a
// range and the wait for Enter.
#pragma once

#include <cstdint>
#include <string>

// Writes the banner and waits for Enter.
void ShowBanner(const char* description, const char* versionDate, const char* yearRange);

// An answer given before its question is asked: named on the command line
// (Keyword its keyword) or a scripted run's default (Keyword "").
struct GivenAnswer {
    const char* Keyword;
    std::string Text;
};

// Asks until the answer is an integer within min..max (no range when min >= max).
// A given answer is echoed as if typed; one out of range stops the run.
int32_t AskInt(const char* prompt, int32_t min, int32_t max, const GivenAnswer* given = nullptr);
// Asks until the answer is a real within min..max (no range when min >= max).
double AskReal(const char* prompt, double min, double max, const GivenAnswer* given = nullptr);

// Converts an answer by the answer grammar: blanks, sign, digits, an optional
// fraction and exponent, nothing after. False when the text does not follow it.
bool ParseAnswer(const std::string& text, double& value);

// Reads the answer to the question just asked: the given one, echoed as if
// typed, or one console line. False at the end of standard input.
bool ReadAnswer(const GivenAnswer* given, std::string& line);

// Reads and discards one console line; passes at once in a scripted run.
void WaitForEnter();

// Writes the prompt, reads the answer and gives its first character, or 0
// for an empty one.
char AskChar(const char* prompt, const GivenAnswer* given = nullptr);

// Ends the program on an answer given in advance that its question refuses
// ("Bad argument KEYWORD=TEXT: KEYWORD must be RANGE"), exit code 1.
[[noreturn]] void StopOnGivenAnswer(const char* keyword, const std::string& text, const std::string& range);
