// Inputs with which the fuzz targets found faults, kept as tests. Each runs
// clean in every build, including scripts/sanitize.sh.
#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

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
