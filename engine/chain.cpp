#include "chain.hpp"

#include <array>

#include "candidates.hpp"
#include "families/families.hpp"

namespace zarvo {

std::span<const Family> chain_families() {
    namespace f = families;
    static constexpr std::array<Family, 19> kChain{{
        {"archive", f::archive},
        {"split", f::split},
        {"encrypted", f::encrypted},
        {"text encoding", f::text_encoding},
        {"console", f::console},
        {"picture", f::picture},
        {"disc", f::disc},
        {"audio", f::audio},
        {"video", f::video},
        {"checksum list", f::checksum_lists},
        {"executable", f::executable},
        {"office", f::office},
        {"music chart", f::charts},
        {"development", f::development},
        {"markup", f::markup},
        {"system", f::system},
        {"application data", f::app_data},
        {"mobile", f::mobile},
        {"miscellaneous", f::misc},
    }};
    return kChain;
}

std::string scan_windows(platform::File& file, const WindowVisitor& visit) {
    constexpr std::size_t kFresh = kWindowBytes - kWindowOverlap;
    std::string buffer(kWindowBytes, '\0');
    std::string hex;
    hex.reserve(2 * kWindowBytes);
    std::uint64_t start = 0;
    for (int pass = 1;; ++pass) {
        // After the first window, its last 64 bytes start the next one: their
        // text is carried over rather than read and rendered again.
        std::size_t carried = pass == 1 ? 0 : kWindowOverlap;
        if (carried) hex.erase(0, hex.size() - 2 * carried);
        long got = file.read_at(start + carried, buffer.data(), kWindowBytes - carried);
        std::size_t fresh = got > 0 ? static_cast<std::size_t>(got) : 0;  // a failed read counts as a short one
        text::append_hex(hex, std::string_view(buffer.data(), fresh));

        HexImage window(std::move(hex));
        std::string answer = visit(window, start);
        hex = std::move(window).release();
        if (!answer.empty()) return answer;
        if (carried + fresh < kWindowBytes || pass >= kMaxWindows) return {};
        start += kFresh;
    }
}

namespace {
std::string window_scan(const char* path, const std::string& current, Context& ctx) {
    platform::File file = platform::File::open(path);
    if (!file.is_open()) {
        if (!(ctx.options & kQuiet)) platform::report(platform::error_text(file.error()), "Error");
        return current;
    }
    std::string answer = scan_windows(file, [&](const HexImage& window, std::uint64_t) {
        return families::window_tests(window, current, ctx);
    });
    return answer.empty() ? current : answer;
}
}  // namespace

std::string run_chain(const HexImage& head, const HexImage& tail, const char* path, Context& ctx) {
    std::string result;
    for (const Family& family : chain_families()) {
        result = family.detect(head, ctx);
        if (!result.empty()) break;
    }
    if ((ctx.options & kFooter) && result.empty()) result = families::footer(head, tail, ctx);

    std::string refined = result;
    if (ctx.options & kSpecial) {
        refined = families::tail_refinement(tail, result, ctx);
        if (refined.empty()) refined = window_scan(path, result, ctx);
    }
    return order_candidates(refined, ctx.present_ext);
}

}  // namespace zarvo
