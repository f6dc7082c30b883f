#include "crc.hpp"

#include "platform/platform.hpp"

namespace zarvo {

namespace {
// Feeds the file to `feed` in blocks of 1024 bytes; false when it cannot be opened.
template <typename Feed>
bool read_blocks(const char* path, Feed&& feed) {
    platform::File file = platform::File::open(path);
    if (!file.is_open()) return false;
    char block[1024];
    std::uint64_t offset = 0;
    for (;;) {
        long got = file.read_at(offset, block, sizeof block);
        if (got > 0) feed(std::string_view(block, static_cast<std::size_t>(got)));
        if (got < static_cast<long>(sizeof block)) return true;
        offset += static_cast<std::uint64_t>(got);
    }
}
}  // namespace

std::uint16_t file_crc16(const char* path) {
    std::uint16_t crc = 0xFFFF;
    if (!read_blocks(path, [&](std::string_view b) { crc = Crc16::update(crc, b); })) return 0;
    return crc;
}

std::uint32_t file_crc32(const char* path) {
    std::uint32_t crc = 0xFFFFFFFF;
    if (!read_blocks(path, [&](std::string_view b) { crc = Crc32::update(crc, b); })) return 0;
    return ~crc;
}

}  // namespace zarvo
