#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform.hpp"
#include "text.hpp"

namespace zarvo::platform {

namespace {
// Error code of a path that exists but is no regular file.
constexpr int kNotRegular = -1;

void default_report(const char* text, const char* caption) { std::fprintf(stderr, "%s: %s\n", caption, text); }

std::atomic<ReportFunction> g_report{default_report};
}  // namespace

File::~File() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

File::File(File&& other) noexcept : handle_(other.handle_), error_(other.error_), size_(other.size_) {
    other.handle_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) ::close(static_cast<int>(handle_));
        handle_ = other.handle_;
        error_ = other.error_;
        size_ = other.size_;
        other.handle_ = -1;
    }
    return *this;
}

File File::open(const char* path) {
    File f;
    // Look before opening: opening a FIFO wakes a writer waiting for a
    // reader, and opening a device can act on it (a tape rewinds). Only a
    // regular file is opened.
    // One look at the path itself; a link is looked through once more.
    struct stat seen {};
    if (::lstat(path, &seen) != 0) {
        f.error_ = errno;
        return f;
    }
    const bool is_link = S_ISLNK(seen.st_mode);
    if (is_link && ::stat(path, &seen) != 0) {
        f.error_ = errno;
        return f;
    }
    if (!S_ISREG(seen.st_mode)) {
        f.error_ = S_ISDIR(seen.st_mode) ? EISDIR : kNotRegular;
        return f;
    }
    // Where the path itself names the file (no link), no link may take its
    // place before the open. O_NONBLOCK: should a FIFO still take its place,
    // the open does not wait for a writer.
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (is_link ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        f.error_ = errno == ELOOP ? kNotRegular : errno;
        return f;
    }
    // Still the file that was looked at.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != seen.st_dev || st.st_ino != seen.st_ino) {
        f.error_ = S_ISDIR(st.st_mode) ? EISDIR : kNotRegular;
        ::close(fd);
        return f;
    }
    f.handle_ = fd;
    f.size_ = static_cast<std::uint64_t>(st.st_size);
    return f;
}

bool File::is_open() const { return handle_ >= 0; }

long File::read_at(std::uint64_t offset, void* buffer, std::size_t n) {
    if (handle_ < 0) return -1;
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < n) {
        ssize_t got = ::pread(static_cast<int>(handle_), out + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return done > 0 ? static_cast<long>(done) : -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
        // A short read that reaches the size seen at opening is the end of
        // the file: no further call is needed to learn it.
        if (offset + done >= size_) break;
    }
    return static_cast<long>(done);
}

std::string error_text(int error) {
    if (error == kNotRegular) return "Not a regular file";
    return std::strerror(error);
}

void set_report(ReportFunction fn) { g_report.store(fn ? fn : default_report); }

void report(const std::string& text, const char* caption) { g_report.load()(text.c_str(), caption); }

bool is_lead_byte(unsigned char) { return false; }

std::string lower_extension(std::string_view ext) { return text::ascii_lower(ext); }

}  // namespace zarvo::platform
#endif
