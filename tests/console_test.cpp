// The console family, through the exported interface: one small file per
// row and alternative, the whole result record checked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "families/families.hpp"
#include "support.hpp"

using namespace oxtarn::test;

namespace {

using Case = RowCase;


// The console detector alone, for files that an earlier family takes or
// that no row of it takes.
std::string console_alone(const std::string& content, std::uint64_t file_size = 0) {
    zarvo::Context ctx;
    ctx.file_size = file_size ? file_size : content.size();
    return zarvo::rules::run(zarvo::families::console_table(), zarvo::HexImage::of_bytes(content), ctx);
}

std::string hex_of(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        out += kDigits[c >> 4];
        out += kDigits[c & 0xF];
    }
    return out;
}

// 32 bytes: the hex text followed by zero bytes.
std::string padded(std::string_view hex) { return file_with(32, {{0, hex}}); }

// Every 16-bit word with its two bytes exchanged.
std::string swapped(std::string s) {
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) std::swap(s[i], s[i + 1]);
    return s;
}

// A Game Boy header: the end of the logo at byte 304, the title at byte 308.
std::string game_boy(std::string_view start, std::string_view title, std::size_t size = 400) {
    std::string out = file_with(size, {{0, start}, {304, "BBB9333E"}});
    out.replace(308, title.size(), title);
    return out;
}

// An NSF header up to the play address; the name starts at byte 14.
std::string nsf(std::string_view name) {
    std::string out = file_with(128, {{0, "4E45534D1A0105010080008003800000"}});
    out.replace(14, name.size(), name);
    return out;
}

// A cartridge header in reading order: the name at byte 32, padded to 20 bytes.
std::string n64(std::string_view name) {
    std::string out = file_with(64, {{0, "80371240000000000000000000000000"}});
    out.replace(32, name.size(), name);
    return out;
}

}  // namespace

TEST(ConsoleFamily, PlainRows) {
    check_rows({
        {"1", bytes("4E45531A02010000"), expected("nes")},
        {"2", bytes("02000D8100000100"), expected("fam")},
        {"4", bytes("4644531A01000000"), expected("fds")},
        {"5", bytes("2E0000EA24FFAE51"), expected("gba")},
        {"7", bytes("F331F0DFED5618"), expected("sg,sms")},
        {"8", bytes("F3C3000000"), expected("sms")},
        {"9 C37B", bytes("C37B00"), expected("sms")},
        {"9 C369", bytes("C36900"), expected("sms")},
        {"9 C301", bytes("C30100"), expected("sms")},
        {"9 C385", bytes("C38500"), expected("sms")},
        {"10", bytes("F3ED5631F0DF"), expected("gg,sg,sms")},
        {"11", bytes("3E30D305C300"), expected("gg")},
        {"19", "SNES-SPC700 Sound File Data v0.30", expected("spc")},
        {"20", bytes("4742530101"), expected("gbs")},
        {"21 EAMG", file_with(700, {{640, "45414D47"}}), expected("smd"), 1000},
        {"21 EAGNSS", file_with(700, {{640, "4541474E5353"}}), expected("smd"), 1000},
        {"23", bytes("4C594E5800020000"), expected("lnx")},
        {"24", bytes("FDABB025D6C4BD7CEA942805488AC62F00"), expected("lyx")},
        {"28 D007", file_with(108, {{0, "A1B2C3D4"}, {68, "D007"}}), expected("vmi")},
        {"28 CF07", file_with(108, {{0, "A1B2C3D4"}, {68, "CF07"}}), expected("vmi")},
        {"29", bytes("434F574401000000"), expected("dsk")},
        {"30", "config.version = \"8\"\n", expected("vmx")},
        {"31", bytes("EB3C9056504334200002"), expected("vfd")},
        {"32", bytes("636F6E6563746978000000"), expected("vhd")},
        {"33", file_with(40, {{23, "036D915475"}}), expected("sta")},
        {"34 fr0", bytes("01001100000046414D00000000050200"), expected("fr0")},
        {"34 fr9", bytes("01001100000046414D00000000050209"), expected("fr9")},
        {"34 fr15", bytes("01001100000046414D0000000005020F"), expected("fr15")},
        {"35", bytes("464D561A0100"), expected("fmv")},
        {"36", bytes("4742535401000000"), expected("st0,st1,st2,st3,st4,st5,st6,st7,st8,st9")},
        {"37", "YAME 1.0", expected("st1,st2,st3,st4,st5", 3)},
        {"38", "ZSNES Save State File V0.6\x1A", expected("zst")},
        {"39", bytes("4D454B411A070000"), expected("s00,s01,s02,s03,s04,s05,s06,s07,s08,s09")},
        {"41", bytes("4D430000000000"), expected("ps,mcd,mcr,mci,gme", 2)},
        {"42", bytes("5100000000"), expected("mc", 2)},
        {"43", "VgsM\x01", expected("mem")},
        {"44", file_with(24, {{10, "4249534C5053"}}), expected("psm")},
        {"45", bytes("50535600000000"), expected("psx")},
        {"46", bytes("534E5353000000054241535200"), expected("sav")},
        {"47", bytes("5354411A020000"), expected("sta", 2)},
    });
}

TEST(ConsoleFamily, SampleAndSizeLimits) {
    const std::string sega = file_with(300, {{0, "00FFFE0000000200"}, {256, "53454741204D45474120445249564520"}});
    check_rows({
        {"22", sega, expected("bin", 1), 260},
        {"21 needs 646 bytes", file_with(700, {{640, "4541474E5353"}}), expected("smd"), 646},
    });
    EXPECT_EQ(console_alone(sega.substr(0, 259)), "");
    EXPECT_EQ(console_alone(file_with(700, {{640, "4541474E5353"}}).substr(0, 645)), "");
    // Row 28 holds for a file of exactly 108 bytes.
    const std::string vmi = file_with(108, {{0, "A1B2C3D4"}, {68, "D007"}});
    EXPECT_EQ(console_alone(vmi, 109), "");
    EXPECT_EQ(console_alone(vmi, 107), "");
}

TEST(ConsoleFamily, Titles) {
    const std::string vectrex = bytes("6720474345203139383280FD0DF85030B8") + "MINE STORM" + bytes("8000");
    const std::string vms = file_with(600, {{0, "210680284F000000000000284F000000"}, {512, hex_of("HELLO")}});
    check_rows({
        {"3", nsf("Mega Quest"), expected("nsf", 1, "Title=Mega Quest")},
        {"3 empty name", nsf(""), expected("nsf", 1, "Title=")},
        {"3 name of 32 bytes", nsf("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"),
         expected("nsf", 1, "Title=ABCDEFGHIJKLMNOPQRSTUVWXYZ01234")},
        {"6", game_boy("", "TETRIS"), expected("gb,gbc", 1, "Title=TETRIS"), 512},
        // 50 00: the terminator is found one digit early, across the byte boundary.
        {"6 last byte x0", game_boy("", "POP"), expected("gb,gbc", 1, "Title=POP"), 512},
        {"6 no terminator", game_boy("", "ABCDEFGHIJKL", 320), expected("gb,gbc"), 512},
        {"12", file_with(64, {{0, hex_of("COPYRIGHT BY SNK CORPORATION")}, {36, hex_of("SAMURAI")}}),
         expected("ngp,npc,ngc", 1, "Title=SAMURAI")},
        {"12 last byte x0", file_with(64, {{0, hex_of(" LICENSED BY SNK CORPORATION")}, {36, hex_of("POP")}}),
         expected("ngp,npc,ngc", 1, "Title=POP")},
        {"13 in reading order", n64("SUPER MARIO 64      "), expected("v64,n64", 1, "Title=SUPER MARIO 64      ")},
        {"13 byte-swapped", swapped(n64("SUPER MARIO 64      ")),
         expected("v64,n64", 1, "Title=SUPER MARIO 64      ")},
        {"13 byte-swapped, short name", swapped(n64("ZELDA")), expected("v64,n64", 1, "Title=ZELDA")},
        {"25", vectrex, expected("bin", 2, "Title=MINE STORM")},
        {"25 no terminator", bytes("6720474345203139383280FD0DF85030B8") + "MINE", expected("bin", 2)},
        {"26", bytes("1300000052") + "OBOCOP   " + bytes("1B00"), expected("tap", 1, "Title=ROBOC")},
        {"27", vms, expected("vms", 1, "Title=HELLO"), 1000},
        {"27 210480", file_with(600, {{0, "210480284F000000000000284F000000"}, {512, hex_of("HELLO")}}),
         expected("vms", 1, "Title=HELLO"), 1000},
        {"27 sample short of the title", vms, expected("vms"), 256},
        {"40", bytes("33000000") + "SONIC ADVENT" + "URE 2 \x01\x02\x03\x04\x05\x06", expected("dci", 1, "Title=SONIC ADVENT")},
    });
    // Row 40 needs byte 26 other than 00.
    EXPECT_EQ(console_alone(file_with(32, {{0, "33000000"}, {4, hex_of("SONIC")}})), "");
}

TEST(ConsoleFamily, LooseRowsFourteenToEighteen) {
    const std::string pce = "pce", smc_pce = "smc,pce", smc_fig = "smc,fig";
    struct Alt {
        const char* row;
        std::string content;
        const std::string& want;
    };
    const std::vector<Alt> alts = {
        {"14 2000310000", bytes("2000310000000000000000000000AA"), pce},
        {"14 4000310000", bytes("4000310000000000000000000000AA"), pce},
        {"14 EAEAEA", bytes("EAEAEA00"), pce},
        {"14 EAEAEA, 3 bytes", bytes("EAEAEA"), pce},
        {"14 EAD478", bytes("EAD47800"), pce},
        {"14 D478D8A9FF", bytes("D478D8A9FF00"), pce},
        {"14 7854A9FF53", bytes("7854A9FF5300"), pce},
        {"14 78D4D8A9FF53", bytes("78D4D8A9FF5300"), pce},
        {"14 78D4D8A2FF9AA9", bytes("78D4D8A2FF9AA900"), pce},
        {"14 byte 8 blanks", file_with(24, {{8, "2020202020FF4501"}}), pce},
        {"14 byte 8 8D0080", file_with(24, {{8, "8D0080CD0080D00F"}}), pce},
        {"15 2 and 95 zeros", file_with(48, {{0, "20"}}), pce},
        {"15 .pce", "game.pce\x01", pce},
        {"15 .pce at character 63", file_with(40, {{31, "02E7063650"}}), pce},
        {"15 .PCE", "GAME.PCE\x01", pce},
        {"15 D4A9FF5301A9F8", file_with(24, {{4, "D4A9FF5301A9F8"}}), pce},
        {"15 C2A9018D", file_with(24, {{2, "C2A9018D0010A9038D0010A9"}}), pce},
        {"15 10 and 31", bytes("1055310000000000000000000000AA"), pce},
        {"15 80 and 31", bytes("8055310000000000000000000000AA"), pce},
        {"15 2000 AABB02", bytes("2000000000000000AABB020000000000"), pce},
        {"15 3001 AABB02", bytes("3001000000000000AABB020000000000"), pce},
        {"15 4000 AABB02", bytes("4000000000000000AABB020000000000"), pce},
        {"15 6000 AABB02", bytes("6000000000000000AABB020000000000"), pce},
        {"15 30013100", bytes("30013100000000000000000000005631"), pce},
        {"15 3001 zeros", bytes("30010000000000000000000000000000"), pce},
        {"16 1", file_with(48, {{0, "10"}}), smc_pce},
        {"16 4", file_with(48, {{0, "40"}}), smc_pce},
        {"16 8", file_with(48, {{0, "80"}}), smc_pce},
        {"17 EA48", padded("EA48"), smc_fig},
        {"17 C230", padded("C230"), smc_fig},
        {"17 18FB", padded("18FB"), smc_fig},
        {"17 7818FB", padded("7818FB"), smc_fig},
        {"17 78D818FB", padded("78D818FB"), smc_fig},
        {"17 78C209FB", padded("78C209FB"), smc_fig},
        {"17 80001080", padded("80001080"), smc_fig},
        {"17 EA7818FB5C", padded("EA7818FB5C"), smc_fig},
        {"17 8CE10F9CE0", padded("8CE10F9CE0"), smc_fig},
        {"17 400000807703", padded("400000807703"), smc_fig},
        {"17 800000807703", padded("800000807703"), smc_fig},
        {"17 SUPERUFO", file_with(16, {{8, "535550455255464F"}}), smc_fig},
        {"17 EAEAEAEA7818FBC2", padded("EAEAEAEA7818FBC2"), smc_fig},
        {"17 SUPER FAMICOM", "SUPER FAMICOM", smc_fig},
        {"18 8001", padded("8001"), smc_fig},
        {"18 7783", padded("000000007783"), smc_fig},
        {"18 GAME DOCTOR", "GAME DOCTOR SF 3", smc_fig},
        {"18 8000000000800", padded("80000000008000000000000000000000"), smc_fig},
        {"18 4000000000800", padded("40000000008000000000000000000000"), smc_fig},
        {"18 0001", padded("0001"), smc_fig},
        {"18 0001108000", padded("0001108000"), smc_fig},
        {"18 C0001080", padded("C0001080"), smc_fig},
        {"18 AABB04", file_with(32, {{8, "AABB04"}}), smc_fig},
        {"18 18FBC2 at character 2", padded("0018FBC2"), smc_fig},
        {"18 18FBC2 at character 95", file_with(52, {{47, "018FBC20"}}), smc_fig},
        {"18 18FBE2", file_with(32, {{10, "18FBE2"}}), smc_fig},
        {"18 81", padded("8100"), smc_fig},
        {"18 C0", padded("C000"), smc_fig},
        {"18 77 at byte 3", padded("80000077"), smc_fig},
    };
    for (const Alt& alt : alts) {
        SCOPED_TRACE(alt.row);
        EXPECT_EQ(identify_bytes(alt.content), expected(alt.want));
    }
    // Row 15's last alternative reads byte 256; bytes 16 to 47 keep it from
    // the zero count.
    const std::string ff_at_256 = file_with(272, {{0, "20"}, {20, "11"}, {256, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"}});
    EXPECT_EQ(identify_bytes(ff_at_256, 512), expected("pce"));
    EXPECT_EQ(console_alone(ff_at_256.substr(0, 256)), "");
}

TEST(ConsoleFamily, LooseRowsDoNotHold) {
    const std::vector<std::pair<const char*, std::string>> misses = {
        {"15 2 and 94 zeros", file_with(48, {{0, "20"}, {40, "01"}})},
        {"15 .pce at character 64", file_with(40, {{32, "2E706365"}})},
        {"18 18FBC2 at character 1", padded("018FBC20")},
        {"18 18FBC2 at character 96", file_with(52, {{48, "18FBC2"}})},
        {"18 81 07", padded("8107")},
    };
    for (const auto& [name, content] : misses) {
        SCOPED_TRACE(name);
        EXPECT_EQ(console_alone(content), "");
    }
    // Row 18's alternative 01 01 and zeros: the archive family (01 01, zero
    // byte 4) answers first in the chain, so it is checked here alone.
    EXPECT_EQ(console_alone(padded("0101")), "smc,fig");
}

TEST(ConsoleFamily, ComesBeforePictures) {
    // A picture header that a console row reads as its own: the chain asks
    // the console family first.
    std::string png = bytes("89504E470D0A1A0A0000000D494844520000001000000010080200000018FBE200");
    check_rows({
        {"16 takes a tim header of zeros", file_with(48, {{0, "10"}}), expected("smc,pce")},
        {"18 takes a PNG whose IHDR check holds 18 FB E2", png, expected("smc,fig")},
        {"18 takes a BM header with byte 3 = 77", file_with(40, {{0, "424D0077"}}), expected("smc,fig")},
        // A Game Boy image whose first bytes read as row 9: row 6 needs byte 304.
        {"6 with 512 bytes", game_boy("C30150", "TETRIS"), expected("gb,gbc", 1, "Title=TETRIS"), 512},
        {"9 with the default 256", game_boy("C30150", "TETRIS"), expected("sms")},
    });
}
