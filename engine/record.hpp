// Writing texts into a caller's fixed-size fields.
#pragma once

#include <cstddef>
#include <string_view>

#include "identify.hpp"
#include "zarvo32.h"

namespace zarvo {

// Copies `text` and its ending zero into `dst`, which holds `capacity`
// bytes; a longer text is cut without splitting a double-byte character.
void copy_text(char* dst, std::size_t capacity, std::string_view text);

// Writes the three fields of a result record.
void write_record(const Result& result, ZarvoRecord& record);

}  // namespace zarvo
