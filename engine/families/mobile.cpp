// Mobile phone and address data files.
#include "families.hpp"
#include "rules.hpp"

namespace zarvo::families {

using namespace rules;

const Table& mobile_table() {
    // Keikai and Dewa are spelled as the files spell them.
    static const Table rows = {
        // row  tests                                                   answer  side effects
        {"1",  {at(0, "012C030300000000")},                             "hpb"},
        {"2",  {at(0, "4B65696B616944656E77614368616B754D656C6F")},     "krm"},
        {"3",  {at(0, "8800000005000000")},                             "kkv"},
        {"4",  {at(9, "4B65696B6169426F6F6B6D61726B")},                 "dat",  {variant(variants::kSharedSecond)}},
        {"5",  {at(0, "4B65696B6169494170706C69")},                     "iap"},
        {"6",  {at(0, "01000100"), at(28, "B097CF77")},                 "khp"},
        {"7",  {at(0, "174B65696B616944656E77614D61696C")},             "kml"},
        {"8",  {at(0, "4B65696B6169446577614D61696C546F")},             "kad"},
        {"9",  {at(0, "1869504320504853")},                             "kti"},
        {"10", {first_within("004354656C", 0, 31)},                     "ktl"},
        {"11", {first_within("00434D656C6F6479", 0, 31)},               "ktm"},
        {"12", {contains("224A414452222C22")},                          "jad"},
        {"13", {at(0, "08003FFF0007FFFF0001002000010023")},             "fzd"},
        {"14", {at(0, "466A773332204461746162617365204D")},             "fdm"},
        {"15", {at(0, "4D4554275320464A572046494C452056")},             "fjl"},
        {"16", {at(0, "954D82DC82DF")},                                 "fwa"},   // a Shift-JIS product name
        // row 17: none of the above, empty text
    };
    return rows;
}

}  // namespace zarvo::families
