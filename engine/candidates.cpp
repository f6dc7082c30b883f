#include "candidates.hpp"

#include "text.hpp"

namespace zarvo {

std::string order_candidates(std::string_view result, std::string_view present_ext) {
    long entries = text::count(result, ',') + 1;
    if (entries == 1) return std::string(result);

    std::string want = text::ascii_lower(present_ext);
    std::string_view front;
    bool has_front = false;
    std::string tail;
    bool tail_started = false;
    for (long n = 1; n <= entries; ++n) {
        std::string_view entry = text::field(result, n);
        if (text::ascii_lower(entry) == want) {
            front = entry;  // the last equal entry wins the front place
            has_front = true;
            continue;
        }
        if (tail_started) tail += ',';
        tail += entry;
        tail_started = true;
    }
    if (!has_front) return tail;
    return std::string(front) + (tail_started ? "," + tail : "");
}

}  // namespace zarvo
