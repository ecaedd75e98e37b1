// Preview Menu: shows the cloned layout as the finished menu will look, without the layers that
// only describe areas and highlights, and brings them back on the next click. It changes only
// visibility, which makes no history state.

#include "app/form1.h"
#include "app/held_reference.h"
#include "button_layout/layout_steps.h"
#include "support/vocabulary.h"

namespace app {

namespace {

using namespace vocabulary;

void setMemberVisible(const photoshop::Document& doc, const std::string& set, const char* layer, bool visible) {
  doc.LayerSets().Item(set).Layers().Item(layer).SetVisible(visible);
}

}  // namespace

void Form1::PreviewMenu_Click() {
  view_.SetMousePointer(MousePointer::Hourglass);
  // Photoshop's text for a missing document or layer; other failures end the command silently.
  const auto stop = [&](const photoshop::AutomationError& error, const char* message) {
    view_.SetMousePointer(MousePointer::Default);
    if (error.Description() == engine::kNoSuchElementText) view_.MsgBox(message, MsgBoxButtons::OKOnly, "");
  };
  try {
    BuildMenuDocument = PhotoshopApp.Documents().Item(kBuildMenu);
    TemplateDocument = PhotoshopApp.Documents().Item(kButtonTemplate);
    FinalMenuDocument = PhotoshopApp.Documents().Item(kFinalMenu);
    PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(kBuildMenu));
  } catch (const photoshop::AutomationError& error) {
    stop(error, "Menu Document Closed");
    return;
  }
  const photoshop::Document& menu = BuildMenuDocument;
  const bool shown = PreviewToggle;
  try {
    const int count = layout::ButtonTotal(ButtonCount);
    for (int n = 1; n <= count; ++n) {
      const std::string set = buttonSetName(n);
      setMemberVisible(menu, set, kTextArea, shown);
      setMemberVisible(menu, set, kHiliteMask, shown);
      setMemberVisible(menu, set, kThumbArea, shown);
      setMemberVisible(menu, set, kThumbMask, true);
      setMemberVisible(menu, set, kButtonImage, true);
      setMemberVisible(menu, set, kButtonArea, shown);
    }
    for (const char* layer : {kHiliteMask, kButtonImage, kButtonArea}) {
      const bool visible = std::string(layer) == kButtonImage || shown;
      setMemberVisible(menu, kBtnPrev, layer, visible);
      setMemberVisible(menu, kBtnNext, layer, visible);
    }
  } catch (const photoshop::AutomationError& error) {
    stop(error, "Button Layers Missing from Menu Document");
    return;
  }
  PreviewToggle = !PreviewToggle;
  view_.SetMousePointer(MousePointer::Default);
}

}  // namespace app
