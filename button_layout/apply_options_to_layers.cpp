// The options act on the menu through the visibility of its optional layers: the final
// document merges only visible layers. A layer that does not exist yet (before cloning, before
// the composites) is skipped, statement by statement.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"

namespace app {

namespace {

using photoshop::Document;

// Visibility of a top-level layer set.
void showSet(const Document& doc, const char* set, bool visible) {
  IgnoreErrors([&] { Held(doc).LayerSets().Item(set).SetVisible(visible); });
}

// Visibility of a top-level art layer.
void showLayer(const Document& doc, const char* layer, bool visible) {
  IgnoreErrors([&] { Held(doc).ArtLayers().Item(layer).SetVisible(visible); });
}

// Visibility of a layer inside a top-level set.
void showMember(const Document& doc, const std::string& set, const std::string& layer, bool visible) {
  IgnoreErrors([&] { Held(doc).LayerSets().Item(set).Layers().Item(layer).SetVisible(visible); });
}

}  // namespace

void Form1::ApplyOptionsToLayers() {
  view_.SetMousePointer(MousePointer::Hourglass);
  const Document& menu = BuildMenuDocument;
  const Document& tmpl = TemplateDocument;
  const bool nextPrev = EnableNextPrevButtons;

  for (const char* set : {"Button Image", "Hilite Mask", "Button Area", "Button Mask"}) {
    const std::string name = set;
    showMember(menu, name, name + " Next", nextPrev);
    showMember(menu, name, name + " Prev", nextPrev);
  }
  showSet(tmpl, "Next Tmpl", nextPrev);
  showSet(tmpl, "Prev Tmpl", nextPrev);
  showSet(menu, "Btn Next", nextPrev);
  showSet(menu, "Btn Prev", nextPrev);

  showMember(menu, "Text Area", "Title Area", IncludeMenuTitleArea);
  showLayer(tmpl, "Title Area", IncludeMenuTitleArea);
  showLayer(menu, "Title Area", IncludeMenuTitleArea);

  showMember(tmpl, "Btn Tmpl", "Text Area", IncludeButtonTextArea);
  if (const auto count = ButtonCount.Number()) {
    // Loops over the buttons stay within the 16-bit range the button count is converted to elsewhere.
    for (int n = 1; n <= *count && n <= 32767; ++n) {
      showMember(menu, "Text Area", "Text Area " + std::to_string(n), IncludeButtonTextArea);
      showMember(menu, "Btn " + std::to_string(n), "Text Area", IncludeButtonTextArea);
    }
  }

  showMember(menu, "Hilite Mask", "Comp Button Mask", !KeepButtonImageHilite);
  showMember(menu, "Hilite Mask", "Comp NxtPrv Button Mask", !KeepNextPrevHilite);
  showMember(menu, "Hilite Mask", "Comp Thumb Mask", AddHiliteToThumbMask);
  view_.SetMousePointer(MousePointer::Default);
}

}  // namespace app
