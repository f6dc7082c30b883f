// The hex image: a byte sample rendered as uppercase "%02X" text, two
// characters per byte, no separators. Byte k is characters 2k and 2k+1.
// Every signature is a text test against such an image.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "text.hpp"

namespace zarvo {

class HexImage {
public:
    HexImage() = default;
    explicit HexImage(std::string hex) : hex_(std::move(hex)) {}
    static HexImage of_bytes(std::string_view bytes) { return HexImage(text::to_hex(bytes)); }

    std::string_view text() const { return hex_; }
    long size() const { return static_cast<long>(hex_.size()); }
    bool empty() const { return hex_.empty(); }

    // The image holds `pattern` from byte k (a slice past the end fails).
    bool at(long k, std::string_view pattern) const { return at_char(2 * k, pattern); }
    // The same from character position c (a single hex digit may be tested).
    bool at_char(long c, std::string_view pattern) const {
        if (pattern.empty()) return true;  // an empty slice equals it anywhere
        if (c < 0) c = 0;
        std::size_t pos = static_cast<std::size_t>(c);
        if (pos > hex_.size() || hex_.size() - pos < pattern.size()) return false;
        // Most rows fail on their first digit: look at it before comparing the rest.
        if (hex_[pos] != pattern[0]) return false;
        // Patterns are short: compared here rather than through a library call.
        for (std::size_t i = 1; i < pattern.size(); ++i)
            if (hex_[pos + i] != pattern[i]) return false;
        return true;
    }
    // First occurrence of `pattern` at or after character `from`, or -1.
    long find(std::string_view pattern, long from = 0) const { return text::find(hex_, pattern, from); }
    std::string_view mid(long i) const { return text::mid(hex_, i); }
    std::string_view mid(long i, long c) const { return text::mid(hex_, i, c); }
    // The hex text of `count` bytes from byte k (shorter near the end; none for a negative count).
    std::string_view bytes(long k, long count) const { return mid(2 * k, 2 * count); }
    // Value of byte k, or -1 when the image does not reach it.
    int byte(long k) const {
        return 2 * k + 1 < size() && k >= 0 ? text::hex_pair(hex_[2 * k], hex_[2 * k + 1]) : -1;
    }
    // Drops the first n characters (the MacBinary cut).
    void drop_front(long n) { hex_.erase(0, std::min<size_t>(hex_.size(), static_cast<size_t>(n < 0 ? 0 : n))); }

private:
    std::string hex_;
};

}  // namespace zarvo
