// The main program flow: start-up, the files, the dialogue, the run loop, the end.
#pragma once

// Runs the program from its banner to its end; ends the process.
[[noreturn]] void RunProgram();
