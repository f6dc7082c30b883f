// File checksums: CRC-16/MCRF4XX and CRC-32 (ISO-HDLC) of a whole file.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zarvo {

// A reflected table-driven CRC: value = table[(value ^ byte) & 0xFF] ^ (value >> 8).
template <typename T, T kPoly>
struct ReflectedCrc {
    static constexpr std::array<T, 256> make_table() {
        std::array<T, 256> table{};
        for (unsigned i = 0; i < 256; ++i) {
            T v = static_cast<T>(i);
            for (int bit = 0; bit < 8; ++bit) v = (v & 1) ? static_cast<T>((v >> 1) ^ kPoly) : static_cast<T>(v >> 1);
            table[i] = v;
        }
        return table;
    }
    static constexpr std::array<T, 256> kTable = make_table();

    static constexpr T update(T value, std::string_view bytes) {
        for (char c : bytes) value = static_cast<T>(kTable[(value ^ static_cast<unsigned char>(c)) & 0xFF] ^ (value >> 8));
        return value;
    }
};

using Crc16 = ReflectedCrc<std::uint16_t, 0x8408>;
using Crc32 = ReflectedCrc<std::uint32_t, 0xEDB88320>;

// 0 when the file cannot be opened (no error report); the checksum of the
// bytes read so far when a read fails.
std::uint16_t file_crc16(const char* path);
std::uint32_t file_crc32(const char* path);

}  // namespace zarvo
