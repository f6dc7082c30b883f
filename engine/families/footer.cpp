// Footer signatures: kinds known by their last bytes, tested on the tail
// image (the last 1024 bytes, or the whole file when it is shorter), some of
// them together with the start of the head image.
#include <string_view>
#include <vector>

#include "families.hpp"

namespace zarvo::families {

namespace {

// Byte -k of the tail: the byte k places before its end (byte -1 is the
// last). The slice starts at length - 2k counted from 0 at the least, so on
// a tail shorter than k bytes it is the first byte.
std::string_view byte_from_end(const HexImage& tail, long k) { return tail.mid(tail.size() - 2 * k, 2); }

// The 16 bytes that begin k bytes before the end of the tail.
std::string_view block_from_end(const HexImage& tail, long k) { return tail.mid(tail.size() - 2 * k, 32); }

// Row 2: byte -16 is EA, byte -11 is 00 and byte -3 is 00 or 01.
bool ws_footer(const HexImage& tail) {
    std::string_view third_last = byte_from_end(tail, 3);
    return byte_from_end(tail, 16) == "EA" && byte_from_end(tail, 11) == "00" &&
           (third_last == "00" || third_last == "01");
}

// Row 12: thirteen equal 16-byte blocks, neither all 00 nor all FF, then a
// different last block. The checks run in this order and stop at the first
// that fails.
bool repeated_block_footer(const HexImage& tail) {
    if (tail.size() <= 500) return false;
    std::string_view b = block_from_end(tail, 224);
    if (b == "00000000000000000000000000000000") return false;
    if (b == "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF") return false;
    for (long k = 208; k >= 32; k -= 16) {
        if (block_from_end(tail, k) != b) return false;
    }
    return block_from_end(tail, 16) != b;
}

struct Signature {
    std::string_view order;
    std::string_view head;               // the head image begins with this (no test when empty)
    std::vector<std::string_view> ends;  // the tail image ends with one of these (no test when empty)
    bool (*computed)(const HexImage& tail) = nullptr;  // a test written as a function above
    std::string_view result;
    int selector = 0;  // 0: the selector is left as it is
};

// In test order; the first row that holds decides, and none gives empty text.
const std::vector<Signature>& signatures() {
    static const std::vector<Signature> rows = {
        // order head         tail ends with                           computed               result        selector
        {"1",  "",         {"00A00040"},                               nullptr,               "cgm"},
        {"2",  "",         {},                                         ws_footer,             "ws,wsc"},
        {"3",  "",         {"0000454E44", "0100454E44"},               nullptr,               "st0,st1,st2,st3,st4,st5,st6,st7,st8,st9", 2},
        {"4",  "00000000", {"0DE03B0800000000000000"},                 nullptr,               "nrr"},
        {"5",  "",         {"810301524B"},                             nullptr,               "rk"},
        {"6",  "",         {"009211524B"},                             nullptr,               "rkv"},
        {"7",  "04",       {"0000"},                                   nullptr,               "bvi"},
        {"8",  "",         {"676866686466686668"},                     nullptr,               "cpz"},
        {"9",  "0041",     {"01"},                                     nullptr,               "arg"},
        {"10", "1A",       {"1A00"},                                   nullptr,               "arc"},
        {"11", "",         {"3A01000000445743"},                       nullptr,               "dwc"},
        {"12", "",         {},                                         repeated_block_footer, "zld"},
    };
    return rows;
}

bool holds(const Signature& row, const HexImage& head, const HexImage& tail) {
    if (!row.head.empty() && !head.at(0, row.head)) return false;
    if (!row.ends.empty()) {
        bool any = false;
        // "Last n bytes: P" with n the length of P; a shorter tail fails.
        for (std::string_view end : row.ends) any = any || text::right(tail.text(), long(end.size())) == end;
        if (!any) return false;
    }
    return row.computed == nullptr || row.computed(tail);
}

}  // namespace

std::string footer(const HexImage& head, const HexImage& tail, Context& ctx) {
    for (const Signature& row : signatures()) {
        if (!holds(row, head, tail)) continue;
        if (row.selector != 0) ctx.selector = row.selector;
        return std::string(row.result);
    }
    return {};
}

}  // namespace zarvo::families
