// The executable, help and installer family, through the exported interface.
// Fixtures are written from their readings where they have one, so a slip in
// a table's hex text shows.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support.hpp"

using namespace oxtarn::test;
using namespace std::string_literals;

namespace {

using Case = RowCase;


// `size` zero bytes with raw byte strings written at their offsets.
std::string laid_out(std::size_t size, std::initializer_list<std::pair<std::size_t, std::string>> parts) {
    std::string out(size, '\0');
    for (const auto& [offset, raw] : parts) {
        if (out.size() < offset + raw.size()) out.resize(offset + raw.size(), '\0');
        out.replace(offset, raw.size(), raw);
    }
    return out;
}

// UTF-16 little-endian of an ASCII text.
std::string u16(std::string_view ascii) {
    std::string out;
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}

const std::string kOle = bytes("D0CF11E0A1B11AE1");
const std::string kUnknown = "?";

}  // namespace

TEST(ExecutableFamily, ProgramFilesAndSelfExtractors) {
    const std::string all =
        "exe,dll,scr,spi,ocx,oca,vxd,cpl,drv,crl,sys,386,ime,acm,fon,com,vbx,ax,3gr,mod";
    check_rows({
        {"2a", laid_out(64, {{0, "MZ"}, {36, "LHA's SFX"}}), expected("exe", 1, sj("LZH自己解凍形式"))},
        {"2b", laid_out(160, {{0, "MZ"}, {128, bytes("CC6C6253")}}), expected("exe", 1, sj("ZIP自己解凍形式"))},
        {"2c", laid_out(160, {{0, "MZ"}, {128, bytes("542BF0FD")}}), expected("exe", 1, sj("CAB自己解凍形式"))},
        {"2d", laid_out(160, {{0, "MZ"}, {36, "LHA's"}}), expected(all)},
        // the candidate ordering puts the present extension first
        {"2d dll", laid_out(64, {{0, "MZ"}}),
         expected("dll,exe,scr,spi,ocx,oca,vxd,cpl,drv,crl,sys,386,ime,acm,fon,com,vbx,ax,3gr,mod"), 256, 8, "x.dll"},
        // a file starting MZ never reaches the later rows
        {"2 before 47", "MZ [InternetShortcut]"s, expected(all)},
    });
}

TEST(ExecutableFamily, FixedHeaders) {
    check_rows({
        {"1", "[Description]\r\nName=x\r\n", expected("asd")},
        {"3", laid_out(24, {{8, "EKIM"}}), expected("cdb")},
        {"4", "ITSF\x03\0\0\0"s, expected("chm,chi")},
        {"5", "[OPTIONS]\r\nCompatibility=1.1 or later\r\n", expected("hhp")},
        {"6", "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\r\n", expected("htm,hhk,hhc")},
        {"7", bytes("CFAD12FEC5FD746F"), expected("dbx")},
        {"8", bytes("C40204980C0100FF"), expected("dic")},
        {"9", "FWS\x05\x20\x01\0\0"s, expected("swf")},
        {"10", "XFIR\x20\x01\0\0"s, expected("dir,dcr")},
        {"16", bytes("B8C90C00000000005A"), expected("ins", 2)},
        {"17", "Url=http://example.invalid/\r\n", expected("iri")},
        {"19", "\xFF\xFF\0\0\x0A\0CColorList\x01\0"s, expected("clr")},
        {"22", bytes("4C0000000114020000000000C000000000000046"), expected("lnk")},
        {"23", "12#Title\r\n", expected("lnk", 2)},
        {"24", bytes("FE37002300000000"), expected("mcw")},
        {"25", "\0\x01\0\0Standard Jet DB\0"s, expected("mdb,mld,mpj,mdw,m3d")},
        {"26", bytes("54415045000003008C000E01000000001122"), expected("---", 201)},
        {"27", "\xFF\xFE"s + u16("[oledb]\r\n"), expected("udl")},
        {"28", "MMMD\0\0\x10\0"s, expected("mmf")},
        {"29", "NIF\x01\x02", expected("nif")},
        {"30", bytes("4C0103005A3B"), expected("obj,exp")},
        {"31", "\x11\x22\x33\x44\x55\x66\x77\x88\x99\xAA\xBB\xCCmlkj", expected("ora")},
        {"32", "\nOto95 data\r\n", expected("oto")},
        {"33", "%PDF-1.3\r\n", expected("pdf")},
        {"34 0078", bytes("0078111111"), expected("pif")},
        {"34 004B", bytes("004B111111"), expected("pif")},
        {"35", "{\\pwd x}", expected("pwd")},
        {"36", "{\\pwi x}", expected("pwi,psw")},
        {"37 0E", bytes("090E01050042B0048C510051003D1F0011"), expected("pxt")},
        {"37 0F", bytes("090F01050042A4038C510051003D1F0011"), expected("pxt")},
        {"38", bytes("090F01050042A4038C51005100FF"), expected("pxl")},
        {"39 jp", "//Microsoft Visual C++ " + sj("で作成されたリソース スクリプト。") + "\r\n", expected("rc")},
        {"39 mfc", "// This is a part of the Microsoft Foundation Classes C++ library.\r\n", expected("rc")},
        {"39 devstudio", "//Microsoft Developer Studio generated resource script.\r\n", expected("rc")},
        {"40", "REGEDIT4\r\n", expected("reg", 1, sj("Windows 9x/NT4.0用"))},
        {"41", "\xFF\xFE"s + u16("Windows Registry Editor Version 5.00"), expected("reg", 1, sj("Windows 2000用"))},
        {"42", bytes("0000000020000000FFFF0000FFFF000000"), expected("res")},
        {"43", bytes("0002000001E00280000200070100000011"), expected("rif")},
        {"44", "{\\rtf1\\ansi", expected("rtf")},
        {"45", "ttcf\0\x01\0\0"s, expected("ttc")},
        {"48", "; Created by ReGet Deluxe\r\n", expected("wrg")},
    });
}

TEST(ExecutableFamily, HelpFiles) {
    check_rows({
        {"13 gid 21", bytes("3F5F0300210000000000"), expected("gid")},
        {"13 gid 3F", bytes("3F5F03003F0000000000"), expected("gid")},
        {"13 hlp", bytes("3F5F0300220000000000"), expected("hlp")},
        {"13 hlp short", bytes("3F5F0300"), expected("hlp")},
    });
}

TEST(ExecutableFamily, FontTableTags) {
    const std::string head = bytes("00010000000F008000030070");  // version 1.0, 15 tables
    std::vector<Case> cases;
    for (std::string tag : {"DSIG", "LTSH", "OS/2", "GDEF", "EBDT"})
        cases.push_back({"46 " + tag, head + tag + "\x12\x34", expected("ttf,tte")});
    // a first tag the list lacks is not this family's
    cases.push_back({"46 cmap", head + "cmap\x12\x34", expected(kUnknown)});
    check_rows(cases);
}

TEST(ExecutableFamily, FindsAndTheirBounds) {
    const std::string list = "GetRight Download List";
    check_rows({
        // at character 20 it is found; at 0 and at 200 it is not (row 47 then takes the file)
        {"12 at 20", "0123456789" + list + "\r\n", expected("grx")},
        {"12 at 0", list + "\r\n[InternetShortcut]\r\n", expected("url")},
        {"12 at 198", std::string(99, 'a') + list, expected("grx")},
        {"12 at 200", std::string(100, 'a') + list + "[InternetShortcut]", expected("url")},
        // the first occurrence counts: one at 0 hides one at 20
        {"12 first", list + list + "[InternetShortcut]", expected("url")},
        {"47", "some text\r\n[InternetShortcut]\r\nURL=http://example.invalid/\r\n", expected("url")},
    });
}

TEST(ExecutableFamily, CompoundFilesNeedTheirSampleLength) {
    const std::string fla = laid_out(784, {{0, kOle}, {512, u16("Root")}, {768, u16("Page 1")}});
    const std::string msi = laid_out(1160, {{0, kOle}, {1024, u16("Root Entry")}, {1152, bytes("4048")}});
    const std::string opt = laid_out(1300, {{0, kOle}, {1024, u16("Root Entry")}, {1280, u16("Browser")}});
    check_rows({
        {"18", fla, expected("fla"), 776},
        {"18 short", fla, expected(kUnknown), 775},
        {"20", msi, expected("msi,msm"), 1154},
        {"20 named msm", msi, expected("msm,msi"), 2000, 8, "x.msm"},
        {"20 short", msi, expected(kUnknown), 1153},
        {"21", opt, expected("opt"), 1293},
        {"21 short", opt, expected(kUnknown), 1292},
    });
}

TEST(ExecutableFamily, DialUpEntryName) {
    check_rows({
        {"11", "[Entry]\r\nEntry_Name=Home dial\r\nPhone=1\r\n", expected("dun", 1, "Home dial")},
        {"11 empty value", "[Entry]\r\nEntry_Name=\r\nPhone=1\r\n", expected("dun")},
        {"11 no line end", "[Entry]\r\nEntry_Name=Home dial", expected("dun")},
        // the search starts at character 17: a name right after [Entry] is not seen
        {"11 too early", "[Entry]Entry_Name=Home\r\n", expected("dun")},
        {"11 no name", "[Entry]\r\nPhone=1\r\n", expected("dun")},
        // the value ends at the first zero byte
        {"11 zero", "[Entry]\r\nEntry_Name=Ho\0me\r\n"s, expected("dun", 1, "Ho")},
    });
}

TEST(ExecutableFamily, ContentsTitle) {
    check_rows({
        {"14", ":Base main.hlp\r\n:Title Main Help\r\n:Index x\r\n", expected("cnt", 1, "Main Help")},
        {"14 no line end", ":Base main.hlp\r\n:Title Main Help", expected("cnt")},
        {"14 line end at once", ":Base main.hlp\r\n:Title\r\n", expected("cnt")},
        {"14 no title", ":Base main.hlp\r\n:Index x\r\n", expected("cnt")},
    });
}

TEST(ExecutableFamily, TextAtByte20) {
    const std::string head = "fMAI" + std::string(16, '\x11');
    check_rows({
        {"15", head + "Album name\0\0"s, expected("iaf", 1, "Album name")},
        // a zero byte after a character ending in 0 is found one digit early;
        // the appended digit completes the character
        {"15 odd", head + "TOP\0\x11"s, expected("iaf", 1, "TOP")},
        {"15 no zero", head + "Album name", expected("iaf")},
        {"15 short", "fMAI\x11\x11", expected("iaf")},
    });
}
