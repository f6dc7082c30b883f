// The table vocabulary: rows, sub-rows, "go on" rows and side effects.
#include <gtest/gtest.h>

#include "rules.hpp"
#include "sjis.hpp"

using namespace zarvo;
using namespace zarvo::rules;

namespace {

const Table& sample_table() {
    static const Table rows = {
        {"1", {at(0, "504B0304")}, "zip,jar", {},
         {{"1s", {special(), at(4, "14")}, "zip", {selector(15)}}}},
        {"2", {at(0, "FFFF")}, go_on, {},
         {{"2a", {at(2, "47")}, "mp1", {detail("Mode:1")}}}},
        {"3", {at(0, "FF")}, "ff", {detail("a形式"_sj)}},
        {"4", {any({at(0, "010000"), at(0, "000000")}), not_at(3, "00"), not_at(4, "00")}, "jam", {selector(2)}},
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
    EXPECT_EQ(ctx.selector, 1);
    ctx.options = kSpecial;
    EXPECT_EQ(run_on("504B030414", ctx), "zip");
    EXPECT_EQ(ctx.selector, 15);
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
    EXPECT_EQ(ctx.selector, 2);
    Context other;
    EXPECT_EQ(run_on("0000000100", other), "");
}

TEST(TableVocabulary, CharacterTestsFindsAndComputedAnswers) {
    Context ctx;
    EXPECT_EQ(run_on("7EABCD", ctx), "");     // first occurrence at 2: too early
    EXPECT_EQ(run_on("7E0ABCD", ctx), "n0A");  // at 3: odd positions count
    EXPECT_EQ(run_on("8E0ABCD", ctx), "");
}
