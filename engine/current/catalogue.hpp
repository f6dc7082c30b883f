// The descriptions of the current-formats layer's kinds, and the English
// name and MIME type of every kind that has one (current and classic),
// keyed by extension. Texts are Shift-JIS (the English names and MIME types
// are ASCII); an unknown key gives empty text.
#pragma once

#include <cstddef>
#include <string_view>

namespace zarvo::current {

// The Japanese description with its category label of a current kind.
std::string_view describe(std::string_view ext);

struct KindName {
    std::string_view name;  // English
    std::string_view mime;
};
// The English name and MIME type of a kind (the current kinds' first, then
// the classic kinds').
KindName kind_name(std::string_view ext);
// The English name and MIME type of a classic kind alone.
KindName classic_kind_name(std::string_view ext);

// The current kinds' keys (their first candidate extensions), sorted and
// comma-separated, and their number.
std::string_view extension_list();
std::size_t kind_count();

}  // namespace zarvo::current
