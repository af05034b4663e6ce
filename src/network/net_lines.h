// The lines of a network file after its counts line: each line is taken whole
// and then split into tokens, numbers and labels, so that no scan can run on
// into the next line and every message can name the line it is about.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// One line of the network file and how far it has been read.
struct NetLine {
    std::string Text;  // the line without its line end
    size_t Pos;        // the next character to read
    int32_t Number;    // the line's number in the file, from 1
};

// What a line holds, told by its first character that is not a blank or tab.
enum class LineKind {
    Blank,    // nothing but blanks and tabs
    Comment,  // a '%'
    Keyword,  // a '*'
    Data,     // a number first, or a line that begins with a blank or tab
    Other,    // anything else at the very start of the line
};

// Reads the next line of NetFile; false when the file has ended. Stops the
// run when the line or the file ends at a Ctrl-Z that is not at the end.
bool ReadNetLine(NetLine& line);
// Stops the run with "Bad NET file: Ctrl-Z before the end, line L" when
// NetFile has ended at such a Ctrl-Z; called wherever the reader meets the end.
void CheckNetFileEnd();
LineKind KindOfLine(const NetLine& line);
// The first character of the line that is not a blank or tab; CR for none.
char FirstMark(const NetLine& line);

// The next token of the line, skipping blanks and tabs: the run of characters
// up to the next blank or tab. Only they separate the fields of a line: any
// other character, a control character too, belongs to its token, so that a
// field holding one is refused as a bad number rather than read as missing.
// Empty when the line has no more. It points into the line: no copy is made,
// so a stop on a bad token leaks nothing.
std::string_view NextToken(NetLine& line);

// A token of the line as a 32-bit integer; stops the run on a token that is not one.
int32_t NetInt(const NetLine& line, std::string_view token);
// A token of the line as a tie value: an integer, or a real number rounded to the
// nearest integer, halves away from zero, where a value that is positive in
// the file never becomes 0 (nor a negative one). Stops the run on a bad token.
// rounded tells whether rounding changed the value.
int32_t NetValue(const NetLine& line, std::string_view token, bool& rounded, double& real);

// Stops the run in order with "Bad number in NET file, line L: " and the token.
[[noreturn]] void StopOnBadNetNumber(int32_t lineNumber, std::string_view token);

