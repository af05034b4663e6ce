// Page accounting of the listing. Only announced lines are counted; the page
// header's own four lines never are.
#include "console/listing_pages.h"

#include <string>

#include "console/output.h"
#include "console/visible_text.h"
#include "state.h"

static void WritePageHeader() {
    std::string program = ProgramName.substr(0, 7);
    ListLine("\f***  O R V E N  - Network analysis - %7s%12s          Page -%5d", program.c_str(),
             RunLabel.c_str(), PageNumber);
    // The title's field is counted in characters, as names are, so that a
    // cut never splits a UTF-8 character.
    int characters = CharacterCount(Title.c_str());
    if (characters > 60) {
        ListLine("%s  %17s", FirstCharacters(Title, 60).c_str(), "");
    } else {
        ListLine("%s%*s%17s", Title.c_str(), 62 - characters, "", "");
    }
    ListEndLine();
    ListEndLine();
}

void NewLines(int32_t n) {
    if (n < 0) n = (LineOnPage - n > PageLength) ? 100 : 0;
    LineOnPage += n;
    if (LineOnPage <= PageLength) return;
    ++PageNumber;
    LineOnPage = (n <= PageLength) ? n : 0;
    WritePageHeader();
}
