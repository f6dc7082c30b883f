// The description catalogue: what a kind is called, with its category label.
// Texts are Shift-JIS; an unknown key gives empty text.
#pragma once

#include <string_view>

namespace zarvo::catalogue {

// The primary table, keyed by extension (exact, case-sensitive).
std::string_view primary(std::string_view ext);
// The secondary table: variant `variant` (2 and more) of a kind.
std::string_view secondary(std::string_view ext, int variant);

// Variant 1: the primary table; 2 and more: the secondary table's variant;
// else empty.
inline std::string_view describe(std::string_view ext, int variant) {
    if (variant == 1) return primary(ext);
    if (variant >= 2) return secondary(ext, variant);
    return {};
}

}  // namespace zarvo::catalogue
