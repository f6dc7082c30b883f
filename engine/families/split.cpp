// Split files and small archivers.
//
// Split parts answer a list of numbered extensions so that the candidate
// ordering brings the part number the file already carries to the front.
#include <string>

#include "families.hpp"
#include "rules.hpp"
#include "sjis.hpp"

namespace zarvo::families {

using namespace rules;

const Table& split_table() {
    static const Table rows = {
    // row  tests                                             answer                                      side effects
    // row 1, list A: ",001" to ",100"; its first entry is empty and stays so
    {"1",  {at(0, "506F6B6F6E7961")},                         numbered_list("", ",%03d", 1, 100),         {variant(variants::kPokonyanSplit)}},
    {"2",  {at(0, "032D4A44332D")},                           "d01"},
    // row 3, list B: d02 to d09
    {"3",  {at(0, "2D4A44332D")},                             numbered_list("d02", ",d%02d", 3, 9)},
    {"4",  {at(0, "4326438C3C")},                             "cac"},
    {"5",  {at(0, "476F636861486561646572")},                 "gir"},
    {"6",  {at(0, "A99A8DD1CFD1CECD")},                       "moe",                                      {variant(variants::kSharedFirst)}},
    {"7",  {at(0, "49594144455355")},                         "moe",                                      {variant(variants::kSharedSecond)}},
    {"8",  {at(0, "4C4D3301")},                               "lvm",                                      {detail("新形式"_sj)}},
    {"9",  {at(0, "4C4D3100")},                               "lvm",                                      {detail("旧形式"_sj)}},
    {"10", {at(6, "65006C00F800")},                           "bif"},
    {"11", {at(0, "1A82C882BC82B682E182DE00")},               "jam"},
    {"12", {at(0, "1A82C882BC82B682E182DE72")},               "jmr"},
    {"13", {at(0, "52455A")},                                 "rez"},
    {"14", {at(0, "747447")},                                 "ttg"},
    {"15", {at(0, "4B616D694B617A6500")},                     "000,001,002,003,004,005,006,007,008,009",  {variant(variants::kKamikazeSplit)}},
    {"16", {at(0, "4469766964654C6F6720666F7220905F9597")},   "log"},
    {"17", {at_char(0, "F"), at(1, "FEFF")},                  "256"},
    };
    return rows;
}

}  // namespace zarvo::families
