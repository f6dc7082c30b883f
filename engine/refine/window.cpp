// Special identification's window scan: traces that particular tools leave
// anywhere in a file, looked for in each 3000-byte window. A kind's rows are
// tried when the chain's answer names that kind, then the general rows for
// every answer. Most of them keep the chain's answer and only choose a
// description variant and a detail text.
#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "refine/refine.hpp"
#include "text.hpp"

namespace zarvo::refine {

using namespace rules;

namespace {

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
        std::string whole = text::from_hex(pattern);
        std::string core = text::from_hex(pattern.substr(1, pattern.size() - 2));
        add_form({whole, -1, -1, bit});
        add_form({core, text::hex_digit(pattern.front()), text::hex_digit(pattern.back()), bit});
        return bit;
    }

    // Completes the look-up; called once, after the last add.
    void build() { std::sort(starts_.begin(), starts_.end()); }

    // The bits of the patterns that occur in the hex image of `bytes`.
    std::uint64_t found(std::string_view bytes) const {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t n = bytes.size();
        std::uint64_t hits = 0;
        for (std::size_t at = 0; at + 1 < n; at += kStep) {
            std::uint16_t key = static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
            if (!(keys_[key / 64] >> (key % 64) & 1)) continue;
            auto it = std::lower_bound(starts_.begin(), starts_.end(), Start{key, 0, 0});
            for (; it != starts_.end() && it->key == key; ++it) {
                if (it->offset > at) continue;
                const std::size_t j = at - it->offset;  // where the form would start
                const Form& f = forms_[it->form];
                const std::size_t len = f.bytes.size();
                if (f.lead < 0) {
                    if (j + len <= n && std::memcmp(b + j, f.bytes.data(), len) == 0) hits |= f.bit;
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

    std::vector<std::string_view> patterns_;
    std::vector<Form> forms_;
    std::vector<Start> starts_;  // sorted by pair
    std::array<std::uint64_t, 65536 / 64> keys_{};
};

// The window table and one search for all its patterns. A row's `found`
// test holds when one of its patterns was found in the window
// (ctx.window_found holds the bits of the patterns the search found).
class WindowStage {
public:
    WindowStage() : table_(rows()) { search_.build(); }

    std::string run(std::string_view bytes, Context& ctx) const {
        ctx.window_found = search_.found(bytes);
        if (ctx.window_found == 0) return {};
        std::string answer = rules::run(table_, HexImage(), ctx);
        ctx.window_found = 0;
        return answer;
    }

private:
    // One of the patterns occurs in the window.
    Test found(std::initializer_list<std::string_view> patterns) {
        std::uint64_t bits = 0;
        for (std::string_view pattern : patterns) bits |= search_.add(pattern);
        return when([bits](const HexImage&, const Context& ctx) { return (ctx.window_found & bits) != 0; });
    }

    // The four "NK" level markers, shared by the mid, gif and jpg rows.
    void level_rows(std::vector<Row>& rows, std::string_view kind) {
        rows.insert(rows.end(), {
        // row  tests                                                        answer  side effects
        {"1",  {kind_is(kind), found({"2D2D4E4B204C6576656C20312D2D"})},     kind,   {variant(variants::kBmpNinja), detail("Level 1")}},
        {"2",  {kind_is(kind), found({"2D2D4E4B204C6576656C20322D2D"})},     kind,   {variant(variants::kBmpNinja), detail("Level 2")}},
        {"3",  {kind_is(kind), found({"D2D2B1B4DFB39A899A93DFCCD2D2"})},     kind,   {variant(variants::kBmpNinja), detail("Level 3")}},
        {"4",  {kind_is(kind), found({"4E4B34204E4B2062792041697246726F6E74"})}, kind, {variant(variants::kBmpNinja), detail("Level 4")}},
        });
    }

    // The kinds' rows in the order they are tried (mid, jpg, gif, htm, png),
    // then the general rows.
    std::vector<Row> rows() {
        std::vector<Row> rows;
        level_rows(rows, "mid");
        level_rows(rows, "jpg");
        rows.insert(rows.end(), {
        // row  tests                                                        answer   side effects
        {"5",  {kind_is("jpg"), found({"57DC012A41C6E5071ED451401FFFD9FF"})}, "jpg",  {variant(variants::kCamouflage)}},
        {"6",  {kind_is("jpg"), found({"46616B65526172211A0700"})},          "jpg",   {variant(variants::kFakeRar)}},
        });
        level_rows(rows, "gif");
        rows.insert(rows.end(), {
        {"1",  {kind_is("htm"), found({"3C4E4B48544D4C4D4F44453E"})},        "htm",   {variant(variants::kBmpNinja), detail("Level 2or3")}},
        {"2",  {kind_is("htm"), found({"3C212D2D436F6E6E65637448616D61"})},  "html",  {variant(variants::kBmpNinja)}},
        {"3",  {kind_is("htm"), found({"3C212D2D0D0A017F03"})},              "htm",   {variant(variants::kGeroshabu)}},
        {"1",  {kind_is("png"), found({"74455874536F66747761726500566958AC226E6D"})}, "png", {variant(variants::kEmbedTool12)}},
        {"2",  {kind_is("png"), found({"74455874536F667477617265008F4889B9"})}, "png", {variant(variants::kEmbedTool13)}},
        // the general rows, for every answer
        {"g1", {found({"00947E959293B800"})},                                keep_answer, {variant(variants::kUmebudou), detail("")}},
        {"g2", {found({"74616E706F706F206F746F6D65207061737461"})},          "jpg,tan",   {variant(variants::kTanpopo), detail("")}},
        {"g3", {found({"FF554B4D013C", "F0EEE87AAF85"})},                    keep_answer, {variant(variants::kUmekonomikan), detail("")}},
        {"g4", {found({"476F6F64557365436F6D62696E6174696F6E4B414400"})},    keep_answer, {variant(variants::kKad), detail("")}},
        {"g5", {found({"F049A8CCD39B38F049A8CCD39B38F049A8000000000000000000000000000000"})},
                                                                             keep_answer, {variant(variants::kFileHider), detail("")}},
        {"g6", {found({"883D94708EE2", "896596908FD2", "CBB2CBAB8ED2"})},    keep_answer, {variant(variants::kKagemusha), detail("")}},
        {"g7", {found({"002D46464B2D00"})},                                  keep_answer, {variant(variants::kFileFaker), detail("FFK")}},
        {"g8", {found({"00D4B996939AB9"})},                                  keep_answer, {variant(variants::kFileFaker), detail("FFK2")}},
        {"g9", {found({"0083B9B9B4CC83"})},                                  keep_answer, {variant(variants::kFileFaker), detail("FFK3")}},
        {"g10", {found({"A04DF3A568B8277C1328FACF", "A04DF3A546CB1AEC31042971",
                        "A04DF3A5AC5E30646F7F41D7", "A04DF3A5349BA2166CFE381D"})},
                                                                             keep_answer, {variant(variants::kGaoEncode), detail("")}},
        {"g11", {found({"4C4541534973747874"})},                             keep_answer, {variant(variants::kLeasis)}},
        {"g12", {found({"1985122353993A79"})},                               keep_answer, {variant(variants::kSuperManCode)}},
        {"g13", {found({"32E39495E795929D9D94", "96473031433136393246", "72C6282C862C602D2D28",
                        "8EA98E4582B782E982BD", "838A8358836782CC88EA", "8EA995AA82CC95B382F0",
                        "8BF3949282CD8ADC82DF", "91E688EA92698A4B8146", "82B1815228815081A481"})},
                                                                             keep_answer, {variant(variants::kNoemi)}},
        });
        return rows;
    }

    PatternSearch search_;
    Table table_;
};

const WindowStage& window_stage() {
    static const WindowStage stage;
    return stage;
}

}  // namespace

std::string window_tests(std::string_view window_bytes, std::string_view chain_answer, Context& ctx) {
    std::string_view before = ctx.chain_answer;
    ctx.chain_answer = chain_answer;
    std::string answer = window_stage().run(window_bytes, ctx);
    ctx.chain_answer = before;
    return answer;
}

std::string scan_windows(const Source& source, const WindowVisitor& visit) {
    constexpr std::size_t kFresh = kWindowBytes - kWindowOverlap;
    std::string window(kWindowBytes, '\0');
    std::uint64_t start = 0;
    for (int pass = 1;; ++pass) {
        // After the first window, its last 64 bytes start the next one: they
        // are carried over rather than read again.
        std::size_t carried = pass == 1 ? 0 : kWindowOverlap;
        if (carried) std::memmove(window.data(), window.data() + kFresh, carried);
        long got = source.read_at(start + carried, window.data() + carried, kWindowBytes - carried);
        std::size_t n = carried + (got > 0 ? static_cast<std::size_t>(got) : 0);  // a failed read counts as a short one
        if (std::string answer = visit(std::string_view(window.data(), n), start); !answer.empty()) return answer;
        if (n < kWindowBytes || pass >= kMaxWindows) return {};
        start += kFresh;
    }
}

}  // namespace zarvo::refine
