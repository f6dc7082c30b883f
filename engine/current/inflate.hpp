// A small, bounded decoder of raw DEFLATE data (stored, fixed and dynamic
// Huffman blocks), for the few KiB of a compressed entry the layer needs to
// read (a ZIP package's content types).
//
// It reads nothing outside `in`, writes no more than `limit` bytes, and each
// step takes input or gives output, so it always ends. It keeps the whole
// output as its window: a distance reaching before the output's start is
// invalid, as are code length sets that are over-subscribed or incomplete
// (save the single one-bit code the format allows), symbols the format does
// not define, and a stored block whose length fails its complement.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zarvo::current {

enum class Inflate {
    done,       // the final block ended
    limit,      // the output reached `limit` first
    truncated,  // the input ended inside the data
    invalid,    // the data breaks the format
};

// Decodes `in` into `out` (which is cleared first). On `truncated` and
// `invalid`, `out` holds what was decoded before the input ended or broke.
Inflate inflate(std::string_view in, std::size_t limit, std::string& out);

}  // namespace zarvo::current
