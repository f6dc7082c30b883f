// Small readers over the text group's ASCII view, shared by its parts.
#pragma once

#include <cstddef>
#include <string_view>

namespace zarvo::current::textkind {

inline bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
inline bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_word(char c) { return is_alpha(c) || is_digit(c) || c == '_'; }
inline char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

inline std::string_view trim(std::string_view s) {
    while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
    return s;
}
inline std::string_view trim_left(std::string_view s) {
    while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
    return s;
}
inline bool starts(std::string_view s, std::string_view p) {
    // most tests fail on the first character: looked at before the rest
    if (s.size() < p.size() || (!p.empty() && s[0] != p[0])) return false;
    for (std::size_t i = 1; i < p.size(); ++i)
        if (s[i] != p[i]) return false;
    return true;
}
inline bool istarts(std::string_view s, std::string_view p) {
    if (s.size() < p.size() || (!p.empty() && lower(s[0]) != lower(p[0]))) return false;
    for (std::size_t i = 1; i < p.size(); ++i)
        if (lower(s[i]) != lower(p[i])) return false;
    return true;
}
inline bool has(std::string_view s, std::string_view p) { return s.find(p) != std::string_view::npos; }

// The lines of a text one by one (without their line ends); a line cut at the
// end of the view is given as the last one.
class Lines {
public:
    explicit Lines(std::string_view v) : rest_(v) {}
    bool next(std::string_view& line) {
        if (rest_.empty()) return false;
        std::size_t i = 0;
        while (i < rest_.size() && rest_[i] != '\n' && rest_[i] != '\r') ++i;
        line = rest_.substr(0, i);
        if (i < rest_.size() && rest_[i] == '\r') ++i;
        if (i < rest_.size() && rest_[i] == '\n') ++i;
        rest_.remove_prefix(i);
        return true;
    }
    // True when the line just given had no line end (the view's cut end).
    bool at_end() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

}  // namespace zarvo::current::textkind
