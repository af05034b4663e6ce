// The fuzz driver's side of the program's one exit: EndProgram calls the hook
// installed here, which jumps back into RunGuarded instead of ending the
// process, so that the program itself keeps ending exactly as it always does.
#include "fuzz_driver.h"

#include <csetjmp>
#include <cstdlib>

#include "console/stop.h"
#include "console/text_input.h"
#include "fuzz_state.h"

static std::jmp_buf StopJump;
static bool Guarded = false;
static int StopExitCode = 0;

// The jump skips the destructors of the frames between the reader's stop and
// RunGuarded; the readers hold no heap text across a stop, so nothing leaks.
[[noreturn]] static void JumpBackToDriver(int exitCode) {
    if (!Guarded) std::abort();
    StopExitCode = exitCode;
    std::longjmp(StopJump, 1);
}

void StartFuzzSession() {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    if (std::freopen("/dev/null", "r", stdin) == nullptr) std::abort();
    EndProgramHook = JumpBackToDriver;
}

void BeginInput() {
    ResetFuzzState();
    ConsoleInputEnded = true;
    ListingFile = std::fopen("/dev/null", "wb");
    if (ListingFile == nullptr) std::abort();
}

void UseInputBytes(TextFile& file, const uint8_t* data, size_t size) {
    file = TextFile{};
    // fmemopen refuses an empty buffer; /dev/null reads as the empty file.
    file.Handle = size > 0 ? fmemopen(const_cast<uint8_t*>(data), size, "rb")
                           : std::fopen("/dev/null", "rb");
    if (file.Handle == nullptr) std::abort();
}

bool RunGuarded(void (*reader)()) {
    Guarded = true;
    if (setjmp(StopJump) != 0) {
        Guarded = false;
        Require(StopExitCode != 0, "a stop on bad input ended with exit code 0");
        return false;
    }
    reader();
    Guarded = false;
    return true;
}

void FinishInput(TextFile& file) {
    CloseOutputFiles();
    CloseTextFile(file);
}

void Require(bool holds, const char* message) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", message);
    std::abort();
}
