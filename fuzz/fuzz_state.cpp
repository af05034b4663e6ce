// The state a reader meets in a fresh run: everything reset, then what the
// program sets before its readers run, so that no input can lean on what the
// previous one left.
#include "fuzz_state.h"

#include "driver/state_reset.h"
#include "settings/environment.h"
#include "state.h"

void ResetFuzzState() {
    ResetProblemState();
    SetEnvironmentDefaults();
    EnvFileName = "Tebra.ENV";
    ListLevel = 1;
    PageLength = 60;
    ProgramName = "KORVEL";
    BannerName = "K O R V E L";
    RunLabel = std::string(10, ' ');
    // Results start empty, as a new random series leaves them.
    for (int k = 1; k <= 10; ++k) TopTen[k].Error = 2e10;
    BestError = 2e10;
}
