// Development and project files.
#include <string>

#include "families.hpp"
#include "rules.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

// Row 13: the project name between Name=" and the next quote and blank. The
// positions are used as found: without Name=" the slice starts at character
// 11; without a closing quote and blank the count is negative and the name
// is empty. The slice never reaches outside the image.
std::string project_name(const HexImage& img, Context&) {
    long p = img.find("4E616D653D22", 83);
    long q = img.find("2220", p + 12);
    return decoded_between(img, p + 12, q);
}

}  // namespace

const Table& development_table() {
    static const Table rows = {
        // row  tests                                                        answer     side effects
        {"1",  {at(0, "FFFE7500730069006E0067002000530079007300740065006D003B00")}, "cs"},
        {"2",  {at(0, "547970653D")},                                        "vbp", {detail("Version 5.0/6.0")}},
        {"3",  {at(0, "466F726D3D")},                                        "vbp", {detail("Version 4.0")}},
        {"4",  {at(0, "564247524F5550")},                                    "vbg"},
        {"5",  {at(0, "CAFEBABE0003002D")},                                  "class"},
        {"6",  {at(0, "56455253494F4E"), at(12, "434C415353")},              "cls", {detail("Version 4.0/5.0/6.0")}},
        {"7",  {at(20, "56422E50726F706572747950616765")},                   "pag"},
        {"8",  {contains("0D0A50726F6A57696E53697A653D")},                   "mak"},
        {"9",  {at(0, "3B20434C57")},                                        "clw"},
        {"10", {at_one_of(0, {"23212F7573722F62696E2F7065726C",
                              "23212F7573722F6C6F63616C2F62696E2F7065726C"})}, "cgi,pl"},
        {"11", {at(0, "7061636B616765206A636F6465")},                        "pl"},
        {"12", {at(20, "56422E55736572436F6E74726F6C")},                     "ctl"},
        {"13", {at(0, "23204D6963726F736F667420446576656C6F7065722053747564696F2050726F6A6563742046696C65")},
                                                                             "dsp", {detail(project_name)}},
        {"14", {at(0, "4D6963726F736F667420446576656C6F7065722053747564696F20576F726B73706163652046696C65")},
                                                                             "dsw"},
        {"15", {at(0, "23204D6963726F736F667420654D6265646465642056697375616C20546F6F6C732050726F6A6563742046696C65")},
                                                                             "vcp"},
        {"16", {at(0, "4D6963726F736F667420654D6265646465642056697375616C20546F6F6C7320576F726B73706163652046696C65")},
                                                                             "vcw"},
        {"17", {at_one_of(0, {"56455253494F4E20352E30300D0A4F626A656374",
                              "56455253494F4E20352E30300D0A426567696E2056422E4D4449466F726D",
                              "56455253494F4E20352E30300D0A426567696E2056422E466F726D"})},
                                                                             "frm", {detail("Version 5.0/6.0")}},
        {"18", {at_one_of(0, {"56455253494F4E20342E30300D0A426567696E2056422E466F726D",
                              "56455253494F4E20342E30300D0A426567696E2056422E4D4449466F726D"})},
                                                                             "frm", {detail("Version 4.0")}},
        {"19", {at(0, "FFCC2B00")},                                          "frm", {detail("Version 2.0")}},
        {"20", {at(0, "0000000000000000FFCC310000")},                        "dca"},
        {"21", {at(0, "56455253494F4E20352E30300D0A426567696E")},            "dsr"},
        {"22", {at_one_of(0, {"5B5343435D", "34120100"})},                   "scc"},
        {"23", {at(0, "060300006C740000")},                                  "frx"},
        {"24", {contains("4075F0F6EC42CE11813500AA004BB851")},               "frx,dsx"},
        {"25", {at_one_of(0, {"C60800006C740000BE", "04000300010030010030010030010030"})}, "frx,dsx"},
        {"26", {at(0, "213C617263683E")},                                    "lib"},
        {"27", {at(0, "4D534654")},                                          "tlb"},
        {"28", {at(0, "4174747269627574652056425F4E616D65")},                "bas", {detail("Version 4.0/5.0/6.0")}},
        {"29", {at(0, "FC0402000F005B01")},                                  "bas", {detail("Version 2.0")}},
        {"30", {at(0, "43455642")},                                          "vb"},
        {"31", {at(0, "4D6963726F736F667420432F432B2B2070726F6772616D206461746162617365")}, "pdb,bsc,idb"},
        {"32", {at(0, "4D6963726F736F6674204C696E6B6572204461746162617365")}, "ilk"},
        {"33", {contains("696D706F7274206A6176612E")},                       "java"},
        {"34", {contains_one_of({"23696E636C756465", "23646566696E65", "236966646566", "2369666E646566",
                                 "23696D706F7274", "23707261676D61", "23756E646566"})}, "c,cpp,h,pc"},
        {"35", {at(0, "4920"), first_within("0D0A49444C3A", 9, 95)},         "if"},
        {"36", {at(0, "05382E312E35012001200120")},                          "pre"},
        {"37", {at(0, "3412FECA1E00000063006F006D002E00")},                  "resources"},
        {"38", {any({all({at(4, "6C74"), at(12, "424D")}),
                     all({at(20, "6C74"), at(28, "424D")})})},               "ctx"},
        {"39", {at(0, "23204D6963726F736F667420446576656C6F7065722053747564696F2050726F")}, "vip"},
        {"40", {at(0, "3B4A4275696C646572202D2D2050524F4A454354")},          "jpr"},
        {"41", {at(0, "5B4C616E67756167655D0D0A4C616E67")},                  "ipr"},
        {"42", {at(0, "272D2D2D2D2D2D2D2D2D2D2D2D2D2D2D"), at(80, "0A2746494C4520444553435249505449")}, "dsm"},
        {"43", {at(0, "696E7465726661636520")},                              "idl"},
        {"44", {at(0, "0D0A286F626A65637420506574616C")},                    "mdl,ptl"},
        {"45", {any({at(0, "23204D6963726F736F66742044657665"),
                     at(48, "838B202D208366815B835E8378815B83")})},          "dbp"},
        {"46", {at(0, "2247656E6572616C220D0A7B0D0A")},                      "pkp"},
        {"47", {at(0, "23204D6963726F736F6674205574696C6974792050726F6A6563742046696C65")}, "vup"},
        {"48", {at(0, "2256657273696F6E496E666F220D0A7B")},                  "vap"},
    };
    return rows;
}

}  // namespace zarvo::families
