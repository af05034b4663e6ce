// Fuzzes the environment file reader: the input is the whole environment file.
// Whatever it held, the settings read must save and read back unchanged.
#include "console/visible_text.h"
#include "environment_round_trip.h"
#include "fuzz_driver.h"
#include "settings/environment.h"

static TextFile EnvInput;

static void ReadInput() { ReadEnvironment(EnvInput); }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzSession();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BeginInput();
    UseInputBytes(EnvInput, data, size);
    if (RunGuarded(ReadInput)) {
        Require(CharacterCount(Title.c_str()) <= MaxTitleLength, "title longer than 70 characters");
        Require(!HasControlCharacter(Title), "a control character in the title");
        ShowEnvironment();
        CheckEnvironmentRoundTrip();
    }
    FinishInput(EnvInput);
    return 0;
}
