// Application data files.
#include <climits>

#include "families.hpp"
#include "rules.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

constexpr std::string_view kRoot = "52006F006F007400";                  // UTF-16 Root
constexpr std::string_view kContents = "43006F006E00740065006E0074007300";  // UTF-16 Contents
constexpr std::string_view kDatabase = "44006100740061006200610073006500";  // UTF-16 Database
constexpr std::string_view kPageMake = "50006100670065004D0061006B006500";  // UTF-16 PageMake

// The compound document signature at byte 0.
Test compound() { return at(0, "D0CF11E0A1B11AE1"); }

}  // namespace

const Table& app_data_table() {
    static const Table rows = {
        // row  tests                                                           answer     side effects
        {"1",  {at_one_of(0, {"2269222C2253435254222C", "2249222C2253435254222C"})}, "zau"},
        {"2",  {at(0, "5A52532C")},                                             "zrs"},
        {"3",  {at(0, "4D4554275320494D47434F4E56")},                           "mcv"},
        {"4",  {at_one_of(0, {"020E000B1E64", "0207000B1E64", "03640B1E"})},    "dbf"},
        {"5",  {at(0, "5441424C450D0A")},                                       "dif"},
        {"6",  {at_one_of(0, {"49443B5057584C3B", "49443B50534E533B"})},        "slk"},
        {"7",  {contains("2C22506F77657250494D4D")},                            "pcf"},
        {"8",  {at(0, "FDFFFFFF")},                                             "dcd"},
        {"9",  {at(0, "4D7946617844617461")},                                   "mfs,mfr"},
        {"10", {at(0, "434F50595249474854"), at(80, "666564")},                 "fer"},
        {"11", {at(0, "47524150485F494E54454C46494C45")},                       "spf"},
        {"12", {at(0, "54686973206973207468652066696C6520666F7220507379436C6F6E6520536F6C6964")},
                "ren"},
        {"13", {at(0, "00000000030100004E4F564120496E63")},                     "edp"},
        {"14", {at(0, "575250")},                                               "wrp"},
        {"15", {at(0, "52494658")},                                             "aep"},
        {"16", {at(0, "252141646F62652D44696D656E73696F6E73")},                 "dim"},
        {"17", {at(0, "F8D2BA100000")},                                         "ist"},
        {"18", {compound(), at(512, kRoot), at(640, kPageMake)},                "p65,t65"},
        {"19", {compound(), at(1024, kRoot), at(1152, kPageMake)},              "pm6"},
        {"20", {at(0, "600E820107800300C013")},                                 "xdw"},
        {"21", {at(0, "600E820107800300C014")},                                 "xbd"},
        {"22", {at(0, "646E6957")},                                             "site"},
        {"23", {at(0, "43524F5353524F4144")},                                   "tts"},
        {"24", {at(0, "000002002051")},                                         "wq1"},
        {"25", {at(0, "0000020000060554")},                                     "wrk",     {variant(variants::kSharedFirst)}},
        {"26", {compound(), at(1024, kRoot)}, go_on, {},
                {{"26a", {at(1152, "4D00610074004F00530054")},                  "wps",     {detail("Works 4.0")}},
                 {"26b", {at(1152, "43004F004E00540045004E0054005300")},        "wps",     {detail("Works 2000")}}}},
        {"27", {compound(), any({all({at(512, kRoot), at(640, kContents), at(768, kDatabase)}),
                                 all({at(1024, kRoot), at(1152, kContents), at(1408, kDatabase)})})},
                "rpt"},
        {"28", {at(0, "0101010101010101010101010101010101010101010101010101010101010101"),
                at(144, "010101010101010101010101000000000000EB"),
                at_one_of(163, {"3C904E4543", "1C9049504C"})},                  "dcp"},
        {"29", {at_one_of(0, {"0000094E", "00000822"}), at(12, "002000000041")}, "mcd"},
        {"30", {at(0, "000000830000007F0000000000000000")},                     "mpp",     {variant(variants::kSharedFirst)}},
        {"31", {at(0, "6A775F63616428632973796D")},                             "jwk"},
        {"32", {at(0, "6A775F63616428632964617461")},                           "jwc"},
        {"33", {at(0, "4A777744617461")},                                       "jww"},
        {"34", {at(0, "6D656C6F00")},                                           "mld",     {variant(variants::kSharedFirst)}},
        {"35", {at(0, "4D43444600")},                                           "dxm"},
        {"36", {at(0, "636D696400")},                                           "pmd"},
        {"37", {at(0, "0E000000"), at(5, "3A")},                                "pfd"},
        {"38", {at(0, "0E00000000000000")},                                     "pdl"},
        {"39", {compound(), at(512, kRoot), at(640, kContents), at(3072, "04")}, "vsp"},
        {"40", {compound(), at(512, kRoot), at(640, kContents), at(3072, "FFFF")}, "dry"},
        {"41", {at(0, "4D444601")},                                             "mdf"},
        {"42", {at(0, "52494646"), at(8, "5549535149534852")},                  "uis"},
        {"43", {at(0, "44434E4110")},                                           "nab"},
        {"44", {at(0, "7270179100")},                                           "ppc"},
        {"45", {first_within("6400000064000000", 0, 127)},                      "pxr",     {variant(variants::kSharedFirst)}},
        {"46", {at(0, "FFFFFFFF59544750")},                                     "pty"},
        {"47", {at(0, "FFFFFFFF50474143")},                                     "pac"},
        {"48", {at(0, "4A4153432042524F57532046494C45")},                       "jbf"},
        {"49", {at(0, "4558504552542043444C4142454C")},                         "cdl"},
        {"50", {at(0, "0708AD2F000000000000000000000000")},                     "lvu"},
        {"51", {at(40, "1A43554245514758")},                                    "qgx"},
        {"52", {at(40, "1A43554245514D58")},                                    "qmx"},
        {"53", {at(40, "1A43554245515358")},                                    "qsx"},
        {"54", {at(40, "1A43554245515058")},                                    "qpx"},
        {"55", {at(40, "1A43554245515758")},                                    "qwx"},
        {"56", {at(8, "4948430002010100")},                                     "dmg"},
        {"57", {at(0, "0104"), at(5, "0019000E00")},                            "ss3"},
        {"58", {at(0, "07574950")},                                             "wip",     {variant(variants::kSharedFirst)}},
        {"59", {at(0, "4D494D470D0A1A00")},                                     "mif"},
        {"60", {at(0, "3B0D0A3B20")},                                           "spd"},
        {"61", {at(0, "435245470000")},                                         "nsd"},
        {"62", {at(0, "4E65745265636F7264657220")},                             "cas"},
        {"63", {at(0, "73637300")},                                             "scs"},
        {"64", {at_one_of(0, {"0A000000", "1A00FFFF"})},                        "map"},
        {"65", {at(0, "0D0A5B5363616E4F7074696F6E735D0D")},                     "vsc"},
        {"66", {at(0, "4D46545001")},                                           "ptd"},
        {"67", {at(6, "284F44422E310D0A")},                                     "apr"},
        {"68", {at(64, "736C6D7400010001")},                                    "sle"},
        {"69", {at(0, "4E5332204E4554205354415445")},                           "ns2"},
        {"70", {at(0, "0000007700000077")},                                     "ebd,dat", {variant(variants::kSharedThird)}},
        {"71", {at(0, "0000000800000008")},                                     "ecd",     {variant(variants::kSharedThird)}},
        {"72", {at(0, "0000000700000007")},                                     "egd",     {variant(variants::kSharedThird)}},
        {"73", {first_within("65436F6E746163745C646174616261736500843D", 33, LONG_MAX)}, "ebk"},
        {"74", {at(0, "4554500300010060")},                                     "etp"},
        {"75", {at(0, "46574504")},                                             "fwe"},
        {"76", {at(0, "02000000A0000000")},                                     "fve"},
        // row 77: none of the above, empty text
    };
    return rows;
}

}  // namespace zarvo::families
