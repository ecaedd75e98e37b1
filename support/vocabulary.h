#pragma once
// The names by which every document, layer set and art layer of a menu is found again, command
// after command. They are compared and written exactly, case and inner blanks included.

#include <array>
#include <string>

namespace vocabulary {

// Working documents.
inline constexpr const char* kBuildMenu = "Build Menu";
inline constexpr const char* kButtonTemplate = "Button Template";
inline constexpr const char* kFinalMenu = "Final Menu";
inline constexpr const char* kBuildMenuComplete = "Build Menu Complete";

// Layers of the Build Menu.
inline constexpr const char* kBackground = "Background";
inline constexpr const char* kTitleSafeZones = "Title Safe Zones";
inline constexpr const char* kColorTable = "Color Table";
inline constexpr const char* kTitleArea = "Title Area";

// Sets of the Button Template and their members.
inline constexpr const char* kBtnTmpl = "Btn Tmpl";
inline constexpr const char* kNextTmpl = "Next Tmpl";
inline constexpr const char* kPrevTmpl = "Prev Tmpl";
inline constexpr const char* kButtonArea = "Button Area";
inline constexpr const char* kHiliteMask = "Hilite Mask";
inline constexpr const char* kButtonImage = "Button Image";
inline constexpr const char* kThumbArea = "Thumb Area";
inline constexpr const char* kThumbMask = "Thumb Mask";
inline constexpr const char* kTextArea = "Text Area";
inline constexpr const char* kButtonMask = "Button Mask";

// Names of Photoshop's making that the program renames at once.
inline constexpr const char* kLayer0 = "Layer 0";
inline constexpr const char* kLayer1 = "Layer 1";
inline constexpr const char* kLayer2 = "Layer 2";
inline constexpr const char* kLayer3 = "Layer 3";
inline constexpr const char* kSet1 = "Set 1";
inline constexpr const char* kBackground2 = "Background2";
inline constexpr const char* kBackground3 = "Background3";

// Cloned button sets: "Btn " and the button number, and the navigation buttons.
inline constexpr const char* kBtnNext = "Btn Next";
inline constexpr const char* kBtnPrev = "Btn Prev";
inline std::string buttonSetName(int n) { return "Btn " + std::to_string(n); }
// Numbered members of the composite sets: "Button Area 1", "Button Area Next".
inline std::string numberedName(const std::string& role, int n) { return role + " " + std::to_string(n); }
inline std::string nextName(const std::string& role) { return role + " Next"; }
inline std::string prevName(const std::string& role) { return role + " Prev"; }

// Stage markers kept in the Build Menu's keywords.
inline constexpr const char* kCloneButtonsComplete = "Clone Buttons Complete";
inline constexpr const char* kBuildCompositeLayersComplete = "Build Composite Layers Complete";
inline constexpr const char* kBuildMenuCompleteMarker = "Build Menu Complete";

}  // namespace vocabulary
