#pragma once
// Where the main window opens: the position stored at the last exit, unless it would put the
// window off the screen or the store holds no usable position.

#include <optional>
#include <string>
#include <vector>

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

// One screen's area on the desktop, in twips.
struct ScreenArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ScreenArea&) const = default;
};

// What of the window must stay on the screens: its title bar, by which it is moved, over at
// least this width.
inline constexpr int kVisibleTitleBarTwips = 900;
// A frame border may hang above the top of the screen.
inline constexpr int kTopBorderTwips = 20;

// The stored texts as a position, or nothing when it must be rejected: no "MainLeft", text
// that is not a number, or a position where less than the title bar's full height over 900
// twips of its width (the whole width of a narrower window) lies on the screens together.
std::optional<WindowPosition> AcceptStoredPosition(const std::string& leftText, const std::string& topText,
                                                   int windowWidth, int titleBarHeight,
                                                   const std::vector<ScreenArea>& screens);

}  // namespace app
