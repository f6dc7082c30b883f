// Markup, mail and web text; system, configuration and script files.
// One small file per row and branch, identified through the exported
// interface; the whole result record is compared.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.hpp"

using namespace oxtarn::test;

namespace {

const std::string kOle = "D0CF11E0A1B11AE1";
const std::string kRoot = "52006F006F007400";
const Record kNothing{"?", "", ""};

using Case = RowCase;


// The bytes of `hex` shifted by half a byte: the pattern stands at an odd
// character position (one digit into the first byte).
std::string straddling(const std::string& hex) { return bytes("0" + hex + "0"); }

// An HTML comment of exactly n bytes (n >= 7), to move what follows to byte n.
std::string comment(std::size_t n) { return "<!--" + std::string(n - 7, '-') + "-->"; }

Record html(const std::string& title = "") { return expected("htm,html,rtx", 1, title); }

}  // namespace

TEST(MarkupFamily, HtmlTagWithinFirstHundredCharacters) {
    const std::string html_tag = "3C68746D6C3E";
    check_rows({
        {"1 lower-case tag", "<html><body>hello</body></html>", html()},
        {"1 upper-case tag", "<HTML><BODY>hello</BODY></HTML>", html()},
        {"1 tag at byte 49", comment(49) + "<html>", html()},
        {"1 upper-case tag at byte 49", comment(49) + "<HTML>", html()},
        {"1 tag at byte 50 (character 100)", comment(50) + "<html>", kNothing},
        {"1 upper-case tag at byte 50", comment(50) + "<HTML>", kNothing},
        {"1 tag at odd character 1", straddling(html_tag) + "<body>", html()},
        {"1 tag at odd character 99", comment(49) + straddling(html_tag), html()},
        {"1 late upper-case tag, early lower-case one", "<html>" + comment(60) + "<HTML>", html()},
    });
}

TEST(MarkupFamily, HtmlTitleBecomesTheDetailText) {
    check_rows({
        {"lower-case tags", "<html><head><title>Index</title></head>", html("Index")},
        {"upper-case tags", "<HTML><HEAD><TITLE>Index</TITLE></HEAD>", html("Index")},
        {"Shift-JIS title kept byte for byte", "<html><title>" + sj("目次のページ") + "</title>",
         html(sj("目次のページ"))},
        {"lower-case tags tried first", "<html><TITLE>Upper</TITLE><title>lower</title>", html("lower")},
        {"mixed tags", "<html><title>Mixed</TITLE>", html("Mixed")},
        {"zero byte ends the title", "<html><title>Ab" + std::string(1, '\0') + "cd</title>", html("Ab")},
        {"empty title", "<html><title></title>", html()},
        {"closing tag before opening tag", "<html></title><title>late", html()},
        {"no closing tag in the sample", "<html><title>" + std::string(300, 'x') + "</title>", html()},
        {"no title at all", "<html><body>x</body>", html()},
    });
}

TEST(MarkupFamily, XmlAndHelpset) {
    const std::string helpset = "3C68656C707365742076657273696F6E";
    check_rows({
        {"2 plain xml", "<?xml version=\"1.0\"?><root/>", expected("xml")},
        {"2 helpset", "<?xml version=\"1.0\"?>\r\n<helpset version=\"2.0\">", expected("hs")},
        {"2 helpset at character 32", "<?xml" + std::string(11, ' ') + "<helpset version=\"2.0\">", expected("xml")},
        {"2 helpset at odd character 33", "<?xml" + std::string(11, ' ') + straddling(helpset), expected("hs")},
        {"2 helpset at character 34", "<?xml" + std::string(12, ' ') + "<helpset version=\"2.0\">", expected("hs")},
        {"2 first occurrence only", "<?xml <helpset version=\"1\">" + std::string(20, ' ') + "<helpset version=\"2\">",
         expected("xml")},
    });
}

TEST(MarkupFamily, MailCardsAndClientFiles) {
    check_rows({
        {"3 Return-Path", "Return-Path: <ann@example.org>\r\n", expected("eml")},
        {"3 >From bin", ">From bin Mon Jan  1 00:00:00 2001\r\n", expected("eml")},
        {"3 Delivered-To", "Delivered-To: ann@example.org\r\n", expected("eml")},
        {"3 Received", "Received: from mail.example.org\r\n", expected("eml")},
        {"3 other first header", "Subject: hello\r\n", kNothing},
        {"4 From with quote", "From: \"Ann\" <ann@example.org>\r\n", expected("nsw")},
        {"4 Reply-To with quote", "Reply-To: \"Ann\" <ann@example.org>\r\n", expected("nsw")},
        {"5 saved web archive", "From: <Microsoft Internet Explorer>\r\n", expected("mht,mhtml")},
        {"6 hdml", "<HDML VERSION=3.0>", expected("hdml")},
        {"7 address card", "BEGIN:VCARD\r\nVERSION:2.1\r\n", expected("vcf")},
        {"8 address book", bytes("9CCBCB8D1375D211915800C04F7956A4 01000000"), expected("wab")},
        {"9 mail template",
         file_with(800, {{0, kOle}, {512, kRoot}, {640, "5F005F00700072006F00700065007200"},
                         {768, "5F005F006E0061006D00650069006400"}}),
         expected("oft"), 1024},
        {"9 without __nameid", file_with(800, {{0, kOle}, {512, kRoot}, {640, "5F005F00700072006F00700065007200"}}),
         kNothing, 1024},
        {"10 personal folders", "!BDN" + bytes("CE1A1000"), expected("pst")},
        {"11 rules 2000", bytes("BDF50E0000000000 0100"), expected("rwz", 1, "Outlook 2000")},
        {"12 rules 2002", bytes("40420F0040420F03 0100"), expected("rwz", 1, "Outlook 2002")},
        {"13 shell command", "\r\n[Shell]\r\nCommand=2\r\n", expected("scf")},
        {"14 drawing",
         file_with(1200, {{0, kOle}, {1024, kRoot}, {1152, "56006900730069006F0044006F006300"}}),
         expected("vsd,vss,vst"), 2048},
        {"14 drawing beyond the sample",
         file_with(1200, {{0, kOle}, {1024, kRoot}, {1152, "56006900730069006F0044006F006300"}}), kNothing},
        {"15 vep", bytes("DDFFFFFFF11F98A113B712C50100 0000"), expected("vep")},
    });
}

namespace {
// A theme file whose "}\DefaultIcon] CR LF DefaultValue=" starts at byte n.
std::string theme(std::size_t n) {
    std::string head = "[CLSID\\{";
    head.resize(n, 'A');
    return head + "}\\DefaultIcon]\r\nDefaultValue=%1\r\n";
}
}  // namespace

TEST(SystemFamily, ThemeSectionWithinFirst512Characters) {
    const std::string section = "7D5C44656661756C7449636F6E5D0D0A44656661756C7456616C75653D";
    check_rows({
        {"4 at character 34", theme(17), expected("theme")},
        {"4 at character 32", theme(16), kNothing},
        {"4 at odd character 33", "[CLSID\\{AAAAAAAA" + straddling(section), expected("theme")},
        {"4 ending at character 512", theme(227), expected("theme"), 6000},
        {"4 running past character 512", theme(228), kNothing, 6000},
        {"4 first occurrence only", theme(8) + theme(40), kNothing},
    });
}

TEST(SystemFamily, RowsInOrder) {
    check_rows({
        {"1 clp", bytes("50C30100 0000"), expected("clp")},
        {"2 clp", bytes("50C30300 0000"), expected("clp")},
        {"3 clp", bytes("50C30800 0000"), expected("clp")},
        {"5 wri", bytes("31BE000000AB0000 8000"), expected("wri")},
        {"6 cap", "GMBU" + bytes("00 0102"), expected("cap")},
        {"7 nfo", bytes("7019010000050000 01"), expected("nfo")},
        {"8 idf", "RIFF" + bytes("10000000") + "IDF LIST", expected("idf")},
        {"9 acs", bytes("C3ABCDAB 0100"), expected("acs")},
        {"10 colour profile UCCM", file_with(128, {{0, "00000C48"}, {4, "5543434D"}, {36, "616373704D534654"}}),
         expected("icc")},
        {"10 colour profile other maker", file_with(128, {{0, "00000C48"}, {4, "4150504C"}, {36, "616373704D534654"}}),
         expected("icm")},
        {"11 code page table A", bytes("00000000000000000000004B1E0100000000000000000000000000000000004B"),
         expected("932")},
        {"11 code page table B", bytes("0000000000000000000000821F0F000000000000000000000000000000000027"),
         expected("932")},
        {"12 XML upper case", "<?XML version=\"1.0\"?>", expected("cdf,htt,ins")},
        {"13 solution", "Microsoft Visual Studio Solution File, Format Version 8.00\r\n", expected("sln")},
        {"14 wip", file_with(1040, {{0, kOle}, {512, "FDFFFFFF02000000"}, {1024, kRoot}}), expected("wip"), 2048},
        {"15 catalog", bytes("3082123406092A864886F70D0107"), expected("cat")},
        {"16 tape backup", bytes("544150450000030020020E0200000000"), expected("bkf")},
        {"17 tape volume", "VTBL" + bytes("0100"), expected("qic")},
        {"18 nls", bytes("0D0001000200"), expected("nls")},
        {"19 script lower case", "<script language=\"VBScript\">", expected("script")},
        {"19 script upper case", "<SCRIPT LANGUAGE=\"JavaScript\">", expected("script")},
        {"20 console, cash", file_with(1300, {{0, kOle}, {1152, "6300610073006800"}, {1280, "7400720065006500"}}),
         expected("msc"), 2048},
        {"20 console, data", file_with(1300, {{0, kOle}, {1152, "6400610074006100"}, {1280, "7400720065006500"}}),
         expected("msc"), 2048},
        {"21 fnd", bytes("44460300 0100"), expected("fnd")},
        {"22 batch upper case", "@ECHO OFF\r\n", expected("bat")},
        {"22 batch lower case", "@echo off\r\n", expected("bat")},
        {"23 job", bytes("47040100 0000"), expected("job")},
        {"24 pkg", bytes("4AA3 0100"), expected("pkg")},
        {"25 event log", bytes("300000004C664C65 0100"), expected("evt")},
        {"26 performance chart", bytes("50004500520046002000430048004100520054002000"), expected("pmc")},
        {"27 policy", "regf" + bytes("0100"), expected("pol")},
        {"28 /sbin/sh", "#!/sbin/sh\n", expected("sh")},
        {"28 /usr/bin/sh", "#!/usr/bin/sh\n", expected("sh")},
        {"28 /bin/sh is none of the rows", "#!/bin/sh\n", kNothing},
        {"29 /sbin/csh", "#!/sbin/csh\n", expected("csh")},
        {"29 /usr/bin/csh", "#!/usr/bin/csh\n", expected("csh")},
        {"30 /sbin/ksh", "#!/sbin/ksh\n", expected("ksh")},
        {"30 /usr/bin/ksh", "#!/usr/bin/ksh\n", expected("ksh")},
        {"31 ffa", bytes("8280820801000100"), expected("ffa")},
        {"32 ffl", file_with(40, {{0, "4C"}, {1, "00000002000000"}, {14, "0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"}}),
         expected("ffl")},
        {"33 ffo",
         file_with(4110, {{0, "4C"}, {5, "0000000100000000000000"},
                          {4080, "000000000000000000000000000000000000020000000000"}}),
         expected("ffo"), 6000},
        {"34 full-text index", "Microsoft (R) Full-text index format", expected("ffx")},
        {"36 .mstheme", ".mstheme\r\n", expected("css")},
        {"36 body, two tabs", "body\t\t{font-family: serif}", expected("css")},
        {"36 a:link", "a:link\r\n{color: blue}", expected("css")},
        {"37 certificate", bytes("30820A72308209DB A003"), expected("cer")},
        {"38 keyboard", "DS" + bytes("01 04000001001C"), expected("kbd")},
        {"39 password list", bytes("E3828596 0300"), expected("pwl")},
        {"40 server settings", "vti_encoding:SR|utf8-nl\n", expected("cnf")},
        {"41 dictionary", "DIC" + bytes("0102030405") + "ATOK", expected("dic", 2)},
    });
}

TEST(SystemFamily, StyleSheetRowNeedsSpecialIdentification) {
    const std::string sheet = "body{font-size:10pt}\r\n" + bytes("7F03") + "p{margin:0}";
    check_rows({
        {"35 with option bit 4", sheet, expected("css", 15), 256, 8 | 4},
        {"35 without option bit 4", sheet, kNothing},
    });
}
