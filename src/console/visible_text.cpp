// Text from outside the program. Files come from any age and platform, so a
// character is a UTF-8 sequence when it is one and a byte otherwise; no cut
// ever splits a sequence. Control characters are never stored in a name or
// title, and a message shows them in the caret notation of terminals (ESC as
// ^[), which makes them visible and keeps them from acting on the terminal.
#include "console/visible_text.h"

#include "state.h"

bool IsControlCharacter(char c) {
    unsigned char code = static_cast<unsigned char>(c);
    return (code < 32 && c != '\t') || code == 127;
}

size_t FirstControlCharacter(std::string_view text) {
    for (size_t p = 0; p < text.size(); ++p) {
        if (IsControlCharacter(text[p])) return p;
    }
    return std::string_view::npos;
}

bool HasControlCharacter(std::string_view text) { return FirstControlCharacter(text) != std::string_view::npos; }

// The bytes of the UTF-8 sequence that starts at text[p]: its lead byte and
// the continuation bytes that follow, as many as the lead byte announces.
// A byte that starts no sequence stands alone.
static size_t SequenceLength(const char* text, size_t p) {
    unsigned char lead = static_cast<unsigned char>(text[p]);
    size_t wanted = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    size_t length = 1;
    while (length < wanted && (static_cast<unsigned char>(text[p + length]) & 0xC0) == 0x80) ++length;
    return length;
}

std::string FirstCharacters(const std::string& text, int count) {
    size_t p = 0;
    for (int k = 0; k < count && p < text.size(); ++k) p += SequenceLength(text.c_str(), p);
    return text.substr(0, p);
}

std::string FirstBytes(const std::string& text, size_t bytes) {
    size_t p = 0;
    while (p < text.size()) {
        size_t next = p + SequenceLength(text.c_str(), p);
        if (next > bytes) break;
        p = next;
    }
    return text.substr(0, p);
}

int CharacterCount(const char* text) {
    int count = 0;
    for (size_t p = 0; text[p] != '\0'; p += SequenceLength(text, p)) ++count;
    return count;
}

std::string CutTitle(const std::string& text) {
    return FirstCharacters(text.substr(0, FirstControlCharacter(text)), MaxTitleLength);
}

// The letter that follows the caret for control character c.
static char CaretLetter(char c) { return c == 127 ? '?' : static_cast<char>(c + 64); }

std::string VisibleText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        if (IsControlCharacter(c)) {
            shown.push_back('^');
            shown.push_back(CaretLetter(c));
        } else {
            shown.push_back(c);
        }
    }
    return shown;
}

void CopyVisibleText(std::string_view text, char* buffer, size_t size) {
    size_t n = 0;
    for (char c : text) {
        bool control = IsControlCharacter(c);
        if (n + (control ? 2 : 1) >= size) break;
        if (control) {
            buffer[n++] = '^';
            buffer[n++] = CaretLetter(c);
        } else {
            buffer[n++] = c;
        }
    }
    if (size > 0) buffer[n] = '\0';
}
