#include "candidates.hpp"

#include "text.hpp"

namespace zarvo {

std::string order_candidates(std::string_view result, std::string_view present_ext) {
    if (result.find(',') == std::string_view::npos) return std::string(result);

    std::string want = text::ascii_lower(present_ext);
    std::string_view front;
    bool has_front = false;
    std::string tail;
    bool tail_started = false;
    for (std::size_t start = 0;;) {
        std::size_t end = result.find(',', start);
        std::string_view entry = result.substr(start, end == std::string_view::npos ? end : end - start);
        if (entry.size() == want.size() && text::ascii_lower(entry) == want) {
            front = entry;  // the last equal entry wins the front place
            has_front = true;
        } else {
            if (tail_started) tail += ',';
            tail += entry;
            tail_started = true;
        }
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    if (!has_front) return tail;
    return std::string(front) + (tail_started ? "," + tail : "");
}

}  // namespace zarvo
