// The path part reader, the candidate ordering and the text primitives over
// arbitrary input, each checked against the properties callers rely on.
//
// Input layout: byte 0 picks the operation group, bytes 1-8 two numbers, the
// rest is split at the first byte 0xFF into a main text and a second text.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "candidates.hpp"
#include "hex_image.hpp"
#include "path_parts.hpp"
#include "record.hpp"
#include "sjis.hpp"
#include "text.hpp"

namespace {

using zarvo::text::field;

#define CHECK(cond)                                                                     \
    do {                                                                                \
        if (!(cond)) {                                                                  \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                               \
        }                                                                               \
    } while (0)

// `part` lies inside `whole` (a view into it, or empty).
bool inside(std::string_view part, std::string_view whole) {
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

std::int32_t number(const std::uint8_t* p) {
    std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return static_cast<std::int32_t>(v);
}

void path_parts(std::string_view path) {
    for (zarvo::PathStyle style : {zarvo::kPosixPaths, zarvo::kWindowsPaths}) {
        std::string title = zarvo::path_part(path, zarvo::kTitle, style);
        std::string ext = zarvo::path_part(path, zarvo::kExtension, style);
        std::string name = zarvo::path_part(path, zarvo::kName, style);
        std::string folder = zarvo::path_part(path, zarvo::kFolder, style);
        // Every part fits the caller's buffer, which is the size of the path.
        for (int part : {-1, 0, 1, 2, 3, 4, 5, 1000})
            CHECK(zarvo::path_part(path, part, style).size() <= path.size());
        // (In a double-byte code page a separator byte may be a character's
        // trail byte, so the byte-wise check is only made on plain text.)
        auto single_byte = [](const std::string& p) {
            return std::none_of(p.begin(), p.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        };
        for (const std::string& p : {title, ext, name})
            CHECK(!single_byte(p) || p.find(style.separator) == std::string::npos);
        if (path.size() < 3) {
            CHECK(title.empty() && ext.empty() && name.empty() && folder.empty());
            continue;
        }
        // A name is its title, and its extension after a dot when it has one.
        if (name.find('.') != std::string::npos) CHECK(name == title + "." + ext);
        else CHECK(title == name && ext.empty());
        CHECK(ext.find('.') == std::string::npos);
    }
}

std::vector<std::string_view> entries(std::string_view list) {
    std::vector<std::string_view> out;
    long n = zarvo::text::count(list, ',') + 1;
    for (long k = 1; k <= n; ++k) out.push_back(field(list, k));
    return out;
}

void candidates(std::string_view list, std::string_view present) {
    std::string ordered = zarvo::order_candidates(list, present);
    if (list.find(',') == std::string_view::npos) {
        CHECK(ordered == list);
        return;
    }
    std::vector<std::string_view> before = entries(list), after = entries(ordered);
    std::string want = zarvo::text::ascii_lower(present);
    long last = -1;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (zarvo::text::ascii_lower(before[i]) == want) last = static_cast<long>(i);
    if (last < 0) {
        CHECK(ordered == list);
        return;
    }
    // The last equal entry comes first, the different ones follow in their
    // order (earlier equal entries give way to it).
    std::vector<std::string_view> expect{before[static_cast<std::size_t>(last)]};
    for (std::string_view e : before)
        if (zarvo::text::ascii_lower(e) != want) expect.push_back(e);
    CHECK(after == expect);
}

void primitives(std::string_view s, std::string_view pattern, long a, long b) {
    using namespace zarvo::text;
    std::string_view l = left(s, a), r = right(s, a), m = mid(s, a, b), m2 = mid(s, a);
    CHECK(inside(l, s) && inside(r, s) && inside(m, s) && inside(m2, s));
    CHECK(l.size() == std::min<std::size_t>(s.size(), a < 0 ? 0 : static_cast<std::size_t>(a)));
    CHECK(r.size() == l.size());
    CHECK(m.size() <= m2.size());
    long at = find(s, pattern, a);
    std::size_t reference = s.find(pattern, static_cast<std::size_t>(a < 0 ? 0 : a));
    CHECK(at == (reference == std::string_view::npos ? -1 : static_cast<long>(reference)));
    std::string_view f = field(s, a, pattern.substr(0, 3));
    CHECK(inside(f, s));
    CHECK(count(s, static_cast<char>(b)) == static_cast<long>(std::count(s.begin(), s.end(), static_cast<char>(b))));
    int n = three_digits(s);
    CHECK(n >= 0 && n <= 999);

    // Rendering, decoding and the plain-text test agree with the bytes.
    std::string hex = to_hex(s);
    CHECK(hex.size() == 2 * s.size());
    std::string decoded = decode_hex(hex);
    std::string_view until_zero = s.substr(0, std::min(s.find('\0'), std::size_t{1023}));
    CHECK(decoded == until_zero);
    CHECK(decode_hex(s, "0").size() <= 1023 && decode_hex(s).find('\0') == std::string::npos);
    bool plain = std::none_of(s.begin(), s.end(), [](char c) {
        auto v = static_cast<unsigned char>(c);
        return (v >= 0x01 && v <= 0x07) || (v >= 0x0E && v <= 0x19);
    });
    CHECK(plain_text(hex) == plain);
    plain_text(s);  // any text, not only images

    zarvo::HexImage image(std::string{s});
    long k = a % 100000, c = b % 100000;
    int v = image.byte(k);
    CHECK(v >= -1 && v <= 255);
    CHECK(image.bytes(k, c).size() <= s.size());
    CHECK(image.at(k, pattern) == (k >= 0 && s.substr(std::min<std::size_t>(s.size(), 2 * static_cast<std::size_t>(k))).starts_with(pattern)) ||
          k < 0);
    image.find(pattern, c);
    image.drop_front(c);
    CHECK(image.size() <= static_cast<long>(s.size()));
}

bool valid_utf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

void texts(std::string_view s, long capacity) {
    // Shift-JIS from file content becomes valid UTF-8 for the front ends.
    CHECK(valid_utf8(zarvo::sjis::to_utf8(s)));
    zarvo::sjis::to_sjis(s);
    // A field is cut at a character boundary and always ends inside itself.
    std::size_t cap = static_cast<std::size_t>(capacity % 600);
    std::vector<char> field_buf(cap + 1, '\x5A');
    zarvo::copy_text(field_buf.data(), cap, s);
    if (cap == 0) return;
    std::size_t n = std::strlen(field_buf.data());
    CHECK(n < cap && std::string_view(field_buf.data(), n) == s.substr(0, n));
    if (n < s.size() && memchr(s.data(), 0, n + 1) == nullptr) {
        std::size_t i = 0;
        while (i < n) i += zarvo::sjis::is_lead_byte(static_cast<unsigned char>(s[i])) ? 2 : 1;
        CHECK(i == n);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return 0;
    const long a = number(data + 1), b = number(data + 5);
    std::string_view rest(reinterpret_cast<const char*>(data) + 9, size - 9);
    std::size_t cut = rest.find('\xFF');
    std::string_view first = rest.substr(0, cut);
    std::string_view second = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    switch (data[0] % 4) {
        case 0: path_parts(rest); break;
        case 1: candidates(first, second); break;
        case 2: primitives(first, second, a, b); break;
        case 3: texts(rest, a < 0 ? -(a + 1) : a); break;
    }
    return 0;
}
