// Table tests of the current-formats layer that read past the probe's image:
// further into the head, or at fixed places of the file through the probe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "context.hpp"
#include "current/probe.hpp"
#include "rules.hpp"

namespace zarvo::current {

// The probe of the identification in progress.
inline Probe& probe_of(const Context& ctx) { return *ctx.probe; }

// The file holds the bytes `text` (written as text, e.g. "ustar") at `offset`.
rules::Test text_at(std::uint64_t offset, std::string_view text);
// The file holds the hex pattern (e.g. "4344303031") at byte `offset`.
rules::Test hex_at(std::uint64_t offset, std::string_view hex);
// The file is at least n bytes long.
rules::Test size_at_least(std::uint64_t n);

// The detail text of a sound stream: "44100 Hz, 2 channels".
std::string rate_and_channels(std::uint64_t rate, unsigned channels);

}  // namespace zarvo::current
