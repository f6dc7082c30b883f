// The current-formats layer: font files.
#include <string>
#include <string_view>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

// An sfnt table directory: a sane table count whose search range is 16
// times the largest power of two not above it.
bool sfnt_directory(const HexImage& image, const Context&) {
    int hi = image.byte(4), lo = image.byte(5), rh = image.byte(6), rl = image.byte(7);
    if (rl < 0) return false;
    unsigned tables = unsigned(hi) << 8 | unsigned(lo), range = unsigned(rh) << 8 | unsigned(rl);
    if (tables == 0 || tables > 200) return false;
    unsigned power = 1;
    while (power * 2 <= tables) power *= 2;
    return range == 16 * power;
}

// Embedded OpenType: its own total size first, a known version, and the
// magic number 0x504C at 34.
bool eot_header(const HexImage& image, const Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    if (!bytes::has(h, 0, 36) || bytes::le32(h, 0) != probe_of(ctx).size()) return false;
    std::uint32_t version = bytes::le32(h, 8);
    return (version == 0x00010000 || version == 0x00020001 || version == 0x00020002) && image.at(34, "4C50");
}

std::string woff_flavour(const HexImage& image, Context&) {
    return image.at(4, "4F54544F") ? "CFF outlines" : "TrueType outlines";
}

}  // namespace

const Table& fonts_table() {
    static const Table rows = {
        {"1", {at(0, "00010000"), when(sfnt_directory)}, "ttf", {detail("TrueType")}},
        {"2", {at(0, "74727565"), when(sfnt_directory)}, "ttf", {detail("TrueType")}},
        {"3", {at(0, "4F54544F"), when(sfnt_directory)}, "otf", {detail("OpenType, CFF outlines")}},
        {"4", {at(0, "74746366"), at_one_of(4, {"00010000", "00020000"})}, "ttc", {detail("TrueType collection")}},
        {"5", {at(0, "774F4646")}, "woff", {detail(woff_flavour)}},
        {"6", {at(0, "774F4632")}, "woff2", {detail(woff_flavour)}},
        {"7", {when(eot_header)}, "eot", {detail("Embedded OpenType")}},
    };
    return rows;
}

}  // namespace zarvo::current
