// Candidate lists: extensions separated by "," with no blanks. The splitting
// helpers are header-only and use the standard library alone, so that a
// front end may include this header without linking the core.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zarvo {

// Calls `visit` with each entry of the list in order (an empty list is one
// empty entry; empty entries between commas are kept).
template <typename Visit>
void for_each_candidate(std::string_view list, Visit&& visit) {
    for (std::size_t start = 0;;) {
        std::size_t end = list.find(',', start);
        visit(list.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

// The entries of the list, in order.
inline std::vector<std::string_view> split_candidates(std::string_view list) {
    std::vector<std::string_view> entries;
    for_each_candidate(list, [&](std::string_view entry) { entries.push_back(entry); });
    return entries;
}

// Moves the entry equal to `present_ext` (ASCII case ignored; the last such
// entry when several are) to the front; the other entries keep their order
// and their spelling. A one-entry result comes back unchanged.
std::string order_candidates(std::string_view result, std::string_view present_ext);

}  // namespace zarvo
