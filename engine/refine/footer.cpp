// Footer signatures: kinds known by their last bytes, tested on the tail
// image (the last 1024 bytes, or the whole file when it is shorter), some of
// them together with the start of the head image.
#include <string>
#include <string_view>

#include "refine/refine.hpp"

namespace zarvo::refine {

using namespace rules;

namespace {

// The 16 bytes that begin k bytes before the end of the tail (from its start
// when the tail is shorter).
std::string_view block_from_end(const HexImage& tail, long k) { return tail.mid(tail.size() - 2 * k, 32); }

// Row 12 (zld): thirteen equal 16-byte blocks, neither all 00 nor all FF,
// then a different last block. The checks run in this order and stop at the
// first that fails.
bool repeated_block_footer(const HexImage& tail, const Context&) {
    if (tail.size() <= 500) return false;
    std::string_view b = block_from_end(tail, 224);
    if (b == "00000000000000000000000000000000") return false;
    if (b == "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF") return false;
    for (long k = 208; k >= 32; k -= 16) {
        if (block_from_end(tail, k) != b) return false;
    }
    return block_from_end(tail, 16) != b;
}

}  // namespace

// In test order; the first row that holds decides, and none gives empty text.
const Table& footer_table() {
    static const Table rows = {
    // row  tests (over the tail; head_at over the head)                       answer        side effects
    {"1",  {ends_with("00A00040")},                                             "cgm"},
    {"2",  {from_end(16, "EA"), from_end(11, "00"), any({from_end(3, "00"), from_end(3, "01")})},
                                                                                "ws,wsc"},
    {"3",  {any({ends_with("0000454E44"), ends_with("0100454E44")})},           "st0,st1,st2,st3,st4,st5,st6,st7,st8,st9",
                                                                                              {variant(variants::kSharedFirst)}},
    {"4",  {head_at(0, "00000000"), ends_with("0DE03B0800000000000000")},       "nrr"},
    {"5",  {ends_with("810301524B")},                                           "rk"},
    {"6",  {ends_with("009211524B")},                                           "rkv"},
    {"7",  {head_at(0, "04"), ends_with("0000")},                               "bvi"},
    {"8",  {ends_with("676866686466686668")},                                   "cpz"},
    {"9",  {head_at(0, "0041"), ends_with("01")},                               "arg"},
    {"10", {head_at(0, "1A"), ends_with("1A00")},                               "arc"},
    {"11", {ends_with("3A01000000445743")},                                     "dwc"},
    {"12", {when(repeated_block_footer)},                                       "zld"},
    };
    return rows;
}

std::string footer(const HexImage& head, const HexImage& tail, Context& ctx) {
    ctx.head = &head;
    std::string answer = run(footer_table(), tail, ctx);
    ctx.head = nullptr;
    return answer;
}

}  // namespace zarvo::refine
