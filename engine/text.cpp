#include "text.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

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

long find(std::string_view s, std::string_view pattern, long from) {
    from = clamp0(from);
    if (from > len(s)) return -1;
    // Hex text has sixteen letters, so a plain scan stops at every sixth or
    // so character; a longer pattern is searched by skipping ahead instead.
    if (pattern.size() >= 8) {
        auto begin = s.begin() + from;
        auto hit = std::search(begin, s.end(), std::boyer_moore_horspool_searcher(pattern.begin(), pattern.end()));
        return hit == s.end() ? -1 : static_cast<long>(hit - s.begin());
    }
    size_t at = s.find(pattern, static_cast<size_t>(from));
    return at == std::string_view::npos ? -1 : static_cast<long>(at);
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

long count(std::string_view s, char ch, int mode) {
    auto fold = [mode](char c) {
        return mode == 1 && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    char want = fold(ch);
    return std::count_if(s.begin(), s.end(), [&](char c) { return fold(c) == want; });
}

namespace {
int digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}
}  // namespace

unsigned char hex_pair(char hi, char lo) { return static_cast<unsigned char>(digit(hi) * 16 + digit(lo)); }

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
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        std::memcpy(p, &kPairs[2 * b], 2);
        p += 2;
    }
    return out;
}

std::string ascii_lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace zarvo::text
