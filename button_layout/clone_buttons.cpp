// Clone Button Template: copies the template's button set into the Build Menu once per button,
// each copy shifted down the page and given its own colour, then the Next and Previous buttons,
// the title area and the colour table. Each copy, with its renaming, shifting and colouring, is
// one history state of the Build Menu.

#include <cmath>

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "button_layout/layout_steps.h"
#include "support/vocabulary.h"

namespace app {

namespace {

using namespace vocabulary;
using layout::ArrivedCopy;
using layout::AsOneState;
using photoshop::Document;
using photoshop::Layer;

inline constexpr int kMaxButtons = 10;

// Buttons 9 and 10 wrap round onto the places of buttons 1 and 2 until the user moves them.
int buttonOffset(int n) { return ((n - 1) * 40) % 300; }

// Only a whole number in range is a button count: "3.5" would clone three buttons and leave a
// count that later loops round to four.
bool isButtonCount(const std::string& answer) {
  const std::optional<double> value = ParseNumber(answer);
  return value && *value == std::floor(*value) && *value >= 1 && *value <= kMaxButtons;
}

}  // namespace

void Form1::RecolorActiveLayer(std::int32_t color) {
  const Document& menu = Held(BuildMenuDocument);
  const int kind = menu.ActiveLayer().Kind();
  if (kind == 1) {
    SetPSForegroundColor(color);
    menu.Selection().Fill(WorkSolidColor, photoshop::ps::NormalBlend, 100, true);
  } else if (kind == 3) {
    SetLayerContentColor(color);
  }
}

bool Form1::AskButtonCount() {
  for (;;) {
    const std::string answer = view_.InputBox("Enter Number of Buttons to Make (1..10):", "Button Count", "4");
    if (answer.empty()) {
      view_.MsgBox("Cloning Canceled", MsgBoxButtons::OKOnly, "");
      view_.SetMousePointer(MousePointer::Default);
      return false;
    }
    ButtonCount = answer;
    if (isButtonCount(answer)) return true;
    view_.MsgBox("Button Count Out of Range 1..10.", MsgBoxButtons::OKOnly, "");
  }
}

// Copies a layer or set of the Button Template into the Build Menu; the copy is returned
// through `copy`, with the Build Menu active.
bool Form1::CopyFromTemplate(ErrorRecovery& onError, const std::string& name, bool isSet, Layer& copy) {
  const Document& tmpl = TemplateDocument;
  const Document& menu = BuildMenuDocument;
  return onError([&] {
           PhotoshopApp.SetActiveDocument(Held(tmpl));
           tmpl.SetActiveLayer(isSet ? tmpl.LayerSets().Item(name) : tmpl.ArtLayers().Item(name));
         }) &&
         onError([&] { DuplicateLayer(kBuildMenu); }) &&
         onError([&] {
           PhotoshopApp.SetActiveDocument(Held(menu));
           copy = ArrivedCopy(menu, name);
         });
}

bool Form1::CloneOneButton(ErrorRecovery& onError, int n) {
  const Document& menu = BuildMenuDocument;
  Layer set;
  if (!CopyFromTemplate(onError, kBtnTmpl, true, set)) return false;
  if (!onError([&] { set.SetName(buttonSetName(n)); })) return false;
  if (!onError([&] { set.Translate(0, buttonOffset(n)); })) return false;
  if (!onError([&] { SetLayerColorLabel("Grn "); })) return false;
  const std::int32_t color = ButtonColors[std::size_t(n - 1)];
  for (const char* role : {kButtonArea, kThumbArea, kTextArea}) {
    if (!onError([&] { menu.SetActiveLayer(set.ArtLayers().Item(role)); })) return false;
    if (!onError([&] { RecolorActiveLayer(color); })) return false;
  }
  return onError([&] { menu.SetActiveLayer(menu.ArtLayers().Item(kBackground)); });
}

bool Form1::LinkTemplateButtons(ErrorRecovery& onError) {
  const Document& tmpl = TemplateDocument;
  const auto link = [&](const char* set, const char* layer, const char* with) {
    return onError([&] {
      const Layer s = tmpl.LayerSets().Item(set);
      s.ArtLayers().Item(layer).Link(s.ArtLayers().Item(with));
    });
  };
  if (!onError([&] {
        PhotoshopApp.SetActiveDocument(Held(tmpl));
        tmpl.SetActiveLayer(tmpl.LayerSets().Item(kBtnTmpl));
      }))
    return false;
  return AsOneState(onError, tmpl, "Link Layers", [&] {
    for (const char* set : {kPrevTmpl, kNextTmpl})
      for (const char* layer : {kButtonImage, kButtonArea})
        if (!link(set, layer, kHiliteMask)) return false;
    for (const char* layer : {kButtonImage, kButtonArea, kThumbMask, kHiliteMask, kTextArea})
      if (!link(kBtnTmpl, layer, kThumbArea)) return false;
    return true;
  });
}

bool Form1::CloneNavigationAndTitle(ErrorRecovery& onError) {
  const Document& menu = BuildMenuDocument;
  const auto toBackground = [&] { return onError([&] { menu.SetActiveLayer(menu.ArtLayers().Item(kBackground)); }); };
  Layer next, prev, title;
  if (!AsOneState(onError, menu, "Duplicate Next Button",
                  [&] { return CopyFromTemplate(onError, kNextTmpl, true, next) && toBackground(); }))
    return false;
  view_.SetProgressValue(80);
  if (!AsOneState(onError, menu, "Duplicate Previous Button",
                  [&] { return CopyFromTemplate(onError, kPrevTmpl, true, prev) && toBackground(); }))
    return false;
  view_.SetProgressValue(90);
  return AsOneState(onError, menu, "Duplicate Title Area", [&] {
    return CopyFromTemplate(onError, kTitleArea, false, title) &&
           onError([&] { menu.SetActiveLayer(title); }) && onError([&] { RecolorActiveLayer(TitleAreaColor); });
  }) && AsOneState(onError, menu, "Name Navigation Buttons", [&] {
    return onError([&] { next.SetName(kBtnNext); }) && onError([&] { menu.SetActiveLayer(next); }) &&
           onError([&] { SetLayerColorLabel("Vlt "); }) && onError([&] { prev.SetName(kBtnPrev); }) &&
           onError([&] { menu.SetActiveLayer(prev); }) && onError([&] { SetLayerColorLabel("Vlt "); });
  });
}

void Form1::CloneButtons_Click() {
  view_.SetMousePointer(MousePointer::Hourglass);
  ErrorRecovery onError(*this, RecoveryStyle::CloneButtons());
  if (!onError([&] {
        BuildMenuDocument = PhotoshopApp.Documents().Item(kBuildMenu);
        TemplateDocument = PhotoshopApp.Documents().Item(kButtonTemplate);
        FinalMenuDocument = PhotoshopApp.Documents().Item(kFinalMenu);
      }))
    return;
  view_.SetProgressValue(0);
  std::int16_t missing = 0;
  const std::string report = CheckButtonTemplateLayers(missing);
  if (missing > 0) {
    view_.MsgBox(report, MsgBoxButtons::OKOnly, "");
    view_.SetMousePointer(MousePointer::Default);
    return;
  }
  SaveHistoryState(ReEditButtonTemplate);
  view_.SetProgressValue(10);
  if (!LinkTemplateButtons(onError)) return;
  view_.SetProgressValue(10);
  if (!AskButtonCount()) return;
  view_.SetProgressValue(20);

  const Document& menu = BuildMenuDocument;
  Layer table;
  if (!AsOneState(onError, menu, "Duplicate Color Table", [&] {
        return CopyFromTemplate(onError, kColorTable, false, table) && onError([&] { table.SetVisible(false); }) &&
               onError([&] { menu.SetActiveLayer(menu.ArtLayers().Item(kBackground)); }) &&
               onError([&] { menu.Selection().Deselect(); });  // a selection left behind would recolour part of each button
      }))
    return;
  view_.SetProgressValue(30);
  const int count = layout::ButtonTotal(ButtonCount);
  for (int n = 1; n <= count; ++n) {
    if (!AsOneState(onError, menu, "Clone " + buttonSetName(n), [&] { return CloneOneButton(onError, n); })) return;
    view_.SetProgressValue(view_.ProgressValue() + 40.0 / count);
  }
  if (!CloneNavigationAndTitle(onError)) return;
  view_.SetProgressValue(100);
  SaveHistoryState(EditClonedLayout);
  ApplyOptionsToLayers();
  view_.SetMousePointer(MousePointer::Default);
  SaveOptionsToDocument(kCloneButtonsComplete);
}

}  // namespace app
