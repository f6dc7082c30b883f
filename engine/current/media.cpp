// The current-formats layer: ISO base media by brand, JPEG 2000 and JPEG XL, Matroska/WebM, RIFF kinds, Ogg by its first stream.
#include <array>
#include <string>
#include <string_view>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

// ---- ISO base media boxes ---------------------------------------------------

// Limits of the box walks: boxes looked at per level, and in all.
constexpr int kBoxesPerLevel = 64;
constexpr int kBoxesInAll = 256;

struct Box {
    std::uint64_t offset = 0;  // of the box header
    std::uint64_t size = 0;    // header included
    std::uint64_t header = 8;
    std::string_view type;
    std::uint64_t body() const { return offset + header; }
    std::uint64_t end() const { return offset + size; }
};

// The box whose header stands at `offset`, when it lies whole within
// [offset, end): sizes 0 (to the end), 1 (64-bit size) and any size that
// would leave the region are handled, the last refused.
bool box_at(Probe& probe, std::uint64_t offset, std::uint64_t end, Box& box) {
    if (offset >= end || end - offset < 8) return false;
    std::string_view h = probe.read(offset, 16);
    if (h.size() < 8) return false;
    box.offset = offset;
    box.type = h.substr(4, 4);
    box.header = 8;
    std::uint64_t size = bytes::be32(h, 0);
    if (size == 1) {
        if (h.size() < 16) return false;
        size = bytes::be64(h, 8);
        box.header = 16;
    } else if (size == 0) {
        size = end - offset;
    }
    if (size < box.header || size > end - offset) return false;
    box.size = size;
    return true;
}

// Walks the boxes of [from, end), calling visit(box) until it returns false;
// `steps` counts the boxes of every level against kBoxesInAll.
template <typename Visit>
void walk_boxes(Probe& probe, std::uint64_t from, std::uint64_t end, int& steps, Visit&& visit) {
    Box box;
    for (int n = 0; n < kBoxesPerLevel && steps < kBoxesInAll && box_at(probe, from, end, box); ++n, ++steps) {
        if (!visit(box)) return;
        from = box.end();  // a box is at least 8 bytes long: the walk moves on
    }
}

// The child of `parent` of the given type (first one).
bool child_box(Probe& probe, const Box& parent, std::string_view type, int& steps, Box& found) {
    bool got = false;
    walk_boxes(probe, parent.body(), parent.end(), steps, [&](const Box& b) {
        if (b.type != type) return true;
        found = b;
        got = true;
        return false;
    });
    return got;
}

struct Tracks {
    int video = 0;
    int audio = 0;
    int other = 0;
};

// The handler types of the tracks of the moov box.
Tracks track_handlers(Probe& probe, const Box& moov, int& steps) {
    Tracks t;
    walk_boxes(probe, moov.body(), moov.end(), steps, [&](const Box& trak) {
        if (trak.type != "trak") return true;
        Box mdia, hdlr;
        if (!child_box(probe, trak, "mdia", steps, mdia) || !child_box(probe, mdia, "hdlr", steps, hdlr)) return true;
        std::string_view handler = probe.read(hdlr.body() + 8, 4);
        if (handler == "vide") ++t.video;
        else if (handler == "soun") ++t.audio;
        else ++t.other;
        return true;
    });
    return t;
}

bool brand_in(std::string_view brand, std::initializer_list<std::string_view> list) {
    for (std::string_view b : list)
        if (brand == b) return true;
    return false;
}

// The kind a brand names on its own ("" for the plain MP4 brands and those
// not known; "iso" for the plain MP4 ones).
std::string_view brand_kind(std::string_view brand) {
    if (brand == "qt  ") return "mov";
    if (brand == "M4A ") return "m4a";
    if (brand == "M4B ") return "m4b";
    if (brand_in(brand, {"M4V ", "M4VH", "M4VP"})) return "m4v";
    if (brand.substr(0, 3) == "3g2") return "3g2";
    if (brand.substr(0, 2) == "3g" && brand_in(brand.substr(2, 1), {"p", "g", "s", "r", "e", "h", "m", "t"})) return "3gp";
    if (brand_in(brand, {"heic", "heix", "heim", "heis", "hevc", "hevx", "hevm", "hevs"})) return "heic";
    if (brand_in(brand, {"avif", "avis"})) return "avif";
    if (brand == "crx ") return "cr3";
    if (brand == "jp2 ") return "jp2";
    if (brand == "jpx ") return "jpx";
    if (brand == "jpm ") return "jpm";
    if (brand_in(brand, {"mjp2", "mj2s"})) return "mj2";
    if (brand_in(brand, {"mif1", "msf1", "mif2"})) return "heif";
    if (brand_in(brand, {"isom", "iso2", "iso3", "iso4", "iso5", "iso6", "iso7", "iso8", "iso9", "mp41", "mp42",
                         "mp71", "avc1", "dash", "msdh", "msix", "mmp4", "MSNV", "NDAS", "XAVC", "f4v ", "cmfc",
                         "cmf2"}))
        return "iso";
    return "";
}

std::string candidates_of(std::string_view kind) {
    if (kind == "mp4") return "mp4,m4v";
    if (kind == "m4v") return "m4v,mp4";
    if (kind == "m4a") return "m4a,m4b,mp4";
    if (kind == "m4b") return "m4b,m4a";
    if (kind == "mov") return "mov,qt";
    if (kind == "3gp") return "3gp,3gpp";
    if (kind == "3g2") return "3g2,3gp2";
    if (kind == "heic") return "heic,heif";
    if (kind == "heif") return "heif,heic";
    if (kind == "jpx") return "jpx,jpf";
    if (kind == "mj2") return "mj2,mjp2";
    return std::string(kind);
}

std::string printable(std::string_view brand) {
    std::string out;
    for (char c : brand) out += (c >= 0x20 && c < 0x7F) ? c : '.';
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// A file of boxes whose ftyp box stands at `ftyp_at`: its kind by the major
// brand, the compatible brands and, for the plain MP4 brands, the tracks.
std::string iso_media(Context& ctx, std::uint64_t ftyp_at) {
    Probe& probe = probe_of(ctx);
    Box ftyp;
    if (!box_at(probe, ftyp_at, probe.size(), ftyp) || ftyp.type != "ftyp" || ftyp.size < 16) return {};
    std::string_view body = probe.read(ftyp.body(), static_cast<std::size_t>(std::min<std::uint64_t>(ftyp.size - ftyp.header, 256)));
    if (body.size() < 8) return {};
    std::string_view major = body.substr(0, 4);
    std::string_view kind = brand_kind(major);
    bool plain = kind == "iso" || kind.empty();
    // A general brand (HEIF structure, plain MP4, or one not known) is told
    // by the compatible brands, the specific ones first.
    if (plain || kind == "heif") {
        std::string_view found;
        for (std::size_t at = 8; at + 4 <= body.size(); at += 4) {
            std::string_view k = brand_kind(body.substr(at, 4));
            if (k == "avif" || k == "heic") { found = k; break; }
            if (plain && found.empty()) found = k;
        }
        if (!found.empty()) kind = found;
    }
    if (kind.empty()) return {};
    if (kind == "iso") {
        // Video or sound: the handlers of the tracks tell.
        Tracks tracks;
        int steps = 0;
        walk_boxes(probe, 0, probe.size(), steps, [&](const Box& b) {
            if (b.type != "moov") return true;
            tracks = track_handlers(probe, b, steps);
            return false;
        });
        kind = tracks.video == 0 && tracks.audio > 0 ? "m4a" : "mp4";
    }
    ctx.detail = "brand " + printable(major);
    return candidates_of(kind);
}

std::string iso_at_start(const HexImage&, Context& ctx) { return iso_media(ctx, 0); }

// JPEG 2000 and the JPEG XL container begin with a signature box; the ftyp
// box follows it.
std::string jpeg2000(const HexImage&, Context& ctx) { return iso_media(ctx, 12); }

// QuickTime files from before the ftyp box: a run of the classic top-level
// boxes that holds a movie box.
std::string old_quicktime(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    bool movie = false, stray = false;
    int steps = 0, boxes = 0;
    std::uint64_t reached = 0;
    walk_boxes(probe, 0, probe.size(), steps, [&](const Box& b) {
        ++boxes;
        reached = b.end();
        if (b.type == "moov") {
            std::string_view first = probe.read(b.body() + 4, 4);
            movie = first == "mvhd" || first == "cmov" || first == "prfl";
        } else if (!brand_in(b.type, {"mdat", "wide", "free", "skip", "pnot", "PICT", "udta", "junk"})) {
            stray = true;
            return false;
        }
        return true;
    });
    if (!movie || stray || boxes == 0) return {};
    (void)reached;
    ctx.detail = "QuickTime";
    return "mov,qt";
}

// ---- JPEG XL ------------------------------------------------------------------------

// The picture size of a bare codestream (FF0A, then the size header read
// least significant bit first); "" when the bytes do not hold it.
std::string jxl_size(std::string_view b) {
    if (!bytes::at(b, 0, "\xFF\x0A") || b.size() < 12) return {};
    std::size_t bit = 16;
    auto u = [&](unsigned n) {
        std::uint64_t v = 0;
        for (unsigned i = 0; i < n; ++i, ++bit) v |= std::uint64_t((bytes::u8(b, bit / 8) >> (bit % 8)) & 1) << i;
        return v;
    };
    auto dimension = [&](bool small) -> std::uint64_t {
        if (small) return (u(5) + 1) * 8;
        static constexpr unsigned kBits[4] = {9, 13, 18, 30};
        return u(kBits[u(2)]) + 1;
    };
    bool small = u(1) != 0;
    std::uint64_t height = dimension(small);
    unsigned ratio = static_cast<unsigned>(u(3));
    static constexpr unsigned kNum[8] = {1, 1, 12, 4, 3, 16, 5, 2}, kDen[8] = {1, 1, 10, 3, 2, 9, 4, 1};
    std::uint64_t width = ratio == 0 ? dimension(small) : height * kNum[ratio] / kDen[ratio];
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string jxl_codestream(const HexImage&, Context& ctx) {
    std::string size = jxl_size(probe_of(ctx).head());
    ctx.detail = size.empty() ? "JPEG XL codestream" : "JPEG XL codestream, " + size;
    return "jxl";
}

// The container's codestream box (whole, or the first part) gives the size.
std::string jxl_container(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string size;
    int steps = 0;
    walk_boxes(probe, 12, probe.size(), steps, [&](const Box& b) {
        if (b.type != "jxlc" && b.type != "jxlp") return true;
        size = jxl_size(probe.read(b.body() + (b.type == "jxlp" ? 4 : 0), 16));
        return false;
    });
    ctx.detail = size.empty() ? "JPEG XL container" : "JPEG XL container, " + size;
    return "jxl";
}

// ---- Matroska / WebM ----------------------------------------------------------

// An EBML element header: id (with its length marker) and data size.
struct Element {
    std::uint32_t id = 0;
    std::uint64_t size = 0;     // of the data
    bool unknown_size = false;  // all ones: to the end of the parent
    std::size_t header = 0;
};

bool element_at(std::string_view b, std::size_t at, Element& e) {
    if (!bytes::has(b, at, 1)) return false;
    unsigned first = bytes::u8(b, at);
    std::size_t id_len = first >= 0x80 ? 1 : first >= 0x40 ? 2 : first >= 0x20 ? 3 : first >= 0x10 ? 4 : 0;
    if (id_len == 0 || !bytes::has(b, at, id_len + 1)) return false;
    e.id = static_cast<std::uint32_t>(bytes::be(b, at, id_len));
    unsigned lead = bytes::u8(b, at + id_len);
    std::size_t size_len = 1;
    while (size_len <= 8 && !(lead & (0x100u >> size_len))) ++size_len;
    if (size_len > 8 || !bytes::has(b, at + id_len, size_len)) return false;
    std::uint64_t size = lead & (0xFFu >> size_len);
    bool ones = size == (0xFFu >> size_len);
    for (std::size_t i = 1; i < size_len; ++i) {
        unsigned c = bytes::u8(b, at + id_len + i);
        size = (size << 8) | c;
        ones = ones && c == 0xFF;
    }
    e.unknown_size = ones;
    e.size = size;
    e.header = id_len + size_len;
    return true;
}

// The elements of b[from, end): visit(element, data offset, data end) until
// it returns false. An element running past the region is cut to it.
template <typename Visit>
void walk_elements(std::string_view b, std::size_t from, std::size_t end, int& steps, Visit&& visit) {
    Element e;
    for (int n = 0; n < 256 && steps < 1024 && from < end && element_at(b.substr(0, end), from, e); ++n, ++steps) {
        std::size_t data = from + e.header;
        std::size_t data_end = (e.unknown_size || e.size > end - data) ? end : data + static_cast<std::size_t>(e.size);
        if (!visit(e, data, data_end)) return;
        if (data_end <= from) return;
        from = data_end;
    }
}

constexpr std::uint32_t kEbml = 0x1A45DFA3, kDocType = 0x4282, kSegment = 0x18538067, kTracks = 0x1654AE6B,
                        kTrackEntry = 0xAE, kTrackType = 0x83, kCluster = 0x1F43B675;

std::string matroska(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view b = probe.read(0, 16 * 1024);
    Element top;
    if (!element_at(b, 0, top) || top.id != kEbml || top.unknown_size) return {};
    std::size_t header_end = top.header + static_cast<std::size_t>(std::min<std::uint64_t>(top.size, b.size() - top.header));
    std::string doctype;
    int steps = 0;
    walk_elements(b, top.header, header_end, steps, [&](const Element& e, std::size_t data, std::size_t end) {
        if (e.id != kDocType) return true;
        doctype.assign(b.substr(data, end - data));
        while (!doctype.empty() && doctype.back() == '\0') doctype.pop_back();
        return false;
    });
    if (doctype == "webm") {
        ctx.detail = "WebM";
        return "webm";
    }
    if (doctype != "matroska") return {};
    Tracks tracks;
    walk_elements(b, header_end, b.size(), steps, [&](const Element& seg, std::size_t data, std::size_t end) {
        if (seg.id != kSegment) return true;
        walk_elements(b, data, end, steps, [&](const Element& e, std::size_t d, std::size_t de) {
            if (e.id == kCluster) return false;  // tracks come before the clusters
            if (e.id != kTracks) return true;
            walk_elements(b, d, de, steps, [&](const Element& entry, std::size_t ed, std::size_t ee) {
                if (entry.id != kTrackEntry) return true;
                walk_elements(b, ed, ee, steps, [&](const Element& f, std::size_t fd, std::size_t fe) {
                    if (f.id != kTrackType) return true;
                    unsigned type = fe > fd ? bytes::u8(b, fe - 1) : 0;
                    if (type == 1) ++tracks.video;
                    else if (type == 2) ++tracks.audio;
                    else if (type == 0x11) ++tracks.other;
                    return false;
                });
                return true;
            });
            return false;
        });
        return false;
    });
    ctx.detail = "Matroska";
    if (tracks.video == 0 && tracks.audio > 0) return "mka,mkv";
    if (tracks.video == 0 && tracks.audio == 0 && tracks.other > 0) return "mks,mkv";
    return "mkv,mka,mks";
}

// ---- Ogg ------------------------------------------------------------------------

// The first packet of the first page (a beginning-of-stream page) tells the stream.
std::string ogg(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    if (!bytes::has(h, 0, 27) || bytes::u8(h, 4) != 0 || !(bytes::u8(h, 5) & 0x02)) return {};
    std::size_t segments = bytes::u8(h, 26);
    std::size_t at = 27 + segments;
    if (!bytes::has(h, at, 8)) return {};
    std::string_view p = h.substr(at);
    if (bytes::at(p, 0, "\x01vorbis")) {
        if (bytes::has(p, 0, 16)) ctx.detail = "Vorbis, " + rate_and_channels(bytes::le32(p, 12), bytes::u8(p, 11));
        return "ogg,oga";
    }
    if (bytes::at(p, 0, "OpusHead")) {
        if (bytes::has(p, 0, 16)) ctx.detail = "Opus, " + rate_and_channels(bytes::le32(p, 12), bytes::u8(p, 9));
        return "opus,ogg";
    }
    if (bytes::at(p, 0, "\x80theora")) {
        ctx.detail = "Theora";
        return "ogv,ogg";
    }
    if (bytes::at(p, 0, "Speex   ")) {
        if (bytes::has(p, 0, 52)) ctx.detail = "Speex, " + rate_and_channels(bytes::le32(p, 36), bytes::le32(p, 48));
        return "spx,ogg";
    }
    if (bytes::at(p, 0, "\x7F" "FLAC") && bytes::at(p, 9, "fLaC")) {
        // STREAMINFO's data follows its block header at 17; the rate is 20 bits from 27.
        if (bytes::has(p, 0, 35)) {
            std::uint64_t bits = bytes::be64(p, 27);
            ctx.detail = "FLAC, " + rate_and_channels(bits >> 44, static_cast<unsigned>(((bits >> 41) & 7) + 1));
        }
        return "oga,ogg";
    }
    return {};
}

// ---- RIFF kinds -----------------------------------------------------------------

// Wave64: a RIFF GUID, then the WAVE GUID at 24.
constexpr std::string_view kWave64Riff = "726966662E91CF11A5D628DB04C10000";
constexpr std::string_view kWave64Wave = "77617665F3ACD3118CD100C04F8EDB8A";

}  // namespace

const Table& media_table() {
    static const Table rows = {
        // ISO base media with its ftyp box first.
        {"1", {at(4, "66747970")}, iso_at_start},
        // JPEG 2000 family: the signature box, then ftyp.
        {"2", {at(0, "0000000C6A5020200D0A870A")}, jpeg2000},
        // JPEG 2000 codestream: SOC then SIZ.
        {"3", {at(0, "FF4FFF51")}, "j2k,j2c,jpc", {detail("JPEG 2000 codestream")}},
        // JPEG XL: the container's signature box, or the bare codestream.
        {"4", {at(0, "0000000C4A584C200D0A870A")}, jxl_container},
        {"5", {at(0, "FF0A"), size_at_least(8)}, jxl_codestream},
        // QuickTime without ftyp.
        {"6", {any({at(4, "6D6F6F76"), at(4, "6D646174"), at(4, "77696465"), at(4, "66726565"), at(4, "736B6970"),
                    at(4, "706E6F74")})},
         old_quicktime},
        // Matroska and WebM by the DocType of the EBML header.
        {"7", {at(0, "1A45DFA3")}, matroska},
        // Ogg by the first packet of its first page.
        {"8", {at(0, "4F67675300")}, ogg},
        // RF64 and big-endian RIFX wave; Wave64.
        {"9", {at(0, "52463634"), at(8, "57415645")}, "wav,rf64", {detail("RF64")}},
        {"10", {at(0, "52494658"), at(8, "57415645")}, "wav", {detail("RIFX (big-endian)")}},
        {"11", {at(0, kWave64Riff), at(24, kWave64Wave)}, "w64", {detail("Wave64")}},
    };
    return rows;
}

}  // namespace zarvo::current
