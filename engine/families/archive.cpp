// Archives and compressed files: the first family of the chain.
//
// One row per signature, tried in order; the first row that holds decides.
// Sub-rows marked special() are tried only with option bit 4 and win over
// the row's plain answer. Row 79 of the table ("none of the above") is the
// empty answer that run() gives when no row holds.
#include <cstdio>
#include <string>

#include "families.hpp"
#include "rules.hpp"
#include "sjis.hpp"
#include "text.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

// ---- computing rows ----------------------------------------------------------

// Rows 2 and 3: "Level" and the method character of the LHA method name
// (the 5 of -lh5-), byte 5; a zero byte adds nothing.
std::string lha_level(const HexImage& img, Context&) { return "Level" + decoded(img, 5, 1); }

// Row 11: "Level:" and the block-size digit, byte 3.
std::string bzip2_level(const HexImage& img, Context&) { return "Level:" + decoded(img, 3, 1); }

// Row 18: the version text of bytes 4 to 7, ending at the first zero byte.
std::string zoo_version(const HexImage& img, Context&) { return decoded(img, 4, 4); }

// Row 56, without "001" at byte 15: "p" and the three digits of bytes 8 to 10
// as a hex number ("100" gives p64, "1A3" reads 103 and gives p67).
std::string numbered_part(const HexImage& img, Context&) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "p%02X", text::three_digits(decoded(img, 8, 3)));
    return hex;
}

// ---- the table ---------------------------------------------------------------

}  // namespace

const Table& archive_table() {
    static const Table rows = {
    // row  tests                                                          answer                  side effects
    {"1",  {at(0, "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F")},
                                                                           "鷺"_sj},
    {"2",  {at(2, "2D6C68"), at(6, "2D")},                                 "lzh,ar,arx",           {detail(lha_level)},
           {{"2s", {special(), at(27, "8996836F835E815B8389815B8381839382C182C494FC96A182B582A282E682CB2E747874")},
                                                                           "lzh",                  {variant(variants::kGeroshabu)}}}},
    {"3",  {at(2, "2D6C7A"), at(6, "2D")},                                 "lzs",                  {detail(lha_level)}},
    {"4",  {at(0, "504B0304")},                                            "zip,jar,wmz,wsz,nar",  {},
           {{"4s", {special(), at(30, "82E082A082A22E626D70")},            "zip",                  {variant(variants::kGeroshabu)}}}},
    // row 5, plain: the numbered parts r00 to r100 (102 entries)
    {"5",  {at(0, "52617221")},                                            numbered_list("rar", ",r%02d", 0, 100), {},
           {{"5s", {special(), at(52, "837D8343839383588343815B83702E68746D6C")},
                                                                           "rar",                  {variant(variants::kGeroshabu)}}}},
    {"6",  {at(7, "2A2A4143452A2A")},                                      "ace"},
    {"7",  {at(0, "4D534346")},                                            "cab",                  {},
           {{"7s1", {special(), at(71, "009800")},                         "cab",                  {variant(variants::kBmpNinja)}},
            {"7s2", {special(), at(71, "009900")},                         "cab",                  {variant(variants::kEmbedTool11)}}}},
    {"8",  {at(0, "474341")},                                              "gca",                  {},
           {{"8s", {special(), at(49, "737374616A696E2E736372")},          "gca",                  {variant(variants::kGeroshabu)}}}},
    {"9",  {at(0, "1F8B0800000000000007")},                                "gz"},
    {"10", {at(256, "007573746172003030")},                                "tar"},
    {"11", {at(0, "425A68")},                                              "bz2",                  {detail(bzip2_level)}},
    {"12", {at(34, "42696E48657820342E30")},                               "hqx"},
    {"13", {any({at(0, "53495421"), at(5, "53495421"), at(0, "53747566664974")})},
                                                                           "sit,sea"},
    {"14", {at(0, "0101"), at(4, "00")},                                   "cpt"},
    // row 15: the gzip kinds and the numbered parts 000 to 009 (14 entries)
    {"15", {at(0, "1F8B08")},                                              numbered_list("tgz,gz,dgz,sgm", ",%03d", 0, 9),
                                                                                                   {variant(variants::kGzipStream)}},
    {"16", {at(0, "797A")},                                                "yz1"},
    {"17", {at(0, "60EA"), at(3, "001E")},                                 "arj"},
    {"18", {at(0, "5A4F4F"), at(9, "41726368697665")},                     "zoo",                  {detail(zoo_version)}},
    {"19", {at(4, "425A32")},                                              "bza"},
    {"20", {at(4, "475A4950")},                                            "gza"},
    {"21", {at(2, "0000414D")},                                            "amz,amg"},
    {"22", {at(0, "41544F")},                                              "aiz"},
    {"23", {at(0, "554841")},                                              "uha"},
    {"24", {at(0, "1F9F881813")},                                          "f,frz"},
    {"25", {at(0, "7862746F6120426567696E")},                              "boo"},
    {"26", {at(0, "000C")},                                                "bin",                  {variant(variants::kSharedThird)}},
    {"27", {at(0, "5041434B")},                                            "pak"},
    {"28", {at(0, "373737")},                                              "777"},
    {"29", {at(0, "424958")},                                              "bix"},
    {"30", {at(0, "554641")},                                              "ufa"},
    {"31", {at(0, "42480507")},                                            "bh"},
    {"32", {at_char(0, "0"), at(1, "800800")},                             "acb"},
    {"33", {at(0, "4C470100")},                                            "lg"},
    {"34", {at(0, "4453005C")},                                            "q"},
    {"35", {at(0, "91334846")},                                            "hap"},
    {"36", {at(0, "2112000000000000"), at(12, "4729")},                    "ain"},
    {"37", {at(0, "03414232")},                                            "abp"},
    {"38", {at(0, "414B540A09")},                                          "akt"},
    {"39", {at(8, "0100990000015943")},                                    "yc"},
    {"40", {at(0, "5831")},                                                "x"},
    {"41", {at(0, "4553503E16")},                                          "esp"},
    {"42", {at(0, "5172636B")},                                            "qar"},
    {"43", {at(0, "554C45420A000000")},                                    "rax"},
    {"44", {at(0, "4E534B")},                                              "nsk"},
    {"45", {at(0, "504B5301")},                                            "pks"},
    {"46", {at(0, "4B414631")},                                            "kaf"},
    {"47", {at(0, "4E4F41")},                                              "noa"},
    {"48", {at(0, "4841"), at(3, "00")},                                   "ha"},
    {"49", {at(0, "504B0306")},                                            "sof"},
    {"50", {at(0, "5A5A30")},                                              "zz"},
    {"51", {at(0, "4652"), at(5, "2900")},                                 "ice"},
    {"52", {at(0, "AD362200")},                                            "oop"},
    {"53", {at(0, "4EF546E96C")},                                          "shk"},
    {"54", {at(0, "67570401")},                                            "arq"},
    {"55", {at(0, "30313233343536373839303132333435425A68")},              "exp1"},
    {"56", {at(0, "20676F5F372B")},                                        numbered_part,          {variant(variants::kSevenPlusPart)},
           {{"56a", {at(15, "303031")},                                    "7pl"}}},
    {"57", {at(0, "4F5ADD12660C")},                                        "zet"},
    {"58", {at(0, "FF4253470000FF425341")},                                "bsn"},
    {"59", {at(0, "4D446D640A01")},                                        "md"},
    {"60", {at(0, "0C040D4368664C5A")},                                    "lza"},
    {"61", {at(0, "000000000000000000000020")},                            "eri"},
    {"62", {at(0, "424F41003A00")},                                        "boa"},
    {"63", {at(0, "213C617263683E0A64656269616E")},                        "deb"},
    {"64", {at(0, "44535462")},                                            "dst"},
    {"65", {any({at(0, "1A485026"), at(0, "1A535426")})},                  "hyp"},
    {"66", {at(0, "4C4D1A0800")},                                          "lim"},
    {"67", {at(0, "894C5A4F000D0A")},                                      "lzo"},
    {"68", {at(0, "EDABEEDB")},                                            "rpm"},
    {"69", {at(2, "204C483520")},                                          "sar"},
    {"70", {at(0, "484C53515A")},                                          "sqz"},
    {"71", {any({at(0, "010000"), at(0, "000000")}), not_at(3, "00"), not_at(4, "00"), not_at(5, "00")},
                                                                           "jam",                  {variant(variants::kSharedFirst)}},
    {"72", {at(0, "594253")},                                              "ybs"},
    {"73", {at(0, "A84D50A8")},                                            "kbo"},
    {"74", {at(0, "B747CE934011E5BD")},                                    "paq"},
    {"75", {at(0, "1A51461A")},                                            "qfc"},
    {"76", {at(0, "2C41523720")},                                          "ar7"},
    {"77", {at(0, "B6"), at(2, "2D6168")},                                 "mar"},
    {"78", {at(0, "E0FF060000000200")},                                    "bpk"},
    };
    return rows;
}

}  // namespace zarvo::families
