// How the tool writes names and texts taken from files, so that no byte of
// a file name or of a file's content can split a record, pose as a
// separator or act on the terminal.
#pragma once

#include <string>
#include <string_view>

namespace oxtarn::cli {

enum class Charset { kUtf8, kShiftJis };

// Appends `text` escaped as `ls -b` writes names: \\ for a backslash, \n \t
// \r \a \b \f \v, and \ooo (three octal digits) for every other control
// byte, for DEL, for the C1 controls and for bytes that are not valid text
// in `charset`. With `name` set, a space is written "\ " too, so that the
// separators of a text line (": " and " -> ") never occur inside a name.
void append_escaped(std::string& out, std::string_view text, Charset charset, bool name);

inline std::string escaped_name(std::string_view name, Charset charset = Charset::kUtf8) {
    std::string out;
    append_escaped(out, name, charset, true);
    return out;
}

// True when `text` is well-formed UTF-8.
bool is_utf8(std::string_view text);

}  // namespace oxtarn::cli
