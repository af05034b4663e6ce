// Text input. Files are read character by character through stdio with one
// character of lookahead, normalising every line end to a single CR on the
// way in: the readers then see one convention whatever platform made the file.
#include "console/text_input.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "state.h"

bool OpenTextFile(TextFile& file, const char* name) {
    file = TextFile{};
    struct stat info;
    if (stat(name, &info) != 0 || S_ISDIR(info.st_mode)) return false;
    file.Handle = std::fopen(name, "rb");
    return file.Handle != nullptr;
}

void CloseTextFile(TextFile& file) {
    if (file.Handle != nullptr) std::fclose(file.Handle);
    file = TextFile{};
}

// True when the stream holds nothing more but Ctrl-Zs, line ends, blanks and
// tabs. Reads on to the first other character, which the file, ended at the
// Ctrl-Z before, never gives.
static bool OnlyEndFollows(FILE* handle) {
    for (;;) {
        int c = std::getc(handle);
        if (c == EOF) return true;
        if (c != 26 && c != '\r' && c != '\n' && c != ' ' && c != '\t') return false;
    }
}

// The next normalised character from the stream, -1 at its end. The one
// character of lookahead means the characters before it are all taken, so
// a Ctrl-Z met here stands on line LineEnds + 1.
static int Fetch(TextFile& file) {
    if (file.Handle == nullptr) return -1;
    int c = std::getc(file.Handle);
    if (c == EOF) {
        if (std::ferror(file.Handle)) file.ReadFailed = true;
        return -1;
    }
    if (c == 26) {
        if (!OnlyEndFollows(file.Handle)) file.CtrlZLine = file.LineEnds + 1;
        return -1;
    }
    if (c == '\n') return '\r';
    if (c == '\r') {
        int d = std::getc(file.Handle);
        if (d != '\n' && d != EOF) std::ungetc(d, file.Handle);
    }
    return c;
}

int PeekChar(TextFile& file) {
    if (!file.Primed) {
        file.Next = Fetch(file);
        file.Primed = true;
    }
    return file.Next;
}

bool AtEnd(TextFile& file) { return PeekChar(file) < 0; }

int ReadChar(TextFile& file) {
    int c = PeekChar(file);
    // Once the end is seen it stays: a Ctrl-Z ends the file for good.
    if (c >= 0) file.Primed = false;
    if (c == '\r') ++file.LineEnds;
    return c;
}

void SkipLine(TextFile& file) {
    for (;;) {
        int c = ReadChar(file);
        if (c < 0 || c == '\r') return;
    }
}

std::string ReadLineText(TextFile& file, size_t maxLength) {
    std::string text;
    for (;;) {
        int c = ReadChar(file);
        if (c < 0 || c == '\r') return text;
        if (text.size() < maxLength) text.push_back(static_cast<char>(c));
    }
}

bool ParseInt32(const char* text, int32_t& value) {
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    if (*p == '\0') return false;
    int64_t magnitude = 0;
    for (; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > 2147483648LL) return false;
    }
    if (!negative && magnitude > 2147483647LL) return false;
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

bool ReadInt(TextFile& file, int32_t& value, char (&token)[TokenSize]) {
    value = 0;
    token[0] = '\0';
    int c = PeekChar(file);
    while (c == ' ' || c == '\t' || c == '\r') {
        ReadChar(file);
        c = PeekChar(file);
    }
    if (c < 0) return true;
    size_t length = 0;
    bool cut = false;
    while (c > 32) {
        if (length < TokenSize - 1) {
            token[length++] = static_cast<char>(c);
        } else {
            cut = true;
        }
        ReadChar(file);
        c = PeekChar(file);
    }
    token[length] = '\0';
    return !cut && ParseInt32(token, value);
}

bool ReadConsoleLine(std::string& line) {
    std::fflush(stdout);
    line.clear();
    if (ConsoleInputEnded) return false;
    int c = std::getchar();
    if (c == EOF) {
        ConsoleInputEnded = true;
        return false;
    }
    while (c != EOF && c != '\n') {
        line.push_back(static_cast<char>(c));
        c = std::getchar();
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}
