// Disc and drive images.
#include <string>

#include "families.hpp"
#include "rules.hpp"
#include "text.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

// Row 1: the disc title starts at byte 12 (character 24) and runs to the
// first "00" found as text from character 25; a zero byte on a byte boundary
// ends it as well. The whole slice before that "00" is taken and a "0"
// appended, as for the other terminated titles, so the title's last
// character is kept even when the "00" is found across a byte boundary.
std::string disc_title(const HexImage& image, Context&) {
    long p = image.find("00", 25);
    std::string title = p >= 0 ? decoded_between(image, 24, p, "0") : std::string();
    return "Title=" + title;
}

}  // namespace

const Table& disc_table() {
    static const Table rows = {
    // row    tests                                                   answer        side effects
    {"1",   {at(140, "464344")},                                      "fcd", {detail(disc_title)}},
    {"2",   {at(0, "56616B752C205465736F2D72612E20")},                "lcd"},
    {"3",   {at(32768, "014344303031")},                              "iso,img"},
    {"4",   {at(37656, "014344303031")},                              "iso"},
    {"5",   {at(0, "0E4E65726F49534F")},                              "nri,nrb"},
    {"6",   {at(0, "0D4E65726F43444156")},                            "nra"},
    {"7",   {at(0, "00000700DB000000D007020000001B00")},              "cdj"},
    {"8",   {at(32, "00DB000000D107060006001E0003000B")},             "cdj"},
    {"9",   {at(0, "46617253746F6E65")},                              "vcd"},
    {"10",  {at(0, "D0CF11E0A1B11AE1"), at(1024, "52006F006F007400"), at(1536, "52006F006F007400"),
             at(1664, "43006F006E00740065006E0074007300")},           "cl4,cl3,fla,fmm,tcs"},
    {"11",  {at(0, "00FFFFFFFFFFFFFFFFFFFF0000020001")},              "bin,bwi", {variant(variants::kSharedSecond)}},
    {"12",  {at(0, "424C494E44575249544520544F43")},                  "bwt"},
    {"13",  {at(0, "5B436C6F6E6543445D")},                            "ccd"},
    {"14",  {at(0, "FFFFFFFFFFFFFFFFFFFFFFFF41010100")},              "sub"},
    {"15",  {at(0, "00FFFFFFFFFFFFFFFFFFFF0001820061")},              "img", {variant(variants::kSharedFirst)}},
    {"16",  {at(0, "43445220")},                                      "cdr"},
    {"17",  {at(0, "5249464631000000696D616700000000")},              "cif"},
    {"18",  {at(0, "76657220"), at(10, "501201000000")},              "2hd"},
    {"19",  {at_one_of(0, {"EB3C90", "EB3490"})},                     "tfd,hd4"},
    {"20",  {at(16, "02E000400BF009001200020000000000")},             "dat", {variant(variants::kSharedFirst)}},
    {"21",  {at(0, "03010101010101010101010101010101")},              "dcu,dcp", {variant(variants::kSharedFirst)}},
    {"22",  {at(0, "564644312E303000")},                              "fdd"},
    {"23",  {at(0, "00000000300000000010000000801600")},              "fdi"},
    {"24",  {at(0, "543938464444494D414745")},                        "nfd"},
    {"25",  {at(0, "4552435646443031")},                              "vfd", {variant(variants::kSharedFirst)}},
    {"26",  {at(0, "543938484444494D414745")},                        "nhd"},
    {"27",  {at(16, "0002000011000000")},                             "hdi"},
    {"28",  {at_one_of(32, {"A0020000A0130000", "B0020000B0130000", "B0020000C0140000"})}, "d88"},
    {"29",  {at(0, "8107000000000000")},                              "thd"},
    {"30",  {at(0, "564844")},                                        "hdd"},
    {"31",  {at(0, "FEEF"), at(6, "B83B0101")},                       "gho"},
    {"32",  {at(0, "545A5343442D444953432D494D414745")},              "cds"},
    {"33",  {at(0, "DADAFEFE00")},                                    "gi"},
    {"34",  {at(0, "CBE25504")},                                      "pxj"},
    // 35: none of the above gives empty text.
    };
    return rows;
}

}  // namespace zarvo::families
