// Fuzzes the command-line keywords: the input, split at NULs and line feeds,
// is the argument list after the program name. The settings the arguments
// give must then survive a save and a read of the environment file.
#include <string>
#include <vector>

#include "environment_round_trip.h"
#include "fuzz_driver.h"
#include "settings/keywords.h"

static void ApplyArguments() {
    ScanEnvKeyword();
    ApplyCommandLine();
}

static std::vector<std::string> SplitArguments(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments{"korvel"};
    std::string current;
    for (size_t k = 0; k < size; ++k) {
        if (data[k] == '\0' || data[k] == '\n') {
            arguments.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[k]));
        }
    }
    if (!current.empty()) arguments.push_back(current);
    return arguments;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzSession();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BeginInput();
    std::vector<std::string> arguments = SplitArguments(data, size);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(&argument[0]);
    pointers.push_back(nullptr);
    ArgCount = static_cast<int>(arguments.size());
    ArgValues = pointers.data();
    // The arguments hold no stop, so a jump out of them would itself be a fault.
    Require(RunGuarded(ApplyArguments), "the command line stopped the run");
    CheckEnvironmentRoundTrip();
    TextFile none{};
    FinishInput(none);
    ArgValues = nullptr;
    return 0;
}
