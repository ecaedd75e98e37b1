// The Options menu, whose seven entries switch how the menu is built, and the small File, Edit
// and Help commands.

#include "app/form1.h"

namespace app {

namespace {

inline constexpr const char* kReplaceBackgroundMessage =
    "This Option allows Layer Styles i.e. \"Drop Shadows...\" to be seen on the Menu Background.\r\n"
    "Menus with this Option will have a \"Fixed\" button count, where all unused Buttons will be\r\n"
    "visible in the Final Menu.";
inline constexpr const char* kFixedMenusMessage =
    "Menus with NO Next/Previous buttons are for Fixed Menus Only, they will not link to successive Menus.";
inline constexpr const char* kThumbMaskMessage =
    "This will JUST add the White area of the Thumbnail Mask to the Hilite Mask.  You Must\r\n"
    "change this White Color to one of the Normal (Row 2) colors in your Color Table.";

}  // namespace

void Form1::OptionsMenu_Click(std::int16_t Index) {
  if (Index < 0 || Index >= kOptionCount) return;
  view_.SetOptionChecked(Index, !view_.OptionChecked(Index));
  view_.SetMousePointer(MousePointer::Hourglass);
  const bool checked = view_.OptionChecked(Index);
  switch (Index) {
    case ReplaceBackgroundOption:
      ReplaceBackgroundWithButtonImage = checked;
      if (checked) view_.MsgBox(kReplaceBackgroundMessage, MsgBoxButtons::OKOnly, "Replace Background");
      break;
    case EnableNextPrevOption:
      EnableNextPrevButtons = checked;
      view_.SetOptionEnabled(RemoveNextPrevHiliteOption, checked);
      view_.SetOptionChecked(RemoveNextPrevHiliteOption, checked);
      KeepNextPrevHilite = !view_.OptionChecked(RemoveNextPrevHiliteOption);
      if (!checked) view_.MsgBox(kFixedMenusMessage, MsgBoxButtons::OKOnly, "Replace Background");
      break;
    case IncludeMenuTitleOption: IncludeMenuTitleArea = checked; break;
    case IncludeButtonTextOption: IncludeButtonTextArea = checked; break;
    case RemoveButtonHiliteOption: KeepButtonImageHilite = !checked; break;
    case RemoveNextPrevHiliteOption: KeepNextPrevHilite = !checked; break;
    case AddHiliteToThumbOption:
      AddHiliteToThumbMask = checked;
      if (checked) view_.MsgBox(kThumbMaskMessage, MsgBoxButtons::OKOnly, "Highlight Thumbnail");
      break;
    default: break;
  }
  ApplyOptionsToLayers();
}

void Form1::FileMenu_Click(std::int16_t Index) {
  if (Index == 0) UnloadForm();
}

void Form1::EditMenu_Click(std::int16_t /*Index*/) { view_.Beep(); }

void Form1::HelpAbout_Click() { view_.ShowAboutBox(); }

}  // namespace app
