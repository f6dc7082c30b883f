// Candidate lists: extensions separated by "," with no blanks.
#pragma once

#include <string>
#include <string_view>

namespace zarvo {

// Moves the entry equal to `present_ext` (ASCII case ignored; the last such
// entry when several are) to the front; the other entries keep their order
// and their spelling. A one-entry result comes back unchanged.
std::string order_candidates(std::string_view result, std::string_view present_ext);

}  // namespace zarvo
