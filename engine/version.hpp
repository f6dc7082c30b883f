// The engine's version number and the figures the interface reports about it.
#pragma once

#include <cstdint>

namespace zarvo {

// As ZarvoGetVersion answers it (121: 1.21).
inline constexpr std::int32_t kEngineVersion = 121;

// The number of kinds the engine tells (ZarvoGetExNumKind) and of its
// signatures (ZarvoGetExNumPattern). Both are published figures, kept as they
// were announced: the kinds are neither the catalogue's keys (714) nor its
// primary rows (657), and the signatures are not a count of the family,
// footer, tail and window rows (782 with sub-rows), so neither is computed
// from the tables.
inline constexpr std::int32_t kKindCount = 765;
inline constexpr std::int32_t kSignatureCount = 824;

}  // namespace zarvo
