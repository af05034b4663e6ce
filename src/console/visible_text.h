// Text that comes from outside the program (input files, the command line,
// the console): counted and cut by whole UTF-8 characters, checked for
// control characters, and quoted in messages with its control characters
// made visible, so that no escape sequence read from a file reaches the
// terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A control character: codes 0..31 other than the tab, and 127 (DEL).
bool IsControlCharacter(char c);
// The position of the first control character of text; npos when it has none.
size_t FirstControlCharacter(std::string_view text);
bool HasControlCharacter(std::string_view text);

// The first count characters of text, where a UTF-8 sequence counts as one
// character and is never cut.
std::string FirstCharacters(const std::string& text, int count);
// The longest beginning of text of at most bytes bytes that cuts no UTF-8
// sequence, the sequences taken as FirstCharacters takes them.
std::string FirstBytes(const std::string& text, size_t bytes);
// The characters of text, counted as FirstCharacters counts them.
int CharacterCount(const char* text);

// The title a typed or read text gives: the text up to its first control
// character (a title is one line of the environment file), cut to its first
// MaxTitleLength characters.
std::string CutTitle(const std::string& text);

// Text as a message quotes it: each control character as ^@..^_ (the tab
// stays) or ^? for DEL, every other byte as it is.
std::string VisibleText(std::string_view text);
// VisibleText into a buffer of size bytes, cut to fit: for the message of a
// stop, which ends the run and must leave no allocation behind.
void CopyVisibleText(std::string_view text, char* buffer, size_t size);
