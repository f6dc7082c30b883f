// The engine's version number, as ZarvoGetVersion answers it (121: 1.21).
#pragma once

#include <cstdint>

namespace zarvo {

inline constexpr std::int32_t kEngineVersion = 121;

}  // namespace zarvo
