// File checksums: the table and folding methods against the plain bit-by-bit
// definition, over every alignment and over files of several reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

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

// Each arithmetic forced in turn: the tables everywhere, the folding where the
// processor has a carry-less multiply.
class ChecksumPath : public testing::TestWithParam<zarvo::CrcPath> {
protected:
    void SetUp() override {
        if (GetParam() == zarvo::CrcPath::kFolding && !zarvo::folding_supported())
            GTEST_SKIP() << "this processor has no carry-less multiply";
    }
};

TEST_P(ChecksumPath, MatchesTheDefinitionAtEveryLengthAndAlignment) {
    // Lengths around a lane (16), four lanes (64), the reader's block and beyond.
    const std::size_t kLengths[] = {0, 1, 15, 16, 17, 63, 64, 65, 255, 262143, 262144, 262145, 3 * 1048576 + 5};
    const std::size_t longest = kLengths[std::size(kLengths) - 1];
    const std::string data = noise(longest + 16, 11);
    for (std::size_t start = 0; start < 16; ++start) {
        // The definition run once along the data, read off at each length.
        std::uint16_t want16 = 0xFFFF;
        std::uint32_t want32 = 0xFFFFFFFF;
        std::size_t done = 0;
        for (std::size_t n : kLengths) {
            const std::string more = data.substr(start + done, n - done);
            want16 = bitwise<std::uint16_t>(want16, 0x8408, more);
            want32 = bitwise<std::uint32_t>(want32, 0xEDB88320, more);
            done = n;
            const std::string_view part(data.data() + start, n);
            ASSERT_EQ(zarvo::update_crc16(0xFFFF, part, GetParam()), want16) << start << "+" << n;
            ASSERT_EQ(zarvo::update_crc32(0xFFFFFFFF, part, GetParam()), want32) << start << "+" << n;
            std::uint16_t c16 = 0xFFFF;
            std::uint32_t c32 = 0xFFFFFFFF;
            zarvo::update_both(c16, c32, part, GetParam());
            ASSERT_EQ(c16, want16) << start << "+" << n;
            ASSERT_EQ(c32, want32) << start << "+" << n;
        }
    }
}

TEST_P(ChecksumPath, CarriesTheRegisterAcrossPieces) {
    const std::string data = noise(5000, 3);
    const std::uint16_t whole16 = ref16(data);
    const std::uint32_t whole32 = ref32(data);
    // Cuts inside a lane, on a lane, and leaving pieces shorter than four lanes.
    for (std::size_t cut : {std::size_t{1}, std::size_t{16}, std::size_t{63}, std::size_t{100}, std::size_t{4999}}) {
        const std::string_view a(data.data(), cut), b(data.data() + cut, data.size() - cut);
        EXPECT_EQ(zarvo::update_crc16(zarvo::update_crc16(0xFFFF, a, GetParam()), b, GetParam()), whole16) << cut;
        EXPECT_EQ(~zarvo::update_crc32(zarvo::update_crc32(0xFFFFFFFF, a, GetParam()), b, GetParam()), whole32)
            << cut;
        std::uint16_t c16 = 0xFFFF;
        std::uint32_t c32 = 0xFFFFFFFF;
        zarvo::update_both(c16, c32, a, GetParam());
        zarvo::update_both(c16, c32, b, GetParam());
        EXPECT_EQ(c16, whole16) << cut;
        EXPECT_EQ(~c32, whole32) << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ChecksumPath, testing::Values(zarvo::CrcPath::kTables, zarvo::CrcPath::kFolding),
                         [](const testing::TestParamInfo<zarvo::CrcPath>& info) {
                             return info.param == zarvo::CrcPath::kTables ? "Tables" : "Folding";
                         });

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
