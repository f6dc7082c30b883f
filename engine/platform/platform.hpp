// The only code that touches the operating system: reading files, the error
// report, and the lower-casing of a path's extension. POSIX and Win32
// implementations stand behind this one header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo::platform {

// A file opened for reading. Only regular files open; anything else (a
// folder, FIFO, socket or device) fails, so no read can block or run forever.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens `path`; on failure is_open() is false and error() holds the code.
    static File open(const char* path);

    bool is_open() const;
    int error() const { return error_; }
    // The true size at the time of opening.
    std::uint64_t size() const { return size_; }
    // Reads up to n bytes from `offset`; returns the count read, 0 at the end
    // of the file, -1 on a read error.
    long read_at(std::uint64_t offset, void* buffer, std::size_t n);

private:
    std::intptr_t handle_ = -1;
    int error_ = 0;
    std::uint64_t size_ = 0;
};

// The system's text for an error code of File::open.
std::string error_text(int error);

// The error report: a host program may install its own function; the default
// writes one line "caption: text" to standard error.
using ReportFunction = void (*)(const char* text, const char* caption);
void set_report(ReportFunction fn);
void report(const std::string& text, const char* caption);

// True for a byte that starts a double-byte character in the system's code
// page (never on POSIX, whose paths are UTF-8).
bool is_lead_byte(unsigned char b);

// The present extension as the engine keeps it: lower case. On POSIX only
// the ASCII letters change; on Windows the code page's rules apply and a
// double-byte character is never split.
std::string lower_extension(std::string_view ext);

}  // namespace zarvo::platform
