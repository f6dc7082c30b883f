// The path part reader: title, extension, name and folder of a path.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace zarvo {

enum PathPart { kTitle = 1, kExtension = 2, kName = 3, kFolder = 4 };

struct PathStyle {
    char separator;
    bool drive_rule;                   // "C:name" starts the name after the colon
    bool (*lead_byte)(unsigned char);  // double-byte code page: a trail byte is never a separator
};

// Windows paths in code page 932 (whose trail bytes include the backslash).
bool cp932_lead_byte(unsigned char b);

inline constexpr PathStyle kWindowsPaths{'\\', true, cp932_lead_byte};
inline constexpr PathStyle kPosixPaths{'/', false, nullptr};  // UTF-8: no byte of a character is '/' or '.'
#ifdef _WIN32
inline constexpr PathStyle kNativePaths{'\\', true, platform::is_lead_byte};
#else
inline constexpr PathStyle kNativePaths = kPosixPaths;
#endif

std::string path_part(std::string_view path, int part, PathStyle style = kNativePaths);

}  // namespace zarvo
