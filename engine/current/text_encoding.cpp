// The text group's encoding decision: whether the head is text, in which
// encoding, with which line ends, and its ASCII view for the grammar and
// source parts.
#include <array>
#include <cstdint>

#include "current/text_kinds.hpp"

namespace zarvo::current::textkind {

namespace {

constexpr unsigned char kOther = 0x80;  // a character of the view that is not ASCII

// Byte classes of single-byte text.
enum : unsigned char { kPrint, kControl, kHigh, kEsc, kCr, kLf };

constexpr std::array<unsigned char, 256> kClass = [] {
    std::array<unsigned char, 256> c{};
    for (int b = 0; b < 256; ++b) c[b] = b < 0x20 || b == 0x7F ? kControl : b >= 0x80 ? kHigh : kPrint;
    c['\t'] = c['\f'] = c['\v'] = kPrint;
    c['\r'] = kCr;
    c['\n'] = kLf;
    c[0x1B] = kEsc;
    return c;
}();

inline unsigned char u(char c) { return static_cast<unsigned char>(c); }

void count_line_ends(std::string_view v, Decoded& d) {
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\n') ++d.lf;
        else if (v[i] == '\r') {
            if (i + 1 < v.size() && v[i + 1] == '\n') ++d.crlf, ++i;
            else ++d.cr;
        }
    }
}

// A decoded code point into the view; false for a character text never holds.
bool put(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        unsigned char k = kClass[cp];
        if (k == kControl || k == kEsc) return false;
        out += static_cast<char>(cp);
    } else if (cp >= 0x80 && cp < 0xA0) {
        return false;  // C1 controls
    } else {
        out += static_cast<char>(kOther);
    }
    return true;
}

bool decode_utf16(std::string_view b, bool be, bool cut, std::string& out) {
    std::size_t n = b.size() & ~std::size_t(1);
    if (n != b.size() && !cut) return false;
    for (std::size_t i = 0; i < n; i += 2) {
        std::uint32_t w = be ? (u(b[i]) << 8) | u(b[i + 1]) : (u(b[i + 1]) << 8) | u(b[i]);
        if (w >= 0xD800 && w < 0xDC00) {
            if (i + 4 > n) return cut;
            std::uint32_t w2 = be ? (u(b[i + 2]) << 8) | u(b[i + 3]) : (u(b[i + 3]) << 8) | u(b[i + 2]);
            if (w2 < 0xDC00 || w2 >= 0xE000) return false;
            out += static_cast<char>(kOther);
            i += 2;
            continue;
        }
        if (w >= 0xDC00 && w < 0xE000) return false;
        if (!put(out, w)) return false;
    }
    return true;
}

bool decode_utf32(std::string_view b, bool be, bool cut, std::string& out) {
    std::size_t n = b.size() & ~std::size_t(3);
    if (n != b.size() && !cut) return false;
    for (std::size_t i = 0; i < n; i += 4) {
        std::uint32_t w = be ? (u(b[i]) << 24) | (u(b[i + 1]) << 16) | (u(b[i + 2]) << 8) | u(b[i + 3])
                             : (u(b[i + 3]) << 24) | (u(b[i + 2]) << 16) | (u(b[i + 1]) << 8) | u(b[i]);
        if (w > 0x10FFFF || (w >= 0xD800 && w < 0xE000)) return false;
        if (!put(out, w)) return false;
    }
    return true;
}

// Strict UTF-8 (no overlong forms, no surrogates); a sequence cut by the
// head's end is forgiven when the head is cut.
bool valid_utf8(std::string_view b, bool cut) {
    std::size_t i = 0, n = b.size();
    while (i < n) {
        unsigned char c = u(b[i]);
        if (c < 0x80) { ++i; continue; }
        std::size_t len;
        std::uint32_t lo = 0x80, hi = 0xBF;  // the second byte's range
        if (c >= 0xC2 && c <= 0xDF) len = 2;
        else if (c >= 0xE0 && c <= 0xEF) { len = 3; if (c == 0xE0) lo = 0xA0; if (c == 0xED) hi = 0x9F; }
        else if (c >= 0xF0 && c <= 0xF4) { len = 4; if (c == 0xF0) lo = 0x90; if (c == 0xF4) hi = 0x8F; }
        else return false;
        for (std::size_t k = 1; k < len; ++k) {
            if (i + k >= n) return cut;
            unsigned char t = u(b[i + k]);
            if (k == 1 ? (t < lo || t > hi) : (t < 0x80 || t > 0xBF)) return false;
        }
        i += len;
    }
    return true;
}

// Shift-JIS and EUC-JP: whether the high bytes pair up as the encoding
// wants, and how many of its characters run on from one another (Japanese
// text is mostly such runs; Latin-1 text holds lone accented letters).
struct Fit {
    bool valid = true;
    std::size_t chars = 0, runs = 0, lone = 0;
};

Fit fit_sjis(std::string_view b, bool cut) {
    Fit f;
    std::size_t run = 0;
    auto close = [&] { if (run == 1) ++f.lone; else if (run > 1) ++f.runs; run = 0; };
    for (std::size_t i = 0; i < b.size(); ++i) {
        unsigned char c = u(b[i]);
        if (c < 0x80) { close(); continue; }
        if (c >= 0xA1 && c <= 0xDF) { ++f.chars, ++run; continue; }  // half-width katakana
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            if (i + 1 >= b.size()) { f.valid = cut; break; }
            unsigned char t = u(b[i + 1]);
            if (t < 0x40 || t == 0x7F || t > 0xFC) { f.valid = false; break; }
            ++f.chars, ++run, ++i;
            continue;
        }
        f.valid = false;
        break;
    }
    close();
    return f;
}

Fit fit_euc(std::string_view b, bool cut) {
    Fit f;
    std::size_t run = 0;
    auto close = [&] { if (run == 1) ++f.lone; else if (run > 1) ++f.runs; run = 0; };
    for (std::size_t i = 0; i < b.size(); ++i) {
        unsigned char c = u(b[i]);
        if (c < 0x80) { close(); continue; }
        std::size_t len = c == 0x8F ? 3 : 2;
        if (!(c == 0x8E || c == 0x8F || (c >= 0xA1 && c <= 0xFE))) { f.valid = false; break; }
        if (i + len > b.size()) { f.valid = cut; break; }
        for (std::size_t k = 1; k < len; ++k) {
            unsigned char t = u(b[i + k]);
            if (c == 0x8E ? (t < 0xA1 || t > 0xDF) : (t < 0xA1 || t > 0xFE)) { f.valid = false; break; }
        }
        if (!f.valid) break;
        ++f.chars, ++run, i += len - 1;
    }
    close();
    return f;
}

bool japanese(const Fit& f) { return f.valid && f.chars > 0 && f.runs >= f.lone; }

// ISO-2022-JP: ESC $ @, ESC $ B (two-byte sets), ESC ( B, ESC ( J (ASCII,
// Roman), ESC ( I (katakana). Two-byte characters become one view byte.
bool decode_2022(std::string_view b, std::string& out) {
    bool two = false, any = false;
    for (std::size_t i = 0; i < b.size(); ++i) {
        unsigned char c = u(b[i]);
        if (c == 0x1B) {
            if (i + 2 >= b.size()) break;  // an escape cut at the end
            char x = b[i + 1], y = b[i + 2];
            if (x == '$' && (y == '@' || y == 'B')) two = true;
            else if (x == '(' && (y == 'B' || y == 'J' || y == 'I')) two = false;
            else return false;
            any = true;
            i += 2;
            continue;
        }
        if (c >= 0x80) return false;
        if (two && c > 0x20) {
            out += static_cast<char>(kOther);
            ++i;
            continue;
        }
        unsigned char k = kClass[c];
        if (k == kControl) return false;
        out += static_cast<char>(c);
    }
    return any;
}

}  // namespace

bool surely_binary(std::string_view head) {
    std::size_t n = head.size() < 16 ? head.size() : 16;
    if (n >= 2 && ((u(head[0]) == 0xFF && u(head[1]) == 0xFE) || (u(head[0]) == 0xFE && u(head[1]) == 0xFF))) return false;
    bool zero = false;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char k = kClass[u(head[i])];
        if (head[i] == 0) zero = true;
        else if (k == kControl) return true;
    }
    if (!zero) return false;
    // UTF-16 and UTF-32 without a byte order mark: zero bytes in step.
    if (n < 4) return true;
    bool even = true, odd = true;
    for (std::size_t i = 0; i < n; ++i) {
        bool z = head[i] == 0;
        if (i % 2 == 0) odd = odd && !z, even = even && z;
        else odd = odd && z, even = even && !z;
    }
    bool le32 = head[0] != 0 && head[1] == 0 && head[2] == 0 && head[3] == 0;
    bool be32 = head[0] == 0 && head[1] == 0 && head[2] == 0 && head[3] != 0;
    return !(odd || even || le32 || be32);
}

bool decode(std::string_view head, bool cut, Decoded& d) {
    d = Decoded();
    auto starts = [&](std::string_view bom) { return head.substr(0, bom.size()) == bom; };
    using namespace std::string_view_literals;
    bool ok = false;
    if (starts("\xFF\xFE\0\0"sv)) {
        d.encoding = Encoding::kUtf32Le, d.bom = true;
        ok = decode_utf32(head.substr(4), false, cut, d.storage);
    } else if (starts("\0\0\xFE\xFF"sv)) {
        d.encoding = Encoding::kUtf32Be, d.bom = true;
        ok = decode_utf32(head.substr(4), true, cut, d.storage);
    } else if (starts("\xFF\xFE"sv) || starts("\xFE\xFF"sv)) {
        bool be = u(head[0]) == 0xFE;
        d.encoding = be ? Encoding::kUtf16Be : Encoding::kUtf16Le, d.bom = true;
        ok = decode_utf16(head.substr(2), be, cut, d.storage);
    } else if (head.size() >= 4 && head.find('\0') != std::string_view::npos) {
        // No mark: the place of the zero bytes tells the width and order.
        if (head[0] != 0 && head[1] == 0 && head[2] == 0 && head[3] == 0)
            d.encoding = Encoding::kUtf32Le, ok = decode_utf32(head, false, cut, d.storage);
        else if (head[0] == 0 && head[1] == 0 && head[2] == 0 && head[3] != 0)
            d.encoding = Encoding::kUtf32Be, ok = decode_utf32(head, true, cut, d.storage);
        else if (head[0] != 0 && head[1] == 0)
            d.encoding = Encoding::kUtf16Le, ok = decode_utf16(head, false, cut, d.storage);
        else if (head[0] == 0 && head[1] != 0)
            d.encoding = Encoding::kUtf16Be, ok = decode_utf16(head, true, cut, d.storage);
        if (ok) {
            // Binary data that happens to decode: text of this width has few
            // characters outside ASCII in its first lines.
            std::size_t other = 0;
            for (char c : d.storage) other += u(c) >= 0x80;
            ok = other * 4 <= d.storage.size();
        }
    } else {
        std::string_view body = head;
        if (starts("\xEF\xBB\xBF"sv)) d.bom = true, body = head.substr(3);
        bool high = false, esc = false;
        for (std::size_t i = 0; i < body.size(); ++i) {
            // Eight printable ASCII bytes at a time (no byte below 0x20, none
            // of 0x7F or above), the rest one by one.
            if (i + 8 <= body.size()) {
                std::uint64_t w = 0;
                for (int k = 0; k < 8; ++k) w |= std::uint64_t(u(body[i + k])) << (8 * k);
                constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
                std::uint64_t low = (w - 0x20 * kOnes) & ~w & kHighs;
                std::uint64_t del = ((w ^ 0x7F * kOnes) - kOnes) & ~(w ^ 0x7F * kOnes) & kHighs;
                if (((w & kHighs) | low | del) == 0) {
                    i += 7;
                    continue;
                }
            }
            char c = body[i];
            unsigned char k = kClass[u(c)];
            if (k == kControl) return false;
            high |= k == kHigh;
            esc |= k == kEsc;
        }
        if (esc && !high && !d.bom) {
            if (decode_2022(body, d.storage)) {
                d.encoding = Encoding::kIso2022Jp;
                ok = true;
            } else {
                // Terminal escapes (ESC [) are text too; anything else is not.
                for (std::size_t i = 0; i < body.size(); ++i)
                    if (body[i] == 0x1B && (i + 1 >= body.size() || body[i + 1] != '[')) return false;
                d.encoding = Encoding::kAscii, d.view = body, ok = true;
            }
        } else if (!high) {
            d.encoding = d.bom ? Encoding::kUtf8 : Encoding::kAscii, d.view = body, ok = true;
        } else if (valid_utf8(body, cut)) {
            d.encoding = Encoding::kUtf8, d.view = body, ok = true;
        } else if (d.bom) {
            return false;
        } else {
            Fit s = fit_sjis(body, cut), e = fit_euc(body, cut);
            Encoding enc = Encoding::kLatin1;
            if (japanese(s) && japanese(e)) {
                // Both read: hiragana and katakana lead bytes tell them apart.
                std::size_t sj = 0, eu = 0;
                for (char c : body) sj += u(c) == 0x82 || u(c) == 0x83, eu += u(c) == 0xA4 || u(c) == 0xA5;
                enc = eu > sj ? Encoding::kEucJp : Encoding::kShiftJis;
            } else if (japanese(s)) {
                enc = Encoding::kShiftJis;
            } else if (japanese(e)) {
                enc = Encoding::kEucJp;
            }
            d.encoding = enc;
            if (enc == Encoding::kLatin1) {
                // Latin-1 text is mostly ASCII with a few accented letters;
                // binary data reads as Latin-1 too, but is mostly high bytes.
                std::size_t highs = 0;
                for (char c : body) highs += u(c) >= 0x80;
                if (highs * 10 > body.size() * 3) return false;
                for (char c : body) d.storage += u(c) >= 0x80 ? static_cast<char>(kOther) : c;
            } else {
                for (std::size_t i = 0; i < body.size(); ++i) {
                    unsigned char c = u(body[i]);
                    if (c < 0x80) { d.storage += body[i]; continue; }
                    d.storage += static_cast<char>(kOther);
                    if (enc == Encoding::kShiftJis) i += c >= 0xA1 && c <= 0xDF ? 0 : 1;
                    else i += c == 0x8F ? 2 : 1;
                }
            }
            ok = true;
        }
        if (ok && d.view.empty() && d.storage.empty() && !body.empty()) d.view = body;
    }
    if (!ok) return false;
    if (!d.storage.empty()) d.view = d.storage;
    count_line_ends(d.view, d);
    return true;
}

std::string describe(const Decoded& d) {
    static constexpr std::array<std::string_view, 10> kNames = {
        "ASCII", "UTF-8", "UTF-16LE", "UTF-16BE", "UTF-32LE", "UTF-32BE", "Shift-JIS", "EUC-JP", "ISO-2022-JP", "Latin-1"};
    std::string s(kNames[static_cast<std::size_t>(d.encoding)]);
    if (d.bom) s += " with BOM";
    int kinds = (d.lf > 0) + (d.crlf > 0) + (d.cr > 0);
    if (kinds == 0) s += ", no line ends";
    else if (kinds > 1) s += ", mixed line ends";
    else s += d.lf ? ", LF" : d.crlf ? ", CRLF" : ", CR";
    return s;
}

}  // namespace zarvo::current::textkind
