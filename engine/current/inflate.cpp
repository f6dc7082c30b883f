// Raw DEFLATE, decoded from the public format definition: blocks of three
// kinds, canonical Huffman codes given by their code lengths, lengths and
// distances with extra bits. Codes are decoded a bit at a time against the
// count of codes of each length, which needs no tables beyond the lengths'
// counts and the symbols in code order.
#include "current/inflate.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zarvo::current {

namespace {

constexpr int kMaxBits = 15;
constexpr int kLitLenSymbols = 288;  // 286 and 287 take part in the fixed code, never in data
constexpr int kDistSymbols = 30;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistBase = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,    65,    97,    129,
                                                     193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                     6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order the code length code's lengths come in.
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A canonical code: how many codes have each length, and the symbols in
// code order (by length, then by symbol).
struct Code {
    std::array<std::uint16_t, kMaxBits + 1> count{};
    std::array<std::uint16_t, kLitLenSymbols> symbol{};
};

enum class Built { complete, single, none, invalid };

// Builds the code for lengths[0..n). Over-subscribed sets are invalid;
// incomplete ones are too, save a single code of one bit (`single`) and no
// codes at all (`none`), which the caller judges.
Built build(Code& c, const std::uint8_t* lengths, int n) {
    c.count.fill(0);
    for (int s = 0; s < n; ++s) ++c.count[lengths[s]];
    if (c.count[0] == n) return Built::none;
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
        left = (left << 1) - c.count[len];
        if (left < 0) return Built::invalid;
    }
    std::array<std::uint16_t, kMaxBits + 2> offset{};
    for (int len = 1; len <= kMaxBits; ++len) offset[len + 1] = static_cast<std::uint16_t>(offset[len] + c.count[len]);
    for (int s = 0; s < n; ++s)
        if (lengths[s] != 0) c.symbol[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);
    if (left == 0) return Built::complete;
    return n - c.count[0] == 1 && c.count[1] == 1 ? Built::single : Built::invalid;
}

class Decoder {
public:
    Decoder(std::string_view in, std::size_t limit, std::string& out) : in_(in), limit_(limit), out_(out) {}

    Inflate run() {
        bool last = false;
        while (!last) {
            last = bits(1) == 1;
            std::uint32_t type = bits(2);
            if (status_ != Inflate::done) return status_;
            if (type == 0) stored();
            else if (type == 1) fixed();
            else if (type == 2) dynamic();
            else fail(Inflate::invalid);
            if (status_ != Inflate::done) return status_;
        }
        return Inflate::done;
    }

private:
    std::string_view in_;
    std::size_t limit_;
    std::string& out_;
    std::size_t pos_ = 0;       // next byte of input to take into the bit buffer
    std::uint32_t buffer_ = 0;  // bits taken but not used, lowest first
    int held_ = 0;              // how many
    Inflate status_ = Inflate::done;

    bool failed() const { return status_ != Inflate::done; }
    void fail(Inflate why) {
        if (!failed()) status_ = why;
    }

    // The next n bits (n <= 16), first bit lowest; 0 once the input ended.
    std::uint32_t bits(int n) {
        while (held_ < n) {
            if (pos_ >= in_.size()) {
                fail(Inflate::truncated);
                return 0;
            }
            buffer_ |= std::uint32_t{static_cast<unsigned char>(in_[pos_++])} << held_;
            held_ += 8;
        }
        std::uint32_t v = buffer_ & ((1u << n) - 1);
        buffer_ >>= n;
        held_ -= n;
        return v;
    }

    // One symbol of code c, a bit at a time; -1 when the input ended or
    // the bits are no code (an incomplete code's unused pattern).
    int decode(const Code& c) {
        int code = 0, first = 0, index = 0;
        for (int len = 1; len <= kMaxBits; ++len) {
            code |= static_cast<int>(bits(1));
            if (failed()) return -1;
            int count = c.count[len];
            if (code - first < count) return c.symbol[index + (code - first)];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        fail(Inflate::invalid);
        return -1;
    }

    bool put(char b) {
        if (out_.size() >= limit_) {
            fail(Inflate::limit);
            return false;
        }
        out_.push_back(b);
        return true;
    }

    void stored() {
        buffer_ = 0;  // the rest of the current byte is padding
        held_ = 0;
        if (in_.size() - pos_ < 4) return fail(Inflate::truncated);
        auto byte = [&](std::size_t i) { return std::uint32_t{static_cast<unsigned char>(in_[pos_ + i])}; };
        std::uint32_t len = byte(0) | byte(1) << 8, nlen = byte(2) | byte(3) << 8;
        if ((len ^ 0xFFFF) != nlen) return fail(Inflate::invalid);
        pos_ += 4;
        for (std::uint32_t i = 0; i < len; ++i) {
            if (pos_ >= in_.size()) return fail(Inflate::truncated);
            if (!put(in_[pos_++])) return;
        }
    }

    void fixed() {
        static const std::array<Code, 2> codes = [] {
            std::array<std::uint8_t, kLitLenSymbols> lengths{};
            int s = 0;
            for (; s < 144; ++s) lengths[s] = 8;
            for (; s < 256; ++s) lengths[s] = 9;
            for (; s < 280; ++s) lengths[s] = 7;
            for (; s < kLitLenSymbols; ++s) lengths[s] = 8;
            std::array<Code, 2> c;
            build(c[0], lengths.data(), kLitLenSymbols);
            std::array<std::uint8_t, 32> dist;
            dist.fill(5);
            build(c[1], dist.data(), 32);
            return c;
        }();
        huffman_block(codes[0], codes[1]);
    }

    void dynamic() {
        int nlen = static_cast<int>(bits(5)) + 257;
        int ndist = static_cast<int>(bits(5)) + 1;
        int ncode = static_cast<int>(bits(4)) + 4;
        if (failed()) return;
        if (nlen > 286 || ndist > kDistSymbols) return fail(Inflate::invalid);
        std::array<std::uint8_t, 19> code_lengths{};
        for (int i = 0; i < ncode; ++i) code_lengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(bits(3));
        if (failed()) return;
        Code lencode;
        if (build(lencode, code_lengths.data(), 19) != Built::complete) return fail(Inflate::invalid);

        std::array<std::uint8_t, 286 + kDistSymbols> lengths{};
        int n = 0;
        while (n < nlen + ndist) {
            int sym = decode(lencode);
            if (failed()) return;
            if (sym < 16) {
                lengths[n++] = static_cast<std::uint8_t>(sym);
                continue;
            }
            std::uint8_t value = 0;
            int repeat = 0;
            if (sym == 16) {
                if (n == 0) return fail(Inflate::invalid);  // nothing to repeat
                value = lengths[n - 1];
                repeat = 3 + static_cast<int>(bits(2));
            } else if (sym == 17) {
                repeat = 3 + static_cast<int>(bits(3));
            } else {
                repeat = 11 + static_cast<int>(bits(7));
            }
            if (failed()) return;
            if (n + repeat > nlen + ndist) return fail(Inflate::invalid);
            while (repeat-- > 0) lengths[n++] = value;
        }
        if (lengths[256] == 0) return fail(Inflate::invalid);  // no end of block

        Code litlen, dist;
        Built l = build(litlen, lengths.data(), nlen);
        if (l == Built::invalid || l == Built::none) return fail(Inflate::invalid);
        // No distance codes at all: a block of literals alone.
        if (build(dist, lengths.data() + nlen, ndist) == Built::invalid) return fail(Inflate::invalid);
        huffman_block(litlen, dist);
    }

    // The data of a Huffman block, up to its end-of-block code.
    void huffman_block(const Code& litlen, const Code& dist) {
        for (;;) {
            int sym = decode(litlen);
            if (failed()) return;
            if (sym < 256) {
                if (!put(static_cast<char>(sym))) return;
                continue;
            }
            if (sym == 256) return;
            sym -= 257;
            if (sym >= 29) return fail(Inflate::invalid);
            std::size_t len = kLengthBase[sym] + bits(kLengthExtra[sym]);
            int d = decode(dist);
            if (failed()) return;
            if (d >= kDistSymbols) return fail(Inflate::invalid);
            std::size_t distance = kDistBase[d] + bits(kDistExtra[d]);
            if (failed()) return;
            if (distance > out_.size()) return fail(Inflate::invalid);  // before the window's start
            for (std::size_t i = 0; i < len; ++i)
                if (!put(out_[out_.size() - distance])) return;
        }
    }
};

}  // namespace

Inflate inflate(std::string_view in, std::size_t limit, std::string& out) {
    out.clear();
    out.reserve(std::min<std::size_t>(limit, 4096));
    return Decoder(in, limit, out).run();
}

}  // namespace zarvo::current
