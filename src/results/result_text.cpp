// Escaping for the result files. A valid UTF-8 sequence stands for its
// character; a byte that starts no valid sequence is taken as the Latin-1
// character of that byte (old network files were written in 8-bit code pages),
// so every name comes out as well-formed text and no byte is dropped.
#include "results/result_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

// The length of the valid UTF-8 sequence at p (at most left bytes) and its
// character in code; 0 when p starts no valid sequence (overlong forms,
// surrogates and code points past U+10FFFF are not valid).
static int Utf8Sequence(const unsigned char* p, size_t left, unsigned& code) {
    unsigned b = p[0];
    int length;
    unsigned least;
    if (b < 0x80) {
        code = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2, code = b & 0x1F, least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, code = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, code = b & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (left < static_cast<size_t>(length)) return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (p[k] & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

static void AppendHex(std::string& out, const char* format, unsigned code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, code);
    out += buffer;
}

void AppendJsonText(std::string& out, const char* text, size_t length) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < length;) {
        unsigned code;
        int n = Utf8Sequence(p + i, length - i, code);
        if (n == 0) {  // a stray byte: its Latin-1 character
            AppendHex(out, "\\u%04x", p[i]);
            ++i;
            continue;
        }
        if (code == '"') {
            out += "\\\"";
        } else if (code == '\\') {
            out += "\\\\";
        } else if (code == '\n') {
            out += "\\n";
        } else if (code == '\r') {
            out += "\\r";
        } else if (code == '\t') {
            out += "\\t";
        } else if (code < 0x20) {
            AppendHex(out, "\\u%04x", code);
        } else {
            out.append(text + i, static_cast<size_t>(n));
        }
        i += static_cast<size_t>(n);
    }
}

void AppendXmlText(std::string& out, const char* text, size_t length) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < length;) {
        unsigned code;
        int n = Utf8Sequence(p + i, length - i, code);
        if (n == 0) {
            AppendHex(out, "&#x%X;", p[i]);
            ++i;
            continue;
        }
        switch (code) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                // XML 1.0 has no way to write other control characters, nor
                // U+FFFE and U+FFFF, even as references.
                if ((code < 0x20 && code != '\t' && code != '\n' && code != '\r') || code == 0xFFFE ||
                    code == 0xFFFF)
                    out += "&#xFFFD;";
                else if (code < 0x20)
                    AppendHex(out, "&#x%X;", code);
                else
                    out.append(text + i, static_cast<size_t>(n));
        }
        i += static_cast<size_t>(n);
    }
}

int TextCharacters(const char* text, size_t length) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    int count = 0;
    for (size_t i = 0; i < length; ++count) {
        unsigned code;
        int n = Utf8Sequence(p + i, length - i, code);
        i += n == 0 ? 1 : static_cast<size_t>(n);
    }
    return count;
}

size_t TrimmedLength(const char* name) {
    size_t length = std::strlen(name);
    while (length > 0 && name[length - 1] == ' ') --length;
    return length;
}

void AppendFormat(std::string& out, const char* format, ...) {
    char buffer[256];
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (n > 0 && static_cast<size_t>(n) < sizeof buffer) {
        out.append(buffer, static_cast<size_t>(n));
    } else if (n > 0) {  // longer than the buffer: format again in place
        size_t at = out.size();
        out.resize(at + static_cast<size_t>(n) + 1);
        std::vsnprintf(&out[at], static_cast<size_t>(n) + 1, format, again);
        out.resize(at + static_cast<size_t>(n));
    }
    va_end(again);
    va_end(args);
}
