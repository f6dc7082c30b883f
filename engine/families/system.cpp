// System, configuration and script files.
#include "families.hpp"
#include "rules.hpp"
#include "text.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

constexpr std::string_view kOle = "D0CF11E0A1B11AE1";  // compound document signature

// Row 4: "}\DefaultIcon] CR LF DefaultValue=", searched in the first 512
// characters only (it must lie wholly inside them), first found at a
// character position above 32.
bool theme_section(const HexImage& img, const Context&) {
    long p = text::find(text::left(img.text(), 512), "7D5C44656661756C7449636F6E5D0D0A44656661756C7456616C75653D");
    return p > 32;
}

}  // namespace

const Table& system_table() {
    static const Table rows = {
        // row  tests                                                           answer   side effects
        {"1",  {at(0, "50C30100")},                                             "clp"},
        {"2",  {at(0, "50C30300")},                                             "clp"},
        {"3",  {at(0, "50C30800")},                                             "clp"},
        {"4",  {when(theme_section)},                                           "theme"},
        {"5",  {at(0, "31BE000000AB0000")},                                     "wri"},
        {"6",  {at(0, "474D425500")},                                           "cap"},
        {"7",  {at(0, "7019010000050000")},                                     "nfo"},
        {"8",  {at(0, "52494646"), at(8, "494446204C495354")},                  "idf"},
        {"9",  {at(0, "C3ABCDAB")},                                             "acs"},
        {"10", {at(36, "616373704D534654")}, "icm", {},                         // acspMSFT
                {{"10u", {at(4, "5543434D")}, "icc"}}},                         // UCCM
        {"11", {at_one_of(0, {"00000000000000000000004B1E0100000000000000000000000000000000004B",
                              "0000000000000000000000821F0F000000000000000000000000000000000027"})},
                "932"},
        {"12", {at(0, "3C3F584D4C2076657273696F6E3D")},                         "cdf,htt,ins"},
        {"13", {at(0, "4D6963726F736F66742056697375616C2053747564696F20536F6C7574696F6E2046696C65")},
                "sln"},
        {"14", {at(0, kOle), at(512, "FDFFFFFF02000000"), at(1024, "52006F006F007400")}, "wip"},
        {"15", {at(0, "3082"), at(6, "2A864886F7")},                            "cat"},
        {"16", {at(0, "544150450000030020020E0200000000")},                     "bkf"},
        {"17", {at(0, "5654424C")},                                             "qic"},
        {"18", {at(0, "0D00")},                                                 "nls"},
        {"19", {at_one_of(0, {"3C736372697074206C616E67756167653D", "3C534352495054204C414E47554147453D"})},
                "script"},
        {"20", {at(0, kOle), at_one_of(1152, {"6300610073006800", "6400610074006100"}),
                at(1280, "7400720065006500")},                                  "msc"},
        {"21", {at(0, "44460300")},                                             "fnd"},
        {"22", {at_one_of(0, {"404543484F", "406563686F"})},                    "bat"},
        {"23", {at(0, "47040100")},                                             "job"},
        {"24", {at(0, "4AA3")},                                                 "pkg"},
        {"25", {at(0, "300000004C664C65")},                                     "evt"},
        {"26", {at(0, "50004500520046002000430048004100520054")},               "pmc"},
        {"27", {at(0, "72656766")},                                             "pol"},
        {"28", {at_one_of(0, {"23212F7362696E2F7368", "23212F7573722F62696E2F7368"})},       "sh"},
        {"29", {at_one_of(0, {"23212F7362696E2F637368", "23212F7573722F62696E2F637368"})},   "csh"},
        {"30", {at_one_of(0, {"23212F7362696E2F6B7368", "23212F7573722F62696E2F6B7368"})},   "ksh"},
        {"31", {at(0, "8280820801000100")},                                     "ffa"},
        {"32", {at(1, "00000002000000"), at(14, "0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF")}, "ffl"},
        {"33", {at(5, "0000000100000000000000"),
                at(4080, "000000000000000000000000000000000000020000000000")}, "ffo"},
        {"34", {at(0, "4D6963726F736F6674202852292046756C6C2D7465787420696E64657820666F726D6174")},
                "ffx"},
        {"35", {special(), at(0, "626F64797B666F6E742D73697A653A313070747D0D0A7F03")},
                "css", {variant(variants::kGeroshabu)}},
        {"36", {at_one_of(0, {"2E6D737468656D65", "626F647909097B666F6E74", "613A6C696E6B0D0A"})},
                "css"},
        {"37", {at(0, "30820A72308209DB")},                                     "cer"},
        {"38", {at(0, "4453"), at(3, "04000001001C")},                          "kbd"},
        {"39", {at(0, "E3828596")},                                             "pwl"},
        {"40", {at(0, "7674695F656E636F64696E673A")},                           "cnf"},
        {"41", {at(0, "444943"), at(8, "41544F4B")},                            "dic", {variant(variants::kSharedFirst)}},
        // none of the above: empty text
    };
    return rows;
}

}  // namespace zarvo::families
