// The options act on the menu through the visibility of its optional layers: the final
// document merges only visible layers. A layer that does not exist yet (before cloning, before
// the composites) is skipped, statement by statement.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "support/vocabulary.h"

namespace app {

namespace {

using photoshop::Document;
using namespace vocabulary;

// Visibility of a top-level layer set.
void showSet(const Document& doc, const std::string& set, bool visible) {
  IgnoreErrors([&] { Held(doc).LayerSets().Item(set).SetVisible(visible); });
}

// Visibility of a top-level art layer.
void showLayer(const Document& doc, const std::string& layer, bool visible) {
  IgnoreErrors([&] { Held(doc).ArtLayers().Item(layer).SetVisible(visible); });
}

// Visibility of a layer inside a top-level set.
void showMember(const Document& doc, const std::string& set, const std::string& layer, bool visible) {
  IgnoreErrors([&] { Held(doc).LayerSets().Item(set).Layers().Item(layer).SetVisible(visible); });
}

inline constexpr const char* kCompButtonMask = "Comp Button Mask";
inline constexpr const char* kCompNextPrevButtonMask = "Comp NxtPrv Button Mask";
inline constexpr const char* kCompThumbMask = "Comp Thumb Mask";

}  // namespace

void Form1::ApplyOptionsToLayers() {
  view_.SetMousePointer(MousePointer::Hourglass);
  const Document& menu = BuildMenuDocument;
  const Document& tmpl = TemplateDocument;
  const bool nextPrev = EnableNextPrevButtons;

  for (const char* set : {kButtonImage, kHiliteMask, kButtonArea, kButtonMask}) {
    showMember(menu, set, nextName(set), nextPrev);
    showMember(menu, set, prevName(set), nextPrev);
  }
  showSet(tmpl, kNextTmpl, nextPrev);
  showSet(tmpl, kPrevTmpl, nextPrev);
  showSet(menu, kBtnNext, nextPrev);
  showSet(menu, kBtnPrev, nextPrev);

  showMember(menu, kTextArea, kTitleArea, IncludeMenuTitleArea);
  showLayer(tmpl, kTitleArea, IncludeMenuTitleArea);
  showLayer(menu, kTitleArea, IncludeMenuTitleArea);

  showMember(tmpl, kBtnTmpl, kTextArea, IncludeButtonTextArea);
  if (const auto count = ButtonCount.Number()) {
    // Loops over the buttons stay within the 16-bit range the button count is converted to elsewhere.
    for (int n = 1; n <= *count && n <= 32767; ++n) {
      showMember(menu, kTextArea, numberedName(kTextArea, n), IncludeButtonTextArea);
      showMember(menu, buttonSetName(n), kTextArea, IncludeButtonTextArea);
    }
  }

  showMember(menu, kHiliteMask, kCompButtonMask, !KeepButtonImageHilite);
  showMember(menu, kHiliteMask, kCompNextPrevButtonMask, !KeepNextPrevHilite);
  showMember(menu, kHiliteMask, kCompThumbMask, AddHiliteToThumbMask);
  view_.SetMousePointer(MousePointer::Default);
}

}  // namespace app
