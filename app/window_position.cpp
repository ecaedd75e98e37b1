#include "app/window_position.h"

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
                                                   int windowWidth, int screenWidth, int screenHeight) {
  if (leftText.empty()) return std::nullopt;
  const auto position = ParseStoredPosition(leftText, topText);
  if (!position) return std::nullopt;
  const long long rightEdge = static_cast<long long>(position->left) + windowWidth;
  if (position->left > screenWidth || rightEdge < 900 || position->top > screenHeight || position->top < -20)
    return std::nullopt;
  return position;
}

}  // namespace app
