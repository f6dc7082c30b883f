#include "system.hpp"

#include "rename.hpp"

#include <cerrno>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <io.h>

#include "platform/windows.hpp"

#include "platform/platform.hpp"
#else
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace oxtarn::cli {

namespace {
std::string exists_reason(const std::string& to) { return "a file named " + to + " already exists"; }
}  // namespace

#ifdef _WIN32

std::string rename_no_replace(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes the move fail.
    if (::MoveFileExA(from.c_str(), to.c_str(), 0)) return {};
    DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return exists_reason(to);
    return zarvo::platform::error_text(static_cast<int>(error));
}

bool folder_id(const std::string& path, FolderId& id, std::string& error) {
    HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION about{};
    bool ok = h != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(h, &about);
    DWORD code = ::GetLastError();
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    if (!ok) {
        error = zarvo::platform::error_text(static_cast<int>(code));
        return false;
    }
    id = {about.dwVolumeSerialNumber, (std::uint64_t{about.nFileIndexHigh} << 32) | about.nFileIndexLow};
    return true;
}

bool stderr_is_terminal() { return ::_isatty(2) != 0; }

bool file_identity(const std::string& path, FileIdentity& id, std::string& error) {
    HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    BY_HANDLE_FILE_INFORMATION about{};
    bool ok = h != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(h, &about);
    DWORD code = ::GetLastError();
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    if (!ok) {
        error = zarvo::platform::error_text(static_cast<int>(code));
        return false;
    }
    id = {about.dwVolumeSerialNumber, (std::uint64_t{about.nFileIndexHigh} << 32) | about.nFileIndexLow,
          (std::uint64_t{about.nFileSizeHigh} << 32) | about.nFileSizeLow,
          static_cast<std::int64_t>((std::uint64_t{about.ftLastWriteTime.dwHighDateTime} << 32) |
                                    about.ftLastWriteTime.dwLowDateTime)};
    return true;
}

bool write_durably(int fd, const std::string& bytes, std::string& error) {
    int n = ::_write(fd, bytes.data(), static_cast<unsigned>(bytes.size()));
    if (n != static_cast<int>(bytes.size())) {
        error = n < 0 ? std::strerror(errno) : "the entry was written only in part";
        return false;
    }
    if (::_commit(fd) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool sync_folder_of(const std::string&, std::string&) { return true; }  // NTFS keeps entries with the file

namespace {
std::wstring widen(const std::string& text, UINT code_page) {
    int n = ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& text, UINT code_page) {
    int n = ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                  nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                              nullptr);
    return out;
}
}  // namespace

std::string system_to_utf8(const std::string& text) { return narrow(widen(text, CP_ACP), CP_UTF8); }
std::string utf8_to_system(const std::string& utf8) { return narrow(widen(utf8, CP_UTF8), CP_ACP); }

std::filesystem::path fs_path(const std::string& path) { return std::filesystem::path(widen(path, CP_ACP)); }
std::string system_path(const std::filesystem::path& path) { return narrow(path.native(), CP_ACP); }

#else

std::string rename_no_replace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno == EEXIST) return exists_reason(to);
    if (errno != EINVAL && errno != ENOSYS) return std::strerror(errno);
    // The file system cannot rename without replacing: a hard link fails on
    // an existing name, so no file is ever lost.
    if (::link(from.c_str(), to.c_str()) != 0) return errno == EEXIST ? exists_reason(to) : std::strerror(errno);
    if (::unlink(from.c_str()) != 0) {
        std::string reason = std::strerror(errno);
        ::unlink(to.c_str());
        return reason;
    }
    return {};
}

bool folder_id(const std::string& path, FolderId& id, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

bool stderr_is_terminal() { return ::isatty(2) != 0; }

bool file_identity(const std::string& path, FileIdentity& id, std::string& error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::uint64_t>(st.st_size),
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    return true;
}

bool write_durably(int fd, const std::string& bytes, std::string& error) {
    ssize_t n;
    do n = ::write(fd, bytes.data(), bytes.size());
    while (n < 0 && errno == EINTR);
    if (n != static_cast<ssize_t>(bytes.size())) {
        error = n < 0 ? std::strerror(errno) : "the entry was written only in part";
        return false;
    }
    if (::fsync(fd) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool sync_folder_of(const std::string& path, std::string& error) {
    std::string folder = path.substr(0, path.find_last_of('/') + 1);
    if (folder.empty()) folder = ".";
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        error = std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

std::string system_to_utf8(const std::string& text) { return text; }
std::string utf8_to_system(const std::string& utf8) { return utf8; }

std::filesystem::path fs_path(const std::string& path) { return path; }
std::string system_path(const std::filesystem::path& path) { return path.string(); }

#endif

std::string absolute_path(const std::string& path) {
    std::error_code ec;
    std::filesystem::path abs = std::filesystem::absolute(fs_path(path), ec);
    return ec ? path : system_path(abs);
}

}  // namespace oxtarn::cli
