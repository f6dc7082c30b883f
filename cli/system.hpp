// The few system calls of the tool that differ between POSIX and Windows.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <string>

namespace oxtarn::cli {

// What tells one folder from another, however it was reached (links, junctions).
struct FolderId {
    std::uint64_t volume = 0;
    std::uint64_t node = 0;
    auto operator<=>(const FolderId&) const = default;
};
// The folder's identity; false, with the reason in `error`, when it cannot be had.
bool folder_id(const std::string& path, FolderId& id, std::string& error);

bool stderr_is_terminal();

// What tells one file from another, and whether it has been changed: the
// journal records it, and --undo puts back only the file it recorded.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t node = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds (POSIX) or 100 ns units (Windows)
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file `path` names (a link itself, not what it points
// to); false, with the reason in `error`, when there is none.
bool file_identity(const std::string& path, FileIdentity& id, std::string& error);

// `path` made absolute against the current folder.
std::string absolute_path(const std::string& path);

// Writes all of `bytes` to `fd` in one call and makes them durable; false,
// with the reason, when the system could not (a short write included).
bool write_durably(int fd, const std::string& bytes, std::string& error);
// Makes the folder holding `path` durable (its new entries kept); false,
// with the reason, when the system could not.
bool sync_folder_of(const std::string& path, std::string& error);

// A path as std::filesystem takes it, and back. On Windows std::filesystem
// reads and writes narrow paths as UTF-8, the system's A functions take them
// in the ANSI code page.
std::filesystem::path fs_path(const std::string& path);
std::string system_path(const std::filesystem::path& path);

// Texts of the system (paths, error texts) as UTF-8, and back. On POSIX both
// are the same bytes; on Windows the system's texts are in its ANSI code page.
std::string system_to_utf8(const std::string& path);
std::string utf8_to_system(const std::string& utf8);

}  // namespace oxtarn::cli
