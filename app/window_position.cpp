#include "app/window_position.h"

#include <algorithm>

#include "app/typed_number.h"

namespace app {

namespace {

// A missing key reads as "" and counts as 0; other text must be a whole number of twips.
std::optional<int> storedTwips(const std::string& text) {
  if (text.empty()) return 0;
  const auto number = ParseNumber(text);
  if (!number) return std::nullopt;
  return RoundToInt32(*number);
}

}  // namespace

std::optional<WindowPosition> ParseStoredPosition(const std::string& leftText, const std::string& topText) {
  const auto left = storedTwips(leftText);
  const auto top = storedTwips(topText);
  if (!left || !top) return std::nullopt;
  return WindowPosition{*left, *top};
}

std::optional<WindowPosition> AcceptStoredPosition(const std::string& leftText, const std::string& topText,
                                                   int windowWidth, int titleBarHeight,
                                                   const std::vector<ScreenArea>& screens) {
  if (leftText.empty()) return std::nullopt;
  const auto position = ParseStoredPosition(leftText, topText);
  if (!position) return std::nullopt;
  const long long barLeft = position->left, barRight = barLeft + std::max(windowWidth, 0);
  const long long barTop = position->top, barBottom = barTop + std::max(titleBarHeight, 0);
  const long long neededHeight = std::max<long long>(barBottom - barTop - kTopBorderTwips, 1);
  // Mirrored screens show the same area; it counts once.
  std::vector<ScreenArea> counted;
  long long visibleWidth = 0;
  for (const ScreenArea& s : screens) {
    if (std::find(counted.begin(), counted.end(), s) != counted.end()) continue;
    counted.push_back(s);
    const long long width = std::min<long long>(barRight, s.left + (long long)s.width) - std::max<long long>(barLeft, s.left);
    const long long height = std::min<long long>(barBottom, s.top + (long long)s.height) - std::max<long long>(barTop, s.top);
    if (width > 0 && height >= neededHeight) visibleWidth += width;
  }
  if (visibleWidth < std::min<long long>(kVisibleTitleBarTwips, barRight - barLeft) || visibleWidth == 0)
    return std::nullopt;
  return position;
}

}  // namespace app
