// Lines, tokens and numbers of a network file. Tie values may be written as
// reals by today's tools (10.0, 0.25); they are rounded here, once, so that the
// rest of the system keeps its integer ties.
#include "network/net_lines.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "console/bad_input.h"
#include "console/text_input.h"
#include "console/visible_text.h"
#include "state.h"

void CheckNetFileEnd() {
    if (NetFile.CtrlZLine > 0) {
        StopOnBadInput("Bad NET file: Ctrl-Z before the end, line %d", NetFile.CtrlZLine);
    }
}

bool ReadNetLine(NetLine& line) {
    if (AtEnd(NetFile)) {
        CheckNetFileEnd();
        return false;
    }
    line.Number = NetFile.LineEnds + 1;
    line.Text.clear();
    line.Pos = 0;
    int c = ReadChar(NetFile);
    for (; c >= 0 && c != '\r'; c = ReadChar(NetFile)) line.Text.push_back(static_cast<char>(c));
    if (c < 0) CheckNetFileEnd();
    return true;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char FirstMark(const NetLine& line) {
    for (char c : line.Text) {
        if (!IsBlank(c)) return c;
    }
    return '\r';
}

LineKind KindOfLine(const NetLine& line) {
    char mark = FirstMark(line);
    if (mark == '\r') return LineKind::Blank;
    if (mark == '%') return LineKind::Comment;
    if (mark == '*') return LineKind::Keyword;
    char first = line.Text[0];
    if (IsBlank(first) || (first >= '0' && first <= '9') || first == '+' || first == '-') {
        return LineKind::Data;
    }
    return LineKind::Other;
}

std::string_view NextToken(NetLine& line) {
    const std::string& text = line.Text;
    while (line.Pos < text.size() && IsBlank(text[line.Pos])) ++line.Pos;
    size_t start = line.Pos;
    while (line.Pos < text.size() && !IsBlank(text[line.Pos])) ++line.Pos;
    return std::string_view(text).substr(start, line.Pos - start);
}

// A number longer than this is refused: no integer or tie value needs more.
constexpr size_t MaxNumberLength = 255;

// Copies a token into a terminated buffer; false when it is too long to be a
// number, or holds a NUL, which would end the copy early and pass for the end.
static bool CopyToken(std::string_view token, char (&buffer)[MaxNumberLength + 1]) {
    size_t length = token.size() < MaxNumberLength ? token.size() : MaxNumberLength;
    token.copy(buffer, length);
    buffer[length] = '\0';
    return token.size() <= MaxNumberLength && token.find('\0') == std::string_view::npos;
}

void StopOnBadNetNumber(int32_t lineNumber, std::string_view token) {
    char shown[2 * MaxNumberLength + 1];
    CopyVisibleText(token.substr(0, MaxNumberLength), shown, sizeof shown);
    StopOnBadInput("Bad number in NET file, line %d: %s", lineNumber, shown);
}

int32_t NetInt(const NetLine& line, std::string_view token) {
    char text[MaxNumberLength + 1];
    int32_t value;
    if (!CopyToken(token, text) || !ParseInt32(text, value)) StopOnBadNetNumber(line.Number, token);
    return value;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A real number: a sign, digits with at most one point among or around them
// (at least one digit), then an optional exponent. Tells whether any digit of
// the mantissa is not 0, which decides the sign of a value too small to hold.
static bool IsRealNumber(std::string_view token, bool& nonzero) {
    size_t p = 0;
    nonzero = false;
    if (p < token.size() && (token[p] == '+' || token[p] == '-')) ++p;
    int digits = 0;
    for (; p < token.size() && IsDigit(token[p]); ++p, ++digits) nonzero |= token[p] != '0';
    if (p < token.size() && token[p] == '.') {
        for (++p; p < token.size() && IsDigit(token[p]); ++p, ++digits) nonzero |= token[p] != '0';
    }
    if (digits == 0) return false;
    if (p < token.size() && (token[p] == 'e' || token[p] == 'E')) {
        ++p;
        if (p < token.size() && (token[p] == '+' || token[p] == '-')) ++p;
        if (p == token.size() || !IsDigit(token[p])) return false;
        while (p < token.size() && IsDigit(token[p])) ++p;
    }
    return p == token.size();
}

int32_t NetValue(const NetLine& line, std::string_view token, bool& rounded, double& real) {
    char text[MaxNumberLength + 1];
    int32_t value;
    rounded = false;
    if (!CopyToken(token, text)) StopOnBadNetNumber(line.Number, token);
    if (ParseInt32(text, value)) {
        // criterion=val adds what is missing up to M: a negative value has no meaning there.
        if (Criterion == ValuesCriterion && value < 0)
            StopOnBadInput("Negative value in NET file, line %d", line.Number);
        real = value;
        return value;
    }
    bool nonzero;
    if (!IsRealNumber(token, nonzero)) StopOnBadNetNumber(line.Number, token);
    double exact = std::strtod(text, nullptr);
    if (!std::isfinite(exact)) StopOnBadNetNumber(line.Number, token);
    real = exact;
    if (Criterion == ValuesCriterion && exact < 0) StopOnBadInput("Negative value in NET file, line %d", line.Number);
    double whole = std::round(exact);
    // A tie written in the file stays a tie, however small its value.
    if (whole == 0 && nonzero) whole = token[0] == '-' ? -1 : 1;
    if (whole < -2147483648.0 || whole > 2147483647.0) StopOnBadNetNumber(line.Number, token);
    rounded = whole != exact;
    return static_cast<int32_t>(whole);
}
