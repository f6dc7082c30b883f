// Reading numbers out of byte regions, for the layer's computing rows. Every
// reader is bounded: a number that the region does not hold whole reads as 0
// (use the `has` test when 0 is a meaningful value).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo::current::bytes {

inline bool has(std::string_view b, std::size_t at, std::size_t n) { return at <= b.size() && b.size() - at >= n; }

inline std::uint64_t be(std::string_view b, std::size_t at, std::size_t n) {
    if (!has(b, at, n)) return 0;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}
inline std::uint64_t le(std::string_view b, std::size_t at, std::size_t n) {
    if (!has(b, at, n)) return 0;
    std::uint64_t v = 0;
    for (std::size_t i = n; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}
inline std::uint32_t u8(std::string_view b, std::size_t at) { return static_cast<std::uint32_t>(be(b, at, 1)); }
inline std::uint32_t be16(std::string_view b, std::size_t at) { return static_cast<std::uint32_t>(be(b, at, 2)); }
inline std::uint32_t le16(std::string_view b, std::size_t at) { return static_cast<std::uint32_t>(le(b, at, 2)); }
inline std::uint32_t be32(std::string_view b, std::size_t at) { return static_cast<std::uint32_t>(be(b, at, 4)); }
inline std::uint32_t le32(std::string_view b, std::size_t at) { return static_cast<std::uint32_t>(le(b, at, 4)); }
inline std::uint64_t be64(std::string_view b, std::size_t at) { return be(b, at, 8); }
inline std::uint64_t le64(std::string_view b, std::size_t at) { return le(b, at, 8); }

// The region holds `text` at `at`.
inline bool at(std::string_view b, std::size_t at, std::string_view text) {
    return has(b, at, text.size()) && b.substr(at, text.size()) == text;
}

// Text of a fixed-width field (a label, a name): up to the first byte outside
// printable ASCII (a zero byte included), trailing spaces cut.
inline std::string field_text(std::string_view b, std::size_t at, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n && has(b, at + i, 1); ++i) {
        unsigned char c = static_cast<unsigned char>(b[at + i]);
        if (c < 0x20 || c > 0x7E) break;
        out += static_cast<char>(c);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace zarvo::current::bytes
