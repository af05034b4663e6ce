// Reading text: the input files (network, model, partition, environment) and
// the console. Every reader of the system goes through these procedures, so
// that line ends, Ctrl-Z, the end of a file and bad numbers are treated alike.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// A text file being read. Line ends of any platform (CR LF, CR, LF) arrive
// as one CR; a Ctrl-Z or the physical end ends the file. A Ctrl-Z is at the
// end when nothing follows it but further Ctrl-Zs, line ends, blanks and tabs,
// as old DOS files end; one with anything else after it cut the file short,
// and CtrlZLine tells a reader that refuses such a file where it stands.
struct TextFile {
    FILE* Handle;     // null when not open
    int Next;         // the next character, already normalised; -1 at the end
    bool Primed;      // Next has been read from Handle
    bool ReadFailed;  // the operating system reported a read error
    int32_t LineEnds; // line ends taken so far: the current line is LineEnds + 1
    int32_t CtrlZLine; // line of a Ctrl-Z that ended the file before its end; 0 for none
};

// The network and model files: opened by the program flow, read by their readers.
inline TextFile NetFile;
inline TextFile ModelFile;

constexpr int TokenSize = 48;  // characters of a token kept for messages

// Opens a file for reading; false when it cannot be opened or is not a file.
bool OpenTextFile(TextFile& file, const char* name);
void CloseTextFile(TextFile& file);

// True when no character is left (physical end or Ctrl-Z).
bool AtEnd(TextFile& file);
// The next character without taking it: CR for any line end, -1 at the end.
int PeekChar(TextFile& file);
// Takes one character: CR for a whole line end (CR LF, CR or LF), -1 at the end.
int ReadChar(TextFile& file);
// Reads up to and including the next line end.
void SkipLine(TextFile& file);
// Reads the rest of the current line, keeping at most maxLength characters,
// and passes the line end.
std::string ReadLineText(TextFile& file, size_t maxLength);

// Skips blanks, tabs and line ends, then takes the run of characters up to the
// next one of code 32 or less. At the end of the file the value is 0 and the
// result true. The result is false when the token is not a signed decimal
// integer that fits in 32 bits; token then holds it (cut to fit) for the message.
bool ReadInt(TextFile& file, int32_t& value, char (&token)[TokenSize]);

// Converts a whole text as a signed decimal integer of 32 bits.
bool ParseInt32(const char* text, int32_t& value);

// Reads one console line up to a line feed, dropping one CR before it. At the
// end of standard input the line is empty, ConsoleInputEnded is set and the
// result is false.
bool ReadConsoleLine(std::string& line);
