// Executables, help and installers.
#include <string>

#include "families.hpp"
#include "rules.hpp"
#include "sjis.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

// Row 11: the value of Entry_Name= up to its line end. The slice runs one
// digit into the line end; the decoder drops that lone digit. Without
// Entry_Name= past the start, the detail text stays as it was.
void entry_name(const HexImage& img, Context& ctx) {
    long p = img.find("456E7472795F4E616D653D", 17);
    if (p <= 0) return;
    long q = img.find("0D0A", p + 21);
    ctx.detail = decoded_between(img, p + 22, q + 1);
}

// Row 14: the text after ":Title" and one further byte, up to the line end.
void contents_title(const HexImage& img, Context& ctx) {
    long p = img.find("3A5469746C65", 10);
    if (p < 0) return;
    long q = img.find("0D0A", p + 12);
    if (q < 0) return;
    ctx.detail = decoded_between(img, p + 14, q);
}

// Row 15: the text from byte 20 up to the first "00" from character 41,
// with a digit "0" appended before decoding. Without "00" nothing is taken.
void text_at_byte_20(const HexImage& img, Context& ctx) {
    long p = img.find("00", 41);
    ctx.detail = decoded_between(img, 40, p, "0");
}

constexpr std::string_view kOle = "D0CF11E0A1B11AE1";
constexpr std::string_view kRootEnt = "52006F006F007400200045006E007400";

}  // namespace

const Table& executable_table() {
    static const Table rows = {
        // row  tests                                                 answer     side effects
        {"1",  {at(0, "5B4465736372697074696F6E5D")},                 "asd"},
        {"2",  {at(0, "4D5A")},                                       go_on, {},
         {{"2a", {at(36, "4C4841277320534658")},                      "exe", {detail("LZH自己解凍形式"_sj)}},
          {"2b", {at(128, "CC6C6253")},                               "exe", {detail("ZIP自己解凍形式"_sj)}},
          {"2c", {at(128, "542BF0FD")},                               "exe", {detail("CAB自己解凍形式"_sj)}},
          {"2d", {},  "exe,dll,scr,spi,ocx,oca,vxd,cpl,drv,crl,sys,386,ime,acm,fon,com,vbx,ax,3gr,mod"}}},
        {"3",  {at(0, "0000000000000000454B494D")},                   "cdb"},
        {"4",  {at(0, "49545346")},                                   "chm,chi"},
        {"5",  {at(0, "5B4F5054494F4E535D0D0A436F6D7061746962696C697479")}, "hhp"},
        {"6",  {at(0, "3C21444F43545950452048544D4C205055424C4943")}, "htm,hhk,hhc"},
        {"7",  {at(0, "CFAD12FE")},                                   "dbx"},
        {"8",  {at(0, "C40204980C01")},                               "dic"},
        {"9",  {at(0, "465753")},                                     "swf"},
        {"10", {at(0, "58464952")},                                   "dir,dcr"},
        {"11", {at(0, "5B456E7472795D")},                             "dun", {entry_name}},
        {"12", {first_within("476574526967687420446F776E6C6F6164204C697374", 1, 199)}, "grx"},
        {"13", {at(0, "3F5F0300")},                                   "hlp", {},
         {{"13gid", {any({at(4, "21"), at(4, "3F")})},                "gid"}}},
        {"14", {at(0, "3A42617365")},                                 "cnt", {contents_title}},
        {"15", {at(0, "664D4149")},                                   "iaf", {text_at_byte_20}},
        {"16", {at(0, "B8C90C00")},                                   "ins", {variant(variants::kSharedFirst)}},
        {"17", {at(0, "55726C3D")},                                   "iri"},
        {"18", {at(0, kOle), at(512, "52006F006F007400"), at(768, "5000610067006500")}, "fla"},
        {"19", {at(0, "FFFF00000A0043436F6C6F724C697374")},           "clr"},
        {"20", {at(0, kOle), at(1024, kRootEnt), at(1152, "4048")},  "msi,msm"},
        {"21", {at(0, kOle), at(1024, kRootEnt), at(1280, "420072006F0077007300650072")}, "opt"},
        {"22", {at(0, "4C00000001")},                                 "lnk"},
        {"23", {at_char(0, "3"), at_char(2, "3"), at(2, "23")},       "lnk", {variant(variants::kSharedFirst)}},
        {"24", {at(0, "FE370023")},                                   "mcw"},
        {"25", {at(0, "000100005374616E64617264204A65742044")},       "mdb,mld,mpj,mdw,m3d"},
        {"26", {at(0, "54415045000003008C000E0100000000")},           "---", {variant(variants::kSqlServerBackup)}},
        {"27", {at(0, "FFFE5B006F006C006500640062005D00")},           "udl"},
        {"28", {at(0, "4D4D4D440000")},                               "mmf"},
        {"29", {at(0, "4E4946")},                                     "nif"},
        {"30", {at(0, "4C01")},                                       "obj,exp"},
        {"31", {at(12, "6D6C6B6A")},                                  "ora"},
        {"32", {at(0, "0A4F746F3935")},                               "oto"},
        {"33", {at(0, "25504446")},                                   "pdf"},
        {"34", {at_one_of(0, {"0078", "004B"})},                      "pif"},
        {"35", {at(0, "7B5C707764")},                                 "pwd"},
        {"36", {at(0, "7B5C707769")},                                 "pwi,psw"},
        {"37", {at_one_of(0, {"090E01050042B0048C510051003D1F00",
                              "090F01050042A4038C510051003D1F00"})},  "pxt"},
        {"38", {at(0, "090F01050042")},                               "pxl"},
        {"39", {at_one_of(0, {
                   "2F2F4D6963726F736F66742056697375616C20432B2B2082C58DEC90AC82B382EA82BD838A835C815B8358208358834E838A837683678142",
                   "2F2F205468697320697320612070617274206F6620746865204D6963726F736F667420466F756E646174696F6E20436C617373657320432B2B206C696272617279",
                   "2F2F4D6963726F736F667420446576656C6F7065722053747564696F2067656E657261746564207265736F7572636520736372697074"})},
                                                                      "rc"},
        {"40", {at(0, "52454745444954")},                             "reg", {detail("Windows 9x/NT4.0用"_sj)}},
        {"41", {at(0, "FFFE570069006E0064006F007700730020005200650067006900730074007200")},
                                                                      "reg", {detail("Windows 2000用"_sj)}},
        {"42", {at(0, "0000000020000000FFFF0000FFFF0000")},           "res"},
        {"43", {at(0, "0002000001E002800002000701000000")},           "rif"},
        {"44", {at(0, "7B5C727466")},                                 "rtf"},
        {"45", {at(0, "74746366")},                                   "ttc"},
        {"46", {at_one_of(12, {"44534947", "4C545348", "4F532F32", "47444546", "45424454"})}, "ttf,tte"},
        {"47", {contains("5B496E7465726E657453686F72746375745D")},   "url"},
        {"48", {at(0, "3B2043726561746564206279205265476574")},       "wrg"},
    };
    return rows;
}

}  // namespace zarvo::families
