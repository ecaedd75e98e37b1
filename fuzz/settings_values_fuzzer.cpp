// Fuzz target for the values read from the settings store: the stored window position texts
// and the numbers in them. Any texts give a position or none; an accepted position keeps the
// title bar on a screen; the number parsers agree with each other.
//
// Input: left text, '\n', top text, '\n', then bytes for the window's width, its title bar and
// up to four screens.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/typed_number.h"
#include "app/window_position.h"

namespace {

int takeInt(std::string_view& bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4 && !bytes.empty(); ++i) {
    v = v << 8 | std::uint8_t(bytes.front());
    bytes.remove_prefix(1);
  }
  return int(v % 120001) - 40000;  // twips of a few screens either side of the origin
}

std::string_view takeLine(std::string_view& bytes) {
  const std::size_t end = bytes.find('\n');
  const std::string_view line = bytes.substr(0, end);
  bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
  return line;
}

void checkNumber(std::string_view text) {
  const auto number = app::ParseNumber(text);
  if (!number) return;
  if (!std::isfinite(*number)) std::abort();
  // A text that is a number as a whole starts with that number.
  if (app::LeadingNumber(text) != *number) std::abort();
  const auto whole = app::RoundToInt32(*number);
  if (whole && std::fabs(double(*whole) - *number) > 0.5) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string left(takeLine(bytes)), top(takeLine(bytes));
  checkNumber(left);
  checkNumber(top);
  const int width = std::abs(takeInt(bytes)) % 20000, bar = std::abs(takeInt(bytes)) % 1000;
  std::vector<app::ScreenArea> screens;
  while (bytes.size() >= 16 && screens.size() < 4)
    screens.push_back({takeInt(bytes), takeInt(bytes), std::abs(takeInt(bytes)), std::abs(takeInt(bytes))});

  const auto position = app::AcceptStoredPosition(left, top, width, bar, screens);
  if (!position) return 0;
  if (position != app::ParseStoredPosition(left, top)) std::abort();
  // Some screen holds part of the title bar at nearly its full height.
  bool onScreen = false;
  for (const app::ScreenArea& s : screens) {
    const long long x = std::min<long long>(position->left + (long long)width, s.left + (long long)s.width) -
                        std::max<long long>(position->left, s.left);
    const long long y = std::min<long long>(position->top + (long long)bar, s.top + (long long)s.height) -
                        std::max<long long>(position->top, s.top);
    onScreen = onScreen || (x > 0 && y >= bar - app::kTopBorderTwips);
  }
  if (!onScreen) std::abort();
  return 0;
}
