#include "candidates.hpp"

#include <algorithm>

namespace zarvo {

namespace {
// Equal when ASCII letters are lower-cased (bytes of 0x80 and more stay).
bool same_ignoring_case(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}
}  // namespace

std::string order_candidates(std::string_view result, std::string_view present_ext) {
    if (result.find(',') == std::string_view::npos) return std::string(result);

    // Most results hold no entry equal to the present extension and come
    // back as they are; only the others are rebuilt.
    std::string_view front;
    bool has_front = false;
    auto each_entry = [&](auto&& visit) {
        for (std::size_t start = 0;;) {
            std::size_t end = result.find(',', start);
            visit(result.substr(start, end == std::string_view::npos ? end : end - start));
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
    };
    each_entry([&](std::string_view entry) {
        if (same_ignoring_case(entry, present_ext)) {
            front = entry;  // the last equal entry wins the front place
            has_front = true;
        }
    });
    if (!has_front) return std::string(result);

    std::string ordered(front);
    each_entry([&](std::string_view entry) {
        if (same_ignoring_case(entry, present_ext)) return;
        ordered += ',';
        ordered += entry;
    });
    return ordered;
}

}  // namespace zarvo
