// Special identification: traces that particular tools leave in files.
//
// Two groups of tests refine the chain's current result: the tail tests look
// once at the end of the tail image; the window tests look for marker runs
// anywhere in each 3000-byte window of the file. Most of them keep the
// current result and only choose a description variant (the selector) and a
// detail text.
#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "families.hpp"

namespace zarvo::families {

namespace {

// ---- what a deciding row does -----------------------------------------------

// The row's effect on the detail text.
struct Detail {
    bool set = false;
    std::string_view text;
};
constexpr Detail unchanged{};
constexpr Detail empty{true, ""};
constexpr Detail set_to(std::string_view text) { return {true, text}; }

// The row's result: a fixed text, or "keep current", which is the current
// result when it is not empty text and "xxx" otherwise.
struct Result {
    constexpr Result(const char* fixed) : text(fixed) {}
    constexpr Result(std::string_view fixed) : text(fixed) {}
    struct KeepCurrent {};
    constexpr Result(KeepCurrent) : keep(true) {}

    std::string_view text;
    bool keep = false;
};
constexpr Result keep_current{Result::KeepCurrent{}};

std::string decide(int selector, Detail detail, Result result, std::string_view current, Context& ctx) {
    ctx.selector = selector;
    if (detail.set) ctx.detail = std::string(detail.text);
    if (!result.keep) return std::string(result.text);
    return current.empty() ? std::string("xxx") : std::string(current);
}

// ---- tail tests -----------------------------------------------------------------

struct TailRow {
    std::string_view order;
    long last;                 // the last `last` bytes of the tail (the whole tail when shorter)
    std::string_view pattern;  // begin with this
    int selector;
    Detail detail;
    Result result;
};

// In order; the first that holds decides, and none gives empty text.
constexpr std::array<TailRow, 5> kTailTests{{
    // order last  begins with           selector  detail  result
    {"1",   11,   "00003B",             16,       empty,  "gif"},
    {"2",   7,    "208C9982C582B7",     19,       empty,  "jpg"},
    {"3",   8,    "2120202019747D78",   102,      empty,  keep_current},
    {"4",   16,   "5F554D45",           107,      empty,  keep_current},
    {"5",   5,    "0000656E64",         106,      empty,  keep_current},
}};

// ---- window tests -----------------------------------------------------------------

struct WindowRow {
    std::string_view order;
    std::vector<std::string_view> patterns;  // one of these is found anywhere in the window
    int selector;
    Detail detail;
    Result result;
    std::uint64_t bits = 0;  // the patterns' bits in the window search (filled in when it is built)
};

// A kind block: tried when the first three characters of the current result
// name its kind.
struct KindBlock {
    std::string_view kind;
    std::vector<WindowRow> rows;
};

// The four "NK" level markers, shared by the mid, gif and jpg blocks.
std::vector<WindowRow> level_rows(std::string_view kind) {
    return {
        // order  pattern found                               selector  detail               result
        {"1",    {"2D2D4E4B204C6576656C20312D2D"},            10,       set_to("Level 1"),   kind},
        {"2",    {"2D2D4E4B204C6576656C20322D2D"},            10,       set_to("Level 2"),   kind},
        {"3",    {"D2D2B1B4DFB39A899A93DFCCD2D2"},            10,       set_to("Level 3"),   kind},
        {"4",    {"4E4B34204E4B2062792041697246726F6E74"},    10,       set_to("Level 4"),   kind},
    };
}

std::vector<WindowRow> jpg_block() {
    std::vector<WindowRow> rows = level_rows("jpg");
    rows.push_back({"5", {"57DC012A41C6E5071ED451401FFFD9FF"},     18, unchanged, "jpg"});
    rows.push_back({"6", {"46616B65526172211A0700"},               22, unchanged, "jpg"});
    return rows;
}

// In the order they are tried.
std::vector<KindBlock> kind_blocks() {
    return {
        {"mid", level_rows("mid")},
        {"jpg", jpg_block()},
        {"gif", level_rows("gif")},
        {"htm", {
            // order pattern found                                 selector  detail                  result
            {"1",   {"3C4E4B48544D4C4D4F44453E"},                  10,       set_to("Level 2or3"),   "htm"},
            {"2",   {"3C212D2D436F6E6E65637448616D61"},            10,       unchanged,              "html"},
            {"3",   {"3C212D2D0D0A017F03"},                        15,       unchanged,              "htm"},
        }},
        {"png", {
            {"1",   {"74455874536F66747761726500566958AC226E6D"},  12,       unchanged,              "png"},
            {"2",   {"74455874536F667477617265008F4889B9"},        13,       unchanged,              "png"},
        }},
    };
}

// Tried for every current result after its kind block.
std::vector<WindowRow> general_tests() {
    return {
        // order pattern found (any of)                            selector  detail           result
        {"1",   {"00947E959293B800"},                            100,      empty,           keep_current},
        {"2",   {"74616E706F706F206F746F6D65207061737461"},      20,       empty,           "jpg,tan"},
        {"3",   {"FF554B4D013C", "F0EEE87AAF85"},                101,      empty,           keep_current},
        {"4",   {"476F6F64557365436F6D62696E6174696F6E4B414400"}, 103,     empty,           keep_current},
        {"5",   {"F049A8CCD39B38F049A8CCD39B38F049A8000000000000000000000000000000"},
                                                                 104,      empty,           keep_current},
        {"6",   {"883D94708EE2", "896596908FD2", "CBB2CBAB8ED2"}, 105,     empty,           keep_current},
        {"7",   {"002D46464B2D00"},                              108,      set_to("FFK"),   keep_current},
        {"8",   {"00D4B996939AB9"},                              108,      set_to("FFK2"),  keep_current},
        {"9",   {"0083B9B9B4CC83"},                              108,      set_to("FFK3"),  keep_current},
        {"10",  {"A04DF3A568B8277C1328FACF", "A04DF3A546CB1AEC31042971",
                 "A04DF3A5AC5E30646F7F41D7", "A04DF3A5349BA2166CFE381D"},
                                                                 109,      empty,           keep_current},
        {"11",  {"4C4541534973747874"},                          110,      unchanged,       keep_current},
        {"12",  {"1985122353993A79"},                            112,      unchanged,       keep_current},
        {"13",  {"32E39495E795929D9D94", "96473031433136393246", "72C6282C862C602D2D28",
                 "8EA98E4582B782E982BD", "838A8358836782CC88EA", "8EA995AA82CC95B382F0",
                 "8BF3949282CD8ADC82DF", "91E688EA92698A4B8146", "82B1815228815081A481"},
                                                                 111,      unchanged,       keep_current},
    };
}

// Finds which of up to 64 patterns of hex digits (each of an even number of
// digits, at least 12) occur in the hex image of a window, at any character
// position, odd ones included, without rendering the window: it reads the
// window's bytes.
//
// At an even position a pattern is simply its bytes. At an odd one its
// middle digits are whole bytes (the core), framed by the low digit of the
// byte before and the high digit of the byte after. Each pattern so has two
// forms of at least 5 bytes; both are looked for in one pass. An occurrence
// of a form, wherever it starts, holds at the first position divisible by 4
// within it two bytes that are the form's bytes from offset 0, 1, 2 or 3. The
// pass reads the window in steps of 4 bytes, looks each such pair up in a bit
// set of the forms' pairs, and compares a form only where its pair is found.
class PatternSearch {
public:
    // Adds a pattern (the same pattern twice keeps one bit); returns its bit.
    std::uint64_t add(std::string_view pattern) {
        for (std::size_t i = 0; i < patterns_.size(); ++i) {
            if (patterns_[i] == pattern) return std::uint64_t{1} << i;
        }
        assert(patterns_.size() < 64 && pattern.size() >= 12 && pattern.size() % 2 == 0);
        std::uint64_t bit = std::uint64_t{1} << patterns_.size();
        patterns_.push_back(pattern);
        std::string whole = bytes_of(pattern);
        std::string core = bytes_of(pattern.substr(1, pattern.size() - 2));
        add_form({whole, -1, -1, bit});
        add_form({core, digit(pattern.front()), digit(pattern.back()), bit});
        return bit;
    }

    // Completes the look-up; called once, after the last add.
    void build() { std::sort(starts_.begin(), starts_.end()); }

    // The bits of the patterns that occur in the hex image of `bytes`; with
    // `lone_digit` the image ends with the high digit of the last byte alone.
    std::uint64_t found(std::string_view bytes, bool lone_digit = false) const {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t n = bytes.size();
        const std::size_t whole = lone_digit ? n - 1 : n;  // bytes whose two digits are in the image
        std::uint64_t hits = 0;
        for (std::size_t at = 0; at + 1 < whole; at += kStep) {
            std::uint16_t key = static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
            if (!(keys_[key / 64] >> (key % 64) & 1)) continue;
            auto it = std::lower_bound(starts_.begin(), starts_.end(), Start{key, 0, 0});
            for (; it != starts_.end() && it->key == key; ++it) {
                if (it->offset > at) continue;
                const std::size_t j = at - it->offset;  // where the form would start
                const Form& f = forms_[it->form];
                const std::size_t len = f.bytes.size();
                if (f.lead < 0) {
                    if (j + len <= whole && std::memcmp(b + j, f.bytes.data(), len) == 0) hits |= f.bit;
                } else if (j >= 1 && j + len < n && (b[j - 1] & 0xF) == f.lead && (b[j + len] >> 4) == f.trail &&
                           std::memcmp(b + j, f.bytes.data(), len) == 0) {
                    hits |= f.bit;
                }
            }
        }
        return hits;
    }

private:
    struct Form {
        std::string bytes;  // the whole pattern's bytes, or the core of the odd form
        int lead;           // odd form: the low digit of the byte before; -1 for the even form
        int trail;          // odd form: the high digit of the byte after
        std::uint64_t bit;
    };

    static constexpr std::size_t kStep = 4;

    // A pair of bytes that a form holds at `offset`.
    struct Start {
        std::uint16_t key;
        std::uint16_t offset;
        std::uint16_t form;
        bool operator<(const Start& o) const { return key != o.key ? key < o.key : offset < o.offset; }
    };

    void add_form(Form f) {
        assert(f.bytes.size() >= kStep + 1);
        for (std::size_t offset = 0; offset < kStep; ++offset) {
            auto key = static_cast<std::uint16_t>(static_cast<unsigned char>(f.bytes[offset]) |
                                                  static_cast<unsigned char>(f.bytes[offset + 1]) << 8);
            keys_[key / 64] |= std::uint64_t{1} << (key % 64);
            starts_.push_back({key, static_cast<std::uint16_t>(offset), static_cast<std::uint16_t>(forms_.size())});
        }
        forms_.push_back(std::move(f));
    }

    static int digit(char ch) { return ch <= '9' ? ch - '0' : ch - 'A' + 10; }
    static std::string bytes_of(std::string_view hex) {
        std::string out;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
        return out;
    }

    std::vector<std::string_view> patterns_;
    std::vector<Form> forms_;
    std::vector<Start> starts_;  // sorted by pair
    std::array<std::uint64_t, 65536 / 64> keys_{};
};

// The kind blocks and the general tests with one search for all their patterns.
class WindowTests {
public:
    WindowTests() : blocks_(kind_blocks()), general_(general_tests()) {
        for (KindBlock& block : blocks_) enter(block.rows);
        enter(general_);
        search_.build();
    }

    std::string run(std::string_view bytes, bool lone_digit, std::string_view current, Context& ctx) const {
        std::uint64_t hits = search_.found(bytes, lone_digit);
        if (hits == 0) return {};
        std::string_view kind = text::left(current, 3);
        for (const KindBlock& block : blocks_) {
            if (block.kind != kind) continue;
            if (const WindowRow* row = first_found(block.rows, hits)) return apply(*row, current, ctx);
        }
        if (const WindowRow* row = first_found(general_, hits)) return apply(*row, current, ctx);
        return {};
    }

private:
    void enter(std::vector<WindowRow>& rows) {
        for (WindowRow& row : rows) {
            for (std::string_view pattern : row.patterns) row.bits |= search_.add(pattern);
        }
    }

    static const WindowRow* first_found(const std::vector<WindowRow>& rows, std::uint64_t hits) {
        for (const WindowRow& row : rows) {
            if (row.bits & hits) return &row;
        }
        return nullptr;
    }

    static std::string apply(const WindowRow& row, std::string_view current, Context& ctx) {
        return decide(row.selector, row.detail, row.result, current, ctx);
    }

    std::vector<KindBlock> blocks_;
    std::vector<WindowRow> general_;
    PatternSearch search_;
};

}  // namespace

std::string tail_refinement(const HexImage& tail, std::string_view current, Context& ctx) {
    for (const TailRow& row : kTailTests) {
        std::string_view last = text::right(tail.text(), 2 * row.last);
        if (text::left(last, long(row.pattern.size())) == row.pattern) {
            return decide(row.selector, row.detail, row.result, current, ctx);
        }
    }
    return {};
}

namespace {
const WindowTests& window_test_set() {
    static const WindowTests tests;
    return tests;
}
}  // namespace

std::string window_tests(std::string_view window_bytes, std::string_view current, Context& ctx) {
    return window_test_set().run(window_bytes, false, current, ctx);
}

std::string window_tests(const HexImage& window, std::string_view current, Context& ctx) {
    // The image back to its bytes; an odd last digit stands as the high digit
    // of one more byte.
    std::string_view hex = window.text();
    std::string bytes;
    bytes.reserve(hex.size() / 2 + 1);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        char lo = i + 1 < hex.size() ? hex[i + 1] : '0';
        bytes += static_cast<char>(text::hex_pair(hex[i], lo));
    }
    return window_test_set().run(bytes, hex.size() % 2 == 1, current, ctx);
}

}  // namespace zarvo::families
