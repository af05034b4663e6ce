// Stops on bad input. Every reader ends the run here, so that what was already
// written to the listing is kept and the user sees the message before the
// window closes.
#include "console/bad_input.h"

#include <cstdarg>
#include <cstdio>

#include "console/output.h"
#include "console/prompts.h"
#include "console/stop.h"
#include "state.h"

void StopOnBadInput(const char* format, ...) {
    char line[1024];  // room for the longest token a reader quotes, made visible
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    ConMessage("%s", line);
    StopAfterMessage();
}

void StopAfterMessage() {
    FlushListing();
    WaitForEnter();
    EndProgram(1);
}

void FatalError(int32_t code) {
    ConPrint("ORVEN - fatal error in %s", BannerName.c_str());
    ConPrint("Error %d : ", code);
    ConFlush();
    StopAfterMessage();
}
