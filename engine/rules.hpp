// The vocabulary of signature tables.
//
// A family is an ordered table of rows. A row holds when all its tests hold;
// the first row that holds decides: its sub-rows are tried in order (the
// first that holds decides instead), else the row gives its own answer and
// side effects, or, when its answer is `go_on`, the next row is tried.
// Groups, special sub-tests and "go on" rows of the family tables are all
// written this way:
//
//   // row  tests                                   answer          side effects
//   {"45",  {at(0, "504B5301")},                    "pks"},
//   {"71",  {any({at(0, "010000"), at(0, "000000")}),
//            not_at(3, "00"), not_at(4, "00"), not_at(5, "00")}, "jam", {variant(variants::kSharedFirst)}},
//   {"7",   {at(0, "4D534346")},                    "cab", {},
//            {{"7s1", {special(), at(71, "009800")}, "cab", {variant(variants::kBmpNinja)}},
//             {"7s2", {special(), at(71, "009900")}, "cab", {variant(variants::kEmbedTool11)}}}},
//
// Rows that compute their answer or detail text name a function of the
// family next to the table.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "context.hpp"
#include "hex_image.hpp"
#include "variants.hpp"

namespace zarvo::rules {

// ---- tests ---------------------------------------------------------------

using Predicate = std::function<bool(const HexImage&, const Context&)>;

// The keys (text::pair_key) of an image's first two characters, its first
// byte, for which a test may hold. A table files each row under the keys
// that all its tests allow, so that an image meets only the rows that can
// hold for it.
using FirstKeys = std::bitset<256>;

struct Test {
    // What decides the test; empty for a plain fixed-position test, which
    // its pattern decides alone.
    Predicate holds;
    // A fixed-position test (or a group holding one) names where its pattern
    // stands, so that a table can turn most rows down on the first digit.
    long first_pos = -1;     // a character position
    std::string_view pattern;
    FirstKeys first_keys = FirstKeys().set();  // every key, unless the test is at the start

    bool may_hold(const HexImage& img) const {
        return first_pos < 0 || (first_pos < img.size() && img.text()[static_cast<std::size_t>(first_pos)] == pattern[0]);
    }
    bool holds_for(const HexImage& img, const Context& ctx) const {
        if (!may_hold(img)) return false;
        return holds ? holds(img, ctx) : img.at_char(first_pos, pattern);
    }
};

// Byte k holds the pattern (a slice past the end of the image fails).
Test at(long byte, std::string_view pattern);
// Byte k does not hold the pattern (holds when the image is too short).
Test not_at(long byte, std::string_view pattern);
// Character position c holds the pattern (e.g. a single hex digit).
Test at_char(long c, std::string_view pattern);
// Byte k holds one of the patterns.
Test at_one_of(long byte, std::initializer_list<std::string_view> patterns);
// The pattern occurs anywhere (first occurrence, odd positions included).
Test contains(std::string_view pattern);
// One of the patterns occurs anywhere.
Test contains_one_of(std::initializer_list<std::string_view> patterns);
// The pattern occurs at or after character `from`.
Test found_from(std::string_view pattern, long from);
// The first occurrence of the pattern lies at a character position p with
// lo <= p <= hi (bounds inclusive; write the table's strict bounds as +1/-1).
Test first_within(std::string_view pattern, long lo, long hi);
// Option bit 4 (special identification) is set.
Test special();
// The present extension equals `ext` exactly.
Test ext_is(std::string_view ext);
// The true file size equals n.
Test size_is(std::uint64_t n);
// At least one / all / none of the tests hold.
Test any(std::initializer_list<Test> tests);
Test all(std::initializer_list<Test> tests);
Test none(std::initializer_list<Test> tests);
// A test the vocabulary lacks, written as a function next to the table.
Test when(Predicate p);

// Tests of the stages after the chain (engine/refine), whose tables run over
// the tail image or a window:
// The bytes from k bytes before the image's end hold the pattern (from the
// image's start when it is shorter than k bytes).
Test from_end(long k, std::string_view pattern);
// The image ends with the pattern (a shorter image fails).
Test ends_with(std::string_view pattern);
// The head image (ctx.head) holds the pattern at byte k.
Test head_at(long byte, std::string_view pattern);
// The chain's answer (ctx.chain_answer) begins with the three characters of `kind`.
Test kind_is(std::string_view kind);

// ---- answers and side effects -------------------------------------------

using Compute = std::function<std::string(const HexImage&, Context&)>;

struct GoOn {};
inline constexpr GoOn go_on{};

struct Answer {
    Answer(const char* fixed) : text(fixed) {}
    Answer(std::string_view fixed) : text(fixed) {}
    Answer(Compute fn) : compute(std::move(fn)) {}
    template <typename F, typename = std::enable_if_t<std::is_invocable_r_v<std::string, F, const HexImage&, Context&>>>
    Answer(F fn) : compute(std::move(fn)) {}
    Answer(GoOn) : falls_through(true) {}

    std::string_view text;
    Compute compute;
    bool falls_through = false;
};

using Effect = std::function<void(const HexImage&, Context&)>;

// The chain's answer (ctx.chain_answer), or "xxx" when it is empty: for the
// refining rows that only choose a description and detail text.
std::string keep_answer(const HexImage& image, Context& ctx);

// Sets the description variant: the secondary table's variant that describes
// the kind found (variants::kSharedFirst, ...; generated from secondary.txt).
Effect variant(int value);
// Sets the detail text to a fixed (Shift-JIS) text.
Effect detail(std::string_view text);
// Sets the detail text to what the function computes.
Effect detail(Compute fn);

// ---- rows and tables -------------------------------------------------------

struct Row {
    std::string_view id;          // the row's number in its table ("5", "16a")
    std::vector<Test> tests;      // all must hold
    Answer answer = go_on;
    std::vector<Effect> effects{};  // applied when this row gives its answer
    std::vector<Row> subs{};        // tried first, in order, once the tests hold
};

// A family's rows in order, filed by the first-character keys they allow.
class Table {
public:
    Table(std::initializer_list<Row> rows) : Table(std::vector<Row>(rows)) {}
    explicit Table(std::vector<Row> rows);

    std::span<const Row> rows() const { return rows_; }
    // The positions of the rows that may hold for the image, in table order
    // (every row for an image shorter than two characters).
    std::span<const std::uint16_t> rows_for(const HexImage& image) const;
    // False when row i cannot hold: the digit its first fixed-position test
    // names is not in the image.
    bool may_hold(std::size_t i, const HexImage& image) const {
        const Gate& g = gates_[i];
        return g.pos < 0 || (g.pos < image.size() && image.text()[static_cast<std::size_t>(g.pos)] == g.digit);
    }

private:
    struct Gate {
        long pos = -1;  // no fixed-position test: the row is never turned down here
        char digit = 0;
    };
    std::vector<Row> rows_;
    std::vector<Gate> gates_;                      // per row, packed together for the walk
    std::vector<std::uint16_t> every_;             // 0, 1, 2, ...
    std::vector<std::uint16_t> filed_;             // the rows of key 0, then of key 1, ...
    std::array<std::uint32_t, 257> key_start_{};  // where each key's rows begin in `filed_`
};

// The deciding row's answer (after its side effects), or nothing.
std::optional<std::string> decide(std::span<const Row> rows, const HexImage& image, Context& ctx);
// The answer of the table; empty text when no row decides.
std::string run(const Table& table, const HexImage& image, Context& ctx);

// ---- computed parts shared by several families ----------------------------

// A candidate list made once: `first`, then each number from `from` to `to`
// written with `format`, which brings its own separator
// (numbered_list("rar", ",r%02d", 0, 100) is rar,r00,r01,...,r100).
Compute numbered_list(std::string_view first, const char* format, int from, int to);

// The characters that the bytes from k spell (ending at a zero byte).
std::string decoded(const HexImage& image, long byte, long count, std::string_view padding = "");
// The characters that `count` hex digits from character `from` spell, with
// `appended` digits added before decoding (a negative count takes no digit
// of the image; a lone last digit is dropped).
std::string decoded_slice(const HexImage& image, long from, long count, std::string_view appended = "");
// The text between a marker and a terminator: the characters that the digits
// from character `from` (where the marker ends) up to character `to` (where
// the terminator starts, not included) spell, read as decoded_slice reads
// them (nothing when `to` is not after `from`).
std::string decoded_between(const HexImage& image, long from, long to, std::string_view appended = "");

}  // namespace zarvo::rules
