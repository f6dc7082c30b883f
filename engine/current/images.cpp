// The current-formats layer: image kinds the classic tables miss or misname.
#include <string>
#include <string_view>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

std::string size_text(std::uint64_t width, std::uint64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// Sets the detail to the picture's size and answers `kind`.
std::string sized(Context& ctx, std::uint64_t width, std::uint64_t height, std::string_view kind) {
    ctx.detail = size_text(width, height);
    return std::string(kind);
}

// ---- WebP -------------------------------------------------------------------

std::string webp(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    if (!bytes::has(h, 0, 30)) return {};
    if (bytes::at(h, 12, "VP8 ") && bytes::at(h, 23, "\x9D\x01\x2A"))
        return sized(ctx, bytes::le16(h, 26) & 0x3FFF, bytes::le16(h, 28) & 0x3FFF, "webp");
    if (bytes::at(h, 12, "VP8L") && bytes::u8(h, 20) == 0x2F) {
        std::uint32_t bits = bytes::le32(h, 21);
        return sized(ctx, (bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1, "webp");
    }
    if (bytes::at(h, 12, "VP8X"))
        return sized(ctx, bytes::le(h, 24, 3) + 1, bytes::le(h, 27, 3) + 1, "webp");
    return {};
}

// ---- PNG with an animation control chunk ------------------------------------------

// An APNG holds acTL before its first IDAT; a plain PNG is left to the classic tables.
std::string apng(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view ihdr = probe.read(8, 25);
    if (!bytes::at(ihdr, 4, "IHDR") || bytes::be32(ihdr, 0) != 13) return {};
    std::uint64_t at = 8;
    for (int chunk = 0; chunk < 64; ++chunk) {
        std::string_view c = probe.read(at, 8);
        if (c.size() < 8) return {};
        std::string_view type = c.substr(4, 4);
        if (type == "acTL") return sized(ctx, bytes::be32(ihdr, 8), bytes::be32(ihdr, 12), "apng,png");
        if (type == "IDAT" || type == "IEND") return {};
        at += 12 + static_cast<std::uint64_t>(bytes::be32(c, 0));
    }
    return {};
}

// ---- OpenEXR ---------------------------------------------------------------------

// The header's attributes (name, type, size, value) from byte 8: the data
// window gives the size.
std::string exr(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::size_t at = 8;
    for (int n = 0; n < 128 && at < h.size(); ++n) {
        std::size_t name_end = h.find('\0', at);
        if (name_end == std::string_view::npos || name_end == at) break;  // an empty name ends the header
        std::size_t type_end = h.find('\0', name_end + 1);
        if (type_end == std::string_view::npos || !bytes::has(h, type_end + 1, 4)) break;
        std::uint32_t size = bytes::le32(h, type_end + 1);
        std::size_t value = type_end + 5;
        if (h.substr(at, name_end - at) == "dataWindow" && size == 16 && bytes::has(h, value, 16)) {
            auto s32 = [&](std::size_t i) { return static_cast<std::int32_t>(bytes::le32(h, value + 4 * i)); };
            std::int64_t w = std::int64_t(s32(2)) - s32(0) + 1, hgt = std::int64_t(s32(3)) - s32(1) + 1;
            if (w > 0 && hgt > 0) ctx.detail = size_text(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(hgt));
            break;
        }
        if (size > h.size() - value) break;
        at = value + size;
    }
    return "exr";
}

// ---- Radiance HDR ------------------------------------------------------------------

// After the header's blank line: "-Y height +X width".
std::string radiance(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::size_t blank = h.find("\n\n");
    if (blank != std::string_view::npos) {
        std::string_view line = h.substr(blank + 2, 40);
        line = line.substr(0, line.find('\n'));
        unsigned long long height = 0, width = 0;
        std::size_t x = line.find(" +X ");
        if (line.substr(0, 3) == "-Y " && x != std::string_view::npos) {
            for (char c : line.substr(3, x - 3)) height = (c >= '0' && c <= '9') ? height * 10 + unsigned(c - '0') : 0;
            for (char c : line.substr(x + 4)) width = (c >= '0' && c <= '9') ? width * 10 + unsigned(c - '0') : 0;
            if (width && height) ctx.detail = size_text(width, height);
        }
    }
    return "hdr,pic";
}

// ---- ICO / CUR holding PNG ----------------------------------------------------------

// The first directory entry's image is a PNG (the classic tables know the
// BMP-holding ones).
bool holds_png(const Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view h = probe.head();
    unsigned count = bytes::le16(h, 4);
    if (count == 0 || !bytes::has(h, 6, 16)) return false;
    std::uint32_t offset = bytes::le32(h, 18);
    return offset >= 6 + 16u * count && probe.read(offset, 8) == "\x89PNG\r\n\x1A\n";
}

// ---- TGA ------------------------------------------------------------------------

// A TGA says so in the footer of its second version; an uncompressed one
// without the footer is told by its size, which its header gives exactly.
std::string tga(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view h = probe.head();
    std::uint64_t width = bytes::le16(h, 12), height = bytes::le16(h, 14);
    if (!bytes::has(h, 0, 18) || width == 0 || height == 0) return {};
    if (probe.size() >= 18 + 26 && probe.tail(18) == std::string_view("TRUEVISION-XFILE.\0", 18))
        return sized(ctx, width, height, "tga,tpic");
    unsigned type = bytes::u8(h, 2), colour_map = bytes::u8(h, 1), depth = bytes::u8(h, 16);
    bool mapped = type == 1 && colour_map == 1 && depth == 8;
    bool plain = (type == 2 && colour_map == 0 && depth >= 15) || (type == 3 && colour_map == 0 && depth == 8);
    if (!mapped && !plain) return {};
    std::uint64_t map_bytes = colour_map ? bytes::le16(h, 5) * ((bytes::u8(h, 7) + 7u) / 8) : 0;
    if (probe.size() != 18 + bytes::u8(h, 0) + map_bytes + width * height * ((depth + 7) / 8)) return {};
    return sized(ctx, width, height, "tga,tpic");
}

// ---- TIFF-based raw photos ------------------------------------------------------------

struct TiffFacts {
    std::string make;
    bool dng = false;
    bool sub_ifds = false;
    bool sony_private = false;
};

// The tags of IFD0 that tell the raw kinds apart.
bool ifd0_facts(Probe& probe, TiffFacts& facts) {
    std::string_view h = probe.head();
    bool le = h[0] == 'I';
    auto u16 = [le](std::string_view b, std::size_t at) { return le ? bytes::le16(b, at) : bytes::be16(b, at); };
    auto u32 = [le](std::string_view b, std::size_t at) { return le ? bytes::le32(b, at) : bytes::be32(b, at); };
    std::uint32_t ifd = u32(h, 4);
    std::string_view count_bytes = probe.read(ifd, 2);
    if (count_bytes.size() < 2) return false;
    unsigned count = u16(count_bytes, 0);
    if (count == 0 || count > 512) return false;
    std::string_view entries = probe.read(ifd + 2u, 12u * count);
    if (entries.size() < 12u * count) return false;
    for (unsigned i = 0; i < count; ++i) {
        std::size_t e = 12u * i;
        unsigned tag = u16(entries, e);
        if (tag == 0xC612) facts.dng = true;
        if (tag == 0x014A) facts.sub_ifds = true;
        if (tag == 0x7200) facts.sony_private = true;
        if (tag == 0x010F && u16(entries, e + 2) == 2) {
            std::uint32_t n = u32(entries, e + 4);
            if (n > 64) n = 64;
            facts.make.assign(n <= 4 ? entries.substr(e + 8, n) : probe.read(u32(entries, e + 8), n));
        }
    }
    return true;
}

std::string tiff_raw(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    TiffFacts facts;
    if (!ifd0_facts(probe, facts)) return {};
    auto made_by = [&](std::string_view maker) { return facts.make.compare(0, maker.size(), maker) == 0; };
    if (facts.dng) return "dng";
    if (made_by("NIKON") && facts.sub_ifds) return "nef,nrw";
    if (made_by("SONY") && (facts.sub_ifds || facts.sony_private)) return "arw,srf,sr2";
    return {};
}

}  // namespace

const Table& images_table() {
    static const Table rows = {
        {"1", {at(0, "52494646"), at(8, "57454250")}, webp},
        {"2", {at(0, "716F6966"), at_one_of(12, {"03", "04"}), at_one_of(13, {"00", "01"})},
         [](const HexImage&, Context& ctx) {
             std::string_view h = probe_of(ctx).head();
             return sized(ctx, bytes::be32(h, 4), bytes::be32(h, 8), "qoi");
         }},
        {"3", {at(0, "762F3101")}, exr},
        {"4", {any({at(0, "233F52414449414E43450A"), at(0, "233F524742450A")})}, radiance},
        {"5", {at(0, "444453207C000000")},
         [](const HexImage&, Context& ctx) {
             std::string_view h = probe_of(ctx).head();
             return sized(ctx, bytes::le32(h, 16), bytes::le32(h, 12), "dds");
         }},
        {"6", {at(0, "AB4B5458203131BB0D0A1A0A")},
         [](const HexImage& img, Context& ctx) {
             std::string_view h = probe_of(ctx).head();
             bool le = img.at(12, "01020304");
             return sized(ctx, le ? bytes::le32(h, 36) : bytes::be32(h, 36), le ? bytes::le32(h, 40) : bytes::be32(h, 40),
                          "ktx");
         }},
        {"7", {at(0, "AB4B5458203230BB0D0A1A0A")},
         [](const HexImage&, Context& ctx) {
             std::string_view h = probe_of(ctx).head();
             return sized(ctx, bytes::le32(h, 20), bytes::le32(h, 24), "ktx2");
         }},
        {"8", {at(0, "00000100"), when([](const HexImage&, const Context& ctx) { return holds_png(ctx); })}, "ico",
         {detail("PNG inside")}},
        {"9", {at(0, "00000200"), when([](const HexImage&, const Context& ctx) { return holds_png(ctx); })}, "cur",
         {detail("PNG inside")}},
        {"10", {at(0, "89504E470D0A1A0A")}, apng},
        // Raw photos that say what they are in their header.
        {"11", {at(0, "49492A00"), at(8, "43520200")}, "cr2", {detail("Canon raw")}},
        {"12", {any({at(0, "4949524F"), at(0, "49495253"), at(0, "4D4D4F52")})}, "orf", {detail("Olympus raw")}},
        {"13", {at(0, "49495500"), at(4, "18000000")}, "rw2,raw", {detail("Panasonic raw")}},
        {"14", {any({at(0, "49492A00"), at(0, "4D4D002A")})}, tiff_raw},
        // DICOM: the prefix after the 128-byte preamble.
        {"15", {text_at(128, "DICM")}, "dcm,dicom"},
        // TGA: a sane header, and the footer of its second version.
        {"16", {at_one_of(1, {"00", "01"}), at_one_of(2, {"01", "02", "03", "09", "0A", "0B"}),
                at_one_of(16, {"08", "0F", "10", "18", "20"})},
         tga},
    };
    return rows;
}

}  // namespace zarvo::current
