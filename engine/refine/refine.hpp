// The stages after the chain, on request: the footer signatures (option bit
// 2, when the chain found nothing), then the tail tests and the window scan
// of special identification (option bit 4). Each stage is a rules::Table;
// the refining stages read the chain's answer from the context
// (ctx.chain_answer), which is set while they run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "context.hpp"
#include "hex_image.hpp"
#include "rules.hpp"
#include "source.hpp"

namespace zarvo::refine {

// Footer signatures, run over the tail image (the last 1024 bytes, or the
// whole file when it is shorter); a few also test the head image.
const rules::Table& footer_table();
std::string footer(const HexImage& head, const HexImage& tail, Context& ctx);

// Tail tests, run over the tail image with the chain's answer.
const rules::Table& tail_table();
std::string tail_tests(const HexImage& tail, std::string_view chain_answer, Context& ctx);

// Window tests, applied to the bytes of one window of the file (the window
// is never rendered: each hex pattern is looked for in the bytes).
std::string window_tests(std::string_view window_bytes, std::string_view chain_answer, Context& ctx);

inline constexpr std::size_t kWindowBytes = 3000;
inline constexpr std::size_t kWindowOverlap = 64;
inline constexpr int kMaxWindows = 3496;

// Reads the source in windows of 3000 bytes, each starting 64 bytes before
// the end of the previous one, at most 3496 of them, and hands each window's
// bytes and start to `visit` until it answers non-empty text (that answer is
// returned) or the source ends (empty text). A failed read counts as the end.
using WindowVisitor = std::function<std::string(std::string_view window, std::uint64_t start)>;
std::string scan_windows(const Source& source, const WindowVisitor& visit);

// The footer signatures (bit 2, when `chain_answer` is empty) and the special
// identification (bit 4) over the chain's answer: the answer they leave.
std::string after_chain(std::string chain_answer, const HexImage& head, const HexImage& tail, const Source& source,
                        Context& ctx);

}  // namespace zarvo::refine
