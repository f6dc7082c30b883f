// The current-formats layer: data and science files.
//
// Rows start with their kind's magic number at byte 0; only HDF5 after a
// user block is looked for further on, at the places inside the head where
// a user block may end (512, 1024, 2048).
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

using namespace std::string_view_literals;

std::string number(std::uint64_t n) { return std::to_string(n); }

// ---- SQLite -----------------------------------------------------------------------

bool sqlite_page_size(std::uint32_t size) { return size >= 512 && size <= 65536 && (size & (size - 1)) == 0; }

std::string sqlite(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    if (!bytes::has(h, 0, 100)) return {};
    std::uint32_t page = bytes::be16(h, 16);
    if (page == 1) page = 65536;
    // The payload fractions are fixed at 64, 32 and 32.
    if (!sqlite_page_size(page) || bytes::u8(h, 21) != 64 || bytes::u8(h, 22) != 32 || bytes::u8(h, 23) != 32) return {};
    static constexpr std::array<std::string_view, 4> kEncodings{"", ", UTF-8", ", UTF-16le", ", UTF-16be"};
    std::uint32_t encoding = bytes::be32(h, 56);
    ctx.detail = "SQLite 3, page size " + number(page) + std::string(encoding < kEncodings.size() ? kEncodings[encoding] : "");
    return "sqlite,db,sqlite3,db3";
}

std::string sqlite_wal(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    constexpr std::uint32_t kWalVersion = 3007000;
    std::uint32_t page = bytes::be32(h, 8);
    if (!bytes::has(h, 0, 32) || bytes::be32(h, 4) != kWalVersion || !sqlite_page_size(page)) return {};
    ctx.detail = "SQLite write-ahead log, page size " + number(page);
    return "db-wal,sqlite-wal,sqlite3-wal";
}

std::string sqlite_journal(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::uint32_t page = bytes::be32(h, 24);
    if (!bytes::has(h, 0, 28) || (page != 0 && !sqlite_page_size(page))) return {};
    ctx.detail = "SQLite rollback journal" + (page ? ", page size " + number(page) : std::string());
    return "db-journal,sqlite-journal,sqlite3-journal";
}

// ---- columnar and row data --------------------------------------------------------

// The file ends with `magic` too, and is long enough to hold both.
Test ends_with(std::string_view magic) {
    return when([=](const HexImage&, const Context& ctx) {
        Probe& probe = probe_of(ctx);
        return probe.size() >= 2 * magic.size() && probe.tail(magic.size()) == magic;
    });
}

// An ORC file ends with its postscript, which ends with "ORC" and the
// postscript's length in one byte.
bool orc_tail(const HexImage&, const Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view t = probe.tail(4);
    return probe.size() > 8 && t.size() == 4 && t.substr(0, 3) == "ORC" && static_cast<unsigned char>(t[3]) >= 4;
}

// An Avro object container's metadata map names its schema near the start.
bool avro_meta(const HexImage&, const Context& ctx) {
    std::string_view h = probe_of(ctx).head().substr(0, 256);
    return h.find("avro.schema") != std::string_view::npos || h.find("avro.codec") != std::string_view::npos;
}

// ---- HDF5, netCDF, MATLAB, NumPy --------------------------------------------------

constexpr std::string_view kHdf5 = "\x89HDF\r\n\x1a\n"sv;
constexpr std::array<std::size_t, 4> kUserBlockEnds{0, 512, 1024, 2048};

// Where the HDF5 signature stands in the head (0 or the end of a user
// block), or npos.
std::size_t hdf5_at(std::string_view h) {
    for (std::size_t at : kUserBlockEnds)
        if (bytes::at(h, at, kHdf5)) return at;
    return std::string_view::npos;
}

std::string hdf5(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::size_t at = hdf5_at(h);
    if (at == std::string_view::npos || !bytes::has(h, at, 9) || bytes::u8(h, at + 8) > 3) return {};
    ctx.detail = "HDF5, superblock version " + number(bytes::u8(h, at + 8));
    if (at) ctx.detail += ", user block of " + number(at) + " bytes";
    // netCDF-4 writes its provenance attribute into the root group.
    if (h.find("_NCProperties") != std::string_view::npos) {
        ctx.detail = "netCDF-4 (" + ctx.detail + ")";
        return "nc,h5,nc4";
    }
    return "h5,hdf5,he5,nc";
}

std::string netcdf(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    switch (bytes::u8(h, 3)) {
        case 1: ctx.detail = "netCDF classic"; break;
        case 2: ctx.detail = "netCDF 64-bit offset"; break;
        case 5: ctx.detail = "netCDF 64-bit data (CDF-5)"; break;
        default: return {};
    }
    return "nc,cdf";
}

// A MATLAB 5 header: 116 bytes of text, 8 of subsystem offset, the version
// 0x0100 and the endian indicator "IM" (little) or "MI" (big).
std::string matlab(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    if (!bytes::has(h, 0, 128)) return {};
    std::string_view order = h.substr(126, 2);
    std::uint32_t version = order == "IM" ? bytes::le16(h, 124) : order == "MI" ? bytes::be16(h, 124) : 0;
    if (version != 0x0100 && version != 0x0200) return {};
    std::string_view text = h.substr(0, 116);
    std::string_view label = text.substr(0, text.find(" MAT-file"));
    if (label.size() == text.size() || label.size() <= 7 || label.size() > 16) return {};
    std::string level(label.substr(7));  // after "MATLAB "
    if (version == 0x0200) {
        if (!bytes::at(h, 512, kHdf5)) return {};
        ctx.detail = "MATLAB " + level + " MAT-file (HDF5)";
    } else {
        ctx.detail = "MATLAB " + level + " MAT-file";
    }
    return "mat";
}

std::string npy(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    unsigned major = bytes::u8(h, 6), minor = bytes::u8(h, 7);
    if (!bytes::has(h, 0, 10) || major < 1 || major > 3) return {};
    ctx.detail = "NumPy array, format " + number(major) + "." + number(minor);
    return "npy";
}

// A ZIP whose first entry is a NumPy array: what numpy.savez writes.
bool first_entry_npy(const HexImage&, const Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::size_t length = bytes::le16(h, 26);
    if (!bytes::has(h, 30, length) || length < 5) return false;
    std::string_view name = h.substr(30, length);
    return name.substr(length - 4) == ".npy";
}

// ---- captures ------------------------------------------------------------------------

std::string pcap(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::uint32_t magic = bytes::be32(h, 0);
    bool little = magic == 0xD4C3B2A1 || magic == 0x4D3CB2A1;
    bool nano = magic == 0xA1B23C4D || magic == 0x4D3CB2A1;
    auto num16 = [&](std::size_t at) { return little ? bytes::le16(h, at) : bytes::be16(h, at); };
    auto num32 = [&](std::size_t at) { return little ? bytes::le32(h, at) : bytes::be32(h, at); };
    if (!bytes::has(h, 0, 24) || num16(4) != 2) return {};
    std::uint32_t link = num32(20) & 0x0FFFFFFF;  // the top bits carry FCS flags
    ctx.detail = std::string("pcap ") + (little ? "little-endian" : "big-endian") + (nano ? ", nanosecond" : ", microsecond") +
                 ", link type " + number(link);
    if (link == 1) ctx.detail += " (Ethernet)";
    if (link == 101) ctx.detail += " (raw IP)";
    if (link == 113) ctx.detail += " (Linux cooked)";
    return "pcap,cap,dmp";
}

bool pcapng_order(const HexImage&, const Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::uint32_t order = bytes::be32(h, 8);
    return order == 0x1A2B3C4D || order == 0x4D3C2B1A;
}

// ---- property lists, Finder data, torrents -------------------------------------------------

// A binary property list's trailer: offset and reference sizes of 1 to 8.
bool bplist_trailer(const HexImage&, const Context& ctx) {
    Probe& probe = probe_of(ctx);
    if (probe.size() < 8 + 32) return false;
    std::string_view t = probe.tail(32);
    unsigned offset_size = bytes::u8(t, 6), ref_size = bytes::u8(t, 7);
    return t.size() == 32 && offset_size >= 1 && offset_size <= 8 && ref_size >= 1 && ref_size <= 8;
}

// Bounded reading of bencoded values in the head.
class Bencode {
public:
    explicit Bencode(std::string_view b) : b_(b) {}
    // Skips one value from `at`; false where it is broken, too deep or
    // leaves the region.
    bool skip(std::size_t& at, int depth = 0) {
        if (++steps_ > kMostSteps || depth > kMostDepth || at >= b_.size()) return false;
        char c = b_[at];
        if (c == 'i') {
            std::size_t end = b_.find('e', at);
            if (end == std::string_view::npos) return false;
            at = end + 1;
            return true;
        }
        if (c == 'l' || c == 'd') {
            for (++at; at < b_.size() && b_[at] != 'e';)
                if (!skip(at, depth + 1)) return false;
            if (at >= b_.size()) return false;
            ++at;
            return true;
        }
        std::string_view s;
        return string(at, s);
    }
    // Reads a byte string ("4:spam") from `at`.
    bool string(std::size_t& at, std::string_view& s) {
        std::size_t length = 0, i = at;
        for (; i < b_.size() && b_[i] >= '0' && b_[i] <= '9'; ++i) {
            if (i - at > 9) return false;
            length = length * 10 + static_cast<std::size_t>(b_[i] - '0');
        }
        if (i == at || i >= b_.size() || b_[i] != ':' || b_.size() - i - 1 < length) return false;
        s = b_.substr(i + 1, length);
        at = i + 1 + length;
        return true;
    }

private:
    static constexpr int kMostSteps = 4096, kMostDepth = 16;
    std::string_view b_;
    int steps_ = 0;
};

// The top dictionary holds "announce" (or "announce-list") or "info" among
// its first keys.
bool torrent_keys(const HexImage&, const Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    Bencode reader(h);
    constexpr int kMostKeys = 32;
    std::size_t at = 1;
    for (int keys = 0; keys < kMostKeys && at < h.size() && h[at] != 'e'; ++keys) {
        std::string_view key;
        if (!reader.string(at, key) || at >= h.size()) return false;
        if ((key == "announce" && h[at] >= '0' && h[at] <= '9') || (key == "announce-list" && h[at] == 'l') ||
            (key == "info" && h[at] == 'd'))
            return true;
        if (!reader.skip(at)) return false;
    }
    return false;
}

}  // namespace

const Table& data_table() {
    static const Table rows = {
        // row  tests                                                       answer
        {"1",  {at(0, "53514C69746520666F726D6174203300")},                sqlite},
        {"2",  {at_one_of(0, {"377F0682", "377F0683"})},                    sqlite_wal},
        {"3",  {at(0, "D9D505F920A163D7")},                                 sqlite_journal},
        {"4",  {at(0, "50415231"), ends_with("PAR1")},                      "parquet", {detail("Apache Parquet")}},
        {"5",  {at(0, "4F626A01"), when(avro_meta)},                        "avro",    {detail("Apache Avro object container")}},
        {"6",  {at(0, "4F5243"), when(orc_tail)},                           "orc",     {detail("Apache ORC")}},
        {"7",  {at(0, "4152524F57310000"), ends_with("ARROW1")},            "arrow,feather", {detail("Apache Arrow IPC file")}},
        {"8",  {at(0, "4D41544C414220")},                                   matlab},
        {"9",  {at(0, "894844460D0A1A0A")},                                 hdf5},
        {"10", {at(0, "434446"), any({at(3, "01"), at(3, "02"), at(3, "05")})}, netcdf},
        {"11", {at(0, "934E554D5059")},                                     npy},
        {"12", {at(0, "504B0304"), when(first_entry_npy)},                  "npz",     {detail("NumPy arrays (ZIP of .npy)")}},
        {"13", {at_one_of(0, {"A1B2C3D4", "D4C3B2A1", "A1B23C4D", "4D3CB2A1"})}, pcap},
        {"14", {at(0, "0A0D0D0A"), when(pcapng_order)},                     "pcapng,ntar", {detail("pcapng")}},
        {"15", {at(0, "62706C6973743030"), when(bplist_trailer)},           "plist",   {detail("binary property list")}},
        {"16", {at(0, "0000000142756431")},                                 "ds_store", {detail("Finder folder data")}},
        {"17", {at(0, "64"), at_char(2, "3"), when(torrent_keys)}, "torrent"},
        // HDF5 after a user block: no signature at the start to file the row by,
        // so it tests three places of the head and nothing more.
        {"18", {when([](const HexImage&, const Context& ctx) {
                    std::size_t at = hdf5_at(probe_of(ctx).head());
                    return at != 0 && at != std::string_view::npos;
                })},                                                        hdf5},
    };
    return rows;
}

}  // namespace zarvo::current
