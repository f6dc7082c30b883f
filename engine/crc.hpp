// File checksums: CRC-16/MCRF4XX and CRC-32 (ISO-HDLC) of a whole file.
#pragma once

#include <array>
#include <bit>
#include <cstring>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace zarvo {

// A reflected table-driven CRC: value = table[(value ^ byte) & 0xFF] ^ (value >> 8).
// Long runs go eight bytes at a time through eight tables (slicing-by-8):
// table k gives the effect of a byte followed by k zero bytes.
template <typename T, T kPoly>
struct ReflectedCrc {
    using Value = T;
    static constexpr T kPolynomial = kPoly;
    static constexpr unsigned kWidth = 8 * sizeof(T);
    using Tables = std::array<std::array<T, 256>, 8>;
    static constexpr Tables make_tables() {
        Tables t{};
        for (unsigned i = 0; i < 256; ++i) {
            T v = static_cast<T>(i);
            for (int bit = 0; bit < 8; ++bit) v = (v & 1) ? static_cast<T>((v >> 1) ^ kPoly) : static_cast<T>(v >> 1);
            t[0][i] = v;
        }
        for (unsigned k = 1; k < 8; ++k)
            for (unsigned i = 0; i < 256; ++i)
                t[k][i] = static_cast<T>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
        return t;
    }
    static constexpr Tables kTables = make_tables();
    static constexpr const std::array<T, 256>& kTable = kTables[0];

    // Eight bytes as a little-endian number.
    static std::uint64_t load(const unsigned char* p) {
        std::uint64_t x;
        std::memcpy(&x, p, 8);
        if constexpr (std::endian::native == std::endian::big) {
            std::uint64_t r = 0;
            for (int k = 0; k < 8; ++k) r = (r << 8) | ((x >> (8 * k)) & 0xFF);
            x = r;
        }
        return x;
    }
    // The value after eight bytes `x`: the value sits in their low bytes.
    static T step(T value, std::uint64_t x) {
        x ^= value;
        return static_cast<T>(kTables[7][x & 0xFF] ^ kTables[6][(x >> 8) & 0xFF] ^ kTables[5][(x >> 16) & 0xFF] ^
                              kTables[4][(x >> 24) & 0xFF] ^ kTables[3][(x >> 32) & 0xFF] ^
                              kTables[2][(x >> 40) & 0xFF] ^ kTables[1][(x >> 48) & 0xFF] ^ kTables[0][x >> 56]);
    }

    static constexpr T update(T value, std::string_view bytes) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        std::size_t n = bytes.size();
        if (!std::is_constant_evaluated()) {
            for (; n >= 8; n -= 8, p += 8) value = step(value, load(p));
        }
        for (; n > 0; --n, ++p) value = static_cast<T>(kTable[(value ^ *p) & 0xFF] ^ (value >> 8));
        return value;
    }
};

using Crc16 = ReflectedCrc<std::uint16_t, 0x8408>;
using Crc32 = ReflectedCrc<std::uint32_t, 0xEDB88320>;

// Both at once, each word loaded once and the two chains interleaved.
inline void update_both(std::uint16_t& c16, std::uint32_t& c32, std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size() & ~std::size_t{7};
    for (std::size_t i = 0; i < n; i += 8) {
        std::uint64_t x = Crc32::load(p + i);
        c16 = Crc16::step(c16, x);
        c32 = Crc32::step(c32, x);
    }
    c16 = Crc16::update(c16, bytes.substr(n));
    c32 = Crc32::update(c32, bytes.substr(n));
}

// The arithmetic a checksum runs on. The tables work on every processor; the
// folding method uses the processor's carry-less multiply (x86 with PCLMULQDQ)
// and is taken only where the processor has it.
enum class CrcPath { kTables, kFolding };

// The folding method exists in this build and this processor runs it.
bool folding_supported();
// kFolding where folding_supported(), else kTables: what the file checksums use.
CrcPath best_crc_path();

// The register after `bytes`, computed by `path` (kFolding falls back to the
// tables where folding_supported() is false). Same results as Crc16::update and
// Crc32::update: the register goes in and out as those take and give it.
std::uint16_t update_crc16(std::uint16_t value, std::string_view bytes, CrcPath path);
std::uint32_t update_crc32(std::uint32_t value, std::string_view bytes, CrcPath path);
// Both registers after the same bytes, in one pass over them.
void update_both(std::uint16_t& c16, std::uint32_t& c32, std::string_view bytes, CrcPath path);

// Both checksums of a file from one reading. `opened` is false (and both
// checksums 0) when it cannot be opened; a failed read leaves the checksums
// of the bytes read so far.
struct FileChecksums {
    bool opened = false;
    std::uint16_t crc16 = 0;
    std::uint32_t crc32 = 0;
};
FileChecksums file_checksums(const char* path);

// One checksum alone: 0 when the file cannot be opened (no error report).
std::uint16_t file_crc16(const char* path);
std::uint32_t file_crc32(const char* path);

}  // namespace zarvo
