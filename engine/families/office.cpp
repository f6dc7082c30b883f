// Office compound documents.
//
// Most kinds are compound files, told apart by the UTF-16 names of the
// first directory entries (bytes 1024, 1152, 1280, 1408 for a directory in
// sector 1; 1536, 1664 for one in sector 2) or by UTF-16 texts searched from
// a character position (a search that starts beyond the image fails).
#include "families.hpp"
#include "rules.hpp"
#include "sjis.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

Test ole() { return at(0, "D0CF11E0A1B11AE1"); }

constexpr std::string_view kRoot = "52006F006F007400";
constexpr std::string_view kJsrv = "04004A00530052005600";
constexpr std::string_view kDocument = "44006F00630075006D0065006E007400";
constexpr std::string_view kPowerPoint = "50006F0077006500720050006F0069006E007400";

}  // namespace

const Table& office_table() {
    static const Table rows = {
        // row  tests                                                        answer    side effects
        {"1",  {ole(), at(1024, kRoot), at(1152, "540069006D0065006C0069006E006500"),
                at(1280, "570069006E0064006F00770073004D006F007600690065004D0061006B006500")}, "mswmm"},
        {"2",  {at(8912, "95B697E120834583428355815B836800")},               "wiz", {detail("文例ｳｨｻﾞｰﾄﾞ"_sj)}},
        {"3",  {at(8912, "8381838220834583428355815B836800")},               "wiz", {detail("ﾒﾓｳｨｻﾞｰﾄﾞ"_sj)}},
        {"4",  {ole()},                                                      go_on, {},
         {{"4a", {at(1536, "5F6AFD800D540D00B8900D54FA572C67")},             "doc", {detail("Word2000")}},
          {"4b", {any({found_from("5C0077006F0072006400390037", 9000),
                       found_from("57006F0072006400390037", 1200)})},        "doc", {detail("Word97")}},
          {"4c", {any({found_from("5C0077006F0072006400390038", 9000),
                       found_from("57006F0072006400390038", 1200)})},        "doc,dot", {detail("Word98")}},
          {"4d", {found_from("55006E006B006E006F0077006E", 9000)},           "doc,dot", {detail("Word2000/2002")}},
          {"4e", {found_from("57006F007200640044006F00630075006D0065006E0074", 9000)}, "doc"}}},
        {"5",  {ole()},                                                      go_on, {},
         {{"5a", {found_from("5B5265645D", 2100)},                           "xls,xlt,xla,gra"},
          {"5b", {at(1024, kRoot), at(1152, "57006F0072006B0062006F006F006B00")}, "xls,xlt,xla"}}},
        {"6",  {at(0, "0900040004001000")},                                  "xjs", {detail("2.1形式"_sj)}},
        {"7",  {at(0, "0902060001001000")},                                  "xjs", {detail("3.1形式"_sj)}},
        {"8",  {at(0, "0904060000001000")},                                  "xls", {detail("4.0形式"_sj), variant(variants::kSharedFirst)}},
        {"9",  {ole(), at(1024, kRoot)},                                     go_on, {},
         {{"9a", {at(1152, kPowerPoint)},                                    "ppt,pot,pps"},
          {"9b", {at(1152, "5000500034003000")},                             "ppt,pot"},
          {"9c", {at(1280, kPowerPoint)},                                    "ppt,pot,pps"}}},
        {"10", {ole(), at(2560, "49504D")},                                  "msg"},
        {"11", {at(0, "00001A00031004")},                                    "123"},
        {"12", {ole(), at(1024, kRoot), any({at(1152, "010043006F006D0070004F0062006A00"),
                                             at(1280, "500072006F0070007300000000000000")})}, "mpp,mpt"},
        {"13", {ole(), at(1024, kRoot), at(1152, "420069006E0064006500720000000000")}, "obd,obt"},
        {"14", {at(0, "0E80000AD603100A6400070500000001")},                  "mpw"},
        {"15", {ole(), at(1536, kRoot), at(1664, "41006C00620075006D0049006E006600")}, "jab"},
        {"16", {at(0, "50524546202020004450412020000000")},                  "jmg"},
        {"17", {ole(), at(1024, kRoot), at(1152, kJsrv), at(1280, "57006F0072006B0053006800650065007400")}, "jsr"},
        {"18", {ole(), at(1024, kRoot), at(1152, kJsrv), at(1280, kDocument)}, "jtd,jyd,jfw,jvw,jtt"},
        {"19", {ole(), at(1024, kRoot), at(1152, "46006F006E007400"), at(1280, "4600720061006D006500")}, "jtt"},
        {"20", {ole()},                                                      go_on, {},
         {{"20a", {at(1024, kRoot), at(1152, kDocument), at(1280, kDocument), at(1408, kDocument)},
                                                                             "jtd,jtt", {variant(variants::kSharedFirst)}},
          {"20b", {ext_is("jsd")},                                           "jsd", {variant(variants::kSharedFirst)}}}},
        {"21", {at(0, "444F430000000000")},                                  go_on, {},
         {{"21a", {at(16, "000001")},                                        "jsw"},
          {"21b", {at(16, "000002")},                                        "jaw,jtw"},
          {"21c", {at(16, "000003")},                                        "jbw,juw"}}},
        {"22", {at(0, "FFFE2F002A002A002A002A002A002A002000AA30D630B830A730AF30C8302000")}, "tab"},
        {"23", {at(0, "000002000106")},                                      "wj2"},
        {"24", {at(0, "000002000206")},                                      "wj3"},
        {"25", {at(0, "000002000604")},                                      "wk1"},
        {"26", {at(0, "00001A000010")},                                      "wk3"},
        {"27", {at(0, "00001A000210")},                                      "wk4"},
    };
    return rows;
}

}  // namespace zarvo::families
