#include "rules.hpp"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace zarvo::rules {

Test at(long byte, std::string_view pattern) {
    Test t{[=](const HexImage& img, const Context&) { return img.at(byte, pattern); }};
    if (byte >= 0 && !pattern.empty()) {
        t.first_pos = 2 * byte;
        t.first_digit = pattern[0];
    }
    return t;
}

Test not_at(long byte, std::string_view pattern) {
    return {[=](const HexImage& img, const Context&) { return !img.at(byte, pattern); }};
}

Test at_char(long c, std::string_view pattern) {
    Test t{[=](const HexImage& img, const Context&) { return img.at_char(c, pattern); }};
    if (c >= 0 && !pattern.empty()) {
        t.first_pos = c;
        t.first_digit = pattern[0];
    }
    return t;
}

Test at_one_of(long byte, std::initializer_list<std::string_view> patterns) {
    std::vector<std::string_view> list(patterns);
    return {[=](const HexImage& img, const Context&) {
        return std::any_of(list.begin(), list.end(), [&](std::string_view p) { return img.at(byte, p); });
    }};
}

Test contains(std::string_view pattern) {
    return {[=](const HexImage& img, const Context&) { return img.find(pattern) >= 0; }};
}

Test found_from(std::string_view pattern, long from) {
    return {[=](const HexImage& img, const Context&) { return img.find(pattern, from) >= 0; }};
}

Test first_within(std::string_view pattern, long lo, long hi) {
    return {[=](const HexImage& img, const Context&) {
        long p = img.find(pattern);
        return p >= 0 && p >= lo && p <= hi;
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
bool check(const Test& t, const HexImage& img, const Context& ctx) { return t.may_hold(img) && t.holds(img, ctx); }

bool holds_all(const std::vector<Test>& tests, const HexImage& img, const Context& ctx) {
    return std::all_of(tests.begin(), tests.end(), [&](const Test& t) { return check(t, img, ctx); });
}
}  // namespace

Test any(std::initializer_list<Test> tests) {
    std::vector<Test> list(tests);
    return {[=](const HexImage& img, const Context& ctx) {
        return std::any_of(list.begin(), list.end(), [&](const Test& t) { return check(t, img, ctx); });
    }};
}

Test all(std::initializer_list<Test> tests) {
    std::vector<Test> list(tests);
    return {[=](const HexImage& img, const Context& ctx) { return holds_all(list, img, ctx); }};
}

Test none(std::initializer_list<Test> tests) {
    std::vector<Test> list(tests);
    return {[=](const HexImage& img, const Context& ctx) {
        return std::none_of(list.begin(), list.end(), [&](const Test& t) { return check(t, img, ctx); });
    }};
}

Test when(Predicate p) { return {std::move(p)}; }

Effect selector(int value) {
    return [=](const HexImage&, Context& ctx) { ctx.selector = value; };
}

Effect detail(std::string_view text) {
    return [=](const HexImage&, Context& ctx) { ctx.detail = std::string(text); };
}

Effect detail(Compute fn) {
    return [fn = std::move(fn)](const HexImage& img, Context& ctx) { ctx.detail = fn(img, ctx); };
}

std::optional<std::string> decide(std::span<const Row> rows, const HexImage& image, Context& ctx) {
    for (const Row& row : rows) {
        if (!holds_all(row.tests, image, ctx)) continue;
        if (auto sub = decide(row.subs, image, ctx)) return sub;
        if (row.answer.falls_through) continue;
        for (const Effect& effect : row.effects) effect(image, ctx);
        return row.answer.compute ? row.answer.compute(image, ctx) : std::string(row.answer.text);
    }
    return std::nullopt;
}

std::string run(const Table& table, const HexImage& image, Context& ctx) {
    return decide(table, image, ctx).value_or(std::string());
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

std::string decoded_slice(const HexImage& image, long from, long count, std::string_view appended) {
    return text::decode_hex(std::string(image.mid(from, count)) + std::string(appended));
}

}  // namespace zarvo::rules
