// The network file reader. It scans the file character by character as the
// family's files are laid out: anything up to "*v", the counts, optional name
// lines, a keyword line, then a matrix or value lines. Every scan stops at the
// end of the file, and every bad count, name or value stops the run in order.
#include "network/network_reader.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "console/output.h"
#include "console/prompts.h"
#include "console/stop.h"
#include "console/text_input.h"
#include "driver/state.h"

[[noreturn]] static void StopUnexpectedEnd() {
    ConLine("Bad NET file: unexpected end");
    FlushListing();
    WaitForEnter();
    EndProgram(1);
}

static int32_t ReadNetInt() {
    char token[TokenSize];
    int32_t value;
    if (!ReadInt(NetFile, value, token)) StopOnBadInput("Bad number in NET file: ", token);
    return value;
}

// The next character, which must exist.
static int ReadNetChar() {
    int c = ReadChar(NetFile);
    if (c < 0) StopUnexpectedEnd();
    return c;
}

// The first character of the next line; a full stop stands for the end.
static char FirstCharOfLine() {
    int c = ReadChar(NetFile);
    return c < 0 ? '.' : static_cast<char>(c);
}

// Passes everything up to the "*v" of the counts line and the rest of its word.
static void ScanToCounts() {
    for (;;) {
        if (ReadNetChar() != '*') continue;
        int c = ReadNetChar();
        if (c == 'v' || c == 'V') break;
    }
    while (ReadNetChar() != ' ') {
    }
}

static void ReadCounts() {
    NumUnits = ReadNetInt();
    if (NumUnits > MaxNetUnits) FatalError(5);
    int c = PeekChar(NetFile);
    if (c < 0 || c == '\r') {
        SkipLine(NetFile);
        TwoMode = false;
        NumRows = NumCols = NumUnits;
        ColOffset = 0;
    } else {
        NumRows = ReadNetInt();
        SkipLine(NetFile);
        TwoMode = true;
        // Both counts are checked below; form the difference where it cannot overflow.
        int64_t cols = static_cast<int64_t>(NumUnits) - NumRows;
        NumCols = (cols < -1 || cols > MaxSideUnits) ? -1 : static_cast<int32_t>(cols);
        ColOffset = NumRows;
    }
    if (NumRows < 1 || NumRows > MaxSideUnits || NumCols < 1 || NumCols > MaxSideUnits) {
        FatalError(5);
    }
}

static void SetDefaultNames() {
    for (int k = 1; k <= NumUnits; ++k) {
        std::string name = !TwoMode       ? "v-" + std::to_string(k)
                           : k <= NumRows ? "r-" + std::to_string(k)
                                          : "c-" + std::to_string(k - NumRows);
        std::snprintf(UnitName[k], sizeof UnitName[k], "%s", name.substr(0, NameLength).c_str());
    }
}

// One name line after its leading blank: the unit number, then a label
// between double quotes, of which the first 10 characters are kept.
static void ReadNameLine() {
    int32_t k = ReadNetInt();
    while (ReadNetChar() != '"') {
    }
    char label[NameLength + 1];
    int length = 0;
    for (int c = ReadNetChar(); c != '"'; c = ReadNetChar()) {
        if (length < NameLength) label[length++] = static_cast<char>(c);
    }
    label[length] = '\0';
    if (k < 1 || k > NumUnits) {
        ConEndLine();
        ConLine("Error in NAMES");
        FlushListing();
        WaitForEnter();
        EndProgram(1);
    }
    std::memcpy(UnitName[k], label, length + 1);
}

static void ReadNames() {
    Ch = FirstCharOfLine();
    while (Ch == ' ' || Ch == '%') {
        if (Ch == ' ') ReadNameLine();
        SkipLine(NetFile);
        Ch = FirstCharOfLine();
    }
    for (int k = 1; k <= NumUnits; ++k) {
        size_t length = std::strlen(UnitName[k]);
        std::memset(UnitName[k] + length, ' ', NameLength - length);
        UnitName[k][NameLength] = '\0';
    }
}

static void ReadForm() {
    NetForm = 5;
    if (Ch == '*') {
        int c = ReadChar(NetFile);
        if (c == 'm' || c == 'M') NetForm = 1;
        if (c == 'e' || c == 'E') NetForm = 2;
        if (c == 'a' || c == 'A') NetForm = 3;
        if (!AtEnd(NetFile)) SkipLine(NetFile);
    }
}

static void ReadMatrixValues() {
    for (int i = 1; i <= NumRows; ++i) {
        for (int j = 1; j <= NumCols; ++j) NetworkMatrix[i][j] = ReadNetInt();
    }
    ConEndLine();
}

[[noreturn]] static void StopOutOfRange(int64_t i, int64_t j) {
    ListEndLine();
    ListLine("vertex data %3lld %3lld in network out of range", static_cast<long long>(i),
             static_cast<long long>(j));
    ConLine("vertex data %3lld %3lld in network out of range", static_cast<long long>(i),
            static_cast<long long>(j));
    CloseListing();
    WaitForEnter();
    EndProgram(1);
}

static void ReadValueLines() {
    ListLine("Network %4d = %3d + %3d form = %d", NumUnits, NumRows, NumCols, NetForm);
    for (int i = 1; i <= NumRows; ++i) {
        for (int j = 1; j <= NumCols; ++j) NetworkMatrix[i][j] = 0;
    }
    while (!AtEnd(NetFile)) {
        Ch = FirstCharOfLine();
        if (Ch == '*') {
            int c = ReadChar(NetFile);
            if (c == 'a' || c == 'A') {
                NetForm = 3;
            } else if (c == 'e' || c == 'E') {
                NetForm = 2;
            } else {
                return;
            }
            SkipLine(NetFile);
        } else if (Ch == ' ') {
            int64_t i = ReadNetInt();
            int64_t j = ReadNetInt();
            int32_t v = ReadNetInt();
            SkipLine(NetFile);
            if (TwoMode) j -= NumRows;
            if (i < 1 || i > NumRows || j < 1 || j > NumCols) StopOutOfRange(i, j);
            NetworkMatrix[i][j] = v;
            if (NetForm == 2 && !TwoMode) NetworkMatrix[j][i] = v;
        } else {
            return;
        }
    }
}

void ReadNetwork() {
    if (AtEnd(NetFile)) {
        ConLine("Empty NET file");
        WaitForEnter();
        FlushListing();
        EndProgram(1);
    }
    ScanToCounts();
    ConEndLine();
    ReadCounts();
    Title = "2-mode blockmodeling by local optimization";
    ConLine("%s", Title.c_str());
    SetDefaultNames();
    ReadNames();
    ConLine("ch = %c", Ch);
    ReadForm();
    ConLine("form = %2d", NetForm);
    ConLine("*** reading network%4d = %3d + %3d form = %d", NumUnits, NumRows, NumCols, NetForm);
    if (NetForm < 1 || NetForm > 3) FatalError(6);
    if (NetForm == 1) {
        ReadMatrixValues();
    } else {
        ReadValueLines();
    }
    ListEndLine();
    for (int i = 1; i <= NumRows; ++i) {
        for (int j = 1; j <= NumCols; ++j) BinaryMatrix[i][j] = NetworkMatrix[i][j] > 0 ? 1 : 0;
    }
    for (int k = 1; k <= NumRows; ++k) RowOrder[k] = static_cast<uint8_t>(k);
    for (int k = 1; k <= NumCols; ++k) ColOrder[k] = static_cast<uint8_t>(k);
}
