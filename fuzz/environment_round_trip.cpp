// Saves the settings to text, reads the text back through the real reader and
// saves again: both texts must be the same bytes. The settings are restored
// afterwards, so that a target may go on checking what it read.
#include "environment_round_trip.h"

#include <cstdint>
#include <string>

#include "console/text_input.h"
#include "fuzz_driver.h"
#include "settings/environment.h"

void CheckEnvironmentRoundTrip() {
    std::string saved = EnvironmentText();
    std::string title = Title;
    TextFile file;
    UseInputBytes(file, reinterpret_cast<const uint8_t*>(saved.data()), saved.size());
    ReadEnvironment(file);
    CloseTextFile(file);
    std::string again = EnvironmentText();
    Require(again == saved, "the environment file does not read back as saved");
    Title = title;
}
