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

// Finds, in one pass over a hex text, which of up to 64 patterns of hex
// digits (each at least 12 digits long) occur in it at any character
// position, odd ones included.
//
// The search proper is an automaton over the sixteen digits whose states are
// the prefixes of the patterns, each state's transitions completed along its
// longest proper suffix that is also a prefix. Most windows hold no pattern,
// so a filter runs ahead of it: an occurrence of a pattern of 12 digits or
// more, wherever it starts, covers the 8 digits that begin at the first
// position divisible by 4 within it, and these are the pattern's digits from
// offset 0, 1, 2 or 3. The filter reads the text in steps of 4 digits and
// looks each such 8-digit key up in a small bit set of the patterns' keys;
// only around a key that may belong to a pattern does the automaton run.
class PatternSearch {
public:
    // Adds a pattern (the same pattern twice keeps one bit); returns its bit.
    std::uint64_t add(std::string_view pattern) {
        for (std::size_t i = 0; i < patterns_.size(); ++i) {
            if (patterns_[i] == pattern) return std::uint64_t{1} << i;
        }
        assert(patterns_.size() < 64);
        std::uint64_t bit = std::uint64_t{1} << patterns_.size();
        patterns_.push_back(pattern);
        if (next_.empty()) new_state();
        std::uint16_t s = 0;
        for (char ch : pattern) {
            int d = digit(ch);
            assert(d < kDigits);
            if (next_[s][d] == kNone) next_[s][d] = new_state();
            s = next_[s][d];
        }
        hits_[s] |= bit;
        assert(pattern.size() >= kMinLength);
        longest_ = std::max(longest_, static_cast<long>(pattern.size()));
        for (std::size_t k = 0; k < 4; ++k) {
            std::uint32_t at = slot(key(pattern.data() + k));
            keys_[at / 64] |= std::uint64_t{1} << (at % 64);
        }
        return bit;
    }

    // Completes the transitions; called once, after the last add.
    void build() {
        if (next_.empty()) new_state();
        std::vector<std::uint16_t> fallback(next_.size(), 0);
        std::vector<std::uint16_t> queue;
        for (int d = 0; d < kDigits; ++d) {
            std::uint16_t& t = next_[0][d];
            if (t == kNone) t = 0;
            else queue.push_back(t);
        }
        for (std::size_t head = 0; head < queue.size(); ++head) {
            std::uint16_t s = queue[head];
            hits_[s] |= hits_[fallback[s]];  // the fallback state lies nearer the root: done already
            for (int d = 0; d < kDigits; ++d) {
                std::uint16_t& t = next_[s][d];
                if (t == kNone) {
                    t = next_[fallback[s]][d];
                } else {
                    fallback[t] = next_[fallback[s]][d];
                    queue.push_back(t);
                }
            }
        }
    }

    // The bits of the patterns that occur in `text`.
    std::uint64_t found(std::string_view text) const {
        const long size = static_cast<long>(text.size());
        std::uint64_t hits = 0;
        // The automaton has read the text up to `done` and stands in `s`.
        long done = 0;
        std::uint16_t s = 0;
        auto search = [&](long from, long to) {
            if (from > done) {
                // Skipped text: an occurrence that began there has its key
                // there too and was searched around that key already.
                done = from;
                s = 0;
            }
            for (; done < to; ++done) {
                s = next_[s][digit(text[done])];
                hits |= hits_[s];
            }
        };
        for (long at = 0; at + 8 <= size; at += 4) {
            if (may_begin(key(text.data() + at))) {
                // The patterns holding this key start at most 3 digits before it.
                search(std::max(0L, at - 3), std::min(size, at + longest_));
            }
        }
        return hits;
    }

private:
    // Columns 0-15 are the digits; column 16, any other character, leads back to the start.
    static constexpr int kDigits = 16;
    static constexpr std::uint16_t kNone = 0xFFFF;
    static constexpr std::size_t kMinLength = 12;

    // The 8 digits from `digits` read as one number (in the machine's byte
    // order: the same for the patterns and the text).
    static std::uint64_t key(const char* digits) {
        std::uint64_t k;
        std::memcpy(&k, digits, sizeof k);
        return k;
    }
    // The key's place in the bit set of keys (65536 bits).
    static std::uint32_t slot(std::uint64_t key) {
        return static_cast<std::uint32_t>((key * 0x9E3779B97F4A7C15u) >> 48);
    }
    bool may_begin(std::uint64_t key) const {
        std::uint32_t at = slot(key);
        return keys_[at / 64] >> (at % 64) & 1;
    }

    // The column of each character, from a table: the search steps without branches.
    static constexpr std::array<std::uint8_t, 256> kColumn = [] {
        std::array<std::uint8_t, 256> column{};
        column.fill(kDigits);
        for (int c = '0'; c <= '9'; ++c) column[c] = static_cast<std::uint8_t>(c - '0');
        for (int c = 'A'; c <= 'F'; ++c) column[c] = static_cast<std::uint8_t>(c - 'A' + 10);
        return column;
    }();
    static int digit(char ch) { return kColumn[static_cast<unsigned char>(ch)]; }

    std::uint16_t new_state() {
        std::array<std::uint16_t, kDigits + 1> none;
        none.fill(kNone);
        none[kDigits] = 0;
        next_.push_back(none);
        hits_.push_back(0);
        return static_cast<std::uint16_t>(next_.size() - 1);
    }

    std::vector<std::string_view> patterns_;
    std::vector<std::array<std::uint16_t, kDigits + 1>> next_;
    std::vector<std::uint64_t> hits_;
    std::array<std::uint64_t, 65536 / 64> keys_{};
    long longest_ = 0;
};

// The kind blocks and the general tests with one search for all their patterns.
class WindowTests {
public:
    WindowTests() : blocks_(kind_blocks()), general_(general_tests()) {
        for (KindBlock& block : blocks_) enter(block.rows);
        enter(general_);
        search_.build();
    }

    std::string run(const HexImage& window, std::string_view current, Context& ctx) const {
        std::uint64_t hits = search_.found(window.text());
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

std::string window_tests(const HexImage& window, std::string_view current, Context& ctx) {
    static const WindowTests tests;
    return tests.run(window, current, ctx);
}

}  // namespace zarvo::families
