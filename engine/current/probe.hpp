// What the current-formats layer reads of one file: its head, read at once,
// and further regions (the tail, a few fixed places) on request, never more
// than kBudget bytes in all and never the whole file.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "hex_image.hpp"
#include "source.hpp"

namespace zarvo::current {

inline constexpr std::size_t kHeadBytes = 4096;      // the layer's head
inline constexpr std::size_t kImageBytes = 64;       // of it, rendered for the table tests
inline constexpr std::size_t kBudget = 64 * 1024;    // all the layer may read of one file

class Probe {
public:
    // Reads the head. `present_ext` is the lower-case extension of the name.
    Probe(Source source, std::string_view present_ext);
    // Takes the head from `first_bytes`, the source's first bytes as another
    // reader already read them (the classic sample, read at least kHeadBytes
    // long): nothing more is read until a region is asked for.
    Probe(Source source, std::string_view first_bytes, std::string_view present_ext);
    // A probe over bytes already in memory (tests, the buffer interface).
    static Probe of_bytes(std::string_view bytes, std::string_view present_ext = {});

    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    std::uint64_t size() const { return size_; }
    std::string_view present_ext() const { return present_ext_; }
    // The first min(size, kHeadBytes) bytes.
    std::string_view head() const { return head_; }
    // The hex image of the head's first kImageBytes bytes: what the layer's
    // tables test at fixed places and file their rows by.
    const HexImage& image() const { return image_; }

    // The bytes [offset, offset + n) clipped to the file; shorter (or empty)
    // where the budget is spent or a read fails. Regions inside the head are
    // answered from it. A region stays valid as long as the probe.
    std::string_view read(std::uint64_t offset, std::size_t n);
    // The last n bytes (all of them when the file is shorter).
    std::string_view tail(std::size_t n);
    // Bytes read from the source so far, the head included.
    std::size_t spent() const { return spent_; }

private:
    Source source_;
    std::uint64_t size_ = 0;
    std::string present_ext_;
    std::string head_;
    HexImage image_;
    std::deque<std::string> regions_;
    std::size_t spent_ = 0;
};

}  // namespace zarvo::current
