// Special identification's tail tests: traces that particular tools leave at
// the end of a file, looked at once on the tail image. Three of them keep the
// chain's answer and only choose a description variant.
#include <string>
#include <string_view>

#include "refine/refine.hpp"

namespace zarvo::refine {

using namespace rules;

// In order; the first that holds decides, and none gives empty text.
const Table& tail_table() {
    static const Table rows = {
    // row tests (the last n bytes begin with)       answer        side effects
    {"1", {from_end(11, "00003B")},                  "gif",        {variant(variants::kUsoJpeg), detail("")}},
    {"2", {from_end(7, "208C9982C582B7")},           "jpg",        {variant(variants::kEmbedTool19), detail("")}},
    {"3", {from_end(8, "2120202019747D78")},         keep_answer,  {variant(variants::kHexNamedTool), detail("")}},
    {"4", {from_end(16, "5F554D45")},                keep_answer,  {variant(variants::kUme), detail("")}},
    {"5", {from_end(5, "0000656E64")},               keep_answer,  {variant(variants::kHermit), detail("")}},
    };
    return rows;
}

std::string tail_tests(const HexImage& tail, std::string_view chain_answer, Context& ctx) {
    std::string_view before = ctx.chain_answer;
    ctx.chain_answer = chain_answer;
    std::string answer = run(tail_table(), tail, ctx);
    ctx.chain_answer = before;
    return answer;
}

std::string after_chain(std::string chain_answer, const HexImage& head, const HexImage& tail, const Source& source,
                        Context& ctx) {
    if ((ctx.options & kFooter) && chain_answer.empty()) chain_answer = footer(head, tail, ctx);
    if (!(ctx.options & kSpecial)) return chain_answer;
    std::string refined = tail_tests(tail, chain_answer, ctx);
    if (refined.empty()) {
        refined = scan_windows(source, [&](std::string_view window, std::uint64_t) {
            return window_tests(window, chain_answer, ctx);
        });
    }
    return refined.empty() ? chain_answer : refined;
}

}  // namespace zarvo::refine
