// The bytes of one identification: an open file, or a caller's buffer. Every
// stage that reads reads through this, so that a file is opened once and a
// buffer is identified exactly as a file with the same bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/platform.hpp"

namespace zarvo {

class Source {
public:
    // Borrows the file (or the bytes): it must outlive the source.
    static Source of_file(platform::File& file) { return Source(&file, {}); }
    static Source of_bytes(std::string_view bytes) { return Source(nullptr, bytes); }

    // The true size: the file's at opening, or the buffer's length.
    std::uint64_t size() const { return file_ ? file_->size() : bytes_.size(); }
    // Reads up to n bytes from `offset`: the count read, 0 at the end, -1 on a read error.
    long read_at(std::uint64_t offset, void* buffer, std::size_t n) const {
        if (file_) return file_->read_at(offset, buffer, n);
        if (offset >= bytes_.size() || n == 0) return 0;
        std::size_t got = std::min<std::uint64_t>(n, bytes_.size() - offset);
        std::memcpy(buffer, bytes_.data() + offset, got);
        return static_cast<long>(got);
    }

private:
    Source(platform::File* file, std::string_view bytes) : file_(file), bytes_(bytes) {}
    platform::File* file_;
    std::string_view bytes_;
};

}  // namespace zarvo
