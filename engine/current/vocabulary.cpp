#include "current/vocabulary.hpp"

#include <string>

#include "text.hpp"

namespace zarvo::current {

rules::Test text_at(std::uint64_t offset, std::string_view text) {
    return rules::when([=](const HexImage&, const Context& ctx) {
        return probe_of(ctx).read(offset, text.size()) == text;
    });
}

rules::Test hex_at(std::uint64_t offset, std::string_view hex) {
    std::string bytes = text::from_hex(hex);  // every pair, zero bytes included
    return rules::when([=](const HexImage&, const Context& ctx) {
        return probe_of(ctx).read(offset, bytes.size()) == bytes;
    });
}

rules::Test size_at_least(std::uint64_t n) {
    return rules::when([=](const HexImage&, const Context& ctx) { return probe_of(ctx).size() >= n; });
}

std::string rate_and_channels(std::uint64_t rate, unsigned channels) {
    return std::to_string(rate) + " Hz, " + std::to_string(channels) + (channels == 1 ? " channel" : " channels");
}

}  // namespace zarvo::current
