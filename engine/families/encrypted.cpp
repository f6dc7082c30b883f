// Encrypted and encoded files: the marks that encryption and text-scrambling
// tools leave at the start of a file. Nothing of the content is decoded.
#include "families.hpp"
#include "rules.hpp"

namespace zarvo::families {

using namespace rules;

const Table& encrypted_table() {
    static const Table rows = {
    // row tests                                              answer  side effects
    {"1", {at(0, "4D4B47")},                                  "mkg"},
    {"2", {at(0, "454E4352595054454420425920")},              "enc"},
    {"3", {at(0, "4D6563687220")},                            "mcr",  {variant(variants::kSharedFirst)}},
    {"4", {at(0, "47414F45A04D")},                            "gao"},
    {"5", {at(0, "6C65616632")},                              "moe"},
    {"6", {at(0, "545F54696261")},                            "pon"},
    {"7", {at(0, "4C5F7642042A46E0")},                        "jpz"},
    {"8", {at(0, "816260814C8162")},                          "txt",  {variant(variants::kBmpNinja)}},
    // four Shift-JIS characters, each あ (82A0) or た (82BD)
    {"9", {at_one_of(0, {"82A0", "82BD"}), at_one_of(2, {"82A0", "82BD"}),
           at_one_of(4, {"82A0", "82BD"}), at_one_of(6, {"82A0", "82BD"})},
                                                              "txt",  {variant(variants::kEmbedTool11)}},
    };
    return rows;
}

}  // namespace zarvo::families
