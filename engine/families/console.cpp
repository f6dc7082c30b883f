// Console ROM and emulator images.
#include <string>

#include "families.hpp"
#include "rules.hpp"
#include "text.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

constexpr std::string_view kZeros16 = "00000000000000000000000000000000";

// Rows 15 and 16: exactly 95 of the first 96 digits are "0".
bool zero_count_95(const HexImage& img, const Context&) {
    return text::count(text::left(img.text(), 96), '0') == 95;
}

// Row 3: bytes 14 to 44, up to the first zero byte; always written.
void nsf_title(const HexImage& img, Context& ctx) { ctx.detail = "Title=" + decoded(img, 14, 31); }

// Row 13: the 20-byte internal name at byte 32. Images that start 37 80
// hold every 16-bit word with its bytes exchanged, so the pairs are put
// back in order; images that start 80 37 hold the name in reading order.
void n64_title(const HexImage& img, Context& ctx) {
    if (!img.at(0, "37804012")) {
        ctx.detail = "Title=" + decoded(img, 32, 20);
        return;
    }
    std::string hex;
    for (long k = 32; k < 52; k += 2) hex += std::string(img.bytes(k + 1, 1)) + std::string(img.bytes(k, 1));
    ctx.detail = "Title=" + text::decode_hex(hex);
}

// Rows 6, 12, 25 and 27: the title from character `start` up to the first
// terminator found at or after character start + 1 (a text search, so it
// may be found across a byte boundary). The whole slice before the
// terminator is taken and a "0" appended: a title whose last byte ends in
// the terminator's first digit then keeps that byte, and after an even
// slice the lone "0" is dropped by the decoder. No terminator, no title:
// the detail text stays as it was.
Effect terminated_title(long start, std::string_view terminator = "00") {
    return [=](const HexImage& img, Context& ctx) {
        long p = img.find(terminator, start + 1);
        if (p < 0) return;
        ctx.detail = "Title=" + decoded_between(img, start, p, "0");
    };
}

// Row 26: bytes 4 to 8.
std::string tap_title(const HexImage& img, Context&) { return "Title=" + decoded(img, 4, 5); }

// Row 40: bytes 4 to 15.
std::string dci_title(const HexImage& img, Context&) { return "Title=" + decoded(img, 4, 12); }

// Row 34: "fr" and the value of byte 15 (0 to 15).
std::string fr_number(const HexImage& img, Context&) { return "fr" + std::to_string(img.byte(15)); }

}  // namespace

const Table& console_table() {
    static const Table rows = {
    // row  tests                                                   answer          side effects
    {"1",  {at(0, "4E45531A")},                                     "nes"},
    {"2",  {at(0, "02000D8100000100")},                             "fam"},
    {"3",  {at(0, "4E45534D")},                                     "nsf",          {nsf_title}},
    {"4",  {at(0, "464453")},                                       "fds"},
    {"5",  {at(0, "2E0000EA24FFAE51")},                             "gba"},
    {"6",  {at(304, "BBB9333E")},                                   "gb,gbc",       {terminated_title(616)}},
    {"7",  {at(0, "F331")},                                         "sg,sms"},
    {"8",  {at(0, "F3C3")},                                         "sms"},
    {"9",  {at_one_of(0, {"C37B", "C369", "C301", "C385"})},        "sms"},
    {"10", {at(0, "F3ED56")},                                       "gg,sg,sms"},
    {"11", {at(0, "3E30D305C3")},                                   "gg"},
    {"12", {at(13, "534E4B20434F52504F524154494F4E")},              "ngp,npc,ngc",  {terminated_title(72)}},
    {"13", {any({at(0, "37804012"), at(0, "80371240")})},           "v64,n64",      {n64_title}},
    {"14", {any({at(0, "2000310000000000000000000000"),
                 at(0, "4000310000000000000000000000"),
                 all({at(0, "EAEAEA"), not_at(3, "EA")}),
                 at(0, "EAD478"),
                 at(0, "D478D8A9FF"),
                 at(0, "7854A9FF53"),
                 at(0, "78D4D8A9FF53"),
                 at(0, "78D4D8A2FF9AA9"),
                 at(8, "2020202020FF4501"),
                 at(8, "8D0080CD0080D00F")})},                      "pce"},
    {"15", {any({all({at_char(0, "2"), when(zero_count_95)}),
                 first_within("2E706365", 0, 63),
                 first_within("2E504345", 0, 63),
                 first_within("D4A9FF5301A9F8", 0, 31),
                 first_within("C2A9018D0010A9038D0010A9", 0, 31),
                 all({at_one_of(0, {"10", "20", "40", "60", "80"}), at(2, "310000000000000000000000")}),
                 at(0, "2000000000000000AABB020000000000"),
                 at(0, "3001000000000000AABB020000000000"),
                 at(0, "4000000000000000AABB020000000000"),
                 at(0, "6000000000000000AABB020000000000"),
                 at(0, "30013100000000000000000000005631"),
                 at(0, "30010000000000000000000000000000"),
                 all({at(0, "20000000000000000000000000000000"), at(256, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF")})})},
                                                                    "pce"},
    {"16", {any({at_char(0, "1"), at_char(0, "4"), at_char(0, "8")}), when(zero_count_95)}, "smc,pce"},
    {"17", {any({at_one_of(0, {"EA48", "C230", "18FB", "7818FB", "78D818FB", "78C209FB", "80001080",
                               "EA7818FB5C", "8CE10F9CE0", "400000807703", "800000807703"}),
                 at(8, "535550455255464F"),
                 at(0, "EAEAEAEA7818FBC2"),
                 at(0, "53555045522046414D49434F4D")})},            "smc,fig"},
    {"18", {any({all({at(0, "8001"), at(16, kZeros16)}),
                 all({at(4, "7783"), at(16, kZeros16)}),
                 at(0, "47414D4520444F43544F522053462033"),
                 at(0, "80000000008000000000000000000000"),
                 at(0, "40000000008000000000000000000000"),
                 at(0, "0001000000000000000000000000000000000000000000000000000000000000"),
                 at(0, "0101000000000000000000000000000000000000000000000000000000000000"),
                 at(0, "0001108000000000000000000000000000000000000000000000000000000000"),
                 all({at(0, "C0001080"), at(16, kZeros16)}),
                 all({at(8, "AABB04"), at(16, kZeros16)}),
                 first_within("18FBC2", 2, 95),
                 first_within("18FBE2", 2, 95),
                 all({at_one_of(0, {"81", "82", "A0", "C0"}), at(16, kZeros16), not_at(1, "07")}),
                 all({at(3, "77"), at_one_of(0, {"42", "80", "82", "A0"}), at(16, kZeros16)})})},
                                                                    "smc,fig"},
    {"19", {at(0, "534E45532D535043373030")},                       "spc"},
    {"20", {at(0, "47425301")},                                     "gbs"},
    {"21", {any({at(640, "45414D47"), at(640, "4541474E5353")})},   "smd"},
    {"22", {at(256, "53454741")},                                   "bin",          {variant(variants::kPrimary)}},
    {"23", {at(0, "4C594E58")},                                     "lnx"},
    {"24", {at(0, "FDABB025D6C4BD7CEA942805488AC62F")},             "lyx"},
    {"25", {at(0, "6720474345")},                                   "bin",          {variant(variants::kSharedFirst), terminated_title(34, "80")}},
    {"26", {at(0, "130000")},                                       "tap",          {detail(tap_title)}},
    {"27", {any({at(0, "210680284F000000000000284F000000"),
                 at(0, "210480284F000000000000284F000000")})},      "vms",          {terminated_title(1024)}},
    {"28", {any({at(68, "D007"), at(68, "CF07")}), size_is(108)},   "vmi"},
    {"29", {at(0, "434F57440100")},                                 "dsk"},
    {"30", {at(0, "636F6E6669672E76657273696F6E203D")},             "vmx"},
    {"31", {at(0, "EB3C905650433420")},                             "vfd"},
    {"32", {at(0, "636F6E656374697800")},                           "vhd"},
    {"33", {at(23, "036D915475")},                                  "sta"},
    {"34", {at_char(0, "01001100000046414D0000000005020")},         fr_number},
    {"35", {at(0, "464D561A")},                                     "fmv"},
    {"36", {at(0, "47425354")},                                     "st0,st1,st2,st3,st4,st5,st6,st7,st8,st9"},
    {"37", {at(0, "59414D4520")},                                   "st1,st2,st3,st4,st5", {variant(variants::kSharedSecond)}},
    {"38", {at(0, "5A534E45532053617665205374617465")},             "zst"},
    {"39", {at(0, "4D454B411A07")},                                 "s00,s01,s02,s03,s04,s05,s06,s07,s08,s09"},
    {"40", {at(0, "3300"), not_at(26, "00")},                       "dci",          {detail(dci_title)}},
    {"41", {at(0, "4D4300")},                                       "ps,mcd,mcr,mci,gme", {variant(variants::kSharedFirst)}},
    {"42", {at(0, "51000000")},                                     "mc",           {variant(variants::kSharedFirst)}},
    {"43", {at(0, "5667734D")},                                     "mem"},
    {"44", {at(10, "4249534C5053")},                                "psm"},
    {"45", {at(0, "505356")},                                       "psx"},
    {"46", {at(0, "534E53530000000542415352")},                     "sav"},
    {"47", {at(0, "5354411A02")},                                   "sta",          {variant(variants::kSharedFirst)}},
    };
    return rows;
}

}  // namespace zarvo::families
