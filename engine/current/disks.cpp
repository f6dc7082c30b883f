// The current-formats layer: disk, machine and file-system images.
//
// Machine images (qcow2, vmdk, vhdx, vdi, dynamic vhd) carry a magic number
// at the start. File systems keep theirs in the boot sector or a superblock
// (ext at byte 1080, within the head; btrfs at 64 KiB, read only when the
// head starts with zeros). A fixed vhd is raw disk data with a footer in its
// last 512 bytes; a partitioned disk is told by its boot sector's table.
#include <string>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

std::string_view head_of(const Context& ctx) { return probe_of(ctx).head(); }


// ---- machine images ----------------------------------------------------------

std::string qcow_kind(const HexImage&, Context& ctx) {
    std::uint32_t version = bytes::be32(head_of(ctx), 4);
    ctx.detail = "QEMU copy-on-write, version " + std::to_string(version);
    return version == 1 ? "qcow,qcow2" : "qcow2";
}

// VHD footer / its copy at the start of a dynamic disk: disk type at 60.
std::string vhd_detail(std::string_view footer) {
    switch (bytes::be32(footer, 60)) {
        case 2: return "virtual hard disk (fixed)";
        case 3: return "virtual hard disk (dynamic)";
        case 4: return "virtual hard disk (differencing)";
        default: return "virtual hard disk";
    }
}

std::string vhd_kind(const HexImage&, Context& ctx) {
    ctx.detail = vhd_detail(head_of(ctx));
    return "vhd";
}

// ---- file systems --------------------------------------------------------------

// ext2/3/4: the superblock at 1024 with its magic at 1080 and sane sizes;
// the features tell the generations apart.
bool ext_superblock(const HexImage&, const Context& ctx) {
    std::string_view h = head_of(ctx);
    constexpr std::size_t sb = 1024;
    if (bytes::le16(h, sb + 56) != 0xEF53) return false;
    return bytes::le32(h, sb + 24) <= 6 && bytes::le32(h, sb + 0) != 0 && bytes::le32(h, sb + 32) != 0 &&
           bytes::le32(h, sb + 76) <= 1;
}

std::string ext_kind(const HexImage&, Context& ctx) {
    std::string_view h = head_of(ctx);
    constexpr std::size_t sb = 1024;
    std::uint32_t compat = bytes::le32(h, sb + 92), incompat = bytes::le32(h, sb + 96), ro = bytes::le32(h, sb + 100);
    // extents, 64bit, flex_bg, mmp, inline data, metadata checksums and the like
    bool four = (incompat & ~0x0006u) != 0 || (ro & ~0x0003u) != 0;
    const char* generation = four ? "ext4" : (compat & 0x0004) ? "ext3" : "ext2";
    ctx.detail = std::string(generation) + " file system";
    std::string label = bytes::field_text(h, sb + 120, 16);
    if (!label.empty()) ctx.detail += ": " + label;
    return std::string("img,") + generation;
}

// A FAT boot sector: jump, a BIOS parameter block with sane values, the
// type text and 55AA.
bool fat_boot(const HexImage&, const Context& ctx) {
    std::string_view h = head_of(ctx);
    if (!bytes::at(h, 510, "\x55\xAA")) return false;
    std::uint32_t sector = bytes::le16(h, 11), cluster = bytes::u8(h, 13), fats = bytes::u8(h, 16);
    if (sector < 512 || sector > 4096 || (sector & (sector - 1)) != 0) return false;
    if (cluster == 0 || (cluster & (cluster - 1)) != 0 || bytes::le16(h, 14) == 0 || fats == 0 || fats > 2) return false;
    return bytes::at(h, 54, "FAT1") || bytes::at(h, 82, "FAT32   ");
}

std::string fat_kind(const HexImage&, Context& ctx) {
    std::string_view h = head_of(ctx);
    bool fat32 = bytes::at(h, 82, "FAT32   ");
    std::string type = fat32 ? "FAT32" : bytes::field_text(h, 54, 8);
    ctx.detail = type + " file system";
    std::string label = bytes::field_text(h, fat32 ? 71 : 43, 11);
    if (!label.empty() && label != "NO NAME") ctx.detail += ": " + label;
    return "img";
}

std::string fs_named(const char* text, const HexImage&, Context& ctx) {
    ctx.detail = text;
    return "img";
}

// ---- partitioned disks and raw disk data -----------------------------------------

// The four entries of a boot sector's partition table: each with status 0
// or 80, one at least in use with a start and a length, none ending past
// what a 32-bit sector count can hold.
int partitions(std::string_view h) {
    if (!bytes::at(h, 510, "\x55\xAA")) return -1;
    int used = 0;
    for (std::size_t e = 446; e < 510; e += 16) {
        unsigned status = bytes::u8(h, e), type = bytes::u8(h, e + 4);
        if (status != 0 && status != 0x80) return -1;
        if (type == 0) continue;
        std::uint64_t start = bytes::le32(h, e + 8), count = bytes::le32(h, e + 12);
        if (start == 0 || count == 0 || start + count > 0x100000000ull) return -1;
        ++used;
    }
    return used;
}

bool gpt_header(std::string_view b) { return bytes::at(b, 0, "EFI PART") && bytes::le32(b, 12) >= 92; }

// Raw disk data: a boot sector with a partition table, or zeros. A footer
// in the last 512 bytes makes it a fixed vhd; a CD001 at 32769 leaves it to
// the disc images; otherwise a partition table makes it a disk image.
bool raw_disk_start(const HexImage& img, const Context& ctx) {
    return bytes::at(head_of(ctx), 510, "\x55\xAA") || img.at(0, "0000000000000000");
}

std::string raw_disk_kind(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view h = head_of(ctx);
    if (probe.size() >= 1024 && probe.size() % 512 == 0) {
        std::string_view footer = probe.tail(512);
        if (bytes::at(footer, 0, "conectix")) {
            ctx.detail = vhd_detail(footer);
            return "vhd";
        }
    }
    // btrfs: the superblock at 64 KiB, its magic 64 bytes in.
    if (bytes::u8(h, 0) == 0 && probe.size() >= 65536 + 4096 && probe.read(65536 + 64, 8) == "_BHRfS_M") {
        ctx.detail = "btrfs file system";
        return "img";
    }
    int used = partitions(h);
    if (used <= 0) return {};
    if (probe.size() >= 34816 && probe.read(32769, 5) == "CD001") return {};
    bool gpt = bytes::u8(h, 450) == 0xEE && (gpt_header(h.substr(std::min<std::size_t>(512, h.size()))) ||
                                             gpt_header(probe.read(4096, 16)));
    ctx.detail = gpt ? "disk image (GPT partitions)" : "disk image (MBR partitions)";
    return "img";
}

}  // namespace

const Table& disks_table() {
    static const Table rows = {
    // row      tests                                                   answer
    {"qcow",    {at(0, "514649FB"), at_one_of(4, {"00000001", "00000002", "00000003"})}, qcow_kind},
    {"vmdk",    {at(0, "4B444D56"), at_one_of(4, {"01000000", "02000000", "03000000"})}, "vmdk",
                                                                        {detail("VMware virtual disk (sparse)")}},
    {"vmdkd",   {at(0, "23204469736B2044657363726970746F7246696C65")},  "vmdk",
                                                                        {detail("VMware virtual disk (descriptor)")}},
    {"cowd",    {at(0, "434F5744"), at(4, "01000000")},                 "vmdk",  {detail("VMware virtual disk (ESX)")}},
    {"vhdx",    {at(0, "7668647866696C65")},                            "vhdx",  {detail("virtual hard disk v2")}},
    {"vdi",     {at(0, "3C3C3C20"), hex_at(64, "7F10DABE")},             "vdi",   {detail("VirtualBox disk image")}},
    {"vhd",     {at(0, "636F6E6563746978")},                            vhd_kind},
    {"xfs",     {at(0, "58465342"), at(4, "0000")},                     [](const HexImage& i, Context& c) { return fs_named("XFS file system", i, c); }},
    {"ntfs",    {at(0, "EB52904E54465320202020")},                      [](const HexImage& i, Context& c) { return fs_named("NTFS file system", i, c); }},
    {"exfat",   {at(0, "EB76904558464154202020")},                      [](const HexImage& i, Context& c) { return fs_named("exFAT file system", i, c); }},
    {"fat",     {at_one_of(0, {"EB", "E9"}), when(fat_boot)},           fat_kind},
    {"ext",     {when(ext_superblock)},                                 ext_kind},
    {"raw",     {when(raw_disk_start)},                                 raw_disk_kind},
    };
    return rows;
}

}  // namespace zarvo::current
