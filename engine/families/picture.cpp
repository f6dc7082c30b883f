// Pictures and compound picture documents.
//
// Groups: a row with sub-rows. Groups 4, 8 and 10 always end in their last,
// unconditional sub-row; groups 3, 7 and 14 answer go_on and fall through to
// the next row when none of their sub-rows holds. Sub-rows that the table
// does not number (the special variants of rows 16, 21 and 31, the yhc case
// of row 70) carry the row's number and a suffix.
#include <string>

#include "families.hpp"
#include "rules.hpp"
#include "sjis.hpp"
#include "text.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

// Row 4h: the version digits (bytes 3 and 4), then "a形式".
std::string gif_version(const HexImage& img, Context&) {
    return text::decode_hex(img.mid(6, 4)) + std::string("a形式"_sj);
}

// Row 7b: the title of the LIST chunk, from byte 32 up to the first "00"
// found at or after character 65. The whole slice up to the terminator is
// taken and a "0" appended, so that a title whose last byte ends in 0 (the
// terminator found one character early, across the byte boundary) keeps that
// byte; an even slice leaves the "0" alone, and the decoder drops it.
void cursor_title(const HexImage& img, Context& ctx) {
    long p = img.find("00", 65);
    if (p > 0) ctx.detail = decoded_between(img, 64, p, "0");
}

// Row 8b: "Level 1" to "Level 4" for byte 54 = FC to FF.
std::string bmp_level(const HexImage& img, Context&) {
    return "Level " + std::to_string(img.byte(54) - 0xFC + 1);
}

// Row 30: the head image holds exactly 320 digits "0". Counted a stretch at
// a time, and given up as soon as 320 is passed or out of reach.
bool three_hundred_twenty_zeros(const HexImage& img, const Context&) {
    std::string_view hex = img.text();
    long zeros = 0;
    for (std::size_t at = 0; at < hex.size(); at += 64) {
        if (zeros > 320 || zeros + static_cast<long>(hex.size() - at) < 320) return false;
        zeros += text::count(hex.substr(at, 64), '0');
    }
    return zeros == 320;
}

}  // namespace

const Table& picture_table() {
    static const Table rows = [] {
        const Test ole = at(0, "D0CF11E0A1B11AE1");
        const Test ole_root = at(1024, "52006F006F007400");
        const Test resource_blocks = all({at(32, "7020332E30003842494D03ED00000000"),
                                          at(64, "00023842494D040D0000000000040000"),
                                          at(96, "0000000000003842494D040A00000000")});
        return Table{
    // row   tests                                                  answer          side effects
    {"1",   {at(0, "8A4D4E47")},                                    "mng"},
    {"2",   {at(0, "8B4A4E47")},                                    "jng"},
    {"3",   {ole, ole_root},                                        go_on, {}, {
        {"3a", {at(2080, "4D6963726F736F66742050696374757265204974")}, "mix", {detail("Picture It 2.0-3.0")}},
        {"3b", {at(1536, "52006F006F007400"), at(1666, "43006F006D0070004F0062006A00")}, "mix"},
    }},
    {"4",   {at(0, "474946")},                                      go_on, {}, {
        {"4a", {special(), at(784, "0000080008000008")},            "gif", {variant(variants::kEmbedTool11)}},
        {"4b", {special(), at(792, "746F746F67202020")},            "gif", {variant(variants::kEmbedTool12)}},
        {"4c", {special(), at(5, "7A")},                            "gif", {variant(variants::kEmbedTool13)}},
        {"4d", {special(), at(16, "0000002C00000000E803E8034002FF8C8FA9CBED0FA39CB4DA8BB3DEBCFB0F86E24896E689A6EACAB6EE0BC7F24CD7F6")},
                                                                    "gif", {variant(variants::kGeroshabu)}},
        {"4e", {special(), at(784, "00004001E0010708FC00")},        "gif", {variant(variants::kEmbedTool14)}},
        {"4f", {special(), at(8, "01008000000000000101012C00000000010001000002024C")},
                                                                    "gif", {variant(variants::kEmbedTool17)}},
        {"4g", {special(), at(170, "43616D6F75666C616765206279")},  "gif", {variant(variants::kCamouflage)}},
        {"4h", {},                                                  "gif", {detail(gif_version)}},
    }},
    {"5",   {at(0, "00000100"), at(5, "002020")},                   "ico"},
    {"6",   {at(0, "252150532D41646F62652D")},                      "ai,eps"},
    {"7",   {at(0, "52494646")},                                    go_on, {}, {
        {"7a", {at(8, "41434F4E616E6968")},                         "ani"},
        {"7b", {at(8, "41434F4E4C495354")},                         "ani", {cursor_title}},
    }},
    {"8",   {at(0, "424D")},                                        go_on, {}, {
        {"8a", {special(), at(54, "FF"), at(57, "FE"), at(60, "FF"), at(63, "FF"), at(66, "FF"),
                at(69, "FF"), at(72, "FC"), at(75, "FF"), at(78, "FD")}, "bmp", {variant(variants::kEmbedTool12)}},
        {"8b", {special(), at(48, "000000000000"), not_at(54, "FFFFFF"), not_at(54, "FF00FF"),
                at_one_of(54, {"FC", "FD", "FE", "FF"})},           "bmp", {variant(variants::kBmpNinja), detail(bmp_level)}},
        {"8c", {special(), at(0, "424D62010080030000003600000028000000004000000100000001001800000000002C010000C40E0000C40E00000000")},
                                                                    "bmp", {variant(variants::kGeroshabu)}},
        {"8d", {special(), at(54, "435257")},                       "bmp", {variant(variants::kEmbedTool11)}},
        {"8e", {special(), at(65, "FE20010000")},                   "bmp", {variant(variants::kEmbedTool14)}},
        {"8f", {},                                                  "bmp,dib,2bp,rle"},
    }},
    {"9",   {at(0, "1B4748")},                                      "rle", {variant(variants::kSharedFirst)}},
    {"10",  {at(6, "4A464946")},                                    go_on, {}, {
        {"10a", {special(), at(10, "FFFF")},                        "jpg", {variant(variants::kEmbedTool13)}},
        {"10b", {special(), first_within("63636363636363636363636363636363", 193, 511)},
                                                                    "jpg", {variant(variants::kEmbedTool11)}},
        {"10c", {special(), at(320, "211231054151611322718132061491A1")}, "jpg", {variant(variants::kEmbedTool14)}},
        {"10d", {special(), at(64, "1F2524221F2221262B372F26293429212230413134393B3E3E3E252E4449433C")},
                                                                    "jpg", {variant(variants::kEmbedTool12)}},
        {"10e", {special(), resource_blocks, at(1008, "494A59F9")}, "jpg", {variant(variants::kGeroshabu)}},
        {"10f", {special(), resource_blocks, at(1008, "33368C3A")}, "jpg", {variant(variants::kEmbedTool17)}},
        {"10g", {special(), any({at(20, "55534F4A504547"), at(25, "4745504A4F5355")})},
                                                                    "jpg", {variant(variants::kUsoJpeg)}},
        {"10h", {special(), at(16, "00480000FFDB004300A06E788C7864A08C828CB4AAA0BEF0FFFFF0DCDCF0FFFF")},
                                                                    "jpg", {variant(variants::kEmbedTool21)}},
        {"10j", {},                                                 "jpg,jpeg,jif,jpe,jfi,jfif"},
    }},
    {"11",  {at(0, "FFD8"), at(6, "45786966")},                     "jpg", {detail("EXIF形式"_sj)}},
    {"12",  {at(0, "FF4FFF51002F00")},                              "j2k"},
    {"13",  {at(0, "10000000")},                                    "tim"},
    {"14",  {at(2, "0A23")},                                        go_on, {}, {
        {"14a", {at(0, "5034")},                                    "pbm", {detail("Mode:BINARY")}},
        {"14b", {at(0, "5031")},                                    "pbm", {detail("Mode:ASCII")}},
        {"14c", {at(0, "5035")},                                    "pgm", {detail("Mode:BINARY")}},
        {"14d", {at(0, "5032")},                                    "pgm", {detail("Mode:ASCII")}},
    }},
    {"15",  {at(0, "0A05010800000000")},                            "pcx"},
    {"16",  {at(0, "0000020001002020")},                            "cur", {}, {
        {"16s", {special(), at(8, "000104000300A80800001600000028000000200000004000000001000800000000008004000000000000000000000000")},
                                                                    "cur", {variant(variants::kGeroshabu)}},
    }},
    {"17",  {at(0, "C5D0D3C61E")},                                  "eps,ai,ps"},
    {"18",  {at(0, "4C696E53")},                                    "msp"},
    {"19",  {at(0, "80E8000001")},                                  "pxr"},
    {"20",  {at(0, "D7CDC6")},                                      "wmf"},
    {"21",  {any({at(0, "49492A00"), at(0, "4D4D002A00")})},        "tif,tiff,tcf", {}, {
        {"21s", {special(), at(240, "D0D0C0C0A0A090908080707060604040"), at(752, "D0D0C0C0A0A090908080707060604040")},
                                                                    "tif", {variant(variants::kGeroshabu)}},
    }},
    {"22",  {at(0, "3842505300")},                                  "psd,pdd"},
    {"23",  {at(0, "5061696E742053686F702050726F20496D6167652046696C65")}, "psp"},
    {"24",  {at(80, "4354000000000000")},                           "sct,ct"},
    {"25",  {ole, ole_root, at(1156, "790075006B006A0064007100"), at(1284, "790075006B006A0064007100")},
                                                                    "upx,tpx"},
    {"26",  {any({at(0, "0000000200000000000000000000000000000000000000000000000000000000"),
                  all({at(0, "00"), at(2, "43"), not_at(1, "78")})})}, "mac"},
    {"27",  {at(0, "4D414B4930322020")},                            "mag"},
    {"28",  {at(0, "59A66A9500")},                                  "ras"},
    {"29",  {at(0, "464F524D"), at(8, "494C424D424D4844")},         "lbm,iff"},
    {"30",  {any({at(0, "50494354"), when(three_hundred_twenty_zeros)})}, "pct"},
    {"31",  {at(0, "89504E470D0A1A0A")},                            "png", {}, {
        {"31s1", {special(), at(37, "6E615975")},                   "png", {variant(variants::kEmbedTool11)}},
        {"31s2", {special(), at(37, "74494D4507D1"), at(56, "4944415478DA")}, "png", {variant(variants::kBmpNinja)}},
    }},
    {"32",  {at(0, "34120001")},                                    "pic"},
    {"33",  {at(12, "444A5655")},                                   "djv,djvu"},
    {"34",  {at(0, "FF575043")},                                    "wpg"},
    {"35",  {at(0, "50330A23")},                                    "ppm", {detail("ASCII形式"_sj)}},
    {"36",  {at(0, "50360A23")},                                    "ppm", {detail("BINARY形式"_sj)}},
    {"37",  {at(0, "01000000"), at(41, "454D46")},                  "emf"},
    {"38",  {at(0, "20202020202020202020202020202020"), at(64, "20202020202020205320202020202031")}, "igs"},
    {"39",  {at(0, "737263646F6369643A204E4F4E45")},                "cal"},
    {"40",  {at(0, "000100080001000100550055")},                    "img", {variant(variants::kSharedSecond)}},
    {"41",  {at(0, "4D455427532050686F746F43726577")},              "pcf", {variant(variants::kSharedFirst)}},
    {"42",  {at(0, "4D4554275320472E4343524557")},                  "md2"},
    {"43",  {at(4, "4D455427532042414E4E4552")},                    "mbx,mbt"},
    {"44",  {at(0, "4D455427532033442042414E4E4552")},              "m3d,m3t", {variant(variants::kSharedFirst)}},
    {"45",  {at(0, "00000200000000000000"), any({at(16, "2000FFFFFF00"), at(16, "1800FFFFFFFF")})}, "tga"},
    {"46",  {at(0, "D0CF11E0A1B1"), at(1024, "52006F006F007400200045006E007400"),
             any({all({at(1152, "0500530075006D006D00610072007900"), at(1408, "05004400610074006100")}),
                  all({at(1152, "0067615654"), at(1280, "050047006C006F00620061006C0020")})})}, "fpx"},
    {"47",  {at(15, "57696E646F777320447261772044726177")},         "drw"},
    {"48",  {at(0, "534657393441")},                                "sfw"},
    {"49",  {at(0, "574946320300")},                                "wif"},
    {"50",  {at(0, "4D44434D0000")},                                "dcm,dicom"},
    {"51",  {at(0, "414C5F42414E4B00")},                            "abk"},
    {"52",  {at(0, "414C4641522050616C6574746500")},                "alp"},
    {"53",  {at(0, "414C464152205061747465726E00")},                "atp"},
    {"54",  {at(0, "41594100")},                                    "aya"},
    {"55",  {at(0, "0D0A094445464209")},                            "ldm"},
    {"56",  {at(0, "4A4153432D50414C")},                            "pal", {variant(variants::kSharedFirst)}},
    {"57",  {at(0, "52494646"), at(8, "50414C")},                   "pal"},
    {"58",  {at(0, "4A4153432053656C656374696F6E204D61736B2046696C65")}, "sel"},
    {"59",  {at(0, "424C454E444552")},                              "blend"},
    {"60",  {at(0, "2020300D0A53454354494F4E0D0A2020")},            "dxf"},
    {"61",  {at(0, "4143"), at_char(4, "3"), at_char(6, "3"), at_char(8, "3"), at_char(10, "3")}, "dwg"},
    {"62",  {at(0, "284457462056")},                                "dwf"},
    {"63",  {at(0, "5059524100")},                                  "pyr"},
    {"64",  {at(0, "566F6F646F6F2041736369692046696C65")},          "p3d"},
    {"65",  {at(0, "3C763A67726F7570")},                            "vml"},
    {"66",  {at(0, "0809FE0201080000")},                            "dgn"},
    {"67",  {any({at(0, "FF1AFF19FF17FF1E"), at(0, "FF20FF17FF1CFF50")})}, "fmz"},
    {"68",  {at(0, "5343617400000100")},                            "smd", {variant(variants::kSharedFirst)}},
    {"69",  {at(0, "56657273696F6E20"), at(12, "20202000")},        "drw", {variant(variants::kSharedFirst)}},
    {"70",  {at(0, "88BB0000")},                                    "yhd", {}, {
        {"70c", {at(5, "37")},                                      "yhc"},
    }},
    {"71",  {at(0, "4E4F42553956455253494F4E")},                    "nb9"},
    {"72",  {at(0, "4E4F42553945444954425F5633")},                  "n9b"},
        };
    }();
    return rows;
}

}  // namespace zarvo::families
