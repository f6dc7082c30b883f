#include "rename.hpp"

#include "platform/platform.hpp"
#include "text.hpp"

namespace oxtarn::cli {

std::vector<std::string> split_candidates(std::string_view list) {
    std::vector<std::string> out;
    if (list.empty() || list == "?") return out;
    for (std::size_t start = 0;;) {
        std::size_t comma = list.find(',', start);
        out.emplace_back(list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) return out;
        start = comma + 1;
    }
}

namespace {
bool is_separator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\' || c == ':';
#else
    return c == '/';
#endif
}

// Where the file's own name starts in `path`. On Windows the trail byte of
// a double-byte character may look like a backslash, so the path is read
// a character at a time.
std::size_t name_start(std::string_view path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (zarvo::platform::is_lead_byte(static_cast<unsigned char>(path[i]))) ++i;
        else if (is_separator(path[i])) start = i + 1;
    }
    return start;
}
}  // namespace

std::optional<std::string> fixed_path(const std::string& path, std::string_view candidates) {
    std::vector<std::string> list = split_candidates(candidates);
    if (list.empty()) return std::nullopt;
    const std::size_t start = name_start(path);
    const std::string_view name = std::string_view(path).substr(start);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    std::size_t dot = name.rfind('.');
    bool has_dot = dot != std::string_view::npos && dot > 0;
    std::string present = has_dot ? zarvo::text::ascii_lower(name.substr(dot + 1)) : std::string();
    for (const std::string& c : list)
        if (zarvo::text::ascii_lower(c) == present) return std::nullopt;

    const std::string& first = list.front();
    bool usable = !first.empty() && first.find_first_of("/\\") == std::string::npos &&
                  first.find_first_not_of("-.") != std::string::npos;
    for (char c : first) usable = usable && static_cast<unsigned char>(c) >= 0x20;
    if (!usable) return std::nullopt;

    std::string to = path.substr(0, start);
    if (!has_dot) to.append(name).append(".");         // "ab" -> "ab.zip", ".profile" -> ".profile.zip"
    else to.append(name.substr(0, dot + 1));           // "a.txt" -> "a.zip", "a." -> "a.zip"
    return to + first;
}

}  // namespace oxtarn::cli
