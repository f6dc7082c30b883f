#include "candidates.hpp"

#include <algorithm>

#include "text.hpp"

namespace zarvo {

namespace {
// Equal when ASCII letters are lower-cased (bytes of 0x80 and more stay).
bool same_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return text::ascii_lower(x) == text::ascii_lower(y);
           });
}
}  // namespace

std::string order_candidates(std::string_view result, std::string_view present_ext) {
    if (result.find(',') == std::string_view::npos) return std::string(result);

    // Most results hold no entry equal to the present extension and come
    // back as they are; only the others are rebuilt.
    std::string_view front;
    bool has_front = false;
    for_each_candidate(result, [&](std::string_view entry) {
        if (same_ignoring_case(entry, present_ext)) {
            front = entry;  // the last equal entry wins the front place
            has_front = true;
        }
    });
    if (!has_front) return std::string(result);

    std::string ordered(front);
    for_each_candidate(result, [&](std::string_view entry) {
        if (same_ignoring_case(entry, present_ext)) return;
        ordered += ',';
        ordered += entry;
    });
    return ordered;
}

}  // namespace zarvo
