// The current-formats layer's data and science files: headers built here
// from the formats' published layouts (hex at offsets), run through the layer.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "context.hpp"
#include "current/layer.hpp"
#include "current/probe.hpp"
#include "support.hpp"

namespace {

using namespace zarvo;
using oxtarn::test::bytes;
using oxtarn::test::file_with;

struct Answer {
    std::string candidates, detail;
    std::size_t spent;
};

Answer identify(const std::string& file, std::string_view ext = {}) {
    current::Probe probe = current::Probe::of_bytes(file, ext);
    Context ctx;
    ctx.options = kCurrent;
    ctx.file_size = file.size();
    std::string candidates = current::identify(probe, ctx);
    return {candidates, candidates.empty() ? std::string() : ctx.detail, probe.spent()};
}

std::string hex_of(std::string_view text) {
    static const char* digits = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : text) hex += digits[c >> 4], hex += digits[c & 15];
    return hex;
}

const std::string kSqlite = hex_of("SQLite format 3") + "00";
const std::string kHdf5 = "894844460D0A1A0A";
const std::string kMat5 = hex_of("MATLAB 5.0 MAT-file, Platform: GLNXA64");
const std::string kMat73 = hex_of("MATLAB 7.3 MAT-file, Platform: GLNXA64, HDF5 schema 1.00 .");

struct Case {
    const char* what;
    std::string file;
    const char* candidates;
    const char* detail;
};

void check(const Case& c) {
    Answer a = identify(c.file);
    EXPECT_EQ(a.candidates, c.candidates) << c.what;
    EXPECT_EQ(a.detail, c.detail) << c.what;
    EXPECT_LE(a.spent, current::kBudget) << c.what;
}

TEST(CurrentData, SqliteAndItsLogs) {
    const Case cases[] = {
        {"database", file_with(512, {{0, kSqlite}, {16, "1000"}, {21, "402020"}, {56, "00000001"}}),
         "sqlite,db,sqlite3,db3", "SQLite 3, page size 4096, UTF-8"},
        {"64 KiB pages, UTF-16be", file_with(512, {{0, kSqlite}, {16, "0001"}, {21, "402020"}, {56, "00000003"}}),
         "sqlite,db,sqlite3,db3", "SQLite 3, page size 65536, UTF-16be"},
        {"empty database (no encoding yet)", file_with(512, {{0, kSqlite}, {16, "0200"}, {21, "402020"}}),
         "sqlite,db,sqlite3,db3", "SQLite 3, page size 512"},
        {"page size not a power of two", file_with(512, {{0, kSqlite}, {16, "1001"}, {21, "402020"}}), "", ""},
        {"payload fractions wrong", file_with(512, {{0, kSqlite}, {16, "1000"}, {21, "402021"}}), "", ""},
        {"truncated header", file_with(60, {{0, kSqlite}, {16, "1000"}, {21, "402020"}}), "", ""},
        {"write-ahead log", file_with(64, {{0, "377F0682"}, {4, "002DE218"}, {8, "00001000"}}),
         "db-wal,sqlite-wal,sqlite3-wal", "SQLite write-ahead log, page size 4096"},
        {"write-ahead log, other version", file_with(64, {{0, "377F0683"}, {4, "002DE219"}, {8, "00001000"}}), "", ""},
        {"rollback journal", file_with(512, {{0, "D9D505F920A163D7"}, {20, "00000200"}, {24, "00000400"}}),
         "db-journal,sqlite-journal,sqlite3-journal", "SQLite rollback journal, page size 1024"},
    };
    for (const Case& c : cases) check(c);
}

TEST(CurrentData, ColumnarAndRowData) {
    const Case cases[] = {
        {"parquet", file_with(64, {{0, hex_of("PAR1")}, {60, hex_of("PAR1")}}), "parquet", "Apache Parquet"},
        {"parquet without its footer", file_with(64, {{0, hex_of("PAR1")}}), "", ""},
        {"parquet magic alone", bytes(hex_of("PAR1")), "", ""},
        {"avro", file_with(64, {{0, "4F626A01"}, {4, "04"}, {5, "16" + hex_of("avro.schema")}}), "avro",
         "Apache Avro object container"},
        {"Obj and a version byte alone", file_with(64, {{0, "4F626A01"}}), "", ""},
        {"orc", file_with(64, {{0, hex_of("ORC")}, {60, hex_of("ORC") + "17"}}), "orc", "Apache ORC"},
        {"orc without its postscript", file_with(64, {{0, hex_of("ORC")}}), "", ""},
        {"arrow", file_with(64, {{0, hex_of("ARROW1") + "0000"}, {58, hex_of("ARROW1")}}), "arrow,feather",
         "Apache Arrow IPC file"},
        {"arrow stream start alone", file_with(64, {{0, hex_of("ARROW1") + "0000"}}), "", ""},
    };
    for (const Case& c : cases) check(c);
}

TEST(CurrentData, ScienceFiles) {
    const Case cases[] = {
        {"hdf5", file_with(64, {{0, kHdf5}, {8, "00"}}), "h5,hdf5,he5,nc", "HDF5, superblock version 0"},
        {"hdf5 after a 512-byte user block", file_with(600, {{512, kHdf5}, {520, "02"}}), "h5,hdf5,he5,nc",
         "HDF5, superblock version 2, user block of 512 bytes"},
        {"hdf5 after a 2048-byte user block", file_with(2100, {{2048, kHdf5}, {2056, "03"}}), "h5,hdf5,he5,nc",
         "HDF5, superblock version 3, user block of 2048 bytes"},
        {"hdf5 signature off a block end", file_with(800, {{700, kHdf5}}), "", ""},
        {"netCDF-4", file_with(256, {{0, kHdf5}, {8, "02"}, {100, hex_of("_NCProperties")}}), "nc,h5,nc4",
         "netCDF-4 (HDF5, superblock version 2)"},
        {"netCDF classic", file_with(32, {{0, "43444601"}}), "nc,cdf", "netCDF classic"},
        {"netCDF 64-bit offset", file_with(32, {{0, "43444602"}}), "nc,cdf", "netCDF 64-bit offset"},
        {"netCDF 64-bit data", file_with(32, {{0, "43444605"}}), "nc,cdf", "netCDF 64-bit data (CDF-5)"},
        {"netCDF, unknown kind", file_with(32, {{0, "43444603"}}), "", ""},
        {"MAT 5, little-endian", file_with(256, {{0, kMat5}, {124, "0001" + hex_of("IM")}}), "mat", "MATLAB 5.0 MAT-file"},
        {"MAT 5, big-endian", file_with(256, {{0, kMat5}, {124, "0100" + hex_of("MI")}}), "mat", "MATLAB 5.0 MAT-file"},
        {"MAT 7.3", file_with(600, {{0, kMat73}, {124, "0002" + hex_of("IM")}, {512, kHdf5}}), "mat",
         "MATLAB 7.3 MAT-file (HDF5)"},
        {"MAT 7.3 without its HDF5 part", file_with(600, {{0, kMat73}, {124, "0002" + hex_of("IM")}}), "", ""},
        {"MAT header text without the endian mark", file_with(256, {{0, kMat5}}), "", ""},
        {"MAT header text without a level", file_with(256, {{0, hex_of("MATLAB MAT-file")}, {124, "0001" + hex_of("IM")}}), "", ""},
        {"npy", file_with(128, {{0, "934E554D5059"}, {6, "0100"}}), "npy", "NumPy array, format 1.0"},
        {"npy, unknown format", file_with(128, {{0, "934E554D5059"}, {6, "0900"}}), "", ""},
        {"npz", file_with(64, {{0, "504B0304"}, {26, "0500"}, {30, hex_of("a.npy")}}), "npz", "NumPy arrays (ZIP of .npy)"},
        {"zip of other entries", file_with(64, {{0, "504B0304"}, {26, "0500"}, {30, hex_of("a.txt")}}), "", ""},
        {"zip entry name past the end", file_with(32, {{0, "504B0304"}, {26, "FFFF"}}), "", ""},
    };
    for (const Case& c : cases) check(c);
}

TEST(CurrentData, CapturesListsAndTorrents) {
    std::string bplist = file_with(80, {{0, hex_of("bplist00")}, {48 + 6, "0101"}});
    const Case cases[] = {
        {"pcap little-endian", file_with(40, {{0, "D4C3B2A1"}, {4, "02000400"}, {20, "01000000"}}), "pcap,cap,dmp",
         "pcap little-endian, microsecond, link type 1 (Ethernet)"},
        {"pcap big-endian", file_with(40, {{0, "A1B2C3D4"}, {4, "00020004"}, {20, "00000071"}}), "pcap,cap,dmp",
         "pcap big-endian, microsecond, link type 113 (Linux cooked)"},
        {"pcap nanosecond", file_with(40, {{0, "4D3CB2A1"}, {4, "02000400"}, {20, "65000000"}}), "pcap,cap,dmp",
         "pcap little-endian, nanosecond, link type 101 (raw IP)"},
        {"pcap nanosecond big-endian", file_with(40, {{0, "A1B23C4D"}, {4, "00020004"}, {20, "00000001"}}),
         "pcap,cap,dmp", "pcap big-endian, nanosecond, link type 1 (Ethernet)"},
        {"pcap, unknown major version", file_with(40, {{0, "D4C3B2A1"}, {4, "09000400"}}), "", ""},
        {"pcapng", file_with(40, {{0, "0A0D0D0A"}, {4, "1C000000"}, {8, "4D3C2B1A"}}), "pcapng,ntar", "pcapng"},
        {"pcapng without its byte-order magic", file_with(40, {{0, "0A0D0D0A"}, {4, "1C000000"}}), "", ""},
        {"binary plist", bplist, "plist", "binary property list"},
        {"binary plist with a broken trailer", file_with(80, {{0, hex_of("bplist00")}}), "", ""},
        {".DS_Store", file_with(64, {{0, "0000000142756431"}}), "ds_store", "Finder folder data"},
        {"torrent", bytes(hex_of("d8:announce20:http://t.example/ann4:infod6:lengthi5eee")), "torrent", ""},
        {"torrent with a comment first", bytes(hex_of("d7:comment2:hi10:created by2:me4:infod6:lengthi5eee")),
         "torrent", ""},
        {"trackerless, keys nested before info",
         bytes(hex_of("d5:nodesll3:one5:12345el3:twoi6eee4:infod4:name1:xee")), "torrent", ""},
        {"bencoded dictionary of other keys", bytes(hex_of("d3:key5:value5:otheri3ee")), "", ""},
        {"string length past the end", bytes(hex_of("d99999999:announce")), "", ""},
        {"lists nested past the limit", bytes(hex_of("d3:key" + std::string(5000, 'l') + std::string(5000, 'e') + "4:infodee")),
         "", ""},
    };
    for (const Case& c : cases) check(c);
}

}  // namespace
