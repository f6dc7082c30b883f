// The current-formats layer's images, fonts and documents groups, from
// small files built here: each kind with its detail, the near misses that
// must stay with the classic tables, and the hostile headers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context.hpp"
#include "current/layer.hpp"
#include "current/probe.hpp"
#include "current_cases.hpp"
#include "support.hpp"

namespace {

using oxtarn::test::bytes;
using zarvo::Context;
namespace current = zarvo::current;

std::string be(std::uint64_t v, int n) {
    std::string s;
    for (int i = n - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}
std::string le(std::uint64_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}
std::string zeros(std::size_t n) { return std::string(n, '\0'); }

std::string png_chunk(std::string_view type, std::string_view data) {
    return be(data.size(), 4) + std::string(type) + std::string(data) + be(0, 4);
}
std::string png(std::initializer_list<std::string_view> chunks_before_idat) {
    std::string out = bytes("89504E470D0A1A0A") + png_chunk("IHDR", be(320, 4) + be(200, 4) + bytes("0806000000"));
    for (std::string_view c : chunks_before_idat) out += std::string(c);
    return out + png_chunk("IDAT", "xx") + png_chunk("IEND", "");
}

// A TIFF header and IFD0 of (tag, type, count, value) entries; ASCII values
// longer than four bytes are placed after the directory.
struct Entry {
    unsigned tag;
    std::string ascii;  // empty: a LONG of 1
};
std::string tiff(bool little, std::vector<Entry> entries) {
    auto n16 = [&](std::uint64_t v) { return little ? le(v, 2) : be(v, 2); };
    auto n32 = [&](std::uint64_t v) { return little ? le(v, 4) : be(v, 4); };
    std::string out = little ? std::string("II*\0", 4) + n32(8) : std::string("MM\0*", 4) + n32(8);
    std::size_t data_at = 8 + 2 + 12 * entries.size() + 4;
    std::string dir = n16(entries.size()), data;
    for (const Entry& e : entries) {
        dir += n16(e.tag);
        if (e.ascii.empty()) {
            dir += n16(4) + n32(1) + n32(1);
        } else {
            std::string text = e.ascii + '\0';
            dir += n16(2) + n32(text.size()) + n32(data_at + data.size());
            data += text;
        }
    }
    return out + dir + n32(0) + data + zeros(64);
}

using namespace oxtarn::test::layer;

std::string exr_header() {
    std::string h = bytes("762F3101") + le(2, 4);
    h += std::string("channels\0chlist\0", 16) + le(18, 4) + std::string("R\0", 2) + zeros(16);
    h += std::string("dataWindow\0box2i\0", 17) + le(16, 4) + le(0, 4) + le(0, 4) + le(639, 4) + le(479, 4);
    return h + '\0' + zeros(64);
}

std::string tga_header(unsigned type, unsigned width, unsigned height, unsigned depth) {
    return std::string("\0\0", 2) + static_cast<char>(type) + zeros(9) + le(width, 2) + le(height, 2) +
           static_cast<char>(depth) + '\x20';
}

TEST(CurrentImages, KindsWithTheirSizes) {
    std::string vp8 = "RIFF" + le(100, 4) + "WEBPVP8 " + le(80, 4) + bytes("301000") + bytes("9D012A") + le(400, 2) +
                      le(300, 2) + zeros(60);
    std::string vp8l = "RIFF" + le(100, 4) + "WEBPVP8L" + le(80, 4) + "\x2F" + le((199u << 14) | 99u, 4) + zeros(60);
    std::string vp8x = "RIFF" + le(100, 4) + "WEBPVP8X" + le(10, 4) + le(0x10, 4) + le(1919, 3) + le(1079, 3) +
                       zeros(60);
    std::string pixels(64 * 32 * 3, '\x7F');
    check({
        {"webp lossy", vp8, "webp", "400 x 300"},
        {"webp lossless", vp8l, "webp", "100 x 200"},
        {"webp extended", vp8x, "webp", "1920 x 1080"},
        {"qoi", "qoif" + be(800, 4) + be(600, 4) + "\x04\x00" + zeros(40), "qoi", "800 x 600"},
        {"exr", exr_header(), "exr", "640 x 480"},
        {"radiance", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 48 +X 96\n" + zeros(40), "hdr,pic", "96 x 48"},
        {"dds", "DDS " + le(124, 4) + le(0x1007, 4) + le(256, 4) + le(512, 4) + zeros(120), "dds", "512 x 256"},
        {"ktx", bytes("AB4B5458203131BB0D0A1A0A") + bytes("01020304") + zeros(20) + le(64, 4) + le(32, 4) + zeros(30),
         "ktx", "64 x 32"},
        {"ktx2", bytes("AB4B5458203230BB0D0A1A0A") + le(37, 4) + le(1, 4) + le(128, 4) + le(16, 4) + zeros(60), "ktx2",
         "128 x 16"},
        {"ico holding png", bytes("000001000100") + bytes("0000000001002000") + le(100, 4) + le(22, 4) +
                                bytes("89504E470D0A1A0A") + zeros(80),
         "ico", "PNG inside"},
        {"cur holding png", bytes("000002000100") + bytes("0000000001002000") + le(100, 4) + le(22, 4) +
                                bytes("89504E470D0A1A0A") + zeros(80),
         "cur", "PNG inside"},
        {"apng", png({png_chunk("acTL", be(4, 4) + be(0, 4))}), "apng,png", "320 x 200"},
        {"apng after other chunks", png({png_chunk("iCCP", zeros(5000)), png_chunk("acTL", be(2, 4) + be(0, 4))}),
         "apng,png", "320 x 200"},
        {"tga with footer", tga_header(10, 64, 32, 24) + "rle" + zeros(26) + std::string("TRUEVISION-XFILE.\0", 18),
         "tga,tpic", "64 x 32"},
        {"tga uncompressed, sized exactly", tga_header(2, 64, 32, 24) + pixels, "tga,tpic", "64 x 32"},
        {"dicom", zeros(128) + "DICM" + bytes("02000000554C0400") + zeros(40), "dcm,dicom", ""},
    });
}

TEST(CurrentImages, RawPhotosTellThemselvesApart) {
    check({
        {"cr2", bytes("49492A0010000000435202000000") + zeros(60), "cr2", "Canon raw"},
        {"orf", bytes("4949524F08000000") + zeros(60), "orf", "Olympus raw"},
        {"orf big-endian", bytes("4D4D4F5200000008") + zeros(60), "orf", "Olympus raw"},
        {"rw2", bytes("4949550018000000") + zeros(60), "rw2,raw", "Panasonic raw"},
        {"dng", tiff(true, {{0x010F, "Canon"}, {0xC612, ""}}), "dng", ""},
        {"dng big-endian", tiff(false, {{0x00FE, ""}, {0xC612, ""}}), "dng", ""},
        {"nef", tiff(true, {{0x010F, "NIKON CORPORATION"}, {0x014A, ""}}), "nef,nrw", ""},
        {"arw", tiff(true, {{0x010F, "SONY"}, {0x014A, ""}}), "arw,srf,sr2", ""},
    });
}

TEST(CurrentImages, PlainKindsAndNearMissesAreLeftToTheClassicTables) {
    std::string pixels(64 * 32 * 3, '\x7F');
    check({
        {"plain png", png({png_chunk("tEXt", "a")}), "", ""},
        {"plain tiff", tiff(true, {{0x0100, ""}, {0x010F, "Canon"}}), "", ""},
        {"nikon tiff without raw sub-images", tiff(true, {{0x010F, "NIKON"}}), "", ""},
        {"ico holding a bitmap", bytes("000001000100") + bytes("0000000001002000") + le(100, 4) + le(22, 4) +
                                     bytes("28000000") + zeros(80),
         "", ""},
        {"ico whose image lies past the end", bytes("000001000100") + bytes("0000000001002000") + le(100, 4) +
                                                  le(0xFFFFFF00, 4) + zeros(10),
         "", ""},
        {"tga-like header of the wrong size", tga_header(2, 64, 32, 24) + pixels + "x", "", ""},
        {"riff of another form", "RIFF" + le(100, 4) + "WEBPXXXX" + zeros(40), "", ""},
        {"png chunks lying about their length", bytes("89504E470D0A1A0A") + png_chunk("IHDR", zeros(13)) +
                                                    be(0x7FFFFFF0, 4) + "tEXt",
         "", ""},
    }, &current::images_table());
}

TEST(CurrentFonts, FontKinds) {
    std::string eot = le(0, 4) + le(1000, 4) + le(0x00020001, 4) + zeros(22) + bytes("4C50") + zeros(60);
    eot.replace(0, 4, le(eot.size(), 4));
    check({
        {"ttf", bytes("00010000000C00800003002000") + zeros(40), "ttf", "TrueType"},
        {"ttf, Apple tag", "true" + bytes("000900800003001000") + zeros(40), "ttf", "TrueType"},
        {"otf", "OTTO" + bytes("000A00800003002000") + zeros(40), "otf", "OpenType, CFF outlines"},
        {"ttc", "ttcf" + bytes("00010000") + be(2, 4) + be(20, 4) + be(300, 4) + zeros(40), "ttc", "TrueType collection"},
        {"woff", "wOFF" + bytes("00010000") + zeros(40), "woff", "TrueType outlines"},
        {"woff2 of CFF", "wOF2OTTO" + zeros(40), "woff2", "CFF outlines"},
        {"eot", eot, "eot", "Embedded OpenType"},
        {"sfnt header with a wrong search range", bytes("00010000000C00400003002000") + zeros(40), "", ""},
        {"eot whose size does not match", le(5, 4) + eot.substr(4), "", ""},
    }, &current::fonts_table());
}

TEST(CurrentDocuments, DocumentKinds) {
    std::string pdf_tail = "\ntrailer\n<<>>\nstartxref\n9\n%%EOF\n";
    check({
        {"pdf", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n" + zeros(100) + pdf_tail, "pdf", "PDF 1.7"},
        {"pdf 2.0", "%PDF-2.0\n" + zeros(10), "pdf", "PDF 2.0"},
        {"pdf after junk", "From: someone\r\n\r\n%PDF-1.4\n" + zeros(2000) + pdf_tail, "pdf",
         "PDF 1.4, header at byte 17"},
        {"postscript", "%!PS-Adobe-3.0\n%%Creator: test\n" + zeros(10), "ps", "PostScript, conventions 3.0"},
        {"plain postscript", "%!PS\n/Helvetica findfont\n", "ps", ""},
        {"djvu", "AT&TFORM" + be(100, 4) + "DJVUINFO" + zeros(40), "djvu,djv", "single page"},
        {"djvu bundle", "AT&TFORM" + be(100, 4) + "DJVMDIRM" + zeros(40), "djvu,djv", "multi-page"},
        {"chm", "ITSF" + le(3, 4) + le(96, 4) + le(1, 4) + zeros(60), "chm", "Compiled HTML Help"},
        {"mobi", "A Book" + zeros(54) + "BOOKMOBI" + zeros(40), "mobi,azw,azw3,prc", "Mobipocket"},
        {"eps is left to the classic tables", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\n", "", ""},
        {"a Type 1 font is no document", "%!PS-AdobeFont-1.0: NimbusSans-Regular 1.00\n%%Title: x\n", "", ""},
        {"pdf mentioned in a text without a pdf ending", "A note on %PDF-1.4 files\n" + zeros(40), "", ""},
        {"pdf header past the first KiB", zeros(1100) + "%PDF-1.4\n" + pdf_tail, "", ""},
        {"pdf header without a version", "%PDF-x.y\n" + pdf_tail, "", ""},
    }, &current::documents_table());
}

TEST(CurrentLayer, EmptyAndTinyFilesGetNoAnswer) {
    // Every group's tests look past the first bytes: none may read outside
    // a file that ends before them.
    for (std::string file : {std::string(), std::string(1, '\0'), std::string("%"), std::string("\xFF\xFB"),
                             std::string("fLaC"), std::string("ID3\x03"), std::string("II*\0", 4), std::string("RIFF"),
                             std::string("OggS"), std::string("\x1A\x45\xDF\xA3"), std::string("%PDF-1.")}) {
        Answer a = identify(file);
        EXPECT_EQ(a.candidates, "") << file.size() << " bytes";
    }
}

}  // namespace
