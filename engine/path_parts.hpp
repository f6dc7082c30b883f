// The path part reader: title, extension, name and folder of a path.
#pragma once

#include <string>
#include <string_view>

namespace zarvo {

enum PathPart { kTitle = 1, kExtension = 2, kName = 3, kFolder = 4 };

struct PathStyle {
    char separator;
    bool drive_rule;  // "C:name" starts the name after the colon
};

inline constexpr PathStyle kWindowsPaths{'\\', true};
inline constexpr PathStyle kPosixPaths{'/', false};
#ifdef _WIN32
inline constexpr PathStyle kNativePaths = kWindowsPaths;
#else
inline constexpr PathStyle kNativePaths = kPosixPaths;
#endif

std::string path_part(std::string_view path, int part, PathStyle style = kNativePaths);

}  // namespace zarvo
