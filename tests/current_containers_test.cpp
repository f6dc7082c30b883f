// The current-formats layer's archives, disk images and keys: a table of
// kinds built from their public layouts, near misses, and hostile or
// truncated files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "context.hpp"
#include "current/layer.hpp"
#include "current/probe.hpp"
#include "support.hpp"

namespace {

using oxtarn::test::bytes;
using oxtarn::test::file_with;
using zarvo::Context;
using zarvo::current::kBudget;
using zarvo::current::Probe;

struct Outcome {
    std::string result, detail;
    std::size_t spent = 0;
};

Outcome ask(const std::string& data, std::string_view ext = {}) {
    Probe probe = Probe::of_bytes(data, ext);
    Context ctx;
    ctx.options = zarvo::kCurrent;
    std::string result = zarvo::current::identify(probe, ctx);
    return {result, ctx.detail, probe.spent()};
}

std::string text_at(std::string f, std::size_t at, std::string_view text) {
    if (f.size() < at + text.size()) f.resize(at + text.size());
    f.replace(at, text.size(), text);
    return f;
}

// A tar header for one file, its checksum written as the format says.
std::string tar_header(std::string_view magic, char type = '0', std::string_view name = "notes.txt") {
    std::string h(512, '\0');
    h = text_at(h, 0, name);
    h = text_at(h, 100, "0000644");
    h = text_at(h, 124, "00000000005");
    h[156] = type;
    h = text_at(h, 257, magic);
    h = text_at(h, 148, "        ");
    unsigned sum = 0;
    for (unsigned char c : h) sum += c;
    char field[8];
    std::snprintf(field, sizeof field, "%06o", sum);
    h = text_at(h, 148, std::string(field, 6) + std::string("\0 ", 2));
    return h + std::string("hello") + std::string(512 - 5 + 1024, '\0');
}

std::string le32(std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

// An ext superblock at 1024 with the given feature words.
std::string ext_image(std::uint32_t compat, std::uint32_t incompat, std::uint32_t ro) {
    std::string f(4096, '\0');
    f = text_at(f, 1024 + 0, le32(128));     // inodes
    f = text_at(f, 1024 + 4, le32(1024));    // blocks
    f = text_at(f, 1024 + 32, le32(8192));   // blocks per group
    f = text_at(f, 1024 + 56, bytes("53EF"));
    f = text_at(f, 1024 + 76, le32(1));      // dynamic revision
    f = text_at(f, 1024 + 92, le32(compat));
    f = text_at(f, 1024 + 96, le32(incompat));
    f = text_at(f, 1024 + 100, le32(ro));
    return text_at(f, 1024 + 120, "ROOTFS");
}

std::string mbr(std::string_view entry_type, std::string_view status = "00") {
    return file_with(64 * 1024, {{446, status}, {450, entry_type}, {454, "01000000"}, {458, "FF000000"}, {510, "55AA"}});
}

// A small DER certificate: SEQUENCE { SEQUENCE { [0] v3, INTEGER, SEQUENCE
// { OID }, SEQUENCE issuer (128 bytes) }, SEQUENCE { OID }, BIT STRING }.
const std::string kCertificate = bytes("30819F" "308192" "A003020102" "020101" "3005" "06032B6570" "308180") +
                                 std::string(128, '\0') + bytes("3005" "06032B6570" "030100");
// PKCS#12: SEQUENCE { INTEGER 3, SEQUENCE { OID data, [0] ... } }.
const std::string kPkcs12 = bytes("308194" "020103" "30818E" "06092A864886F70D010701" "A08180") + std::string(128, '\0');

TEST(CurrentContainers, KindsFromTheirLayouts) {
    const std::string iso_body = file_with(40000, {{32768, "01"}, {32769, "4344303031"}});
    const std::string label = text_at(iso_body, 32768 + 40, "HOLIDAY_2024");
    const std::string udf = file_with(40000, {{32769, "4245413031"}, {34817, "4E53523033"}});
    const std::string dmg = text_at(file_with(4096, {{0, "78DA"}, {4096 - 512 + 8, "00000200"}}), 4096 - 512, "koly");
    std::string gzip_named = bytes("1F8B0808000000000003") + std::string("notes.txt\0", 10) + std::string(20, 'x');
    std::string fixed_vhd = text_at(file_with(2048, {{2048 - 512 + 60, "00000002"}}), 2048 - 512, "conectix");
    std::string binary_cpio = bytes("C771") + std::string(18, '\0') + bytes("0600") + std::string(4, '\0') +
                              std::string("a.txt\0", 6) + std::string(40, '\0');
    std::string pgp_key = bytes("C633" "04" "65000000" "16" "092B06010401DA470F01") + std::string(40, 'k');
    std::string pgp_old_key = bytes("9833" "04" "65000000" "01") + std::string(48, 'k');
    std::string pgp_sig = bytes("C275" "04" "00" "16" "0A") + std::string(100, 's');
    std::string pgp_encrypted = bytes("8C0D" "04" "09" "03" "08") + std::string(20, 'e');
    std::string pgp_signed = bytes("A3" "01" "3B") + std::string(50, 'c');
    struct Case {
        const char* what;
        std::string file;
        const char* result;
        const char* detail;
    } cases[] = {
        {"7z", bytes("377ABCAF271C0004") + std::string(24, '\0'), "7z", "7z archive"},
        {"xz", bytes("FD377A585A000004E6D6B446"), "xz", "xz"},
        {"zst", bytes("28B52FFD2000410000"), "zst", "Zstandard"},
        {"lz", bytes("4C5A4950010C") + std::string(20, 'z'), "lz", "lzip"},
        {"lz4", bytes("04224D186440A7"), "lz4", "LZ4"},
        {"lzma", bytes("5D00008000FFFFFFFFFFFFFFFF0021"), "lzma", "LZMA"},
        {"rar5", bytes("526172211A0701003392B5E5"), "rar", "RAR 5"},
        {"gz", gzip_named, "gz,tgz", "gzip: notes.txt"},
        {"ustar", tar_header(std::string("ustar\0" "00", 8)), "tar", "POSIX tar (ustar)"},
        {"pax", tar_header(std::string("ustar\0" "00", 8), 'x'), "tar", "POSIX tar (pax)"},
        {"gnu tar", tar_header(std::string("ustar  \0", 8)), "tar", "GNU tar"},
        {"v7 tar", tar_header(""), "tar", "tar (v7)"},
        {"cpio newc", std::string("070701") + std::string(104, '0'), "cpio", "cpio"},
        {"cpio binary", binary_cpio, "cpio", "cpio (binary)"},
        {"ar", std::string("!<arch>\n") + "/               0           0     0     0       4         `\n", "a,lib", "ar archive"},
        {"deb", std::string("!<arch>\n") + "debian-binary   1700000000  0     0     100644  4         `\n2.0\n", "deb,udeb",
         "Debian package"},
        {"rpm", bytes("EDABEEDB0300000100") + std::string(100, '\0'), "rpm", "source package"},
        {"squashfs", file_with(96, {{0, "68737173"}, {20, "0400"}, {28, "04000000"}}), "squashfs,sqsh,sfs,snap", "squashfs 4.0 xz"},
        {"wim", bytes("4D5357494D000000D0000000"), "wim,swm,esd", ""},
        {"xar", bytes("78617221001C0001"), "xar,pkg", ""},
        {"iso", label, "iso", "ISO 9660: HOLIDAY_2024"},
        {"udf", udf, "iso", "UDF"},
        {"hybrid iso", text_at(mbr("17"), 32769, "CD001") + std::string(4096, '\0'), "iso", "ISO 9660"},
        {"dmg", dmg, "dmg", "Apple disk image"},
        {"qcow2", bytes("514649FB00000003"), "qcow2", "QEMU copy-on-write, version 3"},
        {"vmdk", bytes("4B444D5601000000"), "vmdk", "VMware virtual disk (sparse)"},
        {"vmdk descriptor", std::string("# Disk DescriptorFile\nversion=1\n"), "vmdk", "VMware virtual disk (descriptor)"},
        {"vhdx", std::string("vhdxfile") + std::string(8, '\0'), "vhdx", "virtual hard disk v2"},
        {"vdi", text_at(file_with(128, {{64, "7F10DABE"}}), 0, "<<< Oracle VM VirtualBox Disk Image >>>\n"), "vdi",
         "VirtualBox disk image"},
        {"dynamic vhd", text_at(file_with(512, {{60, "00000003"}}), 0, "conectix"), "vhd", "virtual hard disk (dynamic)"},
        {"fixed vhd", fixed_vhd, "vhd", "virtual hard disk (fixed)"},
        {"ext2", ext_image(0x38, 0x2, 0x3), "img,ext2", "ext2 file system: ROOTFS"},
        {"ext3", ext_image(0x3C, 0x2, 0x3), "img,ext3", "ext3 file system: ROOTFS"},
        {"ext4", ext_image(0x3C, 0x2C2, 0x46B), "img,ext4", "ext4 file system: ROOTFS"},
        {"fat12", text_at(text_at(file_with(512, {{0, "EB3C90"}, {11, "0002"}, {13, "01"}, {14, "0100"}, {16, "02"}, {510, "55AA"}}),
                                  54, "FAT12   "), 43, "MYDISK     "), "img", "FAT12 file system: MYDISK"},
        {"ntfs", bytes("EB52904E5446532020202000"), "img", "NTFS file system"},
        {"xfs", bytes("5846534200001000"), "img", "XFS file system"},
        {"mbr", mbr("83"), "img", "disk image (MBR partitions)"},
        {"gpt", text_at(mbr("EE"), 512, std::string("EFI PART\0\0\1\0\x5C\0\0\0", 16)), "img", "disk image (GPT partitions)"},
        {"btrfs", text_at(std::string(72 * 1024, '\0'), 65536 + 64, "_BHRfS_M"), "img", "btrfs file system"},
        {"der", kCertificate, "der,cer,crt", "X.509 certificate, version 3"},
        {"p12", kPkcs12, "p12,pfx", "PKCS #12 key store"},
        {"pgp key", pgp_key, "gpg,pgp,key", "OpenPGP public key"},
        {"pgp old key", pgp_old_key, "gpg,pgp,key", "OpenPGP public key"},
        {"pgp signature", pgp_sig, "sig,gpg,pgp", "OpenPGP signature"},
        {"pgp symmetric", pgp_encrypted, "gpg,pgp", "OpenPGP encrypted message"},
        {"pgp compressed", pgp_signed, "gpg,pgp", "OpenPGP message (compressed)"},
        {"kdbx", bytes("03D9A29A67FB4BB501000400"), "kdbx", "KeePass database (2.x)"},
        {"kbx", bytes("00000020" "01" "010000" "4B425866"), "kbx", "GnuPG keybox"},
    };
    for (const Case& c : cases) {
        Outcome got = ask(c.file);
        EXPECT_EQ(got.result, c.result) << c.what;
        EXPECT_EQ(got.detail, c.detail) << c.what;
        EXPECT_LE(got.spent, kBudget) << c.what;
        // Cut short anywhere, a file never reads out of bounds or past the budget.
        for (std::size_t n = 0; n < c.file.size(); n += 1 + c.file.size() / 23)
            EXPECT_LE(ask(c.file.substr(0, n)).spent, kBudget) << c.what << " cut at " << n;
    }
}

TEST(CurrentContainers, NearMissesGetNoAnswer) {
    std::string bad_sum = tar_header(std::string("ustar\0" "00", 8));
    bad_sum[0] = 'N';  // the checksum no longer holds
    std::string garbage_sum(512, 'a');
    garbage_sum = text_at(garbage_sum, 148, "0001234 ");
    std::string cert_too_long = kCertificate;
    cert_too_long[2] = '\xFF';  // longer than the file
    const std::pair<const char*, std::string> cases[] = {
        {"tar with a wrong checksum", bad_sum},
        {"text with an octal field", garbage_sum},
        {"zeros", std::string(1024, '\0')},
        {"zeros, large, no descriptors", std::string(40000, '\0')},
        {"mbr with a bad status", mbr("83", "12")},
        {"mbr with no partition", mbr("00")},
        {"certificate longer than the file", cert_too_long},
        {"DER sequence of something else", bytes("3082000A020101020101020101020101")},
        {"pgp bad key algorithm", bytes("C60D0465000000FE") + std::string(10, 'k')},
        {"pgp bad version", bytes("C60D0965000000010101")},
        {"lzma with an odd dictionary", bytes("5D00007000FFFFFFFFFFFFFFFF0021")},
        {"cpio binary with a wild name", bytes("C771") + std::string(18, '\0') + bytes("FF7F")},
        {"gzip with reserved flags", bytes("1F8B08E0000000000003")},
        {"ext magic without a superblock", file_with(2048, {{1080, "53EF"}})},
        {"koly not in the tail", file_with(4096, {{0, "78DA"}, {100, "6B6F6C79"}})},
    };
    for (const auto& [what, file] : cases) EXPECT_EQ(ask(file).result, "") << what;
}

}  // namespace
