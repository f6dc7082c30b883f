#include "text.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace zarvo::text {

namespace {
long clamp0(long v) { return v < 0 ? 0 : v; }
long len(std::string_view s) { return static_cast<long>(s.size()); }
}  // namespace

std::string_view left(std::string_view s, long n) { return s.substr(0, static_cast<size_t>(clamp0(n))); }

std::string_view right(std::string_view s, long n) {
    n = std::min(clamp0(n), len(s));
    return s.substr(static_cast<size_t>(len(s) - n));
}

std::string_view mid(std::string_view s, long i) {
    i = clamp0(i);
    return i >= len(s) ? std::string_view() : s.substr(static_cast<size_t>(i));
}

std::string_view mid(std::string_view s, long i, long c) { return mid(s, i).substr(0, static_cast<size_t>(clamp0(c))); }

namespace {
// Eight characters at a time, as one word whose lowest byte is the first
// character (the word tricks below assume that order).
constexpr bool kWordwise = std::endian::native == std::endian::little;
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;

std::uint64_t word_at(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// The high bit of each byte of `w` that is zero, and of no other byte.
std::uint64_t zero_bytes(std::uint64_t w) { return ~(((w & ~kHighs) + ~kHighs) | w) & kHighs; }
// Not zero exactly when some byte of `w` is zero (cheaper; which bytes it
// marks may be wrong above a zero byte).
std::uint64_t some_zero_byte(std::uint64_t w) { return (w - kOnes) & ~w & kHighs; }
}  // namespace

long find(std::string_view s, std::string_view pattern, long from) {
    from = clamp0(from);
    if (from > len(s)) return -1;
    const std::size_t m = pattern.size(), n = s.size();
    if (m == 0) return from;
    if (m > n - static_cast<std::size_t>(from)) return -1;
    // Hex text has only sixteen letters, so a first character alone stops a
    // scan every few places. A place is looked at only where the pattern's
    // first and last characters both stand, found eight places at a time.
    const char* h = s.data();
    const char first = pattern[0], last = pattern[m - 1];
    auto matches = [&](std::size_t i) {
        return h[i] == first && h[i + m - 1] == last && std::memcmp(h + i + 1, pattern.data() + 1, m > 1 ? m - 2 : 0) == 0;
    };
    std::size_t i = static_cast<std::size_t>(from);
    if (kWordwise) {
        const std::uint64_t firsts = kOnes * static_cast<unsigned char>(first);
        const std::uint64_t lasts = kOnes * static_cast<unsigned char>(last);
        // Per place from i to i + 7, a zero byte where both characters stand.
        auto misfits_at = [&](std::size_t i) { return (word_at(h + i) ^ firsts) | (word_at(h + i + m - 1) ^ lasts); };
        // The first place marked in `both` (places i to i + 7) where the pattern stands.
        auto first_match = [&](std::size_t i, std::uint64_t both) -> long {
            for (; both; both &= both - 1) {
                std::size_t at = i + static_cast<std::size_t>(std::countr_zero(both) / 8);
                if (std::memcmp(h + at + 1, pattern.data() + 1, m > 1 ? m - 2 : 0) == 0) return static_cast<long>(at);
            }
            return -1;
        };
        for (; i + m - 1 + 16 <= n; i += 16) {  // sixteen places a round: one branch for most rounds
            std::uint64_t low = misfits_at(i), high = misfits_at(i + 8);
            if ((some_zero_byte(low) | some_zero_byte(high)) == 0) continue;
            if (long at = first_match(i, zero_bytes(low)); at >= 0) return at;
            if (long at = first_match(i + 8, zero_bytes(high)); at >= 0) return at;
        }
        for (; i + m - 1 + 8 <= n; i += 8)
            if (long at = first_match(i, zero_bytes(misfits_at(i))); at >= 0) return at;
        // Fewer than eight places left: the last eight places are looked at
        // once more, without those already seen.
        if (i + m <= n && n - (m - 1) >= 8) {
            std::size_t last = n - (m - 1) - 8;
            return first_match(last, zero_bytes(misfits_at(last)) & (~std::uint64_t{0} << (8 * (i - last))));
        }
    }
    for (; i + m <= n; ++i)
        if (matches(i)) return static_cast<long>(i);
    return -1;
}

std::string_view field(std::string_view s, long n, std::string_view sep) {
    if (sep.empty()) return s;
    size_t start = 0;
    for (long k = 1; k < n; ++k) {
        size_t next = s.find(sep, start);
        if (next == std::string_view::npos) break;
        start = next + sep.size();
    }
    size_t end = s.find(sep, start);
    return s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

long count(std::string_view s, char ch) {
    long n = 0;
    std::size_t i = 0;
    if (kWordwise) {
        const std::uint64_t chs = kOnes * static_cast<unsigned char>(ch);
        for (; i + 8 <= s.size(); i += 8) n += static_cast<long>(((zero_bytes(word_at(s.data() + i) ^ chs) >> 7) * kOnes) >> 56);  // the bytes found, summed
    }
    return n + static_cast<long>(std::count(s.begin() + static_cast<long>(i), s.end(), ch));
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

unsigned char hex_pair(char hi, char lo) { return static_cast<unsigned char>(hex_digit(hi) * 16 + hex_digit(lo)); }

std::string from_hex(std::string_view hex) {
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(hex_pair(hex[i], hex[i + 1]));
    return bytes;
}

std::string decode_hex(std::string_view hex, std::string_view padding) {
    constexpr size_t kMaxChars = 1023;
    std::string out;
    for (size_t i = 0; i < hex.size() && out.size() < kMaxChars; i += 2) {
        char lo;
        if (i + 1 < hex.size()) lo = hex[i + 1];
        else if (!padding.empty()) lo = padding[0];
        else break;  // a lone final digit is dropped
        unsigned char b = hex_pair(hex[i], lo);
        if (b == 0) break;
        out += static_cast<char>(b);
    }
    return out;
}

int three_digits(std::string_view s) {
    int value = 0;
    for (size_t k = 0; k < 3; ++k) {
        char c = k < s.size() ? s[k] : '0';
        value = value * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
    }
    return value;
}

bool plain_text(std::string_view hex) {
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        unsigned char b = hex_pair(hex[i], hex[i + 1]);
        if ((b >= 0x01 && b <= 0x07) || (b >= 0x0E && b <= 0x19)) return false;
    }
    return true;
}

namespace {
// "00" to "FF": the two characters of every byte value.
constexpr auto kPairs = [] {
    std::array<char, 512> pairs{};
    constexpr char digits[] = "0123456789ABCDEF";
    for (int b = 0; b < 256; ++b) {
        pairs[2 * b] = digits[b >> 4];
        pairs[2 * b + 1] = digits[b & 0xF];
    }
    return pairs;
}();
}  // namespace

std::string to_hex(std::string_view bytes) {
    std::string out(bytes.size() * 2, '\0');
    char* p = out.data();
    auto put = [&](char c) {
        std::memcpy(p, &kPairs[2 * std::size_t{static_cast<unsigned char>(c)}], 2);
        p += 2;
    };
    std::size_t i = 0;
    for (; i + 4 <= bytes.size(); i += 4) {  // four bytes a round
        put(bytes[i]);
        put(bytes[i + 1]);
        put(bytes[i + 2]);
        put(bytes[i + 3]);
    }
    for (; i < bytes.size(); ++i) put(bytes[i]);
    return out;
}

std::string ascii_lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ascii_lower(c);
    return out;
}

}  // namespace zarvo::text
