// Command-line keyword=value arguments that override the environment entries.
#pragma once

// Sets EnvFileName from the last env= argument, or "Tebra.ENV".
void ScanEnvKeyword();
// Applies every keyword=value argument in order.
void ApplyCommandLine();
// The value of argument i when it is keyword=value with the given keyword
// (compared in lower case), else null.
const char* KeywordValue(int i, const char* keyword);
