#include "sjis.hpp"

#include <array>
#include <cstring>

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

namespace {
// Where a code stands in the direct table: single bytes 0x80 to 0xFF first,
// then every pair of a lead byte 0x80 to 0xFF and any trail byte.
constexpr std::size_t slot(std::uint32_t code) {
    return code < 0x100 ? code - 0x80 : 0x80 + ((code >> 8) - 0x80) * 0x100 + (code & 0xFF);
}

// The decoding table by slot (0: no character), so that a run-time
// conversion looks each character up at once.
constexpr auto kDecodeBySlot = [] {
    std::array<std::uint16_t, 0x80 + 0x80 * 0x100> by_slot{};
    for (const CodePair& pair : kDecode) {
        if (pair.from < 0x80 || pair.to > 0xFFFF) throw "the decoding table holds a code it cannot place";
        by_slot[slot(pair.from)] = static_cast<std::uint16_t>(pair.to);
    }
    return by_slot;
}();
}  // namespace

void append_utf8(std::string& out, std::string_view s) {
    const std::size_t start = out.size();
    out.resize(start + 3 * s.size());  // no byte gives more than three
    char* o = out.data() + start;
    for (std::size_t i = 0; i < s.size(); ++i) {
        // Runs of ASCII (candidate lists, most descriptions) go eight bytes at a time.
        std::uint64_t eight;
        while (i + 8 <= s.size() && (std::memcpy(&eight, s.data() + i, 8), (eight & 0x8080808080808080u) == 0)) {
            std::memcpy(o, s.data() + i, 8);
            o += 8;
            i += 8;
        }
        if (i == s.size()) break;
        auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            *o++ = static_cast<char>(b);
            continue;
        }
        std::uint32_t code = b;
        if (is_lead_byte(b) && i + 1 < s.size()) code = (code << 8) | static_cast<unsigned char>(s[++i]);
        std::uint32_t cp = kDecodeBySlot[slot(code)];
        if (cp == 0) *o++ = '?';
        else o = put_utf8(cp, o);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

std::string to_utf8(std::string_view s) {
    std::string out;
    append_utf8(out, s);
    return out;
}

}  // namespace zarvo::sjis
