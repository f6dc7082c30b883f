// The family detectors, the footer signatures and the special tests.
// Each detector is a pure function of the head image and the context: it
// answers an extension, a candidate list or empty text, and may set the
// context's description selector and detail text.
#pragma once

#include <string>
#include <string_view>

#include "context.hpp"
#include "hex_image.hpp"

namespace zarvo::families {

std::string archive(const HexImage& head, Context& ctx);
std::string split(const HexImage& head, Context& ctx);
std::string encrypted(const HexImage& head, Context& ctx);
std::string text_encoding(const HexImage& head, Context& ctx);
std::string console(const HexImage& head, Context& ctx);
std::string picture(const HexImage& head, Context& ctx);
std::string disc(const HexImage& head, Context& ctx);
std::string audio(const HexImage& head, Context& ctx);
std::string video(const HexImage& head, Context& ctx);
std::string checksum_lists(const HexImage& head, Context& ctx);
std::string executable(const HexImage& head, Context& ctx);
std::string office(const HexImage& head, Context& ctx);
std::string charts(const HexImage& head, Context& ctx);
std::string development(const HexImage& head, Context& ctx);
std::string markup(const HexImage& head, Context& ctx);
std::string system(const HexImage& head, Context& ctx);
std::string app_data(const HexImage& head, Context& ctx);
std::string mobile(const HexImage& head, Context& ctx);
std::string misc(const HexImage& head, Context& ctx);

// Footer signatures over the tail image (option bit 2, when the chain found nothing).
std::string footer(const HexImage& head, const HexImage& tail, Context& ctx);
// Tail refinement tests (option bit 4) with the chain's current result.
std::string tail_refinement(const HexImage& tail, std::string_view current, Context& ctx);
// Window tests, applied by the window scan to each window of the file: to
// its bytes (the scan never renders them), or to a window's hex image.
std::string window_tests(std::string_view window_bytes, std::string_view current, Context& ctx);
std::string window_tests(const HexImage& window, std::string_view current, Context& ctx);

}  // namespace zarvo::families
