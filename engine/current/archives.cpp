// The current-formats layer: archives and compressors.
//
// Most kinds have a magic number at the start, so their rows begin with a
// fixed test on the image. Tar (a file name at the start), ISO 9660 / UDF
// (descriptors at 32 KiB) and DMG (a trailer in the last 512 bytes) do not:
// their rows look at a few head bytes before they read anything further.
#include <string>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

std::string_view head_of(const Context& ctx) { return probe_of(ctx).head(); }


// ---- tar -----------------------------------------------------------------

// The header checksum field (bytes 148 to 155) as the standard writes it:
// octal digits, led by spaces or zeros, ended by a zero byte or space.
bool octal_field(std::string_view h, std::size_t at, std::size_t n, std::uint64_t& value) {
    value = 0;
    std::size_t i = 0;
    while (i < n && h[at + i] == ' ') ++i;
    std::size_t digits = 0;
    for (; i < n && h[at + i] >= '0' && h[at + i] <= '7'; ++i, ++digits) value = value * 8 + (h[at + i] - '0');
    if (digits == 0) return false;
    for (; i < n; ++i)
        if (h[at + i] != ' ' && h[at + i] != '\0') return false;
    return true;
}

// The first 512 bytes are a tar header whose checksum holds: the sum of its
// bytes with the checksum field read as spaces. A header of zeros is no
// proof (its sum is 256 and its field is empty).
bool tar_header(const HexImage&, const Context& ctx) {
    std::string_view h = head_of(ctx);
    if (h.size() < 512 || h[0] == '\0') return false;
    std::uint64_t stated = 0;
    if (!octal_field(h, 148, 8, stated)) return false;
    std::uint64_t sum = 8 * ' ';
    for (std::size_t i = 0; i < 512; ++i)
        if (i < 148 || i >= 156) sum += static_cast<unsigned char>(h[i]);
    if (sum == stated) return true;
    // Old writers summed signed characters.
    std::int64_t signed_sum = 8 * ' ';
    for (std::size_t i = 0; i < 512; ++i)
        if (i < 148 || i >= 156) signed_sum += static_cast<signed char>(h[i]);
    return signed_sum >= 0 && static_cast<std::uint64_t>(signed_sum) == stated;
}

std::string tar_kind(const HexImage&, Context& ctx) {
    std::string_view h = head_of(ctx);
    char type = h[156];
    if (bytes::at(h, 257, std::string_view("ustar  \0", 8))) ctx.detail = "GNU tar";
    else if (bytes::at(h, 257, std::string_view("ustar\0", 6)))
        ctx.detail = (type == 'x' || type == 'g') ? "POSIX tar (pax)" : "POSIX tar (ustar)";
    else ctx.detail = "tar (v7)";
    return "tar";
}

// ---- cpio ----------------------------------------------------------------

// The old binary header: magic 070707 as a 16-bit number in either byte
// order, a name length that fits and a name that ends where it says.
bool binary_cpio(const HexImage&, const Context& ctx) {
    std::string_view h = head_of(ctx);
    bool little = bytes::u8(h, 0) == 0xC7;
    std::uint32_t namesize = little ? bytes::le16(h, 20) : bytes::be16(h, 20);
    if (namesize < 2 || namesize > 1024 || !bytes::has(h, 26, namesize)) return false;
    if (h[26 + namesize - 1] != '\0') return false;
    for (std::size_t i = 26; i < 26 + namesize - 1; ++i)
        if (static_cast<unsigned char>(h[i]) < 0x20) return false;
    return true;
}

// ---- ar and deb ----------------------------------------------------------

std::string ar_kind(const HexImage&, Context& ctx) {
    std::string_view h = head_of(ctx);
    if (bytes::at(h, 8, "debian-binary   ")) {
        ctx.detail = "Debian package";
        return "deb,udeb";
    }
    ctx.detail = "ar archive";
    return "a,lib";
}

// ---- rpm, squashfs, lzma ---------------------------------------------------

std::string rpm_kind(const HexImage&, Context& ctx) {
    ctx.detail = bytes::be16(head_of(ctx), 6) == 1 ? "source package" : "binary package";
    return "rpm";
}

std::string squashfs_kind(const HexImage&, Context& ctx) {
    std::string_view h = head_of(ctx);
    static constexpr std::string_view kMethods[] = {"", "gzip", "lzma", "lzo", "xz", "lz4", "zstd"};
    std::uint32_t major = bytes::le16(h, 28), method = bytes::le16(h, 20);
    ctx.detail = "squashfs " + std::to_string(major) + "." + std::to_string(bytes::le16(h, 30));
    if (major >= 4 && method > 0 && method < std::size(kMethods)) ctx.detail += " " + std::string(kMethods[method]);
    return "squashfs,sqsh,sfs,snap";
}

// The .lzma header: properties byte (lc + lp * 9 + pb * 45 below 225), a
// dictionary size of 2^n or 2^n + 2^(n-1), and an uncompressed size either
// unknown (all ones) or below 2^48.
bool lzma_alone(const HexImage&, const Context& ctx) {
    std::string_view h = head_of(ctx);
    if (h.size() < 14 || bytes::u8(h, 0) >= 225) return false;
    std::uint32_t dict = bytes::le32(h, 1);
    if (dict < 4096) return false;
    std::uint32_t low = dict & (~dict + 1);  // lowest set bit
    std::uint32_t rest = dict - low;
    if (rest != 0 && rest != low * 2) return false;
    std::uint64_t size = bytes::le64(h, 5);
    return size == ~std::uint64_t{0} || size < (std::uint64_t{1} << 48);
}

// ---- gzip ------------------------------------------------------------------

// Flags hold no reserved bit; the stored original name (FNAME) goes into
// the detail.
bool gzip_header(const HexImage& img, const Context&) { return (img.byte(3) & 0xE0) == 0; }

std::string gzip_kind(const HexImage&, Context& ctx) {
    std::string_view h = head_of(ctx);
    unsigned flags = bytes::u8(h, 3);
    std::size_t at = 10;
    if (flags & 0x04) at += 2 + bytes::le16(h, 10);  // FEXTRA
    if ((flags & 0x08) && at < h.size()) {
        std::string name = bytes::field_text(h, at, 200);
        if (!name.empty()) ctx.detail = "gzip: " + name;
    }
    return "gz,tgz";
}

// ---- ISO 9660 and UDF --------------------------------------------------------

// What can stand before the volume descriptors at 32 KiB: zeros, a master
// boot record (hybrid images) or an Apple partition map.
bool system_area(const HexImage& img, const Context& ctx) {
    if (probe_of(ctx).size() < 34816) return false;
    std::string_view h = head_of(ctx);
    if (bytes::at(h, 0, "ER") || bytes::at(h, 510, "\x55\xAA")) return true;
    return img.at(0, "00000000000000000000000000000000");
}

std::string optical_kind(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    // Sector 16 and the next two; an ISO 9660 primary descriptor or the
    // start of the UDF volume structure (BEA01, NSR02 / NSR03).
    std::string_view d = probe.read(32768, 3 * 2048);
    bool iso = false, udf = false;
    std::string label;
    for (std::size_t s = 0; s + 6 <= d.size() && s < 3 * 2048; s += 2048) {
        std::string_view id = d.substr(s + 1, 5);
        if (id == "CD001") {
            iso = true;
            if (bytes::u8(d, s) == 1 && label.empty()) label = bytes::field_text(d, s + 40, 32);
        } else if (id == "NSR02" || id == "NSR03") {
            udf = true;
        }
    }
    if (!iso && !udf && !bytes::at(d, 1, "BEA01")) return {};
    ctx.detail = iso && udf ? "ISO 9660 / UDF" : iso ? "ISO 9660" : "UDF";
    if (!label.empty()) ctx.detail += ": " + label;
    return "iso";
}

// ---- DMG -----------------------------------------------------------------

// The first bytes of a disk image's data fork: a zlib, bzip2, LZFSE or LZMA
// stream, zeros, or a partition map.
bool dmg_start(const HexImage& img, const Context& ctx) {
    if (probe_of(ctx).size() < 1024) return false;
    return img.at(0, "78DA") || img.at(0, "789C") || img.at(0, "7801") || img.at(0, "785E") || img.at(0, "425A68") ||
           img.at(0, "62767832") || img.at(0, "62767831") || img.at(0, "6276786E") || img.at(0, "5D0000") ||
           img.at(0, "4552") || img.at(0, "0000000000000000");
}

// The "koly" trailer in the last 512 bytes: version 4 and a header size of 512.
std::string dmg_kind(const HexImage&, Context& ctx) {
    std::string_view t = probe_of(ctx).tail(512);
    if (t.size() != 512 || !bytes::at(t, 0, "koly") || bytes::be32(t, 8) != 512) return {};
    ctx.detail = "Apple disk image";
    return "dmg";
}

// The kinds laid out away from the start: disc images first, then DMG.
std::string placed_kind(const HexImage& img, Context& ctx) {
    std::string answer;
    if (system_area(img, ctx)) answer = optical_kind(img, ctx);
    if (answer.empty() && dmg_start(img, ctx)) answer = dmg_kind(img, ctx);
    return answer;
}

}  // namespace

const Table& archives_table() {
    static const Table rows = {
    // row    tests                                                          answer
    {"7z",    {at(0, "377ABCAF271C")},                                      "7z",        {detail("7z archive")}},
    {"xz",    {at(0, "FD377A585A00")},                                      "xz",        {detail("xz")}},
    {"zst",   {at(0, "28B52FFD")},                                          "zst",       {detail("Zstandard")}},
    {"lz",    {at(0, "4C5A4950"), at_one_of(4, {"00", "01"})},              "lz",        {detail("lzip")}},
    {"lz4",   {any({at(0, "04224D18"), at(0, "02214C18")})},                "lz4",       {detail("LZ4")}},
    {"rar5",  {at(0, "526172211A070100")},                                  "rar",       {detail("RAR 5")}},
    {"wim",   {at(0, "4D5357494D000000")},                                  "wim,swm,esd"},
    {"xar",   {at(0, "78617221"), at(4, "001C")},                           "xar,pkg"},
    {"sqfs",  {at(0, "68737173"), size_at_least(96)},                       squashfs_kind},
    {"rpm",   {at(0, "EDABEEDB"), at_one_of(4, {"03", "04"})},              rpm_kind},
    {"ar",    {at(0, "213C617263683E0A")},                                  ar_kind},
    {"cpio",  {at(0, "3037303730"), at_one_of(5, {"31", "32", "37"})},      "cpio",      {detail("cpio")}},
    {"cpiob", {at_one_of(0, {"C771", "71C7"}), when(binary_cpio)},          "cpio",      {detail("cpio (binary)")}},
    {"gz",    {at(0, "1F8B08"), when(gzip_header)},                         gzip_kind},
    {"lzma",  {at(0, "5D00"), when(lzma_alone)}, "lzma", {detail("LZMA")}},
    {"tar",   {when(tar_header)},                                           tar_kind},
    {"placed", {},                                                          placed_kind},
    };
    return rows;
}

}  // namespace zarvo::current
