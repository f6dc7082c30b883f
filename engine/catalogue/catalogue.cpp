// The description lookup over the generated tables (see primary.txt and
// secondary.txt). Both tables are constant data: nothing runs at start-up.
#include "catalogue.hpp"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace zarvo::catalogue {

namespace {

using namespace std::string_view_literals;

struct Entry {
    std::string_view key;
    std::string_view text;
};

// How a row of the secondary table meets an extension: equal to its key,
// starting with its key (an empty extension never does), or always.
enum class Match : unsigned char { kExact, kPrefix, kAny };

struct Variant {
    int selector;
    Match match;
    std::string_view key;
    std::string_view text;
};

#include "catalogue_tables.inc"

constexpr bool primary_sorted() {
    return std::ranges::adjacent_find(kPrimary, std::ranges::greater_equal{}, &Entry::key) == std::end(kPrimary);
}
static_assert(primary_sorted(), "primary keys must be sorted and unique");

constexpr bool secondary_ordered() {
    for (std::size_t i = 1; i < std::size(kSecondary); ++i) {
        const Variant& a = kSecondary[i - 1];
        const Variant& b = kSecondary[i];
        if (a.selector > b.selector) return false;
        if (a.selector == b.selector &&
            (a.match != Match::kExact || (b.match == Match::kExact && a.key >= b.key)))
            return false;
    }
    return true;
}
static_assert(secondary_ordered(), "secondary rows must run case by case, exact keys sorted, catch-all last");

}  // namespace

std::string_view primary(std::string_view ext) {
    auto it = std::ranges::lower_bound(kPrimary, ext, {}, &Entry::key);
    return it != std::end(kPrimary) && it->key == ext ? it->text : std::string_view();
}

std::string_view secondary(std::string_view ext, int selector) {
    auto [first, last] = std::ranges::equal_range(kSecondary, selector, {}, &Variant::selector);
    auto fallback = std::ranges::partition_point(first, last, [](const Variant& v) { return v.match == Match::kExact; });
    auto it = std::ranges::lower_bound(first, fallback, ext, {}, &Variant::key);
    if (it != fallback && it->key == ext) return it->text;
    for (; fallback != last; ++fallback) {
        if (fallback->match == Match::kAny) return fallback->text;
        if (!ext.empty() && ext.starts_with(fallback->key)) return fallback->text;
    }
    return {};
}

}  // namespace zarvo::catalogue
