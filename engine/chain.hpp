// The detector chain: the families in their fixed order, then the footer
// signatures, the special tests and the window scan, then the candidate
// ordering.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "context.hpp"
#include "hex_image.hpp"
#include "platform/platform.hpp"

namespace zarvo {

using Detector = std::string (*)(const HexImage&, Context&);

struct Family {
    std::string_view name;
    Detector detect;
};

// The 19 family detectors in chain order.
std::span<const Family> chain_families();

inline constexpr std::size_t kWindowBytes = 3000;
inline constexpr std::size_t kWindowOverlap = 64;
inline constexpr int kMaxWindows = 3496;

// Reads the file in windows of 3000 bytes, each starting 64 bytes before the
// end of the previous one, at most 3496 of them, and hands each window's
// bytes and start to `visit` until it answers non-empty text (that answer is
// returned) or the file ends (empty text).
using WindowBytesVisitor = std::function<std::string(std::string_view window, std::uint64_t start)>;
std::string scan_window_bytes(platform::File& file, const WindowBytesVisitor& visit);

// The same windows as hex images.
using WindowVisitor = std::function<std::string(const HexImage& window, std::uint64_t start)>;
std::string scan_windows(platform::File& file, const WindowVisitor& visit);

// Runs the chain over the images; `path` is read again only by the window
// scan. Returns the ordered result (possibly empty).
std::string run_chain(const HexImage& head, const HexImage& tail, const char* path, Context& ctx);

}  // namespace zarvo
