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

struct SecondaryRow {
    int variant;
    Match match;
    std::string_view key;
    std::string_view text;
};

#include "catalogue_tables.inc"

// (Classic algorithms rather than std::ranges: the fuzzing build's clang
// cannot compile this library's ranges.)
constexpr bool primary_sorted() {
    return std::adjacent_find(std::begin(kPrimary), std::end(kPrimary),
                              [](const Entry& a, const Entry& b) { return a.key >= b.key; }) == std::end(kPrimary);
}
static_assert(primary_sorted(), "primary keys must be sorted and unique");

constexpr bool secondary_ordered() {
    for (std::size_t i = 1; i < std::size(kSecondary); ++i) {
        const SecondaryRow& a = kSecondary[i - 1];
        const SecondaryRow& b = kSecondary[i];
        if (a.variant > b.variant) return false;
        if (a.variant == b.variant &&
            (a.match != Match::kExact || (b.match == Match::kExact && a.key >= b.key)))
            return false;
    }
    return true;
}
static_assert(secondary_ordered(), "secondary rows must run variant by variant, exact keys sorted, catch-all last");

}  // namespace

std::string_view primary(std::string_view ext) {
    auto it = std::lower_bound(std::begin(kPrimary), std::end(kPrimary), ext,
                               [](const Entry& e, std::string_view key) { return e.key < key; });
    return it != std::end(kPrimary) && it->key == ext ? it->text : std::string_view();
}

std::string_view secondary(std::string_view ext, int variant) {
    auto first = std::lower_bound(std::begin(kSecondary), std::end(kSecondary), variant,
                                  [](const SecondaryRow& v, int s) { return v.variant < s; });
    auto last = std::upper_bound(first, std::end(kSecondary), variant,
                                 [](int s, const SecondaryRow& v) { return s < v.variant; });
    auto fallback = std::partition_point(first, last, [](const SecondaryRow& v) { return v.match == Match::kExact; });
    auto it = std::lower_bound(first, fallback, ext, [](const SecondaryRow& v, std::string_view key) { return v.key < key; });
    if (it != fallback && it->key == ext) return it->text;
    for (; fallback != last; ++fallback) {
        if (fallback->match == Match::kAny) return fallback->text;
        if (!ext.empty() && ext.starts_with(fallback->key)) return fallback->text;
    }
    return {};
}

}  // namespace zarvo::catalogue
