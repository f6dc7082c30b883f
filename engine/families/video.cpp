// Video and streaming.
#include <string_view>

#include "families.hpp"
#include "rules.hpp"
#include "sjis.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

// Row 4: the whole rest of the image from byte k equals the pattern, so the
// test holds only when the image ends right after it.
Test rest_is(long byte, std::string_view pattern) {
    return when([=](const HexImage& image, const Context&) { return image.mid(2 * byte) == pattern; });
}

constexpr std::string_view kRiff = "52494646";

}  // namespace

const Table& video_table() {
    static const Table rows = {
    // row    tests                                                   answer        side effects
    {"1",   {at(0, "3026B2758E66CF11A6D900AA0062CE6C")},              "asf"},
    {"2",   {at(0, kRiff), at(8, "415649")},                          go_on, {}, {
        {"2a", {special(), at(20, "44463830")},                       "avi", {variant(variants::kEmbedTool13)}},
        {"2b", {special(), at(2048, "30306462409C00")},               "avi", {variant(variants::kBmpNinja), detail("DOS版"_sj)}},
        {"2c", {special(), at(2048, "30306462280A00")},               "avi", {variant(variants::kEmbedTool14)}},
        {"2d", {},                                                    "avi"}}},
    {"3",   {any({at_one_of(4, {"6D646174", "6D6F6F76", "706E6F74", "77696465"}),
                  at(0, "6869686F")})},                               "mov,qt"},
    {"4",   {at(0, "000001BA21")},                                    "mpg,mpeg,mpe", {}, {
        {"4a", {rest_is(112, "6D703400")},                            "mpg,mpeg,mpe", {detail("Microsoft MPEG-4 v1")}},
        {"4b", {rest_is(112, "6D703432")},                            "mpg,mpeg,mpe", {detail("Microsoft MPEG-4 v2")}},
        {"4c", {rest_is(112, "6D703433")},                            "mpg,mpeg,mpe", {detail("Microsoft MPEG-4 v3")}},
        {"4d", {rest_is(112, "64697678")},                            "mpg,mpeg,mpe", {detail("DivX v4")}}}},
    {"5",   {at(0, "000001B3")},                                      "m1v,m2v"},
    {"6",   {at(0, "4D534C0000000000")},                              "msl"},
    {"7",   {at(0, "4D4D530000000000")},                              "mms"},
    {"8",   {at(0, "000001BA44")},                                    "vob,pss"},
    {"9",   {at(5, "56657273696F6E3A566976")},                        "viv"},
    {"10",  {at(0, "6001018000")},                                    "str"},
    {"11",  {at_one_of(0, {"445644564944454F2D564D47", "445644564944454F2D565453"})}, "bup,ifo"},
    {"12",  {at(11, "001000030043")},                                 "flx"},
    {"13",  {at(11, "000800030043")},                                 "flc"},
    {"14",  {at(8, "4001C80008000000")},                              "fli"},
    {"15",  {at_one_of(3, {"0012AF", "0011AF"})},                     "flc,fli"},
    {"16",  {at(0, "AAAA0000")},                                      "epc"},
    {"17",  {at(0, "4C69636B")},                                      "lqt"},
    {"18",  {at(0, kRiff), at(8, "636D70")},                          "cmf"},
    {"19",  {at(0, "00000000000E41534B59")},                          "sky"},
    {"20",  {at_one_of(0, {"3C415358", "3C617378", "41534620"})},     "asx"},
    {"21",  {at(0, "76646F3A")},                                      "vdo"},
    {"22",  {at(0, "53545245414D")},                                  "xdm"},
    {"23",  {at(0, "706E6D3A")},                                      "ra,ram,rm"},
    {"24",  {at_one_of(0, {"2E7261FD", "2E524D46"})},                 "ra,ram", {variant(variants::kSharedFirst)}},
    {"25",  {at(0, "727473703A")},                                    "smi"},
    // 26: none of the above gives empty text.
    };
    return rows;
}

}  // namespace zarvo::families
