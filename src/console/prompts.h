// Questions on the console: the banner, integer and real answers within a
// range and the wait for Enter.
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

// Reads the answer to the question just asked with prompt: the answer named
// on the command line, echoed as if typed (keyword then names its argument,
// "" for a scripted run's default), or one console line (keyword null).
// False at the end of standard input.
bool ReadAnswer(const char* prompt, std::string& line, const char*& keyword);

// Reads and discards one console line; passes at once in a scripted run.
void WaitForEnter();

// Writes the prompt, reads the answer and gives its first character, or 0
// for an empty one.
char AskChar(const char* prompt);
