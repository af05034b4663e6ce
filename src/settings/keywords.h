// Command-line keyword=value arguments that override the environment entries.
#pragma once

// Sets EnvFileName from the last env= argument, or "Tebra.ENV".
void ScanEnvKeyword();
// Applies every keyword=value argument in order.
void ApplyCommandLine();
