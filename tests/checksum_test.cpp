// File checksums: the table methods against the plain bit-by-bit definition,
// over every alignment and over files of several reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "crc.hpp"
#include "support.hpp"

using oxtarn::test::TempDir;

namespace {

// The definition: one bit at a time, reflected.
template <typename T>
T bitwise(T value, T poly, const std::string& data) {
    for (unsigned char c : data) {
        value ^= c;
        for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? static_cast<T>((value >> 1) ^ poly) : static_cast<T>(value >> 1);
    }
    return value;
}
std::uint16_t ref16(const std::string& d) { return bitwise<std::uint16_t>(0xFFFF, 0x8408, d); }
std::uint32_t ref32(const std::string& d) { return ~bitwise<std::uint32_t>(0xFFFFFFFF, 0xEDB88320, d); }

std::string noise(std::size_t n, std::uint32_t seed) {
    std::string s(n, '\0');
    for (char& c : s) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 23);
    }
    return s;
}

}  // namespace

TEST(FileChecksums, TablesMatchTheDefinitionAtEveryLengthAndAlignment) {
    const std::string data = noise(300, 7);
    for (std::size_t start = 0; start < 9; ++start)
        for (std::size_t n = 0; start + n <= data.size(); n += (n < 40 ? 1 : 37)) {
            std::string part = data.substr(start, n);
            ASSERT_EQ(~zarvo::Crc32::update(0xFFFFFFFF, part), ref32(part)) << start << "+" << n;
            ASSERT_EQ(zarvo::Crc16::update(0xFFFF, part), ref16(part)) << start << "+" << n;
        }
    // Fed in pieces, the same as whole.
    std::uint32_t c32 = zarvo::Crc32::update(zarvo::Crc32::update(0xFFFFFFFF, data.substr(0, 13)), data.substr(13));
    EXPECT_EQ(~c32, ref32(data));
}

TEST(FileChecksums, OnePassGivesBothOverSeveralReads) {
    TempDir dir;
    // Sizes around the reader's block (256 KiB) and well beyond it.
    for (std::size_t n : {std::size_t{0}, std::size_t{5}, std::size_t{262144}, std::size_t{262145}, std::size_t{700001}}) {
        std::string data = noise(n, static_cast<std::uint32_t>(n));
        std::string p = dir.write("c.bin", data);
        zarvo::FileChecksums both = zarvo::file_checksums(p.c_str());
        EXPECT_TRUE(both.opened);
        EXPECT_EQ(both.crc16, ref16(data)) << n;
        EXPECT_EQ(both.crc32, ref32(data)) << n;
        EXPECT_EQ(zarvo::file_crc16(p.c_str()), both.crc16) << n;
        EXPECT_EQ(zarvo::file_crc32(p.c_str()), both.crc32) << n;
    }
    zarvo::FileChecksums missing = zarvo::file_checksums(dir.file("missing").c_str());
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(missing.crc16, 0);
    EXPECT_EQ(missing.crc32, 0u);
}
