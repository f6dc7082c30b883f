// Footer signatures, tail tests and window tests: the detectors on their own
// (with results and contexts chosen freely), then a few whole identifications
// through the exported interface.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "context.hpp"
#include "refine/refine.hpp"
#include "hex_image.hpp"
#include "support.hpp"

using namespace oxtarn::test;
using zarvo::Context;
using zarvo::HexImage;

namespace {

// What a detector answered and left in the context. The context starts with
// variant 5 and detail "before", so a row that leaves them alone shows it.
struct Outcome {
    std::string result;
    int variant = 5;
    std::string detail = "before";
    bool operator==(const Outcome&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << "{\"" << o.result << "\", " << o.variant << ", \"" << o.detail << "\"}";
}

Context fresh() {
    Context ctx;
    ctx.variant = 5;
    ctx.detail = "before";
    return ctx;
}

Outcome footer_of(std::string_view head, std::string_view tail) {
    Context ctx = fresh();
    std::string r = zarvo::refine::footer(HexImage(std::string(head)), HexImage(std::string(tail)), ctx);
    return {r, ctx.variant, ctx.detail};
}

Outcome tail_of(std::string_view tail, std::string_view current) {
    Context ctx = fresh();
    std::string r = zarvo::refine::tail_tests(HexImage(std::string(tail)), current, ctx);
    return {r, ctx.variant, ctx.detail};
}

Outcome window_of(std::string_view window, std::string_view current) {
    Context ctx = fresh();
    std::string r = zarvo::refine::window_tests(bytes(window), current, ctx);
    return {r, ctx.variant, ctx.detail};
}

std::string repeat(std::string_view hex, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += hex;
    return out;
}

const Record kUnidentified{"?", "", ""};

// ---- footer signatures ---------------------------------------------------------

TEST(FooterSignatures, EachSignatureAndItsNearMiss) {
    const std::string ten = "0102030405060708090A";
    struct Case {
        const char* name;
        std::string head, tail;
        Outcome want;
    };
    const std::vector<Case> cases = {
        {"cgm", "", ten + "00A00040", {"cgm"}},
        {"cgm tail too short", "", "A00040", {""}},
        {"ws: bytes -16, -11, -3", "", "EA11111111001111111111111101" "2222", {"ws,wsc"}},
        {"ws: byte -3 is 00", "", ten + "EA11111111001111111111111100" "2222", {"ws,wsc"}},
        {"ws: byte -3 is 02", "", "EA11111111001111111111111102" "2222", {""}},
        {"ws: byte -11 is 01", "", "EA11111111011111111111111100" "2222", {""}},
        // byte -16 of a 12-byte tail reads from its first byte
        {"ws on a short tail", "", "EA00" "11111111111111" "00" "2222", {"ws,wsc"}},
        {"st with 00", "", ten + "0000454E44", {"st0,st1,st2,st3,st4,st5,st6,st7,st8,st9", 2}},
        {"st with 01", "", ten + "0100454E44", {"st0,st1,st2,st3,st4,st5,st6,st7,st8,st9", 2}},
        {"st with 02", "", ten + "0200454E44", {""}},
        {"nrr", "00000000AA", ten + "0DE03B0800000000000000", {"nrr"}},
        {"nrr needs the zero head", "00000001AA", ten + "0DE03B0800000000000000", {""}},
        {"nrr head too short", "000000", ten + "0DE03B0800000000000000", {""}},
        {"rk", "", ten + "810301524B", {"rk"}},
        {"rkv", "", ten + "009211524B", {"rkv"}},
        {"bvi", "04AA", ten + "0000", {"bvi"}},
        {"bvi needs head 04", "05AA", ten + "0000", {""}},
        {"cpz", "", ten + "676866686466686668", {"cpz"}},
        {"arg", "0041FF", ten + "01", {"arg"}},
        {"arg needs head 0041", "0040FF", ten + "01", {""}},
        {"arc", "1AFF", ten + "1A00", {"arc"}},
        {"arc needs the last two bytes", "1AFF", ten + "1A01", {""}},
        {"dwc", "", ten + "3A01000000445743", {"dwc"}},
        {"empty tail", "04", "", {""}},
        // several signatures hold: the earlier row decides
        {"ws before arc", "1A", "EA11111111001111111111111100" "1A00", {"ws,wsc"}},
    };
    for (const Case& c : cases) EXPECT_EQ(footer_of(c.head, c.tail), c.want) << c.name;
}

// A tail of `size` bytes ending in thirteen blocks B and one last block.
std::string block_tail(int size, std::string_view b, std::string_view last) {
    return repeat("5A", size - 224) + repeat(b, 13) + std::string(last);
}

TEST(FooterSignatures, RepeatedBlockFooter) {
    const std::string b = "000102030405060708090A0B0C0D0E0F";
    const std::string other = "FF0102030405060708090A0B0C0D0E0F";
    auto with_block = [&](int before_end, std::string_view replacement) {
        std::string tail = block_tail(400, b, other);
        tail.replace(tail.size() - 2 * before_end, 32, replacement);
        return tail;
    };
    struct Case {
        const char* name;
        std::string tail;
        std::string want;
    };
    const std::vector<Case> cases = {
        {"thirteen equal blocks and a different one", block_tail(400, b, other), "zld"},
        {"251 bytes, the shortest tail", block_tail(251, b, other), "zld"},
        {"250 bytes is too short", block_tail(250, b, other), ""},
        {"the first block all 00", block_tail(400, repeat("00", 16), other), ""},
        {"the first block all FF", block_tail(400, repeat("FF", 16), other), ""},
        {"the block 208 bytes before the end differs", with_block(208, other), ""},
        {"the block 32 bytes before the end differs", with_block(32, other), ""},
        {"the last block equals the others", block_tail(400, b, b), ""},
        // a block 240 bytes before the end is not looked at
        {"only thirteen blocks count", with_block(240, other), "zld"},
    };
    for (const Case& c : cases) EXPECT_EQ(footer_of("", c.tail), Outcome{c.want}) << c.name;
    // an earlier signature decides over the repeated blocks
    EXPECT_EQ(footer_of("", block_tail(400, b, "0102030405060708090A0B0C00A00040")), Outcome{"cgm"});
}

TEST(FooterSignatures, ThroughTheInterfaceOnlyWithOptionTwo) {
    const std::string cgm = file_with(3000, {{0, "C3C3C3C3"}, {2996, "00A00040"}});
    EXPECT_EQ(identify_bytes(cgm, 256, 2 | 8), expected("cgm"));
    EXPECT_EQ(identify_bytes(cgm, 256, 8), kUnidentified);

    // the ten candidates with variant 2; the present extension goes first
    const std::string st = file_with(600, {{0, "C3C3C3C3"}, {595, "0000454E44"}});
    EXPECT_EQ(identify_bytes(st, 256, 2 | 8, "save.st3"), expected("st3,st0,st1,st2,st4,st5,st6,st7,st8,st9", 2));

    // the last 1024 bytes of a longer file are the tail
    std::string zld = file_with(5000, {{0, "C3C3C3C3"}});
    std::string tail = bytes(block_tail(224, "C1C2C3C4C5C6C7C8C9CACBCCCDCECFD0", "E1E2E3E4E5E6E7E8E9EAEBECEDEEEFF0"));
    zld.replace(zld.size() - tail.size(), tail.size(), tail);
    EXPECT_EQ(identify_bytes(zld, 256, 2 | 8), expected("zld"));
    // A 200-byte file is never zld, even one whose blocks, read from the
    // start of so short a tail, would all be equal.
    const std::string period = repeat("C1C2C3C4C5C6C7C8", 24) + "E1E2E3E4E5E6E7E8";
    EXPECT_EQ(identify_bytes(bytes(period), 256, 2 | 8), kUnidentified);
}

// ---- tail tests ----------------------------------------------------------------------

TEST(TailTests, EachTestOrderAndKeepCurrent) {
    struct Case {
        const char* name;
        std::string tail, current;
        Outcome want;
    };
    const std::vector<Case> cases = {
        {"gif: the last 11 bytes begin 00003B", "FFFF" "00003B" "0102030405060708", "bmp", {"gif", 16, ""}},
        {"gif: 00003B 12 bytes before the end", "00003B" "010203040506070809", "bmp", {""}},
        {"gif: a tail shorter than 11 bytes", "00003B01", "", {"gif", 16, ""}},
        {"jpg", "FFFF208C9982C582B7", "", {"jpg", 19, ""}},
        {"102 keeps the current result", "FF2120202019747D78", "exe", {"exe", 102, ""}},
        {"102 with no current result", "FF2120202019747D78", "", {"xxx", 102, ""}},
        {"107: the last 16 bytes begin _UME", "FF" "5F554D45" + repeat("AB", 12), "zip,jar", {"zip,jar", 107, ""}},
        {"107 is not tested 17 bytes before the end", "5F554D45" + repeat("AB", 13), "zip", {""}},
        {"106", "FF0000656E64", "mid", {"mid", 106, ""}},
        {"gif before 106", "00003B" "AABBCC" "0000656E64", "mid", {"gif", 16, ""}},
        {"nothing holds", "FF0000656E65", "mid", {""}},
        {"empty tail", "", "mid", {""}},
    };
    for (const Case& c : cases) EXPECT_EQ(tail_of(c.tail, c.current), c.want) << c.name;
}

TEST(TailTests, ThroughTheInterfaceOnlyWithTheTailImage) {
    const std::string marked = file_with(4000, {{0, "C3C3C3C3"}, {3992, "2120202019747D78"}});
    EXPECT_EQ(identify_bytes(marked, 256, 2 | 4 | 8), expected("xxx", 102));
    // with bit 4 alone the tail image is empty text: the window scan finds nothing
    EXPECT_EQ(identify_bytes(marked, 256, 4 | 8), kUnidentified);
    // a footer result is the current result
    const std::string cgm = file_with(4000, {{0, "C3C3C3C3"}, {3984, "5F554D45"}, {3996, "00A00040"}});
    EXPECT_EQ(identify_bytes(cgm, 256, 2 | 4 | 8), expected("cgm", 107));
}

// ---- window tests --------------------------------------------------------------------

struct WindowCase {
    std::string current;
    std::string pattern;
    Outcome want;
};

// Every row and pattern of the kind blocks and general tests, with the
// outcome it gives for its current result.
const std::vector<WindowCase>& window_cases() {
    static const std::vector<WindowCase> cases = {
        {"mid", "2D2D4E4B204C6576656C20312D2D", {"mid", 10, "Level 1"}},
        {"mid", "2D2D4E4B204C6576656C20322D2D", {"mid", 10, "Level 2"}},
        {"mid", "D2D2B1B4DFB39A899A93DFCCD2D2", {"mid", 10, "Level 3"}},
        {"mid", "4E4B34204E4B2062792041697246726F6E74", {"mid", 10, "Level 4"}},
        {"gif", "2D2D4E4B204C6576656C20312D2D", {"gif", 10, "Level 1"}},
        {"gif", "4E4B34204E4B2062792041697246726F6E74", {"gif", 10, "Level 4"}},
        {"jpg", "2D2D4E4B204C6576656C20322D2D", {"jpg", 10, "Level 2"}},
        {"jpg", "D2D2B1B4DFB39A899A93DFCCD2D2", {"jpg", 10, "Level 3"}},
        {"jpg", "57DC012A41C6E5071ED451401FFFD9FF", {"jpg", 18, "before"}},
        {"jpg", "46616B65526172211A0700", {"jpg", 22, "before"}},
        {"htm", "3C4E4B48544D4C4D4F44453E", {"htm", 10, "Level 2or3"}},
        {"htm", "3C212D2D436F6E6E65637448616D61", {"html", 10, "before"}},
        {"html", "3C212D2D0D0A017F03", {"htm", 15, "before"}},
        {"png", "74455874536F66747761726500566958AC226E6D", {"png", 12, "before"}},
        {"png", "74455874536F667477617265008F4889B9", {"png", 13, "before"}},
        {"exe", "00947E959293B800", {"exe", 100, ""}},
        {"", "00947E959293B800", {"xxx", 100, ""}},
        {"bmp", "74616E706F706F206F746F6D65207061737461", {"jpg,tan", 20, ""}},
        {"zip", "FF554B4D013C", {"zip", 101, ""}},
        {"zip", "F0EEE87AAF85", {"zip", 101, ""}},
        {"kad", "476F6F64557365436F6D62696E6174696F6E4B414400", {"kad", 103, ""}},
        {"bmp", "F049A8CCD39B38F049A8CCD39B38F049A8000000000000000000000000000000", {"bmp", 104, ""}},
        {"bmp", "883D94708EE2", {"bmp", 105, ""}},
        {"bmp", "896596908FD2", {"bmp", 105, ""}},
        {"bmp", "CBB2CBAB8ED2", {"bmp", 105, ""}},
        {"bmp", "002D46464B2D00", {"bmp", 108, "FFK"}},
        {"bmp", "00D4B996939AB9", {"bmp", 108, "FFK2"}},
        {"bmp", "0083B9B9B4CC83", {"bmp", 108, "FFK3"}},
        {"bmp", "A04DF3A568B8277C1328FACF", {"bmp", 109, ""}},
        {"bmp", "A04DF3A546CB1AEC31042971", {"bmp", 109, ""}},
        {"bmp", "A04DF3A5AC5E30646F7F41D7", {"bmp", 109, ""}},
        {"bmp", "A04DF3A5349BA2166CFE381D", {"bmp", 109, ""}},
        {"txt", "4C4541534973747874", {"txt", 110, "before"}},
        {"", "1985122353993A79", {"xxx", 112, "before"}},
        {"bmp", "32E39495E795929D9D94", {"bmp", 111, "before"}},
        {"bmp", "96473031433136393246", {"bmp", 111, "before"}},
        {"bmp", "72C6282C862C602D2D28", {"bmp", 111, "before"}},
        {"bmp", "8EA98E4582B782E982BD", {"bmp", 111, "before"}},
        {"bmp", "838A8358836782CC88EA", {"bmp", 111, "before"}},
        {"bmp", "8EA995AA82CC95B382F0", {"bmp", 111, "before"}},
        {"bmp", "8BF3949282CD8ADC82DF", {"bmp", 111, "before"}},
        {"bmp", "91E688EA92698A4B8146", {"bmp", 111, "before"}},
        {"bmp", "82B1815228815081A481", {"bmp", 111, "before"}},
    };
    return cases;
}

// A window image of `chars` random hex digits from a fixed seed.
std::string random_window(std::mt19937& rng, std::size_t chars) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(chars, '0');
    for (char& c : out) c = kDigits[rng() % 16];
    return out;
}

TEST(WindowTests, EachBlockAndGeneralRow) {
    for (const WindowCase& c : window_cases()) {
        EXPECT_EQ(window_of("AB" + c.pattern + "CD", c.current), c.want) << c.current << " " << c.pattern;
    }
}

TEST(WindowTests, BlocksGoByTheFirstThreeCharactersAndComeFirst) {
    const std::string level1 = "2D2D4E4B204C6576656C20312D2D";
    const std::string fake_rar = "46616B65526172211A0700";
    const std::string general1 = "00947E959293B800";
    // a marker of another kind's block does nothing
    EXPECT_EQ(window_of(fake_rar, "mid"), Outcome{""});
    EXPECT_EQ(window_of(level1, "png"), Outcome{""});
    EXPECT_EQ(window_of(level1, "mi"), Outcome{""});
    // the block decides before the general tests, wherever the markers lie
    EXPECT_EQ(window_of(general1 + level1, "midi"), (Outcome{"mid", 10, "Level 1"}));
    // and the general tests follow when no block row holds
    EXPECT_EQ(window_of(general1, "jpg"), (Outcome{"jpg", 100, ""}));
    // the rows of a block decide in their order, not by position
    EXPECT_EQ(window_of(fake_rar + level1, "jpg"), (Outcome{"jpg", 10, "Level 1"}));
    // nothing found: empty text, context untouched
    EXPECT_EQ(window_of("", "mid"), Outcome{""});
    EXPECT_EQ(window_of(level1.substr(0, level1.size() - 2), "mid"), Outcome{""});
    // a marker at an odd position that ends in the window's last byte
    EXPECT_EQ(window_of("A" + level1 + "0", "mid"), (Outcome{"mid", 10, "Level 1"}));
    EXPECT_EQ(window_of("A" + level1.substr(0, level1.size() - 1) + "00", "mid"), Outcome{""});
}

// The one-pass search finds what a plain search of each pattern would: every
// marker planted at random positions, even and odd, in random windows, alone
// and together with a later row's marker.
TEST(WindowTests, SearchFindsPlantedMarkersAtAnyPosition) {
    std::mt19937 rng(20240611);
    const auto& cases = window_cases();
    for (int round = 0; round < 400; ++round) {
        const WindowCase& c = cases[rng() % cases.size()];
        std::string window = random_window(rng, 6000);
        std::size_t at = rng() % (window.size() - c.pattern.size() + 1);
        if (round < 2) at = round == 0 ? 0 : window.size() - c.pattern.size();  // both ends
        window.replace(at, c.pattern.size(), c.pattern);
        EXPECT_EQ(window_of(window, c.current), c.want) << c.pattern << " at " << at;

        // a marker of the last general row, planted elsewhere, changes nothing
        const std::string last_row = "82B1815228815081A481";
        std::size_t other = (at + c.pattern.size() + rng() % 1000) % (window.size() - last_row.size());
        if (other + last_row.size() > at && other < at + c.pattern.size()) continue;
        window.replace(other, last_row.size(), last_row);
        EXPECT_EQ(window_of(window, c.current), c.want) << c.pattern << " at " << at << " with " << other;
    }
    // the random windows alone hold no marker
    for (int round = 0; round < 20; ++round) EXPECT_EQ(window_of(random_window(rng, 6000), "mid"), Outcome{""});
}

TEST(WindowTests, ScanOfTheWholeFile) {
    const std::string general1 = "00947E959293B800";
    // unidentified file, marker in the eleventh window
    EXPECT_EQ(identify_bytes(file_with(40000, {{30000, general1}}), 256, 4 | 8), expected("xxx", 100));
    // a marker that straddles the first two windows is seen whole in the second
    EXPECT_EQ(identify_bytes(file_with(6000, {{2996, general1}}), 256, 4 | 8), expected("xxx", 100));
    // the footer's result is kept
    EXPECT_EQ(identify_bytes(file_with(6000, {{100, general1}, {5996, "00A00040"}}), 256, 2 | 4 | 8),
              expected("cgm", 100));
    // the candidate ordering applies to the window tests' result
    EXPECT_EQ(identify_bytes(file_with(6000, {{4000, "74616E706F706F206F746F6D65207061737461"}}), 256, 4 | 8,
                             "picture.tan"),
              expected("tan,jpg", 20));
}

TEST(WindowTests, ScanReachesTheFirst10264320Bytes) {
    const std::string general1 = "00947E959293B800";
    const std::size_t reach = 10'264'320;
    EXPECT_EQ(identify_bytes(file_with(reach + 100, {{reach - 8, general1}}), 256, 4 | 8), expected("xxx", 100));
    EXPECT_EQ(identify_bytes(file_with(reach + 100, {{reach - 7, general1}}), 256, 4 | 8), kUnidentified);
}

}  // namespace
