// The text group's parts: the encoding decision and the ASCII view it gives,
// the grammar of structured kinds, scripts by their #! line and source code
// by scored features. Each part reads only the bytes it is given (the
// probe's head, or the view made of it).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zarvo::current::textkind {

enum class Encoding { kAscii, kUtf8, kUtf16Le, kUtf16Be, kUtf32Le, kUtf32Be, kShiftJis, kEucJp, kIso2022Jp, kLatin1 };

// How the head reads as text. `view` is its ASCII skeleton: ASCII characters
// as they are, every other character one byte 0x80 or above (UTF-8 keeps its
// own bytes), escape sequences and byte order marks left out.
struct Decoded {
    Encoding encoding = Encoding::kAscii;
    bool bom = false;
    std::string_view view;
    std::string storage;  // holds the view where it is not the head itself
    std::size_t lf = 0, crlf = 0, cr = 0;
};

// Whether the head is text; fills `out` when it is. `cut` says the head is
// not the whole file, so a character may be cut at its end.
bool decode(std::string_view head, bool cut, Decoded& out);
// A quick turn-down on the first bytes: true when they cannot start text.
bool surely_binary(std::string_view head);
// "UTF-8 with BOM, LF" and the like.
std::string describe(const Decoded& d);

// A kind the text group answers, with its confidence (0 to 100).
struct Verdict {
    std::string_view exts;  // candidate list; empty when no kind is told
    int confidence = 0;
    std::string_view kind{};  // the catalogue key, where it is not the first candidate
};

// The head starts with a signature that the classic tables answer for.
bool classic_signature(std::string_view head);
// Structured kinds by their grammar (json, xml, csv, yaml, ...).
Verdict grammar(std::string_view view, bool cut);
// The kind a #! line names (the view starts with "#!").
Verdict script(std::string_view view);
// Source code without a #! line, by scored features.
Verdict source(std::string_view view);

// Answers at or above this confidence stand; below it, text is txt.
inline constexpr int kThreshold = 50;

}  // namespace zarvo::current::textkind
