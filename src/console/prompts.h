// Questions on the console: the banner, integer and real answers within a
// range, the wait for Enter and the fatal error.
#pragma once

#include <cstdint>
#include <string>

// Writes the banner and waits for Enter.
void ShowBanner(const char* description, const char* versionDate, const char* yearRange);

// Asks until the answer is an integer within min..max (no range when min >= max).
int32_t AskInt(const char* prompt, int32_t min, int32_t max);
// Asks until the answer is a real within min..max (no range when min >= max).
double AskReal(const char* prompt, double min, double max);

// Converts an answer by the answer grammar: blanks, sign, digits, an optional
// fraction and exponent, nothing after. False when the text does not follow it.
bool ParseAnswer(const std::string& text, double& value);

// Reads and discards one console line.
void WaitForEnter();

// Reads one console line and gives its first character, or 0 for an empty one.
char AskChar();

// Writes the fatal error line, waits for Enter and ends with exit code 1.
[[noreturn]] void FatalError(int32_t code);
