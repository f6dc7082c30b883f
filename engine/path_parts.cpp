#include "path_parts.hpp"

#include "sjis.hpp"

namespace zarvo {

bool cp932_lead_byte(unsigned char b) { return sjis::is_lead_byte(b); }

std::string path_part(std::string_view path, int part, PathStyle style) {
    if (path.size() < 3) return {};
    if (path.back() == '.') path.remove_suffix(1);

    // The last separator and the last dot, reading whole characters.
    size_t sep = std::string_view::npos, dot = std::string_view::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        auto b = static_cast<unsigned char>(path[i]);
        // A lead byte takes the next byte along when that can be a trail byte
        // (0x40 and above in every double-byte code page): a dot or a slash
        // after a stray lead byte still counts.
        if (style.lead_byte && style.lead_byte(b) && i + 1 < path.size() &&
            static_cast<unsigned char>(path[i + 1]) >= 0x40)
            ++i;
        else if (path[i] == style.separator) sep = i;
        else if (path[i] == '.') dot = i;
    }
    bool has_sep = sep != std::string_view::npos;
    if (dot != std::string_view::npos && has_sep && dot < sep) dot = std::string_view::npos;
    bool ends_with_sep = has_sep && sep == path.size() - 1;
    bool drive = style.drive_rule && path.size() >= 2 && path[1] == ':';

    if (part == kFolder) {
        if (ends_with_sep) return std::string(path);
        if (has_sep) return std::string(path.substr(0, sep + 1));
        if (drive) return std::string(path.substr(0, 2)) + style.separator;
        return {};
    }

    if (ends_with_sep) return {};
    size_t start = has_sep ? sep + 1 : drive ? 2 : 0;
    // Before the name start a dot does not count (e.g. "C:" has none).
    if (dot != std::string_view::npos && dot < start) dot = std::string_view::npos;
    std::string_view name = path.substr(start);
    if (dot == std::string_view::npos) return part == kExtension ? std::string() : std::string(name);
    switch (part) {
        case kTitle: return std::string(path.substr(start, dot - start));
        case kExtension: return std::string(path.substr(dot + 1));
        case kName: return std::string(name);
        default: return {};
    }
}

}  // namespace zarvo
