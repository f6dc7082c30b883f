// Application data; mobile phone and address data; miscellaneous text and
// data files. One small file per row and branch, identified through the
// exported interface; the whole result record is compared.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.hpp"

using namespace oxtarn::test;

namespace {

const std::string kOle = "D0CF11E0A1B11AE1";
const std::string kRoot = "52006F006F007400";
const std::string kContents = "43006F006E00740065006E0074007300";
const std::string kDatabase = "44006100740061006200610073006500";
const std::string kPageMake = "50006100670065004D0061006B006500";
const Record kNothing{"?", "", ""};

using Case = RowCase;


// `tail` preceded by n filler bytes ("Q"), so that it starts at byte n.
std::string after(std::size_t n, const std::string& tail) { return std::string(n, 'Q') + tail; }

// The bytes of `hex` shifted by half a byte: the pattern stands at an odd
// character position (one digit into the first byte).
std::string straddling(const std::string& hex) { return bytes("0" + hex + "0"); }

std::string nul(const std::string& s) { return s + std::string(1, '\0'); }

}  // namespace

TEST(AppDataFamily, RowsInOrder) {
    check_rows({
        {"1 lower-case i", "\"i\",\"SCRT\",\"a\"\r\n", expected("zau")},
        {"1 upper-case I", "\"I\",\"SCRT\",\"a\"\r\n", expected("zau")},
        {"1 blank after the comma", "\"i\", \"SCRT\",\"a\"\r\n", kNothing},
        {"2 zrs", "ZRS,1,2\r\n", expected("zrs")},
        {"3 mcv", "MET'S IMGCONV 1.0", expected("mcv")},
        {"4 dbf A", bytes("020E000B1E64 0000"), expected("dbf")},
        {"4 dbf B", bytes("0207000B1E64 0000"), expected("dbf")},
        {"4 dbf C", bytes("03640B1E 0000"), expected("dbf")},
        {"5 dif", "TABLE\r\n0,1\r\n", expected("dif")},
        {"6 slk PWXL", "ID;PWXL;N;E\r\n", expected("slk")},
        {"6 slk PSNS", "ID;PSNS;N;E\r\n", expected("slk")},
        {"8 dcd", bytes("FDFFFFFF 0100"), expected("dcd")},
        {"9 fax data", "MyFaxData 2.0", expected("mfs,mfr")},
        {"10 fer", after(0, "COPYRIGHT (C)" + std::string(67, ' ') + "fed"), expected("fer")},
        {"11 spf", "GRAPH_INTELFILE", expected("spf")},
        {"12 ren", "This is the file for PsyClone Solid", expected("ren")},
        {"13 edp", bytes("00000000030100004E4F564120496E63"), expected("edp")},
        {"14 wrp", "WRP" + bytes("0100"), expected("wrp")},
        {"15 aep", "RIFX" + bytes("00001000"), expected("aep")},
        {"16 dim", "%!Adobe-Dimensions 1.0", expected("dim")},
        {"17 ist", bytes("F8D2BA100000 0100"), expected("ist")},
        {"18 p65", file_with(680, {{0, kOle}, {512, kRoot}, {640, kPageMake}}), expected("p65,t65"), 1024},
        {"19 pm6", file_with(1180, {{0, kOle}, {1024, kRoot}, {1152, kPageMake}}), expected("pm6"), 2048},
        {"20 xdw", bytes("600E820107800300C013 00"), expected("xdw")},
        {"21 xbd", bytes("600E820107800300C014 00"), expected("xbd")},
        {"22 site", "dniW" + bytes("0100"), expected("site")},
        {"23 tts", "CROSSROAD", expected("tts")},
        {"24 wq1", bytes("000002002051 0000"), expected("wq1")},
        {"25 wrk", bytes("0000020000060554 00"), expected("wrk", 2)},
        {"27 rpt, directory at 512",
         file_with(800, {{0, kOle}, {512, kRoot}, {640, kContents}, {768, kDatabase}}), expected("rpt"), 1024},
        {"27 rpt, directory at 1024",
         file_with(1430, {{0, kOle}, {1024, kRoot}, {1152, kContents}, {1408, kDatabase}}), expected("rpt"), 2048},
        {"28 dcp NEC",
         file_with(170, {{0, "0101010101010101010101010101010101010101010101010101010101010101"},
                         {144, "010101010101010101010101000000000000EB"}, {163, "3C904E4543"}}),
         expected("dcp")},
        {"28 dcp IPL",
         file_with(170, {{0, "0101010101010101010101010101010101010101010101010101010101010101"},
                         {144, "010101010101010101010101000000000000EB"}, {163, "1C9049504C"}}),
         expected("dcp")},
        {"29 mcd A", file_with(20, {{0, "0000094E"}, {12, "002000000041"}}), expected("mcd")},
        {"29 mcd B", file_with(20, {{0, "00000822"}, {12, "002000000041"}}), expected("mcd")},
        {"30 mpp", bytes("000000830000007F0000000000000000"), expected("mpp", 2)},
        {"31 jwk", "jw_cad(c)sym", expected("jwk")},
        {"32 jwc", "jw_cad(c)data", expected("jwc")},
        {"33 jww", "JwwData.", expected("jww")},
        {"34 mld", nul("melo") + "x", expected("mld", 2)},
        {"35 dxm", nul("MCDF") + "x", expected("dxm")},
        {"36 pmd", nul("cmid") + "x", expected("pmd")},
        {"37 pfd", bytes("0E000000 01 3A"), expected("pfd")},
        {"38 pdl", bytes("0E00000000000000 01"), expected("pdl")},
        {"39 vsp", file_with(3080, {{0, kOle}, {512, kRoot}, {640, kContents}, {3072, "04"}}), expected("vsp"), 6000},
        {"40 dry", file_with(3080, {{0, kOle}, {512, kRoot}, {640, kContents}, {3072, "FFFF"}}), expected("dry"), 6000},
        {"40 sample ends within byte 3073",
         file_with(3080, {{0, kOle}, {512, kRoot}, {640, kContents}, {3072, "FFFF"}}), kNothing, 3073},
        {"41 mdf", "MDF" + bytes("01 00"), expected("mdf")},
        {"42 uis", "RIFF" + bytes("10000000") + "UISQISHR", expected("uis")},
        {"43 nab", "DCNA" + bytes("10 00"), expected("nab")},
        {"44 ppc", bytes("7270179100 01"), expected("ppc")},
        {"46 pty", bytes("FFFFFFFF59544750"), expected("pty")},
        {"47 pac", bytes("FFFFFFFF50474143"), expected("pac")},
        {"48 jbf", "JASC BROWS FILE", expected("jbf")},
        {"49 cdl", "EXPERT CDLABEL", expected("cdl")},
        {"50 lvu", bytes("0708AD2F000000000000000000000000"), expected("lvu")},
        {"51 qgx", after(40, bytes("1A43554245514758")), expected("qgx")},
        {"52 qmx", after(40, bytes("1A43554245514D58")), expected("qmx")},
        {"53 qsx", after(40, bytes("1A43554245515358")), expected("qsx")},
        {"54 qpx", after(40, bytes("1A43554245515058")), expected("qpx")},
        {"55 qwx", after(40, bytes("1A43554245515758")), expected("qwx")},
        {"56 dmg", after(8, bytes("4948430002010100")), expected("dmg")},
        {"57 ss3", bytes("0104 010203 0019000E00"), expected("ss3")},
        {"58 wip", bytes("07574950 0100"), expected("wip", 2)},
        {"59 mif", "MIMG\r\n" + bytes("1A00"), expected("mif")},
        {"60 spd", ";\r\n; settings\r\n", expected("spd")},
        {"61 nsd", nul(nul("CREG")), expected("nsd")},
        {"62 cas", "NetRecorder 1.0", expected("cas")},
        {"63 scs", nul("scs") + "x", expected("scs")},
        {"64 map A", bytes("0A000000 0100"), expected("map")},
        {"64 map B", bytes("1A00FFFF 0100"), expected("map")},
        {"65 vsc", "\r\n[ScanOptions]\r\n", expected("vsc")},
        {"66 ptd", "MFTP" + bytes("01 00"), expected("ptd")},
        {"67 apr", after(6, "(ODB.1\r\n"), expected("apr")},
        {"68 sle", after(64, "slmt" + bytes("00010001")), expected("sle")},
        {"69 ns2", "NS2 NET STATE", expected("ns2")},
        {"70 ebd", bytes("0000007700000077"), expected("ebd,dat", 4)},
        {"71 ecd", bytes("0000000800000008"), expected("ecd", 4)},
        {"72 egd", bytes("0000000700000007"), expected("egd", 4)},
        {"74 etp", bytes("4554500300010060"), expected("etp")},
        {"75 fwe", "FWE" + bytes("04 00"), expected("fwe")},
        {"76 fve", bytes("02000000A0000000"), expected("fve")},
    });
}

TEST(AppDataFamily, WorksDocumentsAndTheirDetailTexts) {
    check_rows({
        {"26 Works 4.0", file_with(1180, {{0, kOle}, {1024, kRoot}, {1152, "4D00610074004F00530054"}}),
         expected("wps", 1, "Works 4.0"), 2048},
        {"26 any stream name beginning MatOST",
         file_with(1180, {{0, kOle}, {1024, kRoot}, {1152, "4D00610074004F0053005400580059"}}),
         expected("wps", 1, "Works 4.0"), 2048},
        {"26 Works 2000", file_with(1180, {{0, kOle}, {1024, kRoot}, {1152, "43004F004E00540045004E0054005300"}}),
         expected("wps", 1, "Works 2000"), 2048},
        {"26 other stream goes on", file_with(1180, {{0, kOle}, {1024, kRoot}, {1152, "580059005A00"}}), kNothing,
         2048},
    });
}

TEST(AppDataFamily, SearchesAndTheirBounds) {
    const std::string pim = "2C22506F77657250494D4D";
    const std::string pxr = "6400000064000000";
    const std::string ebk = "65436F6E746163745C646174616261736500843D";
    check_rows({
        {"7 anywhere", "Name,Phone,\"PowerPIMM\"\r\n", expected("pcf")},
        {"7 at an odd character", "Name" + straddling(pim), expected("pcf")},
        {"45 at character 0", bytes(pxr), expected("pxr", 2)},
        {"45 at odd character 127", after(63, straddling(pxr)), expected("pxr", 2)},
        {"45 at character 128", after(64, bytes(pxr)), kNothing},
        {"73 at character 34", after(17, bytes(ebk)), expected("ebk")},
        {"73 at odd character 33", after(16, straddling(ebk)), expected("ebk")},
        {"73 at character 32", after(16, bytes(ebk)), kNothing},
        {"73 first occurrence only", after(16, bytes(ebk) + "QQ" + bytes(ebk)), kNothing},
    });
}

TEST(MobileFamily, RowsInOrder) {
    check_rows({
        {"1 hpb", bytes("012C030300000000 01"), expected("hpb")},
        {"2 krm", "KeikaiDenwaChakuMelo", expected("krm")},
        {"3 kkv", bytes("8800000005000000 01"), expected("kkv")},
        {"4 bookmarks", after(9, "KeikaiBookmark"), expected("dat", 3)},
        {"5 iap", "KeikaiIAppli", expected("iap")},
        {"6 khp", file_with(40, {{0, "01000100"}, {4, "5151"}, {28, "B097CF77"}}), expected("khp")},
        {"6 without B097CF77 goes on", file_with(40, {{0, "01000100"}, {4, "5151"}, {28, "B097CF78"}}), kNothing},
        {"7 kml", bytes("17") + "KeikaiDenwaMail", expected("kml")},
        {"8 kad", "KeikaiDewaMailTo", expected("kad")},
        {"9 kti", bytes("18") + "iPC PHS", expected("kti")},
        {"12 jad", "x,\"JADR\",\"Name\"\r\n", expected("jad")},
        {"13 fzd", bytes("08003FFF0007FFFF0001002000010023"), expected("fzd")},
        {"14 fdm", "Fjw32 Database M", expected("fdm")},
        {"15 fjl", "MET'S FJW FILE V", expected("fjl")},
        {"16 fwa", bytes("954D82DC82DF 0100"), expected("fwa")},
    });
}

TEST(MobileFamily, EarlySearchesWithinFirst32Characters) {
    const std::string ctel = "004354656C";
    const std::string cmelody = "00434D656C6F6479";
    check_rows({
        {"10 at character 30", after(15, bytes(ctel)), expected("ktl")},
        {"10 at odd character 31", after(15, straddling(ctel)), expected("ktl")},
        {"10 at character 32", after(16, bytes(ctel)), kNothing},
        {"10 at character 40", after(20, bytes(ctel)), kNothing},
        {"11 at character 30", after(15, bytes(cmelody)), expected("ktm")},
        {"11 at odd character 31", after(15, straddling(cmelody)), expected("ktm")},
        {"11 at character 32", after(16, bytes(cmelody)), kNothing},
    });
}

TEST(MiscFamily, RowsInOrder) {
    check_rows({
        {"1 nmi", after(3, nul("") + "PerMan Surfer"), expected("nmi")},
        {"2 vix", "ViX " + bytes("00FF"), expected("vix")},
        {"3 mgc", "#Magical_CV 1.0", expected("mgc")},
        {"4 psm", "# PSmplay", expected("psm")},
        {"6 cnv", after(25, "CANVAS"), expected("cnv")},
        {"7 cvs", after(176, bytes("00000000000000000100000062B13800")), expected("cvs")},
        {"8 clb", "<lst_clb>", expected("clb")},
        {"9 tpr", bytes("FF0A004A4F420030"), expected("tpr")},
        {"10 1tx", "WC1toX", expected("1tx")},
        {"11 sfv", "; Generated by WIN-SFV32 v1\r\n", expected("sfv")},
        {"12 sry", nul("Sherry WRD") + "x", expected("sry")},
        {"13 esr with @", "@SherryWRD(1)", expected("esr")},
        {"13 esr without @", "SherryWRD(1)", expected("esr")},
        {"14 @STARTUP(", "@STARTUP(1)", expected("wrd")},
        {"14 @startup(", "@startup(1)", expected("wrd")},
        {"14 @SETUP(", "@SETUP(1)", expected("wrd")},
        {"14 @setup(", "@setup(1)", expected("wrd")},
        {"15 jcd A", bytes("48420000 01"), expected("jcd")},
        {"15 jcd B", bytes("488A000000 01"), expected("jcd")},
        {"16 rok", "ROKU", expected("rok")},
        {"17 hdp", "HelpDesigner Project", expected("hdp")},
        {"18 5tq", after(34, "5TAKUQDT"), expected("5tq")},
        {"19 pq2", "quiz", expected("pq2")},
        {"20 ils", "#ils", expected("ils")},
        {"21 ndl, whatever follows", "NetDupe" + bytes("00FF0102"), expected("ndl")},
        {"22 smp", " Sma4Win", expected("smp")},
        {"23 xmc", nul("XMC") + "x", expected("xmc")},
        {"24 ahy A", bytes("B1CBAC 01"), expected("ahy")},
        {"24 ahy B", bytes("B1B1CB 01"), expected("ahy")},
        {"25 pmp", bytes("5B0050006F0063006B0065007400200057004D005000200050006C00610079005D00"), expected("pmp")},
        {"27 vcd", "[COMMANDS]\r\n", expected("vcd", 2)},
    });
}

TEST(MiscFamily, CdazNameWithinFirst96Characters) {
    const std::string cdaz = "2E6364617A";
    check_rows({
        {"5 at character 0", ".cdaz list", kNothing},
        {"5 at odd character 1", straddling(cdaz), expected("cdaz")},
        {"5 at byte 3", "abc.cdaz", expected("cdaz")},
        {"5 at odd character 95", after(47, straddling(cdaz)), expected("cdaz")},
        {"5 at character 96", after(48, ".cdaz"), kNothing},
    });
}

TEST(MiscFamily, GameRecordDateLabels) {
    const std::string start = "\r\n" + sj("開始日時：");
    const std::string end = "\r\n" + sj("終了日時：");
    check_rows({
        {"26 game record", "#KIF version=2.0" + start + "2001/01/01" + end + "2001/01/02", expected("kif")},
        {"26 start label at character 0", start + "2001/01/01" + end, kNothing},
        {"26 end label at p + 32", "#" + start + "1234" + end, kNothing},
        {"26 end label at p + 34", "#" + start + "12345" + end, expected("kif")},
        {"26 end label before the start label", "#" + end + "2001/01/02" + start + "2001/01/01", kNothing},
    });
}

TEST(MiscFamily, PresentExtensionFallbacks) {
    const std::string text = "Hello, world.\r\n\tA tabbed line.\r\n";
    check_rows({
        {"28 plain text named .txt", text, expected("txt"), 256, 8, "readme.txt"},
        {"28 text with a bell", text + bytes("07"), kNothing, 256, 8, "readme.txt"},
        {"28 bell digits across a byte boundary", "0p?", expected("txt"), 256, 8, "readme.txt"},
        {"28 plain text named .doc", text, kNothing, 256, 8, "readme.doc"},
        {"28 empty .txt", "", expected("txt"), 256, 8, "empty.txt"},
        {"29 empty desklink", "", expected("desklink"), 256, 8, "x.desklink"},
        {"29 empty mapimail", "", expected("mapimail"), 256, 8, "x.mapimail"},
        {"29 empty mydocs", "", expected("mydocs"), 256, 8, "x.mydocs"},
        {"29 one byte desklink", "x", kNothing, 256, 8, "x.desklink"},
        {"29 empty file of another name", "", kNothing, 256, 8, "x.lnk"},
    });
}
