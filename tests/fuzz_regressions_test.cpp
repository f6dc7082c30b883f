// Inputs with which the fuzz targets found faults, kept as tests. Each runs
// clean in every build, including scripts/sanitize.sh.
#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

#include "hex_image.hpp"
#include "record.hpp"
#include "zarvo32.h"

TEST(FuzzRegressions, EmptyTextWithoutStorageIsCopied) {
    // A description of table 0 is a text with no storage behind it: copying
    // it must not hand the copy a null source, even for zero bytes.
    char out[256];
    std::memset(out, 'x', sizeof out);
    gGetWhatEx("zip", 0, out);
    EXPECT_STREQ(out, "");
    char field[4] = "abc";
    zarvo::copy_text(field, sizeof field, std::string_view());
    EXPECT_STREQ(field, "");
}

TEST(FuzzRegressions, ByteTestsAgreeWithTheSliceRule) {
    // The quick first-digit check of a byte test must not change its answer:
    // an empty pattern equals the empty slice wherever it is taken, and a
    // pattern that runs past the end never holds.
    zarvo::HexImage image("4A50");
    EXPECT_TRUE(image.at(0, ""));
    EXPECT_TRUE(image.at(5, ""));
    EXPECT_TRUE(image.at(1, "50"));
    EXPECT_FALSE(image.at(1, "5000"));
    EXPECT_FALSE(image.at(2, "50"));
    EXPECT_TRUE(image.at_char(3, "0"));
    EXPECT_FALSE(image.at_char(4, "0"));
}
