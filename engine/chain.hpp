// The detector chain: the family tables in their fixed order, then the stages
// after the chain (engine/refine), then the candidate ordering.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "context.hpp"
#include "hex_image.hpp"
#include "rules.hpp"
#include "source.hpp"

namespace zarvo {

struct Family {
    std::string_view name;
    const rules::Table& (*table)();
};

// The 19 families in chain order.
std::span<const Family> chain_families();

// Runs the chain over the images, then the stages after it, which read the
// source for the window scan. Returns the ordered result (possibly empty).
std::string run_chain(const HexImage& head, const HexImage& tail, const Source& source, Context& ctx);

}  // namespace zarvo
