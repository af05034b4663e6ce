// Ends of a run. Stops on bad input show what was read and keep whatever was
// already written to the listing and the partition file.
#include "console/stop.h"

#include <cstdio>
#include <cstdlib>

#include "console/output.h"
#include "state.h"

static void ClosePartitionOutput() {
    if (PartitionFile == nullptr) return;
    if (std::fclose(PartitionFile) != 0 && !PartitionWriteFailed) {
        PartitionWriteFailed = true;
        ConMessage("Cannot write %s", PartFileName.c_str());
    }
    PartitionFile = nullptr;
    PartFileOpen = false;
}

void CloseOutputFiles() {
    CloseListing();
    ClosePartitionOutput();
}

void EndProgram(int exitCode) {
    if (StopBackgroundSearch != nullptr) {
        void (*stop)() = StopBackgroundSearch;
        StopBackgroundSearch = nullptr;
        stop();
    }
    CloseOutputFiles();
    ConFlush();
    if (EndProgramHook != nullptr) EndProgramHook(exitCode);
    std::exit(exitCode);
}

void StopOnConsoleEnd() {
    ConEndLine();
    ConLine("End of console input");
    EndProgram(1);
}
