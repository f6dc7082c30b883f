#include "crc.hpp"

#include <memory>

#include "platform/platform.hpp"

namespace zarvo {

namespace {
// Large reads: a checksum is bound by the system's reads, not the tables.
constexpr std::size_t kBlock = 256 * 1024;

// Computes the chosen checksums in one pass over the file.
FileChecksums checksum(const char* path, bool want16, bool want32) {
    FileChecksums out;
    platform::File file = platform::File::open(path);
    if (!file.is_open()) return out;
    out.opened = true;
    std::uint16_t c16 = 0xFFFF;
    std::uint32_t c32 = 0xFFFFFFFF;
    std::unique_ptr<char[]> block(new char[kBlock]);
    for (std::uint64_t offset = 0;;) {
        long got = file.read_at(offset, block.get(), kBlock);
        if (got > 0) {
            std::string_view bytes(block.get(), static_cast<std::size_t>(got));
            if (want16 && want32) update_both(c16, c32, bytes);
            else if (want16) c16 = Crc16::update(c16, bytes);
            else c32 = Crc32::update(c32, bytes);
            offset += static_cast<std::uint64_t>(got);
        }
        // A short read is the end of the file (or a read error).
        if (got < static_cast<long>(kBlock)) break;
    }
    out.crc16 = c16;
    out.crc32 = ~c32;
    return out;
}
}  // namespace

FileChecksums file_checksums(const char* path) { return checksum(path, true, true); }

std::uint16_t file_crc16(const char* path) { return checksum(path, true, false).crc16; }

std::uint32_t file_crc32(const char* path) { return checksum(path, false, true).crc32; }

}  // namespace zarvo
