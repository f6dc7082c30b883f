// Miscellaneous text and data files.
#include "families.hpp"
#include "rules.hpp"
#include "text.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

// Row 26: a line break and the start-date label first found at a character
// position p above 0, and a line break and the end-date label first found
// above p + 32.
bool game_record(const HexImage& img, const Context&) {
    long start = img.find("0D0A8A4A8E6E93FA8E9E8146");
    if (start <= 0) return false;
    return img.find("0D0A8F4997B993FA8E9E8146") > start + 32;
}

// Row 28: the head image holds plain text only.
bool is_plain_text(const HexImage& img, const Context&) { return text::plain_text(img.text()); }

}  // namespace

const Table& misc_table() {
    static const Table rows = {
        // row  tests                                                           answer  side effects
        {"1",  {at(3, "005065724D616E20537572666572")},                         "nmi"},
        {"2",  {at(0, "5669582000FF")},                                         "vix"},
        {"3",  {at(0, "234D61676963616C5F4356")},                               "mgc"},
        {"4",  {at(0, "232050536D706C6179")},                                   "psm"},
        {"5",  {first_within("2E6364617A", 1, 95)},                             "cdaz"},
        {"6",  {at(25, "43414E564153")},                                        "cnv"},
        {"7",  {at(176, "00000000000000000100000062B13800")},                   "cvs"},
        {"8",  {at(0, "3C6C73745F636C623E")},                                   "clb"},
        {"9",  {at(0, "FF0A004A4F420030")},                                     "tpr"},
        {"10", {at(0, "574331746F58")},                                         "1tx"},
        {"11", {at(0, "3B2047656E6572617465642062792057494E2D534656")},         "sfv"},
        {"12", {at(0, "5368657272792057524400")},                               "sry"},
        {"13", {at_one_of(0, {"4053686572727957524428", "53686572727957524428"})}, "esr"},
        {"14", {at_one_of(0, {"405354415254555028", "407374617274757028", "40534554555028", "40736574757028"})},
                "wrd"},
        {"15", {at_one_of(0, {"48420000", "488A000000"})},                      "jcd"},
        {"16", {at(0, "524F4B55")},                                             "rok"},
        {"17", {at(0, "48656C7044657369676E65722050726F6A656374")},             "hdp"},
        {"18", {at(34, "3554414B55514454")},                                    "5tq"},
        {"19", {at(0, "7175697A")},                                             "pq2"},
        {"20", {at(0, "23696C73")},                                             "ils"},
        {"21", {at(0, "4E657444757065")},                                       "ndl"},
        {"22", {at(0, "20536D613457696E")},                                     "smp"},
        {"23", {at(0, "584D4300")},                                             "xmc"},
        {"24", {at_one_of(0, {"B1CBAC", "B1B1CB"})},                            "ahy"},
        {"25", {at(0, "5B0050006F0063006B0065007400200057004D005000200050006C0061007900")}, "pmp"},
        {"26", {when(game_record)},                                             "kif"},
        {"27", {at(0, "5B434F4D4D414E44535D0D")},                               "vcd",  {variant(variants::kSharedFirst)}},
        {"28", {ext_is("txt"), when(is_plain_text)},                               "txt"},
        {"29", {size_is(0)}, go_on, {},
                {{"29a", {ext_is("desklink")},                                  "desklink"},
                 {"29b", {ext_is("mapimail")},                                  "mapimail"},
                 {"29c", {ext_is("mydocs")},                                    "mydocs"}}},
        // row 30: none of the above, empty text
    };
    return rows;
}

}  // namespace zarvo::families
