#pragma once
// Where the main window opens: the position stored at the last exit, unless it would put the
// window off the screen or the store holds no usable position.

#include <optional>
#include <string>

namespace app {

struct WindowPosition {
  int left = 0;  // twips
  int top = 0;
  bool operator==(const WindowPosition&) const = default;
};

inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kMainLeftKey = "MainLeft";
inline constexpr const char* kMainTopKey = "MainTop";
inline constexpr const char* kFirstRunPosition = "2000";

// The stored texts as numbers of twips: a missing "MainTop" counts as 0; nothing when either
// text is not a whole number of twips (rounded).
std::optional<WindowPosition> ParseStoredPosition(const std::string& leftText, const std::string& topText);

// The stored texts as a position, or nothing when it must be rejected: no "MainLeft", text
// that is not a number, left beyond the screen's right edge, the window's right edge less than
// 900 twips from the screen's left edge, top beyond the bottom edge, or top above -20.
std::optional<WindowPosition> AcceptStoredPosition(const std::string& leftText, const std::string& topText,
                                                   int windowWidth, int screenWidth, int screenHeight);

}  // namespace app
