// The description catalogue: what a kind is called, with its category label.
// Texts are Shift-JIS; an unknown key gives empty text.
#pragma once

#include <string_view>

namespace zarvo::catalogue {

// The primary table, keyed by extension (exact, case-sensitive).
std::string_view primary(std::string_view ext);
// The secondary table: the variant case `selector` (2 and more) of a kind.
std::string_view secondary(std::string_view ext, int selector);

// Table 1: primary; 2 and more: secondary with that selector; else empty.
inline std::string_view describe(std::string_view ext, int table) {
    if (table == 1) return primary(ext);
    if (table >= 2) return secondary(ext, table);
    return {};
}

}  // namespace zarvo::catalogue
