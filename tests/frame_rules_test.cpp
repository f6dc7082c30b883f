// The table vocabulary: rows, sub-rows, "go on" rows and side effects.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "rules.hpp"
#include "sjis.hpp"

using namespace zarvo;
using namespace zarvo::rules;

namespace {

const Table& sample_table() {
    static const Table rows = {
        {"1", {at(0, "504B0304")}, "zip,jar", {},
         {{"1s", {special(), at(4, "14")}, "zip", {variant(15)}}}},
        {"2", {at(0, "FFFF")}, go_on, {},
         {{"2a", {at(2, "47")}, "mp1", {detail("Mode:1")}}}},
        {"3", {at(0, "FF")}, "ff", {detail("a形式"_sj)}},
        {"4", {any({at(0, "010000"), at(0, "000000")}), not_at(3, "00"), not_at(4, "00")}, "jam", {variant(2)}},
        {"5", {at_char(0, "7"), first_within("ABCD", 3, 5)}, [](const HexImage& img, Context&) {
             return "n" + std::string(img.bytes(1, 1));
         }},
    };
    return rows;
}

std::string run_on(std::string hex, Context& ctx) { return run(sample_table(), HexImage(std::move(hex)), ctx); }

}  // namespace

TEST(TableVocabulary, FirstHoldingRowDecides) {
    Context ctx;
    EXPECT_EQ(run_on("504B030414", ctx), "zip,jar");
    EXPECT_EQ(ctx.variant, 1);
    ctx.options = kSpecial;
    EXPECT_EQ(run_on("504B030414", ctx), "zip");
    EXPECT_EQ(ctx.variant, 15);
}

TEST(TableVocabulary, GoOnRowFallsThroughWhenNoSubRowHolds) {
    Context ctx;
    EXPECT_EQ(run_on("FFFF47", ctx), "mp1");
    EXPECT_EQ(ctx.detail, "Mode:1");
    Context other;
    EXPECT_EQ(run_on("FFFF48", other), "ff");
    EXPECT_EQ(other.detail, "a\x8C\x60\x8E\xAE");  // a形式 in Shift-JIS
}

TEST(TableVocabulary, NotAtHoldsBeyondTheImage) {
    Context ctx;
    EXPECT_EQ(run_on("000000", ctx), "jam");
    EXPECT_EQ(ctx.variant, 2);
    Context other;
    EXPECT_EQ(run_on("0000000100", other), "");
}

TEST(TableVocabulary, CharacterTestsFindsAndComputedAnswers) {
    Context ctx;
    EXPECT_EQ(run_on("7EABCD", ctx), "");     // first occurrence at 2: too early
    EXPECT_EQ(run_on("7E0ABCD", ctx), "n0A");  // at 3: odd positions count
    EXPECT_EQ(run_on("8E0ABCD", ctx), "");
}

// Every place the patterns' common start stands is tried, odd ones included,
// not only the first; patterns without a common start are each searched.
TEST(TableVocabulary, ContainsOneOf) {
    struct Case {
        std::string hex;
        std::vector<std::string_view> patterns;
        bool holds;
    };
    const std::vector<Case> cases = {
        {"0023AB9923AC", {"23AC", "23FF"}, true},   // the second place of "23" completes
        {"0023AB9923AC", {"23FF", "23EE"}, false},
        {"0F23AC", {"F23A", "F2"}, true},           // common start "F2", at an odd position
        {"0123", {"AB", "12"}, true},               // no common start
        {"0123", {"AB", "CD"}, false},
        {"", {"23"}, false},
    };
    for (const Case& c : cases) {
        rules::Test t = c.patterns.size() == 2 ? contains_one_of({c.patterns[0], c.patterns[1]}) : contains_one_of({c.patterns[0]});
        EXPECT_EQ(t.holds_for(HexImage(c.hex), Context()), c.holds) << c.hex << " " << c.patterns[0];
    }
}

// A table files each row under the first bytes it allows. Whatever the
// image, the filed rows must give what walking every row in order gives:
// each kind of test at the start (one digit, a byte, a longer pattern, the
// second digit, lists, groups, negations, negative positions) is mixed here.
TEST(TableVocabulary, FilingByFirstByteKeepsEveryAnswer) {
    static const Table rows = {
        {"a", {at(0, "4D5A"), at(2, "90")}, "exe"},
        {"b", {at_char(0, "4")}, go_on, {}, {{"b1", {at(1, "5A")}, "4-5A"}}},
        {"c", {at_char(1, "D")}, "xD"},
        {"d", {at_one_of(0, {"1F8B", "42", "425A68"})}, "list"},
        {"e", {any({at(0, "FF"), all({at(-1, "00"), not_at(1, "00")})})}, "group"},
        {"f", {none({at(0, "7F")}), at(1, "45")}, "none"},
        {"g", {at(0, "")}, go_on},
        {"h", {first_within("AB", 0, 3), at_char(0, "A")}, "ab"},
        {"i", {at(0, "7F454C46")}, "elf"},
        {"j", {special(), at(0, "7F")}, "special"},
    };
    std::mt19937 rng(11);
    const std::string digits = "0123456789ABCDEF";
    const std::vector<std::string> starts = {"4D5A90", "4D5A", "4", "7F454C46", "1F8B", "425A", "FF", "0000", "7F45", "AB"};
    for (int round = 0; round < 3000; ++round) {
        std::string hex = round % 5 ? starts[rng() % starts.size()] : "";
        for (std::size_t n = rng() % 6; n > 0; --n) hex += digits[rng() % 16];
        if (round % 7 == 0) hex = hex.substr(0, rng() % (hex.size() + 1));  // odd and empty images too
        for (std::uint32_t options : {0u, static_cast<std::uint32_t>(kSpecial)}) {
            Context filed, walked;
            filed.options = walked.options = options;
            HexImage image(hex);
            ASSERT_EQ(run(rows, image, filed), decide(rows.rows(), image, walked).value_or("")) << hex;
        }
    }
}
