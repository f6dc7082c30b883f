// The lookups over the generated catalogue (engine/current/catalogue/*.txt and
// engine/catalogue/names.txt): constant data, nothing runs at start-up.
#include "current/catalogue.hpp"

#include <algorithm>
#include <array>

namespace zarvo::current {

namespace {

using namespace std::string_view_literals;

struct Kind {
    std::string_view key;
    std::string_view description;
    std::string_view name;
    std::string_view mime;
};

struct Name {
    std::string_view key;
    std::string_view name;
    std::string_view mime;
};

#include "current_catalogue.inc"

template <typename Array>
constexpr bool sorted(const Array& rows) {
    return std::adjacent_find(rows.begin(), rows.end(),
                              [](const auto& a, const auto& b) { return a.key >= b.key; }) == rows.end();
}
static_assert(sorted(kCurrentKinds), "current kinds must be sorted and unique");
static_assert(sorted(kClassicNames), "classic names must be sorted and unique");

template <typename Array>
auto find(const Array& rows, std::string_view ext) -> decltype(&rows[0]) {
    auto it = std::lower_bound(rows.begin(), rows.end(), ext,
                               [](const auto& row, std::string_view key) { return row.key < key; });
    return it != rows.end() && it->key == ext ? &*it : nullptr;
}

}  // namespace

std::string_view describe(std::string_view ext) {
    const Kind* kind = find(kCurrentKinds, ext);
    return kind ? kind->description : std::string_view();
}

KindName kind_name(std::string_view ext) {
    if (const Kind* kind = find(kCurrentKinds, ext)) return {kind->name, kind->mime};
    if (const Name* name = find(kClassicNames, ext)) return {name->name, name->mime};
    return {};
}

KindName classic_kind_name(std::string_view ext) {
    const Name* name = find(kClassicNames, ext);
    return name ? KindName{name->name, name->mime} : KindName{};
}

std::string_view extension_list() { return kCurrentExtList; }
std::size_t kind_count() { return kCurrentKinds.size(); }

}  // namespace zarvo::current
