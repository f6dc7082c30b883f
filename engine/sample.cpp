#include "sample.hpp"

#include <algorithm>

namespace zarvo {

std::int32_t clamp_sample_length(std::int32_t n) { return std::clamp<std::int32_t>(n, 0, kMaxSample); }

namespace {
bool read_into(const Source& source, std::uint64_t offset, std::size_t n, std::string& out) {
    out.resize(n);
    long got = n == 0 ? 0 : source.read_at(offset, out.data(), n);
    if (got < 0) return false;
    out.resize(static_cast<std::size_t>(got));
    return true;
}
}  // namespace

bool read_sample(const Source& source, std::int32_t sample_length, bool with_tail, Sample& out) {
    out.size = source.size();
    std::size_t head = static_cast<std::size_t>(clamp_sample_length(sample_length));
    if (!read_into(source, 0, head, out.head)) return false;
    if (!with_tail) return true;
    std::uint64_t tail_start = out.size > kTailBytes ? out.size - kTailBytes : 0;
    return read_into(source, tail_start, kTailBytes, out.tail);
}

}  // namespace zarvo
