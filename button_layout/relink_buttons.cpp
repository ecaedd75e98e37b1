// Re-Link Related Button Layers: links the layers of every cloned button again, so that each
// button moves as one piece when the user drags it; the first missing set or layer ends it.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "button_layout/layout_steps.h"
#include "support/vocabulary.h"

namespace app {

namespace {

using namespace vocabulary;
using photoshop::Layer;

void linkEachWith(const Layer& set, std::initializer_list<const char*> layers, const char* with) {
  const Layer partner = set.ArtLayers().Item(with);
  for (const char* layer : layers) set.ArtLayers().Item(layer).Link(partner);
}

}  // namespace

void Form1::LinkBtnLyrs_Click() {
  view_.SetMousePointer(MousePointer::Hourglass);
  try {
    const photoshop::Document& menu = Held(BuildMenuDocument);
    if (!ButtonCount.Int16())
      throw photoshop::AutomationError(13, "Type mismatch", "Quillary");  // no count to loop over
    const int count = layout::ButtonTotal(ButtonCount);
    menu.SuspendHistory("Link Layers", [&] {
      for (int i = 1; i <= count; ++i)
        linkEachWith(menu.LayerSets().Item(buttonSetName(i)),
                     {kButtonImage, kButtonArea, kThumbMask, kHiliteMask, kTextArea}, kThumbArea);
      for (const char* set : {kBtnPrev, kBtnNext})
        linkEachWith(menu.LayerSets().Item(set), {kButtonImage, kButtonArea}, kHiliteMask);
    });
    view_.SetMousePointer(MousePointer::Default);
  } catch (const photoshop::AutomationError&) {
    view_.SetMousePointer(MousePointer::Default);
    view_.MsgBox("Missing Layers in Main Document.", MsgBoxButtons::OKOnly, "");
  }
}

}  // namespace app
