#include "escape.hpp"

#include <cstdint>

namespace oxtarn::cli {

namespace {

// The length of the well-formed UTF-8 sequence at the start of `s`, and its
// code point; 0 when it is not one.
std::size_t utf8_sequence(std::string_view s, std::uint32_t& cp) {
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char c = b(0);
    std::size_t n;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (s.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i) & 0x3F);
    }
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

bool sjis_lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool sjis_trail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

void octal(std::string& out, unsigned char c) {
    out += '\\';
    out += static_cast<char>('0' + (c >> 6));
    out += static_cast<char>('0' + ((c >> 3) & 7));
    out += static_cast<char>('0' + (c & 7));
}

// An ASCII byte: as it is, or its escape.
void ascii(std::string& out, unsigned char c, bool name) {
    switch (c) {
        case '\\': out += "\\\\"; return;
        case '\n': out += "\\n"; return;
        case '\t': out += "\\t"; return;
        case '\r': out += "\\r"; return;
        case '\a': out += "\\a"; return;
        case '\b': out += "\\b"; return;
        case '\f': out += "\\f"; return;
        case '\v': out += "\\v"; return;
        case ' ':
            out += name ? "\\ " : " ";
            return;
        default:
            if (c < 0x20 || c == 0x7F) octal(out, c);
            else out += static_cast<char>(c);
    }
}

}  // namespace

void append_escaped(std::string& out, std::string_view text, Charset charset, bool name) {
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ascii(out, c, name);
            ++i;
            continue;
        }
        if (charset == Charset::kShiftJis) {
            // A double-byte character stays whole (its trail byte may be a
            // backslash); half-width katakana (A1-DF) are single bytes.
            if (sjis_lead(c) && i + 1 < text.size() && sjis_trail(static_cast<unsigned char>(text[i + 1]))) {
                out.append(text.substr(i, 2));
                i += 2;
            } else if (c >= 0xA1 && c <= 0xDF) {
                out += static_cast<char>(c);
                ++i;
            } else {
                octal(out, c);
                ++i;
            }
            continue;
        }
        std::uint32_t cp = 0;
        std::size_t n = utf8_sequence(text.substr(i), cp);
        if (n == 0 || (cp >= 0x80 && cp < 0xA0)) {
            // Not text, or a C1 control (which a terminal may obey): each byte as a number.
            std::size_t bad = n == 0 ? 1 : n;
            for (std::size_t k = 0; k < bad; ++k) octal(out, static_cast<unsigned char>(text[i + k]));
            i += bad;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
}

bool is_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t cp = 0;
        std::size_t n = utf8_sequence(text.substr(i), cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

}  // namespace oxtarn::cli
