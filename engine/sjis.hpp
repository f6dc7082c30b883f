// Shift-JIS (Windows-932) texts.
//
// Engine texts are Shift-JIS bytes, but the sources stay readable UTF-8: a
// literal written "a形式"_sj is converted at compile time, through the code
// table generated from the cp932 codec at build time. A character the code
// page lacks stops the build. to_sjis / to_utf8 convert at run time for the
// front ends and the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo::sjis {

struct CodePair {
    std::uint32_t from;
    std::uint32_t to;
};

#include "sjis_table.inc"

// Binary search of a sorted table; 0 when the key is absent.
template <std::size_t N>
constexpr std::uint32_t lookup(const CodePair (&table)[N], std::uint32_t key) {
    std::size_t lo = 0, hi = N;
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (table[mid].from < key) lo = mid + 1;
        else hi = mid;
    }
    return lo < N && table[lo].from == key ? table[lo].to : 0;
}

// Reads one UTF-8 sequence at s[i]; advances i. Malformed input yields
// U+FFFD and consumes one byte.
constexpr std::uint32_t next_code_point(std::string_view s, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b = byte(i);
    int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
        ++i;
        return 0xFFFD;
    }
    std::uint32_t cp = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        unsigned char c = byte(i + k);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += len;
    return cp;
}

// Appends the Windows-932 bytes of one code point; false when the code page
// has no such character.
template <typename Out>
constexpr bool put_sjis(std::uint32_t cp, Out&& out) {
    if (cp < 0x80) {
        out(static_cast<char>(cp));
        return true;
    }
    std::uint32_t code = lookup(kEncode, cp);
    if (code == 0) return false;
    if (code > 0xFF) out(static_cast<char>(code >> 8));
    out(static_cast<char>(code & 0xFF));
    return true;
}

// True for a byte that starts a double-byte character.
constexpr bool is_lead_byte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Run-time conversions. Characters that cannot be converted become "?".
std::string to_sjis(std::string_view utf8);
std::string to_utf8(std::string_view sjis);
void append_utf8(std::string& out, std::string_view sjis);

// Compile-time conversion of a UTF-8 literal.
template <std::size_t N>
struct Literal {
    char text[N]{};
    consteval Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
    }
};

template <std::size_t N>
struct Fixed {
    char bytes[N]{};
    std::size_t size = 0;
    constexpr std::string_view view() const { return {bytes, size}; }
};

template <Literal L>
consteval auto convert() {
    constexpr std::size_t n = sizeof(L.text);
    Fixed<n> out;
    std::string_view in(L.text, n - 1);
    std::size_t i = 0;
    while (i < in.size()) {
        std::uint32_t cp = next_code_point(in, i);
        if (!put_sjis(cp, [&](char c) { out.bytes[out.size++] = c; }))
            throw "character not in code page 932";
    }
    return out;
}

template <Literal L>
inline constexpr auto kConverted = convert<L>();

}  // namespace zarvo::sjis

namespace zarvo {

// "a形式"_sj: the Shift-JIS bytes of the literal, as a std::string_view.
template <sjis::Literal L>
consteval std::string_view operator""_sj() {
    return sjis::kConverted<L>.view();
}

}  // namespace zarvo
