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
