// The office document, music-chart and development families, through the
// exported interface. Fixtures are written from their readings where they
// have one, so a slip in a table's hex text shows.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support.hpp"

using namespace oxtarn::test;
using namespace std::string_literals;

namespace {

using Case = RowCase;


using Parts = std::initializer_list<std::pair<std::size_t, std::string>>;

// `size` zero bytes with raw byte strings written at their offsets.
std::string laid_out(std::size_t size, Parts parts) {
    std::string out(size, '\0');
    for (const auto& [offset, raw] : parts) {
        if (out.size() < offset + raw.size()) out.resize(offset + raw.size(), '\0');
        out.replace(offset, raw.size(), raw);
    }
    return out;
}

// A compound file: the signature at byte 0 and the given parts.
std::string compound(std::size_t size, Parts parts) {
    std::string out = laid_out(size, parts);
    return out.replace(0, 8, bytes("D0CF11E0A1B11AE1"));
}

// UTF-16 little-endian of an ASCII text.
std::string u16(std::string_view ascii) {
    std::string out;
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}

const std::string kUnknown = "?";
const std::string kRoot = u16("Root Entry");

}  // namespace

// ---- office compound documents ---------------------------------------------

TEST(OfficeFamily, DirectoryEntryNames) {
    const std::string jsrv = u16("\x04JSRV");
    const std::string document = u16("Document");
    check_rows({
        {"1", compound(1344, {{1024, kRoot}, {1152, u16("Timeline")}, {1280, u16("WindowsMovieMaker")}}),
         expected("mswmm"), 2000},
        {"9a", compound(1200, {{1024, kRoot}, {1152, u16("PowerPoint Document")}}), expected("ppt,pot,pps"), 2000},
        {"9b", compound(1200, {{1024, kRoot}, {1152, u16("PP40")}}), expected("ppt,pot"), 2000},
        {"9c", compound(1320, {{1024, kRoot}, {1152, u16("Current User")}, {1280, u16("PowerPoint Document")}}),
         expected("ppt,pot,pps"), 2000},
        {"10", compound(2600, {{2560, "IPM.Note"}}), expected("msg"), 3000},
        {"12 CompObj", compound(1200, {{1024, kRoot}, {1152, u16("\x01""CompObj")}}), expected("mpp,mpt"), 2000},
        {"12 Props", compound(1320, {{1024, kRoot}, {1152, u16("\x05Summary")}, {1280, u16("Props")}}),
         expected("mpp,mpt"), 2000},
        {"13", compound(1200, {{1024, kRoot}, {1152, u16("Binder")}}), expected("obd,obt"), 2000},
        {"15", compound(1700, {{1536, kRoot}, {1664, u16("AlbumInfo")}}), expected("jab"), 2000},
        {"17", compound(1320, {{1024, kRoot}, {1152, jsrv}, {1280, u16("WorkSheet")}}), expected("jsr"), 2000},
        {"18", compound(1320, {{1024, kRoot}, {1152, jsrv}, {1280, document}}), expected("jtd,jyd,jfw,jvw,jtt"),
         2000},
        {"19", compound(1320, {{1024, kRoot}, {1152, u16("Font")}, {1280, u16("Frame")}}), expected("jtt"), 2000},
        {"20a", compound(1440, {{1024, kRoot}, {1152, document}, {1280, document}, {1408, document}}),
         expected("jtd,jtt", 2), 2000},
        // the same file with the default sample: no entry is within reach
        {"20a short", compound(1440, {{1024, kRoot}, {1152, document}, {1280, document}, {1408, document}}),
         expected(kUnknown)},
    });
}

TEST(OfficeFamily, SpreadsheetGroup) {
    check_rows({
        {"5a", compound(1200, {{1100, "[Red]"}}), expected("xls,xlt,xla,gra"), 2000},
        // [Red] before character 2100 is not seen; row 5b takes the file
        {"5a too early", compound(1200, {{1024, kRoot}, {1152, u16("Workbook")}, {1000, "[Red]"}}),
         expected("xls,xlt,xla"), 2000},
        {"5b", compound(1200, {{1024, kRoot}, {1152, u16("Workbook")}}), expected("xls,xlt,xla"), 2000},
    });
}

TEST(OfficeFamily, WordGroupSearchesInOrder) {
    check_rows({
        {"4a", compound(1552, {{1536, bytes("5F6AFD800D540D00B8900D54FA572C67")}}), expected("doc", 1, "Word2000"),
         2000},
        {"4b", compound(1000, {{700, u16("Word97")}}), expected("doc", 1, "Word97"), 1000},
        {"4b from 9000", compound(6000, {{4600, u16("\\word97")}}), expected("doc", 1, "Word97"), 6000},
        {"4b before 1200", compound(1000, {{500, u16("Word97")}}), expected(kUnknown), 1000},
        {"4b before 9000", compound(6000, {{4000, u16("\\word97")}}), expected(kUnknown), 6000},
        {"4c", compound(1000, {{700, u16("Word98")}}), expected("doc,dot", 1, "Word98"), 1000},
        {"4c from 9000", compound(6000, {{4600, u16("\\word98")}}), expected("doc,dot", 1, "Word98"), 6000},
        // 4b is tried before 4c, whatever stands where
        {"4b before 4c", compound(6000, {{700, u16("Word97")}, {4600, u16("\\word98")}}),
         expected("doc", 1, "Word97"), 6000},
        {"4a before 4b", compound(1600, {{700, u16("Word97")}, {1536, bytes("5F6AFD800D540D00B8900D54FA572C67")}}),
         expected("doc", 1, "Word2000"), 2000},
        {"4d", compound(6000, {{4600, u16("Unknown")}}), expected("doc,dot", 1, "Word2000/2002"), 6000},
        // a search that starts beyond the image fails, even though the text is there
        {"4d beyond", compound(6000, {{700, u16("Unknown")}}), expected(kUnknown), 4000},
        {"4e", compound(6000, {{4600, u16("WordDocument")}}), expected("doc"), 6000},
    });
}

TEST(OfficeFamily, WizardsNeedALongSample) {
    const std::string sentences = compound(8928, {{8912, sj("文例 ウィザード") + '\0'}});
    const std::string memo = compound(8928, {{8912, sj("メモ ウィザード") + '\0'}});
    check_rows({
        {"2", sentences, expected("wiz", 1, sj("文例ｳｨｻﾞｰﾄﾞ")), 8928},
        {"3", memo, expected("wiz", 1, sj("ﾒﾓｳｨｻﾞｰﾄﾞ")), 9000},
        {"2 short", sentences, expected(kUnknown), 8927},
    });
}

TEST(OfficeFamily, PresentExtensionRow) {
    const std::string bare = compound(512, {});
    check_rows({
        {"20b", bare, expected("jsd", 2), 256, 8, "x.jsd"},
        {"20b upper case name", bare, expected("jsd", 2), 256, 8, "X.JSD"},
        {"20b other name", bare, expected(kUnknown), 256, 8, "x.doc"},
    });
}

TEST(OfficeFamily, PlainHeaders) {
    const std::string doc = "DOC\0\0\0\0\0"s + std::string(8, '\x11');
    check_rows({
        {"6", bytes("09000400040010000011"), expected("xjs", 1, sj("2.1形式"))},
        {"7", bytes("09020600010010000011"), expected("xjs", 1, sj("3.1形式"))},
        {"8", bytes("09040600000010000011"), expected("xls", 2, sj("4.0形式"))},
        {"11", bytes("00001A000310040011"), expected("123")},
        {"14", bytes("0E80000AD603100A640007050000000111"), expected("mpw")},
        {"16", "PREF   \0DPA  \0\0\0\x11"s, expected("jmg")},
        {"21a", doc + "\0\0\x01\x11"s, expected("jsw")},
        {"21b", doc + "\0\0\x02\x11"s, expected("jaw,jtw")},
        {"21c", doc + "\0\0\x03\x11"s, expected("jbw,juw")},
        {"21 other", doc + "\0\0\x04\x11"s, expected(kUnknown)},
        {"22", "\xFF\xFE"s + u16("/****** ") + bytes("AA30D630B830A730AF30C830") + u16(" */\r\n"), expected("tab")},
        {"23", bytes("00000200010611"), expected("wj2")},
        {"24", bytes("00000200020611"), expected("wj3")},
        {"25", bytes("00000200060411"), expected("wk1")},
        {"26", bytes("00001A00001011"), expected("wk3")},
        {"27", bytes("00001A00021011"), expected("wk4")},
    });
}

// ---- music-game charts -----------------------------------------------------

TEST(ChartFamily, Rows) {
    check_rows({
        {"1 binary", bytes("0D0A2A2D01FF"), expected("bms,bme")},
        {"2", "#FILE:song.mp3\r\n#TITLE:My Song\r\n", expected("msd")},
        {"2 at once", "#FILE:#TITLE:My Song\r\n", expected("msd")},
        {"3", "ID=12\r\nTITLE=Song\r\nARTIST=Me\r\n", expected("sul")},
        {"3 other order", "ID=12\r\nARTIST=Me\r\nTITLE=Song\r\n", expected("sul")},
        {"4", "#TITLE:Song;\r\n#ARTIST:Me;\r\n#EDIT:x;\r\n#SINGLE:BASIC:\r\n", expected("ddr")},
        {"5", "UCL\x01 data", expected("ucl")},
        {"6", "UFL\x01 data", expected("ufl")},
        {"7", "USL\x01 data", expected("usl")},
        {"8", "GMC.WIN.\x01", expected("gmc")},
    });
}

TEST(ChartFamily, ChartTitle) {
    const std::string header = "\r\n*---------------------- HEADER FIELD\r\n\r\n#PLAYER 1\r\n#GENRE Test\r\n";
    check_rows({
        {"1", header + "#TITLE My Song\r\n#ARTIST Me\r\n", expected("bms,bme", 1, "My Song")},
        {"1 named bme", header + "#TITLE My Song\r\n", expected("bme,bms", 1, "My Song"), 256, 8, "x.bme"},
        {"1 no line end", header + "#TITLE My Song", expected("bms,bme")},
        {"1 empty title", header + "#TITLE \r\n", expected("bms,bme")},
        // a tag before character 65 is not seen; without another one the
        // detail text stays as it was
        {"1 early only", "\r\n*-\r\n#TITLE Early\r\n", expected("bms,bme")},
        {"1 early and later", "\r\n*-\r\n#TITLE Early\r\n#PLAYER 1\r\n#GENRE Test\r\n#TITLE Later\r\n",
         expected("bms,bme", 1, "Later")},
    });
}

// ---- development and project files -----------------------------------------

TEST(DevelopmentFamily, HeadersWithVersions) {
    check_rows({
        {"2", "Type=Exe\r\nForm=Form1.frm\r\n", expected("vbp", 1, "Version 5.0/6.0")},
        {"3", "Form=Form1.frm\r\n", expected("vbp", 1, "Version 4.0")},
        {"6", "VERSION 1.0 CLASS\r\nBEGIN\r\n", expected("cls", 1, "Version 4.0/5.0/6.0")},
        {"6 CLASS at 13", "VERSION 1.00 CLASS\r\nBEGIN\r\n", expected(kUnknown)},
        {"17 Object", "VERSION 5.00\r\nObject = \"{831FDD16}#6.0#0\"; \"x.ocx\"\r\n", expected("frm", 1, "Version 5.0/6.0")},
        {"17 MDIForm", "VERSION 5.00\r\nBegin VB.MDIForm MDIForm1\r\n", expected("frm", 1, "Version 5.0/6.0")},
        {"17 Form", "VERSION 5.00\r\nBegin VB.Form Form1\r\n", expected("frm", 1, "Version 5.0/6.0")},
        {"18 Form", "VERSION 4.00\r\nBegin VB.Form Form1\r\n", expected("frm", 1, "Version 4.0")},
        {"18 MDIForm", "VERSION 4.00\r\nBegin VB.MDIForm MDIForm1\r\n", expected("frm", 1, "Version 4.0")},
        {"19", bytes("FFCC2B000011"), expected("frm", 1, "Version 2.0")},
        // VB.PropertyPage and VB.UserControl at byte 20 come before the form rows
        {"7", "VERSION 5.00\r\nBegin VB.PropertyPage PP1\r\n", expected("pag")},
        {"12", "VERSION 5.00\r\nBegin VB.UserControl UC1\r\n", expected("ctl")},
        {"21", "VERSION 5.00\r\nBegin VB.Designer DE1\r\n", expected("dsr")},
        {"28", "Attribute VB_Name = \"Module1\"\r\n", expected("bas", 1, "Version 4.0/5.0/6.0")},
        {"29", bytes("FC0402000F005B0111"), expected("bas", 1, "Version 2.0")},
    });
}

TEST(DevelopmentFamily, FixedHeaders) {
    check_rows({
        {"1", "\xFF\xFE"s + u16("using System;\r\n"), expected("cs")},
        {"4", "VBGROUP 5.0\r\n", expected("vbg")},
        {"5", bytes("CAFEBABE0003002D0011"), expected("class")},
        {"9", "; CLW file contains information for the class wizard\r\n", expected("clw")},
        {"10", "#!/usr/bin/perl\n", expected("cgi,pl")},
        {"10 local", "#!/usr/local/bin/perl\n", expected("pl,cgi"), 256, 8, "x.pl"},
        {"11", "package jcode;\n", expected("pl")},
        {"14", "Microsoft Developer Studio Workspace File, Format Version 6.00\r\n", expected("dsw")},
        {"15", "# Microsoft eMbedded Visual Tools Project File - Name=\"x\"\r\n", expected("vcp")},
        {"16", "Microsoft eMbedded Visual Tools Workspace File, Format Version 3.00\r\n", expected("vcw")},
        {"20", bytes("0000000000000000FFCC31000011"), expected("dca")},
        {"22 text", "[SCC]\r\n", expected("scc")},
        {"22 binary", bytes("3412010011"), expected("scc")},
        {"23", bytes("060300006C74000011"), expected("frx")},
        {"25 a", bytes("C60800006C740000BE11"), expected("frx,dsx")},
        {"25 b", bytes("0400030001003001003001003001003011"), expected("frx,dsx")},
        {"26", "!<arch>\n/               ", expected("lib")},
        {"27", "MSFT\x02\0\x01\0"s, expected("tlb")},
        {"30", "CEVB\x01", expected("vb")},
        {"31", "Microsoft C/C++ program database 2.00\r\n", expected("pdb,bsc,idb")},
        {"32", "Microsoft Linker Database\n\n", expected("ilk")},
        {"36", bytes("05382E312E3501200120012011"), expected("pre")},
        {"37", bytes("3412FECA1E000000") + u16("com.x"), expected("resources")},
        {"39", "# Microsoft Developer Studio Profile Data\r\n", expected("vip")},
        {"40", ";JBuilder -- PROJECT FILE VERSION {2.00} - do not alter this file!\r\n", expected("jpr")},
        {"41", "[Language]\r\nLanguage=English\r\n", expected("ipr")},
        {"42", "'" + std::string(78, '-') + "\r\n'FILE DESCRIPTION: x\r\n", expected("dsm")},
        {"43", "interface IFoo : IUnknown\r\n", expected("idl")},
        {"44", "\r\n(object Petal\r\n    version 42\r\n", expected("mdl,ptl")},
        {"45 text", "# Microsoft Developer Studio Generated Dependency File\r\n", expected("dbp")},
        {"45 title", std::string(48, 'x') + sj("ル - データベース"), expected("dbp")},
        {"46", "\"General\"\r\n{\r\n", expected("pkp")},
        {"47", "# Microsoft Utility Project File\r\n", expected("vup")},
        {"48", "\"VersionInfo\"\r\n{\r\n", expected("vap")},
    });
}

TEST(DevelopmentFamily, Searches) {
    std::vector<Case> cases = {
        {"8", "[Options]\r\nProjWinSize=1,2\r\n", expected("mak")},
        {"24", "xx" + bytes("4075F0F6EC42CE11813500AA004BB851"), expected("frx,dsx")},
        {"33", "import java.util.*;\r\n", expected("java")},
        // row 33 is tried before the directives
        {"33 before 34", "#pragma once\r\nimport java.io.*;\r\n", expected("java")},
        {"34 named h", "/* x */\r\n#include <x.h>\r\n", expected("h,c,cpp,pc"), 256, 8, "x.h"},
        {"35", "I xyz\r\nIDL:x\r\n", expected("if")},
        {"35 at 8", "I xy\r\nIDL:x\r\n", expected(kUnknown)},
        {"35 at 94", "I " + std::string(45, 'x') + "\r\nIDL:x\r\n", expected("if")},
        {"35 at 96", "I " + std::string(46, 'x') + "\r\nIDL:x\r\n", expected(kUnknown)},
        {"38 first", "\x11\x11\x11\x11lt\x11\x11\x11\x11\x11\x11" "BM", expected("ctx")},
        {"38 second", std::string(20, '\x11') + "lt" + std::string(6, '\x11') + "BM", expected("ctx")},
    };
    for (std::string directive : {"#include <x.h>", "#define X 1", "#ifdef X", "#ifndef X", "#import <x.tlb>",
                                  "#pragma once", "#undef X"})
        cases.push_back({"34 " + directive, "/* x */\r\n" + directive + "\r\n", expected("c,cpp,h,pc")});
    check_rows(cases);
}

TEST(DevelopmentFamily, ProjectName) {
    const std::string head = "# Microsoft Developer Studio Project File";
    check_rows({
        {"13", head + " - Name=\"Demo\" - Package Owner=<4>\r\n", expected("dsp", 1, "Demo")},
        {"13 zero", head + " - Name=\"De\0mo\" - x\r\n"s, expected("dsp", 1, "De")},
        {"13 no closing quote", head + " - Name=\"Demo\"\r\n", expected("dsp")},
        {"13 bare", head, expected("dsp")},
        // without Name=" the slice starts at character 11 and is read in
        // misaligned pairs, up to the first quote and blank (here the pair
        // 0x20 0x0D ends it early)
        {"13 no name", head + " \r\n\" x\r\n", expected("dsp", 1, bytes("26F736F667420446576656C6F7065722053747564696F2050726F6A6563742046696C652"))},
    });
}
