#include "chain.hpp"

#include <array>
#include <cstring>

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

std::string scan_window_bytes(platform::File& file, const WindowBytesVisitor& visit) {
    constexpr std::size_t kFresh = kWindowBytes - kWindowOverlap;
    std::string window(kWindowBytes, '\0');
    std::uint64_t start = 0;
    for (int pass = 1;; ++pass) {
        // After the first window, its last 64 bytes start the next one: they
        // are carried over rather than read again.
        std::size_t carried = pass == 1 ? 0 : kWindowOverlap;
        if (carried) std::memmove(window.data(), window.data() + kFresh, carried);
        long got = file.read_at(start + carried, window.data() + carried, kWindowBytes - carried);
        std::size_t n = carried + (got > 0 ? static_cast<std::size_t>(got) : 0);  // a failed read counts as a short one
        if (std::string answer = visit(std::string_view(window.data(), n), start); !answer.empty()) return answer;
        if (n < kWindowBytes || pass >= kMaxWindows) return {};
        start += kFresh;
    }
}

std::string scan_windows(platform::File& file, const WindowVisitor& visit) {
    return scan_window_bytes(file, [&](std::string_view bytes, std::uint64_t start) {
        return visit(HexImage::of_bytes(bytes), start);
    });
}

namespace {
std::string window_scan(const char* path, const std::string& current, Context& ctx) {
    platform::File file = platform::File::open(path);
    if (!file.is_open()) {
        if (!(ctx.options & kQuiet)) platform::report(platform::error_text(file.error()), "Error");
        return current;
    }
    std::string answer = scan_window_bytes(file, [&](std::string_view window, std::uint64_t) {
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
