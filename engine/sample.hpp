// The sample reader: the head and tail bytes of a source.
#pragma once

#include <cstdint>
#include <string>

#include "source.hpp"

namespace zarvo {

inline constexpr std::int32_t kMaxSample = 40000;  // the head buffer's size
inline constexpr std::size_t kTailBytes = 1024;

struct Sample {
    std::string head;         // up to the sample length, from the start
    std::string tail;         // the last 1024 bytes, or the whole file when shorter
    std::uint64_t size = 0;   // the true size
};

// Clamps a caller's sample length to 0..40000.
std::int32_t clamp_sample_length(std::int32_t n);

// Reads the head (clamped sample length) and, when `with_tail`, the tail of
// the source; false when a read fails. Only the footer identification looks
// at the tail, so the other inspections spare themselves that read.
bool read_sample(const Source& source, std::int32_t sample_length, bool with_tail, Sample& out);

}  // namespace zarvo
