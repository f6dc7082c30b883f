#include "rules.hpp"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "text.hpp"

namespace zarvo::rules {

namespace {
// The keys for which a pattern at character c (0 or 1) may hold.
FirstKeys keys_at(long c, std::string_view pattern) {
    FirstKeys keys;
    if (c == 0 && pattern.size() >= 2) {
        keys.set(text::pair_key(pattern[0], pattern[1]));
        return keys;
    }
    for (char other : std::string_view("0123456789ABCDEF"))
        keys.set(c == 0 ? text::pair_key(pattern[0], other) : text::pair_key(other, pattern[0]));
    return keys;
}
}  // namespace

Test at(long byte, std::string_view pattern) { return at_char(2 * byte, pattern); }

Test not_at(long byte, std::string_view pattern) {
    return {[=](const HexImage& img, const Context&) { return !img.at(byte, pattern); }};
}

Test at_char(long c, std::string_view pattern) {
    if (pattern.empty()) return {[](const HexImage&, const Context&) { return true; }};  // an empty slice equals it anywhere
    Test t;  // plain: the pattern decides
    t.first_pos = c < 0 ? 0 : c;  // a negative position counts as 0
    t.pattern = pattern;
    if (t.first_pos <= 1) t.first_keys = keys_at(t.first_pos, pattern);
    return t;
}

Test at_one_of(long byte, std::initializer_list<std::string_view> patterns) {
    std::vector<std::string_view> list(patterns);
    Test t{[=](const HexImage& img, const Context&) {
        return std::any_of(list.begin(), list.end(), [&](std::string_view p) { return img.at(byte, p); });
    }};
    if (byte <= 0) {
        t.first_keys.reset();
        for (std::string_view p : list) t.first_keys |= at(byte, p).first_keys;
    }
    return t;
}

Test contains(std::string_view pattern) {
    return {[=](const HexImage& img, const Context&) { return img.find(pattern) >= 0; }};
}

Test contains_one_of(std::initializer_list<std::string_view> patterns) {
    std::vector<std::string_view> list(patterns);
    // Every occurrence of any pattern starts with the patterns' common start:
    // that is searched once, and each place it stands tried with every pattern.
    std::string_view start = list.empty() ? std::string_view() : list[0];
    for (std::string_view p : list) {
        std::size_t n = 0;
        while (n < start.size() && n < p.size() && start[n] == p[n]) ++n;
        start = start.substr(0, n);
    }
    return {[=](const HexImage& img, const Context&) {
        if (start.empty())
            return std::any_of(list.begin(), list.end(), [&](std::string_view p) { return img.find(p) >= 0; });
        for (long at = img.find(start); at >= 0; at = img.find(start, at + 1))
            if (std::any_of(list.begin(), list.end(), [&](std::string_view p) { return img.at_char(at, p); })) return true;
        return false;
    }};
}

Test found_from(std::string_view pattern, long from) {
    return {[=](const HexImage& img, const Context&) { return img.find(pattern, from) >= 0; }};
}

Test first_within(std::string_view pattern, long lo, long hi) {
    return {[=](const HexImage& img, const Context&) {
        // Only the characters up to the last place the pattern may start
        // need searching: a first occurrence beyond it fails as well.
        if (hi < 0) return false;
        std::string_view head = img.text();
        if (hi < img.size()) head = text::left(head, hi + static_cast<long>(pattern.size()));
        long p = text::find(head, pattern);
        return p >= 0 && p >= lo;
    }};
}

Test special() {
    return {[](const HexImage&, const Context& ctx) { return ctx.special(); }};
}

Test ext_is(std::string_view ext) {
    return {[=](const HexImage&, const Context& ctx) { return ctx.present_ext == ext; }};
}

Test size_is(std::uint64_t n) {
    return {[=](const HexImage&, const Context& ctx) { return ctx.file_size == n; }};
}

namespace {
bool holds_all(const std::vector<Test>& tests, const HexImage& img, const Context& ctx) {
    return std::all_of(tests.begin(), tests.end(), [&](const Test& t) { return t.holds_for(img, ctx); });
}
}  // namespace

Test any(std::initializer_list<Test> tests) {
    std::vector<Test> list(tests);
    Test t{[=](const HexImage& img, const Context& ctx) {
        return std::any_of(list.begin(), list.end(), [&](const Test& t) { return t.holds_for(img, ctx); });
    }};
    t.first_keys.reset();
    for (const Test& one : list) t.first_keys |= one.first_keys;
    return t;
}

Test all(std::initializer_list<Test> tests) {
    std::vector<Test> list(tests);
    Test t{[=](const HexImage& img, const Context& ctx) { return holds_all(list, img, ctx); }};
    for (const Test& one : list) t.first_keys &= one.first_keys;
    // The group fails wherever its first fixed-position test does.
    auto fixed = std::find_if(list.begin(), list.end(), [](const Test& one) { return one.first_pos >= 0; });
    if (fixed != list.end()) {
        t.first_pos = fixed->first_pos;
        t.pattern = fixed->pattern;
    }
    return t;
}

Test none(std::initializer_list<Test> tests) {
    std::vector<Test> list(tests);
    return {[=](const HexImage& img, const Context& ctx) {
        return std::none_of(list.begin(), list.end(), [&](const Test& t) { return t.holds_for(img, ctx); });
    }};
}

Test when(Predicate p) { return {std::move(p)}; }

Test from_end(long k, std::string_view pattern) {
    return {[=](const HexImage& img, const Context&) { return img.at_char(img.size() - 2 * k, pattern); }};
}

Test ends_with(std::string_view pattern) {
    return {[=](const HexImage& img, const Context&) {
        return text::right(img.text(), static_cast<long>(pattern.size())) == pattern;
    }};
}

Test head_at(long byte, std::string_view pattern) {
    return {[=](const HexImage&, const Context& ctx) { return ctx.head && ctx.head->at(byte, pattern); }};
}

Test kind_is(std::string_view kind) {
    return {[=](const HexImage&, const Context& ctx) { return text::left(ctx.chain_answer, 3) == kind; }};
}

std::string keep_answer(const HexImage&, Context& ctx) {
    return ctx.chain_answer.empty() ? std::string("xxx") : std::string(ctx.chain_answer);
}

Effect variant(int value) {
    return [=](const HexImage&, Context& ctx) { ctx.variant = value; };
}

Effect detail(std::string_view text) {
    return [=](const HexImage&, Context& ctx) { ctx.detail = std::string(text); };
}

Effect detail(Compute fn) {
    return [fn = std::move(fn)](const HexImage& img, Context& ctx) { ctx.detail = fn(img, ctx); };
}

Table::Table(std::vector<Row> rows) : rows_(std::move(rows)) {
    std::vector<FirstKeys> keys;
    for (const Row& row : rows_) {
        FirstKeys k = FirstKeys().set();
        for (const Test& t : row.tests) k &= t.first_keys;
        keys.push_back(k);
        auto fixed = std::find_if(row.tests.begin(), row.tests.end(), [](const Test& t) { return t.first_pos >= 0; });
        gates_.push_back(fixed != row.tests.end() ? Gate{fixed->first_pos, fixed->pattern[0]} : Gate{});
        every_.push_back(static_cast<std::uint16_t>(every_.size()));
    }
    for (std::size_t key = 0; key < 256; ++key) {
        key_start_[key] = static_cast<std::uint32_t>(filed_.size());
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i][key]) filed_.push_back(static_cast<std::uint16_t>(i));
    }
    key_start_[256] = static_cast<std::uint32_t>(filed_.size());
}

std::span<const std::uint16_t> Table::rows_for(const HexImage& image) const {
    if (image.size() < 2) return every_;
    std::string_view hex = image.text();
    std::size_t key = text::pair_key(hex[0], hex[1]);
    return std::span<const std::uint16_t>(filed_).subspan(key_start_[key], key_start_[key + 1] - key_start_[key]);
}

namespace {
// The row's answer when it decides: its tests hold and either a sub-row
// decides or the row does not go on.
std::optional<std::string> answer_of(const Row& row, const HexImage& image, Context& ctx) {
    if (!holds_all(row.tests, image, ctx)) return std::nullopt;
    if (auto sub = decide(row.subs, image, ctx)) return sub;
    if (row.answer.falls_through) return std::nullopt;
    for (const Effect& effect : row.effects) effect(image, ctx);
    return row.answer.compute ? row.answer.compute(image, ctx) : std::string(row.answer.text);
}
}  // namespace

std::optional<std::string> decide(std::span<const Row> rows, const HexImage& image, Context& ctx) {
    for (const Row& row : rows)
        if (auto answer = answer_of(row, image, ctx)) return answer;
    return std::nullopt;
}

std::string run(const Table& table, const HexImage& image, Context& ctx) {
    for (std::uint16_t i : table.rows_for(image)) {
        if (!table.may_hold(i, image)) continue;  // most rows end on one digit, here
        if (auto answer = answer_of(table.rows()[i], image, ctx)) return *std::move(answer);
    }
    return std::string();
}

std::string decoded(const HexImage& image, long byte, long count, std::string_view padding) {
    return text::decode_hex(image.bytes(byte, count), padding);
}

Compute numbered_list(std::string_view first, const char* format, int from, int to) {
    std::string list(first);
    char part[16];
    for (int n = from; n <= to; ++n) {
        std::snprintf(part, sizeof part, format, n);
        list += part;
    }
    return [list](const HexImage&, Context&) { return list; };
}

std::string decoded_between(const HexImage& image, long from, long to, std::string_view appended) {
    return decoded_slice(image, from, to - from, appended);
}

std::string decoded_slice(const HexImage& image, long from, long count, std::string_view appended) {
    return text::decode_hex(std::string(image.mid(from, count)) + std::string(appended));
}

}  // namespace zarvo::rules
