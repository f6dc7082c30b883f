// The picture family, through the exported interface: one small file per
// row and branch, the whole result record checked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "families/families.hpp"
#include "support.hpp"

using namespace oxtarn::test;

namespace {

constexpr std::uint32_t kPlain = 8;     // quiet
constexpr std::uint32_t kSpecial = 12;  // quiet and special identification

using Case = RowCase;


// The picture detector alone, for files that no row of it takes.
std::string picture_alone(const std::string& content, std::uint32_t options = kPlain) {
    zarvo::Context ctx;
    ctx.options = options;
    return zarvo::rules::run(zarvo::families::picture_table(), zarvo::HexImage::of_bytes(content), ctx);
}

// A 54-byte header of a 16 x 16, 24-bit picture; bytes 46 to 53 are zero.
const std::string kBmpHeader =
    "424D360300000000000036000000280000001000000010000000010018000000000000030000130B0000130B00000000000000000000";
std::string bmp(std::initializer_list<std::pair<std::size_t, std::string_view>> parts) {
    std::string out = file_with(120, {{0, kBmpHeader}});
    for (const auto& [offset, hex] : parts) out.replace(offset, hex.size() / 2, bytes(hex));
    return out;
}

// JFIF start: FF D8, the APP0 segment with "JFIF", version 1.1, 72 dpi.
constexpr std::string_view kJfif = "FFD8FFE000104A46494600010101004800480000";
std::string jfif(std::size_t size, std::initializer_list<std::pair<std::size_t, std::string_view>> parts) {
    std::string out = file_with(size, {{0, kJfif}});
    for (const auto& [offset, hex] : parts) out.replace(offset, hex.size() / 2, bytes(hex));
    return out;
}

// PNG signature and an IHDR chunk (bytes 8 to 32); byte 33 starts the next chunk.
constexpr std::string_view kPngHead = "89504E470D0A1A0A0000000D494844520000001000000010080200000090915A3C";

// An animated cursor: RIFF, ACON, a LIST chunk whose INAM text starts at byte 32.
std::string cursor(std::string_view title_hex) {
    return bytes("524946465C00000041434F4E4C49535412000000494E464F494E414D0A000000") + bytes(title_hex);
}

}  // namespace

TEST(PictureFamily, PlainRows) {
    check_rows({
        {"1", bytes("8A4D4E470D0A1A0A"), expected("mng")},
        {"2", bytes("8B4A4E470D0A1A0A"), expected("jng")},
        {"5", bytes("00000100010020200000010020000000"), expected("ico")},
        {"6", "%!PS-Adobe-3.0 EPSF-3.0\n", expected("ai,eps")},
        {"9", bytes("1B47481B47500000"), expected("rle", 2)},
        {"12", bytes("FF4FFF51002F0000"), expected("j2k")},
        {"13", bytes("100000000200000000000000000000000000000000000000000000000000000000"), expected("tim")},
        {"15", bytes("0A0501080000000013001300"), expected("pcx")},
        {"16", bytes("00000200010020200000010001000300"), expected("cur")},
        {"17", bytes("C5D0D3C61E000000"), expected("eps,ai,ps")},
        {"18", "LinS\x10", expected("msp")},
        {"19", bytes("80E800000100"), expected("pxr")},
        {"20", bytes("D7CDC69A0000"), expected("wmf")},
        {"21 II", bytes("49492A0008000000"), expected("tif,tiff,tcf")},
        {"21 MM", bytes("4D4D002A00000008"), expected("tif,tiff,tcf")},
        {"22", bytes("384250530001000000000000"), expected("psd,pdd")},
        {"23", "Paint Shop Pro Image File\n\x1A", expected("psp")},
        {"24", file_with(120, {{80, "4354000000000000"}}), expected("sct,ct")},
        {"26 header", file_with(512, {{0, "00000002"}}), expected("mac")},
        {"26 short form", bytes("000143414E56") + "data", expected("mac")},
        {"27", "MAKI02  user", expected("mag")},
        {"28", bytes("59A66A950000001000000010"), expected("ras")},
        {"29", bytes("464F524D00000100494C424D424D4844"), expected("lbm,iff")},
        {"30 PICT", "PICT....", expected("pct")},
        {"30 zeros", file_with(162, {{0, "007843"}}), expected("pct")},  // 320 zero digits; byte 1 = 78 is not "mac"
        {"31", bytes(kPngHead), expected("png")},
        {"32", bytes("3412000100000000"), expected("pic")},
        {"33", bytes("41542654464F524D00001000444A56550000"), expected("djv,djvu")},
        {"34", bytes("FF575043100000000100"), expected("wpg")},
        {"37", file_with(64, {{0, "010000006C000000"}, {40, "20454D46"}}), expected("emf")},
        {"38", std::string(72, ' ') + "S      1\n", expected("igs")},
        {"39", "srcdocid: NONE\r\n", expected("cal")},
        {"40", bytes("0001000800010001005500550000"), expected("img", 3)},
        {"41", "MET'S PhotoCrew 1.0", expected("pcf", 2)},
        {"42", "MET'S G.CCREW", expected("md2")},
        {"43", "ABCDMET'S BANNER", expected("mbx,mbt")},
        {"44", "MET'S 3D BANNER", expected("m3d,m3t", 2)},
        {"45 32-bit", bytes("000002000000000000000000100010002000FFFFFF00"), expected("tga")},
        {"45 24-bit", bytes("000002000000000000000000100010001800FFFFFFFF"), expected("tga")},
        {"47", file_with(40, {{15, "57696E646F777320447261772044726177"}}), expected("drw")},
        {"48", "SFW94A\x01", expected("sfw")},
        {"49", bytes("574946320300FF00"), expected("wif")},
        {"50", bytes("4D44434D00000100"), expected("dcm,dicom")},
        {"51", bytes("414C5F42414E4B0001"), expected("abk")},
        {"52", bytes("414C4641522050616C657474650001"), expected("alp")},
        {"53", bytes("414C464152205061747465726E0001"), expected("atp")},
        {"54", bytes("4159410001"), expected("aya")},
        {"55", "\r\n\tDEFB\t0,0", expected("ldm")},
        {"56", "JASC-PAL\r\n0100\r\n", expected("pal", 2)},
        {"58", "JASC Selection Mask File", expected("sel")},
        {"59", "BLENDER-v249", expected("blend")},
        {"60", "  0\r\nSECTION\r\n  2\r\nHEADER", expected("dxf")},
        {"61", "AC1015", expected("dwg")},
        {"62", "(DWF V06.00)", expected("dwf")},
        {"63", bytes("5059524100010000"), expected("pyr")},
        {"64", "Voodoo Ascii File\n", expected("p3d")},
        {"65", "<v:group id=\"a\">", expected("vml")},
        {"66", bytes("0809FE020108000000"), expected("dgn")},
        {"67 first", bytes("FF1AFF19FF17FF1E00"), expected("fmz")},
        {"67 second", bytes("FF20FF17FF1CFF5000"), expected("fmz")},
        {"68", bytes("53436174000001000000"), expected("smd", 2)},
        {"69", std::string("Version 4.00   \0", 16), expected("drw", 2)},
        {"70 yhd", bytes("88BB0000003600"), expected("yhd")},
        {"70 yhc", bytes("88BB0000003700"), expected("yhc")},
        {"71", "NOBU9VERSION", expected("nb9")},
        {"72", "NOBU9EDITB_V3", expected("n9b")},
    });
}

TEST(PictureFamily, DetailTexts) {
    check_rows({
        {"4h GIF89a", "GIF89a\x10", expected("gif", 1, sj("89a形式"))},
        {"4h GIF87a", "GIF87a\x10", expected("gif", 1, sj("87a形式"))},
        {"11", bytes("FFD8FFE11234457869660000"), expected("jpg", 1, sj("EXIF形式"))},
        {"14a", "P4\n# x\n8 1\n\xFF", expected("pbm", 1, "Mode:BINARY")},
        {"14b", "P1\n# x\n1 1\n1", expected("pbm", 1, "Mode:ASCII")},
        {"14c", "P5\n# x\n1 1\n255\n\x80", expected("pgm", 1, "Mode:BINARY")},
        {"14d", "P2\n# x\n1 1\n255\n128", expected("pgm", 1, "Mode:ASCII")},
        // P3 and P6 hold the test of group 14 but none of its rows.
        {"35", "P3\n# x\n1 1\n255\n0 0 0", expected("ppm", 1, sj("ASCII形式"))},
        {"36", "P6\n# x\n1 1\n255\n\x01\x02\x03", expected("ppm", 1, sj("BINARY形式"))},
        {"7a", bytes("524946460000000041434F4E616E696824000000"), expected("ani")},
        {"7b", cursor("437572736F7200") + "rest", expected("ani", 1, "Cursor")},
        // The last byte, 70, ends in the terminator's first digit.
        {"7b last byte x0", cursor("53746F7000") + "rest", expected("ani", 1, "Stop")},
        {"7b no terminator", cursor("476F"), expected("ani")},
        {"7 goes on to 57", bytes("5249464610000000" "50414C2064617461"), expected("pal")},
    });
}

TEST(PictureFamily, CompoundFiles) {
    const std::string picture_it =
        file_with(2100, {{0, "D0CF11E0A1B11AE1"}, {1024, "52006F006F007400"},
                         {2080, "4D6963726F736F66742050696374757265204974"}});
    const std::string comp_obj = file_with(1700, {{0, "D0CF11E0A1B11AE1"}, {1024, "52006F006F007400"},
                                                  {1536, "52006F006F007400"},
                                                  {1666, "43006F006D0070004F0062006A00"}});
    // Group 3 holds and falls through to row 25; DJVU at byte 12 is row 33.
    const std::string yukjdq = file_with(1300, {{0, "D0CF11E0A1B11AE1"}, {12, "444A5655"},
                                                {1024, "52006F006F007400"},
                                                {1156, "790075006B006A0064007100"},
                                                {1284, "790075006B006A0064007100"}});
    const std::string root_entry = "52006F006F007400200045006E007400";
    const std::string summary = file_with(1500, {{0, "D0CF11E0A1B11AE1"}, {1024, root_entry},
                                                 {1152, "0500530075006D006D00610072007900"},
                                                 {1408, "05004400610074006100"}});
    const std::string global = file_with(1400, {{0, "D0CF11E0A1B11AE1"}, {1024, root_entry},
                                                {1152, "0067615654"},
                                                {1280, "050047006C006F00620061006C0020"}});
    // Summary without Data: row 46 does not hold, row 47 does.
    const std::string half = file_with(1500, {{0, "D0CF11E0A1B11AE1"}, {15, "57696E646F777320447261772044726177"},
                                              {1024, root_entry}, {1152, "0500530075006D006D00610072007900"}});
    check_rows({
        {"3a", picture_it, expected("mix", 1, "Picture It 2.0-3.0"), 3000},
        {"3b", comp_obj, expected("mix"), 2000},
        {"25", yukjdq, expected("upx,tpx"), 1296},
        {"25 sample short of byte 1296", yukjdq, expected("djv,djvu"), 1295},
        {"46 summary", summary, expected("fpx"), 2000},
        {"46 global", global, expected("fpx"), 2000},
        {"46 goes on to 47", half, expected("drw"), 2000},
    });
}

TEST(PictureFamily, GifSpecialRows) {
    const std::string gif = bytes("474946383961100010008000");
    auto at = [&](std::size_t offset, std::string_view hex) {
        std::string out = gif + std::string(1000, '\0');
        out.replace(offset, hex.size() / 2, bytes(hex));
        return out;
    };
    const std::string totog = at(792, "746F746F67202020");
    check_rows({
        {"4a", at(784, "0000080008000008"), expected("gif", 11), 1000, kSpecial},
        {"4b", totog, expected("gif", 12), 1000, kSpecial},
        {"4b sample short of byte 792", totog, expected("gif", 1, sj("89a形式")), 256, kSpecial},
        {"4c", "GIF89z\x10", expected("gif", 13), 256, kSpecial},
        {"4c without the option", "GIF89z\x10", expected("gif", 1, sj("89a形式"))},
        {"4d", at(16, "0000002C00000000E803E8034002FF8C8FA9CBED0FA39CB4DA8BB3DEBCFB0F86E24896E689A6EACAB6EE0BC7F24CD7F6"),
         expected("gif", 15), 256, kSpecial},
        {"4e", at(784, "00004001E0010708FC00"), expected("gif", 14), 1000, kSpecial},
        {"4f", at(8, "01008000000000000101012C00000000010001000002024C"), expected("gif", 17), 256, kSpecial},
        {"4g", at(170, "43616D6F75666C616765206279"), expected("gif", 18), 256, kSpecial},
        {"4h with the option", at(400, "00"), expected("gif", 1, sj("89a形式")), 1000, kSpecial},
    });
}

TEST(PictureFamily, BitmapRows) {
    const std::string marked = bmp({{54, "FF0000FE0000FF0000FF0000FF0000FF0000FC0000FF0000FD0000"}});
    check_rows({
        {"8f", bmp({}), expected("bmp,dib,2bp,rle")},
        {"8f without the option", marked, expected("bmp,dib,2bp,rle")},
        {"8a before 8b", marked, expected("bmp", 12), 256, kSpecial},
        {"8b FC", bmp({{54, "FC1020"}}), expected("bmp", 10, "Level 1"), 256, kSpecial},
        {"8b FD", bmp({{54, "FD1020"}}), expected("bmp", 10, "Level 2"), 256, kSpecial},
        {"8b FE", bmp({{54, "FE1020"}}), expected("bmp", 10, "Level 3"), 256, kSpecial},
        {"8b FF", bmp({{54, "FF1020"}}), expected("bmp", 10, "Level 4"), 256, kSpecial},
        {"8b not FFFFFF", bmp({{54, "FFFFFF"}}), expected("bmp,dib,2bp,rle"), 256, kSpecial},
        {"8b not FF00FF", bmp({{54, "FF00FF"}}), expected("bmp,dib,2bp,rle"), 256, kSpecial},
        {"8b not FB", bmp({{54, "FB1020"}}), expected("bmp,dib,2bp,rle"), 256, kSpecial},
        {"8b needs bytes 48 to 53 zero", bmp({{50, "01"}, {54, "FE1020"}}), expected("bmp,dib,2bp,rle"), 256, kSpecial},
        {"8c", file_with(120, {{0, "424D62010080030000003600000028000000004000000100000001001800000000002C010000C40E0000C40E00000000"}}),
         expected("bmp", 15), 256, kSpecial},
        {"8d", bmp({{54, "435257"}}), expected("bmp", 11), 256, kSpecial},
        {"8e", bmp({{65, "FE20010000"}}), expected("bmp", 14), 256, kSpecial},
    });
}

TEST(PictureFamily, JfifRows) {
    auto with_blocks = [&](std::string_view at_1008) {
        std::string out = jfif(1100, {{32, "7020332E30003842494D03ED00000000"},
                                      {64, "00023842494D040D0000000000040000"},
                                      {96, "0000000000003842494D040A00000000"}});
        if (!at_1008.empty()) out.replace(1008, at_1008.size() / 2, bytes(at_1008));
        return out;
    };
    const std::string with_494A = with_blocks("494A59F9");
    std::string blocks_and_usojpeg = with_blocks("");
    blocks_and_usojpeg.replace(20, 7, "USOJPEG");
    check_rows({
        {"10j", jfif(64, {}), expected("jpg,jpeg,jif,jpe,jfi,jfif")},
        {"10a", jfif(64, {{10, "FFFF"}}), expected("jpg", 13), 256, kSpecial},
        {"10a without the option", jfif(64, {{10, "FFFF"}}), expected("jpg,jpeg,jif,jpe,jfi,jfif")},
        {"10c", jfif(400, {{320, "211231054151611322718132061491A1"}}), expected("jpg", 14), 512, kSpecial},
        {"10d", jfif(100, {{64, "1F2524221F2221262B372F26293429212230413134393B3E3E3E252E4449433C"}}),
         expected("jpg", 12), 256, kSpecial},
        {"10e", with_494A, expected("jpg", 15), 2000, kSpecial},
        {"10e sample short of byte 1012", with_494A, expected("jpg,jpeg,jif,jpe,jfi,jfif"), 1000, kSpecial},
        {"10f", with_blocks("33368C3A"), expected("jpg", 17), 2000, kSpecial},
        {"10e and 10f go on with 10g", blocks_and_usojpeg, expected("jpg", 16), 2000, kSpecial},
        {"10g USOJPEG", jfif(64, {{20, "55534F4A504547"}}), expected("jpg", 16), 256, kSpecial},
        {"10g GEPJOSU", jfif(64, {{25, "4745504A4F5355"}}), expected("jpg", 16), 256, kSpecial},
        {"10h", jfif(64, {{16, "00480000FFDB004300A06E788C7864A08C828CB4AAA0BEF0FFFFF0DCDCF0FFFF"}}),
         expected("jpg", 21), 256, kSpecial},
    });
}

TEST(PictureFamily, JfifRunOfSixteenC) {
    // Row 10b: the first run of sixteen 63 bytes must start at a character
    // position p with 192 < p < 512; odd positions count.
    const std::string run_even = "63636363636363636363636363636363";
    const std::string run_odd = "0636363636363636363636363636363630";  // the run starts one digit in
    struct Place {
        std::size_t byte;
        const std::string* hex;
        bool holds;
    };
    const std::vector<Place> places = {
        {96, &run_even, false},  // p = 192
        {96, &run_odd, true},    // p = 193
        {255, &run_odd, true},   // p = 511
        {256, &run_even, false}, // p = 512
    };
    for (const Place& place : places) {
        SCOPED_TRACE(place.byte * 2 + (place.hex == &run_odd ? 1 : 0));
        Record want = place.holds ? expected("jpg", 11) : expected("jpg,jpeg,jif,jpe,jfi,jfif");
        EXPECT_EQ(identify_bytes(jfif(400, {{place.byte, *place.hex}}), 1000, kSpecial), want);
    }
    // Only the first occurrence counts.
    EXPECT_EQ(identify_bytes(jfif(400, {{50, run_even}, {100, run_even}}), 1000, kSpecial),
              expected("jpg,jpeg,jif,jpe,jfi,jfif"));
}

TEST(PictureFamily, OtherSpecialSubRows) {
    const std::string ramp = "D0D0C0C0A0A090908080707060604040";
    const std::string tiff = file_with(800, {{0, "49492A0008000000"}, {240, ramp}, {752, ramp}});
    const std::string tiff_240_only = file_with(800, {{0, "49492A0008000000"}, {240, ramp}});
    const std::string cur = file_with(64, {{0, "0000020001002020"},
        {8, "000104000300A80800001600000028000000200000004000000001000800000000008004000000000000000000000000"}});
    const std::string png_nayu = bytes(std::string(kPngHead) + "000000046E61597500000000");
    const std::string png_2001 =
        bytes(std::string(kPngHead) + "0000000774494D4507D1010101010100000000" + "0000001049444154" + "78DA0000");
    check_rows({
        {"21s", tiff, expected("tif", 15), 1000, kSpecial},
        {"21s needs both ramps", tiff_240_only, expected("tif,tiff,tcf"), 1000, kSpecial},
        {"21s sample short of byte 752", tiff, expected("tif,tiff,tcf"), 256, kSpecial},
        {"16s", cur, expected("cur", 15), 256, kSpecial},
        {"16s without the option", cur, expected("cur")},
        {"31s1", png_nayu, expected("png", 11), 256, kSpecial},
        {"31s1 without the option", png_nayu, expected("png")},
        {"31s2", png_2001, expected("png", 10), 256, kSpecial},
    });
}

TEST(PictureFamily, FilesNoRowTakes) {
    // 319 and 321 zero digits are not row 30; AC then A is not row 61.
    EXPECT_EQ(picture_alone(bytes("007843") + std::string(158, '\0')), "");
    EXPECT_EQ(picture_alone(bytes("007843") + std::string(159, '\0') + "\x01"), "");
    EXPECT_EQ(picture_alone("ACA015\x01\x02"), "");
    // RIFF without ACON or PAL goes through rows 7 and 57.
    EXPECT_EQ(picture_alone(bytes("5249464624000000" "57415645666D7420")), "");
    // Group 14 without one of P1, P2, P4, P5 answers nothing of its own.
    EXPECT_EQ(picture_alone("P7\n# x\n"), "");
}

// Row 30 counts the zero digits of the whole head image: one more or one
// fewer than 320 is no picture (the count stops early only when it may).
TEST(PictureFamily, ExactlyThreeHundredTwentyZeroDigits) {
    for (std::size_t size : {161u, 162u, 163u}) {
        Record r = identify_bytes(file_with(size, {{0, "007843"}}));
        EXPECT_EQ(r.extension == "pct", size == 162) << size << " bytes: " << r;
    }
}
