// Text operations and helpers shared by the frame and every family.
//
// Positions count characters from 0; negative arguments count as 0; no
// operation ever reads outside its text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo::text {

std::string_view left(std::string_view s, long n);
std::string_view right(std::string_view s, long n);
// Characters from i to the end.
std::string_view mid(std::string_view s, long i);
// Characters from i, at most c of them (a negative count takes none).
std::string_view mid(std::string_view s, long i, long c);
// First position at or after `from` where `pattern` starts, or -1.
long find(std::string_view s, std::string_view pattern, long from = 0);

// The key of two characters: for two hex digits, the byte they spell; any
// other character counts as one of the sixteen digits (its low four bits),
// so that every pair has a key.
inline std::size_t pair_key(char a, char b) {
    static constexpr auto kNibble = [] {
        std::array<std::uint8_t, 256> nibble{};
        for (int c = 0; c < 256; ++c)
            nibble[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(
                c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c & 15);
        return nibble;
    }();
    return static_cast<std::size_t>(kNibble[static_cast<unsigned char>(a)] << 4 | kNibble[static_cast<unsigned char>(b)]);
}

// Field n (from 1) of `s` split at `sep`; the last field when n is larger.
std::string_view field(std::string_view s, long n, std::string_view sep = ",");
// Number of positions holding `ch`.
long count(std::string_view s, char ch);

// Value of an uppercase hex digit; any other character counts 0.
int hex_digit(char c);
// Value of two hex digits (each as hex_digit reads it).
unsigned char hex_pair(char hi, char lo);
// The bytes that the digit pairs spell, every pair (zero bytes included); a
// lone final digit is dropped.
std::string from_hex(std::string_view hex);
// Characters whose codes the digit pairs spell, from position 0, ending
// before the first pair "00", at most 1023 characters. `padding` is either
// empty or "0": with "0" an odd final digit is read as that digit and 0; a
// lone final digit is otherwise dropped.
std::string decode_hex(std::string_view hex, std::string_view padding = "");
// Value of three decimal digits (0 to 999); a non-digit counts as 0.
int three_digits(std::string_view s);
// False when a byte at a true byte boundary is 01-07 or 0E-19.
bool plain_text(std::string_view hex_image);

// Uppercase "%02X" rendering of bytes.
std::string to_hex(std::string_view bytes);

// ASCII-only lower-casing (UTF-8 and double-byte safe: bytes >= 0x80 stay).
inline char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string ascii_lower(std::string_view s);

}  // namespace zarvo::text
