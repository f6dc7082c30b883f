// Text operations and helpers of the frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "sjis.hpp"
#include "text.hpp"

namespace text = zarvo::text;

TEST(TextOperations, SlicesNeverReadOutside) {
    EXPECT_EQ(text::left("ABCDEF", 2), "AB");
    EXPECT_EQ(text::left("ABC", 9), "ABC");
    EXPECT_EQ(text::left("ABC", -1), "");
    EXPECT_EQ(text::right("ABCDEF", 2), "EF");
    EXPECT_EQ(text::right("ABC", 9), "ABC");
    EXPECT_EQ(text::mid("ABCDEF", 2, 3), "CDE");
    EXPECT_EQ(text::mid("ABCDEF", 4, 9), "EF");
    EXPECT_EQ(text::mid("ABCDEF", 6, 1), "");
    EXPECT_EQ(text::mid("ABCDEF", 60), "");
    EXPECT_EQ(text::mid("ABCDEF", -3, 2), "AB");
    EXPECT_EQ(text::mid("ABCDEF", 3), "DEF");
    EXPECT_EQ(text::mid("ABCDEF", 2, -1), "");  // a negative count takes nothing
}

TEST(TextOperations, FindMatchesAtOddPositions) {
    EXPECT_EQ(text::find("102102", "0210"), 1);  // bytes 10 21 02: straddles two bytes
    EXPECT_EQ(text::find("ABAB", "AB", 1), 2);
    EXPECT_EQ(text::find("ABAB", "AB", 5), -1);
    EXPECT_EQ(text::find("ABAB", "", 4), 4);
    EXPECT_EQ(text::find("ABAB", "CD"), -1);
}

// The scan looks at eight places at a time: every length, start and place
// of a match (near either end included) must agree with a plain search
// (few-letter texts repeat characters and give many near matches).
TEST(TextOperations, FindAndCountAgreeWithAPlainScan) {
    const std::vector<std::string> alphabets = {"0123456789ABCDEF", "01", "01a@", "AB"};
    std::mt19937 rng(7);
    for (int round = 0; round < 8000; ++round) {
        std::string s(rng() % 80, '0');
        const std::string& letters = alphabets[static_cast<std::size_t>(round) % alphabets.size()];
        for (char& c : s) c = letters[rng() % letters.size()];
        std::size_t m = rng() % 24;
        std::size_t at = s.empty() ? 0 : rng() % s.size();
        std::string pattern = round % 3 ? s.substr(at, m) : std::string(m, "0AF"[rng() % 3]);
        long from = static_cast<long>(rng() % (s.size() + 3)) - 1;
        std::size_t want = std::string_view(s).find(pattern, static_cast<std::size_t>(std::max(0L, from)));
        long expected = want == std::string_view::npos ? -1 : static_cast<long>(want);
        ASSERT_EQ(text::find(s, pattern, from), expected) << s << " / " << pattern << " from " << from;
        char ch = "0AF,"[round % 4];
        ASSERT_EQ(text::count(s, ch), std::count(s.begin(), s.end(), ch)) << s;
    }
}

TEST(TextHelpers, ListFieldReader) {
    EXPECT_EQ(text::field("zip,jar", 1), "zip");
    EXPECT_EQ(text::field("zip,jar", 2), "jar");
    EXPECT_EQ(text::field("zip,jar", 3), "jar");
    EXPECT_EQ(text::field("zip", 1), "zip");
    EXPECT_EQ(text::field(",001", 1), "");
    EXPECT_EQ(text::field("", 1), "");
}

TEST(TextHelpers, CharacterCounter) {
    EXPECT_EQ(text::count("a,b,c", ','), 2);
    EXPECT_EQ(text::count("aAbA", 'a'), 1);
    EXPECT_EQ(text::count("", 'a'), 0);
}

TEST(TextHelpers, HexDecoder) {
    EXPECT_EQ(text::decode_hex("4142004344"), "AB");
    EXPECT_EQ(text::decode_hex("4142004344", "0"), "AB");
    EXPECT_EQ(text::decode_hex(""), "");
    EXPECT_EQ(text::decode_hex("", "0"), "");
    EXPECT_EQ(text::decode_hex("414"), "A");
    EXPECT_EQ(text::decode_hex("414", "0"), "A@");
    EXPECT_EQ(text::decode_hex("4"), "");
    EXPECT_EQ(text::decode_hex("4142", "0"), "AB");  // the padding digit alone adds nothing
    EXPECT_EQ(text::decode_hex(std::string(3000, '4')).size(), 1023u);
}

TEST(TextHelpers, NumberReaders) {
    EXPECT_EQ(text::hex_pair('0', 'A'), 0x0A);
    EXPECT_EQ(text::hex_pair('F', 'F'), 0xFF);
    EXPECT_EQ(text::three_digits("100"), 100);
    EXPECT_EQ(text::three_digits("1A3"), 103);
    EXPECT_EQ(text::three_digits("007"), 7);
    EXPECT_EQ(text::three_digits("9"), 900);
}

TEST(TextHelpers, PlainTextTestReadsTrueBytes) {
    EXPECT_TRUE(text::plain_text(""));
    EXPECT_TRUE(text::plain_text("30703F"));  // "07" only straddles two bytes
    EXPECT_FALSE(text::plain_text("3007"));
    EXPECT_FALSE(text::plain_text("19"));
    EXPECT_TRUE(text::plain_text("00080D1A1BFF"));
    EXPECT_FALSE(text::plain_text("0E"));
    EXPECT_FALSE(text::plain_text("01"));
}

TEST(HexRendering, UppercasePairs) {
    EXPECT_EQ(text::to_hex(std::string("\x0a\xff\x00", 3)), "0AFF00");
    EXPECT_EQ(text::to_hex(""), "");
}

// Every code of the decoding table converts to its character, alone and
// between other text; a stray lead byte or a code the page lacks gives "?".
TEST(ShiftJis, RunTimeConversionToUtf8) {
    auto utf8 = [](std::uint32_t cp) {
        std::string out;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
        return out;
    };
    for (const zarvo::sjis::CodePair& pair : zarvo::sjis::kDecode) {
        std::string code;
        if (pair.from > 0xFF) code += static_cast<char>(pair.from >> 8);
        code += static_cast<char>(pair.from & 0xFF);
        ASSERT_EQ(zarvo::sjis::to_utf8("a" + code + "b"), "a" + utf8(pair.to) + "b") << std::hex << pair.from;
    }
    EXPECT_EQ(zarvo::sjis::to_utf8("x\x82"), "x?");          // a lead byte without its trail
    EXPECT_EQ(zarvo::sjis::to_utf8("\x82\x20y"), "?y");      // no character 82 20
    for (std::string text : {"89a形式ｶﾅ", "RAR Archive File「書庫」", "twelve chars形式 and sixteen chars", "形式12345678ｶﾅ"})
        EXPECT_EQ(zarvo::sjis::to_utf8(zarvo::sjis::to_sjis(text)), text);
}
