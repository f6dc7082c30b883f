// The video, disc-image and checksum-list families, through the exported
// interface; files these families must leave alone go to the detector alone.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "context.hpp"
#include "families/families.hpp"
#include "hex_image.hpp"
#include "support.hpp"
#include "text.hpp"

using namespace oxtarn::test;

namespace {

constexpr std::uint32_t kPlain = 8;     // quiet
constexpr std::uint32_t kSpecial = 12;  // quiet + special identification

using Case = RowCase;


using Detector = const zarvo::rules::Table& (*)();  // a family's table

std::string alone(Detector detect, std::string_view content) {
    zarvo::Context ctx;
    return zarvo::rules::run(detect(), zarvo::HexImage::of_bytes(content), ctx);
}

std::string ascii(std::string_view text) { return std::string(text); }

}  // namespace

// ---- video ----------------------------------------------------------------------

TEST(VideoFamily, Rows) {
    check_rows({
        {"3", file_with(64, {{0, "00010000 6D646174"}}), expected("mov,qt")},
        {"3", file_with(64, {{0, "00010000 6D6F6F76"}}), expected("mov,qt")},
        {"3", file_with(64, {{0, "00010000 706E6F74"}}), expected("mov,qt")},
        {"3", file_with(64, {{0, "00010000 77696465"}}), expected("mov,qt")},
        {"3", file_with(64, {{0, "6869686F"}}), expected("mov,qt")},
        {"5", file_with(64, {{0, "000001B3 16000F"}}), expected("m1v,m2v")},
        {"6", file_with(64, {{0, "4D534C0000000000"}}), expected("msl")},
        {"7", file_with(64, {{0, "4D4D530000000000"}}), expected("mms")},
        {"8", file_with(64, {{0, "000001BA44"}}), expected("vob,pss")},
        {"9", file_with(64, {{0, "7B"}, {5, "56657273696F6E3A566976"}}), expected("viv")},
        {"10", file_with(64, {{0, "6001018000"}}), expected("str")},
        {"11", file_with(64, {{0, "445644564944454F2D564D47"}}), expected("bup,ifo")},
        {"11", file_with(64, {{0, "445644564944454F2D565453"}}), expected("bup,ifo")},
        // FLIC headers also hold row 15; the specific rows come first. (Their
        // first byte is no A0, 81, 82 or C0, which the console family's copier
        // test would take when bytes 16 to 31 are zero.)
        {"12", file_with(128, {{0, "B486010012AF"}, {11, "001000030043"}}), expected("flx")},
        {"13", file_with(128, {{0, "B486010012AF"}, {11, "000800030043"}}), expected("flc")},
        {"14", file_with(128, {{0, "B486010011AF"}, {8, "4001C80008000000"}}), expected("fli")},
        {"15", file_with(128, {{0, "B486010012AF"}}), expected("flc,fli")},
        {"15", file_with(128, {{0, "B486010011AF"}}), expected("flc,fli")},
        {"16", file_with(64, {{0, "AAAA0000"}}), expected("epc")},
        {"17", file_with(64, {{0, "4C69636B"}}), expected("lqt")},
        {"18", file_with(64, {{0, "52494646 20000000 636D7020"}}), expected("cmf")},
        {"19", file_with(64, {{0, "00000000000E41534B59"}}), expected("sky")},
        {"20", ascii("<ASX version=\"3.0\">"), expected("asx")},
        {"20", ascii("<asx version=\"3.0\">"), expected("asx")},
        {"20", ascii("ASF http://host/clip.asf"), expected("asx")},
        {"21", ascii("vdo://host/clip"), expected("vdo")},
        {"22", ascii("STREAM 1"), expected("xdm")},
        {"23", ascii("pnm://host/clip.ra"), expected("ra,ram,rm")},
        {"24", file_with(64, {{0, "2E7261FD 0003"}}), expected("ra,ram", 2)},
        {"24", file_with(64, {{0, "2E524D46 00000012"}}), expected("ra,ram", 2)},
        {"25", ascii("rtsp://host/clip.rm"), expected("smi")},
    });
}

TEST(VideoFamily, AviSubRowsReadBytes20And2048WithSpecialIdentification) {
    auto avi = [](std::size_t at, std::string_view hex) {
        return file_with(2100, {{0, "52494646 00100000 41564920 4C495354"}, {at, hex}});
    };
    check_rows({
        {"2a", avi(20, "44463830"), expected("avi", 13), 256, kSpecial},
        {"2b", avi(2048, "30306462409C00"), expected("avi", 10, sj("DOS版")), 3000, kSpecial},
        {"2c", avi(2048, "30306462280A00"), expected("avi", 14), 3000, kSpecial},
        // Byte 2048 lies beyond the default sample.
        {"2d", avi(2048, "30306462409C00"), expected("avi"), 256, kSpecial},
        {"2d", avi(2048, "30306462409C00"), expected("avi"), 3000},
        {"2d", avi(20, "44463830"), expected("avi")},
    });
}

TEST(VideoFamily, MpegDetailOnlyWhenTheImageEndsRightAfterTheTag) {
    auto mpeg = [](std::size_t size, std::string_view tag) {
        return file_with(size, {{0, "000001BA21000100018003E1"}, {112, tag}});
    };
    check_rows({
        {"4", mpeg(116, "6D703400"), expected("mpg,mpeg,mpe", 1, "Microsoft MPEG-4 v1")},
        {"4", mpeg(116, "6D703432"), expected("mpg,mpeg,mpe", 1, "Microsoft MPEG-4 v2")},
        {"4", mpeg(116, "6D703433"), expected("mpg,mpeg,mpe", 1, "Microsoft MPEG-4 v3")},
        {"4", mpeg(116, "64697678"), expected("mpg,mpeg,mpe", 1, "DivX v4")},
        {"4", mpeg(116, "6D703434"), expected("mpg,mpeg,mpe")},
        {"4", mpeg(117, "6D703400"), expected("mpg,mpeg,mpe")},
        // The same file read with a sample that stops after the tag.
        {"4", mpeg(300, "6D703432"), expected("mpg,mpeg,mpe", 1, "Microsoft MPEG-4 v2"), 116},
    });
}

TEST(VideoFamily, AsfHeaderIsTakenByTheAudioFamilyFirst) {
    std::string asf = file_with(64, {{0, "3026B2758E66CF11A6D900AA0062CE6C"}});
    EXPECT_EQ(identify_bytes(asf), expected("wma,wmv,asf"));
    EXPECT_EQ(alone(zarvo::families::video_table, asf), "asf");
}

TEST(VideoFamily, LeavesOtherFilesAlone) {
    for (const std::string& content : {
             file_with(64, {{0, "00000018 66747970 6D703432"}}),  // QuickTime starting with ftyp
             file_with(64, {{0, "000001BA30"}}),                   // pack byte neither 21 nor 44
             file_with(64, {{0, "52494646 20000000 41564A20"}}),   // RIFF without AVI
         }) {
        EXPECT_EQ(alone(zarvo::families::video_table, content), "");
    }
}

// ---- disc images ---------------------------------------------------------------

TEST(DiscFamily, Rows) {
    const std::string compound = file_with(1700, {{0, "D0CF11E0A1B11AE1"},
                                                  {1024, "52006F006F007400"},
                                                  {1536, "52006F006F007400"},
                                                  {1664, "43006F006E00740065006E0074007300"}});
    check_rows({
        {"2", ascii("Vaku, Teso-ra. image"), expected("lcd")},
        {"3", file_with(32800, {{32768, "014344303031"}}), expected("iso,img"), 40000},
        {"4", file_with(37700, {{37656, "014344303031"}}), expected("iso"), 40000},
        {"5", file_with(64, {{0, "0E4E65726F49534F"}}), expected("nri,nrb")},
        {"6", file_with(64, {{0, "0D4E65726F43444156"}}), expected("nra")},
        {"7", file_with(64, {{0, "00000700DB000000D007020000001B00"}}), expected("cdj")},
        {"8", file_with(64, {{32, "00DB000000D107060006001E0003000B"}}), expected("cdj")},
        {"9", file_with(64, {{0, "46617253746F6E65"}}), expected("vcd")},
        {"10", compound, expected("cl4,cl3,fla,fmm,tcs"), 2000},
        {"11", file_with(64, {{0, "00FFFFFFFFFFFFFFFFFFFF0000020001"}}), expected("bin,bwi", 3)},
        {"12", ascii("BLINDWRITE TOC FILE"), expected("bwt")},
        {"13", ascii("[CloneCD]\r\nVersion=3\r\n"), expected("ccd")},
        {"14", file_with(64, {{0, "FFFFFFFFFFFFFFFFFFFFFFFF41010100"}}), expected("sub")},
        {"15", file_with(64, {{0, "00FFFFFFFFFFFFFFFFFFFF0001820061"}}), expected("img", 2)},
        {"16", file_with(64, {{0, "43445220"}}), expected("cdr")},
        {"17", file_with(64, {{0, "5249464631000000696D616700000000"}}), expected("cif")},
        {"18", file_with(64, {{0, "76657220"}, {10, "501201000000"}}), expected("2hd")},
        {"19", file_with(64, {{0, "EB3C904D53444F53"}}), expected("tfd,hd4")},
        {"19", file_with(64, {{0, "EB34904D53444F53"}}), expected("tfd,hd4")},
        {"20", file_with(64, {{16, "02E000400BF009001200020000000000"}}), expected("dat", 2)},
        {"21", file_with(64, {{0, "03010101010101010101010101010101"}}), expected("dcu,dcp", 2)},
        {"22", file_with(64, {{0, "564644312E303000"}}), expected("fdd")},
        {"23", file_with(64, {{0, "00000000300000000010000000801600"}}), expected("fdi")},
        {"24", file_with(64, {{0, "543938464444494D414745"}}), expected("nfd")},
        {"25", file_with(64, {{0, "4552435646443031"}}), expected("vfd", 2)},
        {"26", file_with(64, {{0, "543938484444494D414745"}}), expected("nhd")},
        {"27", file_with(64, {{16, "0002000011000000"}}), expected("hdi")},
        {"28", file_with(64, {{32, "A0020000A0130000"}}), expected("d88")},
        {"28", file_with(64, {{32, "B0020000B0130000"}}), expected("d88")},
        {"28", file_with(64, {{32, "B0020000C0140000"}}), expected("d88")},
        {"29", file_with(64, {{0, "8107000000000000"}}), expected("thd")},
        {"30", file_with(64, {{0, "564844"}}), expected("hdd")},
        {"31", file_with(64, {{0, "FEEF"}, {6, "B83B0101"}}), expected("gho")},
        {"32", ascii("TZSCD-DISC-IMAGE"), expected("cds")},
        {"33", file_with(64, {{0, "DADAFEFE00"}}), expected("gi")},
        {"34", file_with(64, {{0, "CBE25504"}}), expected("pxj")},
    });
}

TEST(DiscFamily, FcdTitleRunsToTheFirstZeroByte) {
    auto fcd = [](std::string_view title_hex) { return file_with(200, {{12, title_hex}, {140, "464344"}}); };
    const std::string japanese = zarvo::text::to_hex(sj("シャル")) + "00";
    check_rows({
        {"1", fcd("41424300"), expected("fcd", 1, "Title=ABC")},
        {"1", fcd(japanese), expected("fcd", 1, sj("Title=シャル"))},
        {"1", fcd("00"), expected("fcd", 1, "Title=")},
        // "00" straddling bytes 13 and 14 ends the title after byte 13, which
        // is kept whole (50 is P), as in the other terminated titles.
        {"1", fcd("4150054200"), expected("fcd", 1, "Title=AP")},
    });
}

// ---- checksum and name lists ----------------------------------------------------

TEST(ChecksumLists, Rows) {
    check_rows({
        {"1", ascii("Name                 CRC        Byte\r\nfile.bin  1234ABCD  100\r\n"), expected("crc")},
        {"1", ascii("NameCRCByte"), expected("crc")},
        {"2", ascii("03AB list"), expected("sslst")},
        {"2", ascii("0309"), expected("sslst")},
        {"2", ascii("03Z0"), expected("sslst")},
    });
}

TEST(ChecksumLists, LeavesOtherFilesAlone) {
    for (std::string_view text : {
             "Name   CRC   Size",   // no Byte
             "Name   Byte   CRC",   // Byte before CRC
             "Nam",                 // shorter than Name
             "03ab",                // lowercase letters do not count
             "03@[", "03/:",        // just outside A-Z and 0-9
             "03A",                 // byte 3 missing
         }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(alone(zarvo::families::checksum_lists_table, text), "");
    }
}
