// Text of the result files for other programs: formatted numbers, and names
// and titles escaped for JSON and for XML. Names come from network files of
// any age, so they may be UTF-8 or an older 8-bit code page; both must come
// out as well-formed text.
#pragma once

#include <cstddef>
#include <string>

// Appends printf-style formatted text of any length.
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Appends text as the inside of a JSON string (without the quotes).
void AppendJsonText(std::string& out, const char* text, size_t length);
// Appends text as XML character data, fit for an element or an attribute.
void AppendXmlText(std::string& out, const char* text, size_t length);
// The number of characters of text as the escapes above read it.
int TextCharacters(const char* text, size_t length);
// The length of a unit name without the blanks that pad it.
size_t TrimmedLength(const char* name);
