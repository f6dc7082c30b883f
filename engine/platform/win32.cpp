#ifdef _WIN32
#include "platform/windows.hpp"

#include <algorithm>
#include <atomic>
#include <string>
#include <string_view>

#include "platform.hpp"

namespace zarvo::platform {

namespace {
// Error code of a path that opens but is no regular file (a device or a
// pipe); system error codes are never negative.
constexpr int kNotRegular = -1;

HANDLE as_handle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
constexpr std::intptr_t kClosed = -1;  // INVALID_HANDLE_VALUE

// A message box without owner window: information icon and OK button.
void default_report(const char* text, const char* caption) { ::MessageBoxA(nullptr, text, caption, 0x40); }

std::atomic<ReportFunction> g_report{default_report};
}  // namespace

File::~File() {
    if (handle_ != kClosed) ::CloseHandle(as_handle(handle_));
}

File::File(File&& other) noexcept : handle_(other.handle_), error_(other.error_), size_(other.size_) {
    other.handle_ = kClosed;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (handle_ != kClosed) ::CloseHandle(as_handle(handle_));
        handle_ = other.handle_;
        error_ = other.error_;
        size_ = other.size_;
        other.handle_ = kClosed;
    }
    return *this;
}

File File::open(const char* path) {
    File f;
    // Look before opening: opening a device (a console, a port, a tape) can
    // act on it, so only what the file system calls a file is opened. The
    // device namespace (\\.\name) names no file.
    std::string_view named(path);
    if (named.size() >= 4 && (named[0] == '\\' || named[0] == '/') && (named[1] == '\\' || named[1] == '/') &&
        named[2] == '.' && (named[3] == '\\' || named[3] == '/')) {
        f.error_ = kNotRegular;
        return f;
    }
    WIN32_FILE_ATTRIBUTE_DATA seen{};
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &seen)) {
        f.error_ = static_cast<int>(::GetLastError());
        return f;
    }
    if (seen.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        f.error_ = ERROR_ACCESS_DENIED;  // what opening a folder has always given
        return f;
    }
    if (seen.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
        f.error_ = kNotRegular;
        return f;
    }
    // Where the path itself names the file (no reparse point), none may take
    // its place before the open.
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (!(seen.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        f.error_ = static_cast<int>(::GetLastError());
        return f;
    }
    // Only files on disk, and still the file that was looked at: a console,
    // the null device or a pipe could block or never end.
    BY_HANDLE_FILE_INFORMATION about{};
    LARGE_INTEGER size{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h, &about) ||
        (about.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
        about.ftCreationTime.dwLowDateTime != seen.ftCreationTime.dwLowDateTime ||
        about.ftCreationTime.dwHighDateTime != seen.ftCreationTime.dwHighDateTime || !::GetFileSizeEx(h, &size) ||
        size.QuadPart < 0) {
        f.error_ = kNotRegular;
        ::CloseHandle(h);
        return f;
    }
    f.handle_ = reinterpret_cast<std::intptr_t>(h);
    f.size_ = static_cast<std::uint64_t>(size.QuadPart);
    return f;
}

bool File::is_open() const { return handle_ != kClosed; }

long File::read_at(std::uint64_t offset, void* buffer, std::size_t n) {
    if (handle_ == kClosed) return -1;
    HANDLE h = as_handle(handle_);
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(h, to, nullptr, FILE_BEGIN)) return -1;
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < n) {
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(h, out + done, want, &got, nullptr)) return done > 0 ? static_cast<long>(done) : -1;
        if (got == 0) break;
        done += got;
        // A short read that reaches the size seen at opening is the end of
        // the file: no further call is needed to learn it.
        if (offset + done >= size_) break;
    }
    return static_cast<long>(done);
}

std::string error_text(int error) {
    if (error == kNotRegular) return "Not a regular file";
    char* buffer = nullptr;
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                               nullptr, static_cast<DWORD>(error), 0x400, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = n && buffer ? std::string(buffer, n) : "Error " + std::to_string(static_cast<unsigned>(error));
    if (buffer) ::LocalFree(buffer);
    // The system's texts end in a line break, which a one-line report does not want.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

void set_report(ReportFunction fn) { g_report.store(fn ? fn : default_report); }

void report(const std::string& text, const char* caption) { g_report.load()(text.c_str(), caption); }

// The letters A to Z of the ANSI code page; both bytes of a double-byte
// character stay as they are (its second byte may look like a letter), and so
// does every other byte, so that no text can change its length or meaning.
bool is_lead_byte(unsigned char b) { return ::IsDBCSLeadByte(b) != 0; }

std::string lower_extension(std::string_view ext) {
    std::string out(ext);
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (::IsDBCSLeadByte(c)) {
            ++i;  // the trail byte, if there is one
        } else if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace zarvo::platform
#endif
