#pragma once
// A colour as the user interface holds it: red in the low byte, green in the second, blue in
// the third.

#include <cstdint>

namespace app {

inline constexpr std::int32_t RGBValue(int red, int green, int blue) {
  return static_cast<std::int32_t>((red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF));
}

}  // namespace app
