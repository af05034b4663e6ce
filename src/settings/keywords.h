// Command-line keyword=value arguments that override the environment entries.
#pragma once

#include <string>

// Sets EnvFileName from the last env= argument, or "Tebra.ENV".
void ScanEnvKeyword();
// Applies every keyword=value argument in order.
void ApplyCommandLine();
// The text with its letters in lower case, as keywords are compared.
std::string Lowered(const std::string& text);
// True for a keyword (in lower case) of a file name or an environment number.
bool IsSettingKeyword(const std::string& keyword);
// The value of argument i when it is keyword=value with the given keyword
// (compared in lower case), else null.
const char* KeywordValue(int i, const char* keyword);
