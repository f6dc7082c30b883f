#include "sjis.hpp"

namespace zarvo::sjis {

std::string to_sjis(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::uint32_t cp = next_code_point(utf8, i);
        if (!put_sjis(cp, [&](char c) { out += c; })) out += '?';
    }
    return out;
}

namespace {
// Writes the code point's UTF-8 bytes (at most three: the table holds the
// Basic Multilingual Plane only) and returns the place after them.
char* put_utf8(std::uint32_t cp, char* out) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}
}  // namespace

std::string to_utf8(std::string_view s) {
    std::string out(3 * s.size(), '\0');  // no byte gives more than three
    char* o = out.data();
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            *o++ = static_cast<char>(b);
            continue;
        }
        std::uint32_t code = b;
        if (is_lead_byte(b) && i + 1 < s.size()) code = (code << 8) | static_cast<unsigned char>(s[++i]);
        std::uint32_t cp = lookup(kDecode, code);
        if (cp == 0) *o++ = '?';
        else o = put_utf8(cp, o);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

}  // namespace zarvo::sjis
