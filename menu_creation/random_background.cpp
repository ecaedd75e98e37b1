// Random backgrounds: three cloud layers in random bright tints, blended by opacity and merged,
// then difference clouds in two random darker colours.

#include <cmath>

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "support/vocabulary.h"
#include "photoshop/color_operations.h"

namespace app {

namespace {

// A random component c x k, rounded half to even: 0..k.
int component(double c, int k) { return int(std::nearbyint(c * k)); }

}  // namespace

void Form1::MakeBackground() {
  using namespace vocabulary;
  using photoshop::RGBValue;
  try {
    BuildMenuDocument = PhotoshopApp.Documents().Item(kBuildMenu);
    TemplateDocument = PhotoshopApp.Documents().Item(kButtonTemplate);
    FinalMenuDocument = PhotoshopApp.Documents().Item(kFinalMenu);
    const photoshop::Document menu = BuildMenuDocument;

    const auto removeOldBackground = [&] { menu.ArtLayers().Remove(menu.ArtLayers().Item(kBackground)); };
    IgnoreErrors(removeOldBackground);

    menu.LayerSets().Add();
    // When the old background was the document's only layer it could only go once the set
    // stood beside it; otherwise the document would end with two layers of that name.
    IgnoreErrors(removeOldBackground);
    menu.LayerSets().Item(kSet1).SetName(kBackground);
    const photoshop::LayerSet set = menu.LayerSets().Item(kBackground);
    set.MoveToEnd(menu);
    for (int i = 0; i < 3; ++i) {
      WorkLayer = set.ArtLayers().Add();
      WorkLayer.MoveToEnd(set);
    }
    menu.Selection().Deselect();
    set.ArtLayers().Item(kLayer1).SetName(kBackground);
    set.ArtLayers().Item(kLayer2).SetName(kBackground2);
    set.ArtLayers().Item(kLayer3).SetName(kBackground3);
    menu.SetActiveLayer(set.ArtLayers().Item(kBackground));

    Randomize();
    SetPSBackgroundColor(RGBValue(255, 255, 255));
    const struct {
      const char* layer;
      int fixed;  // the component that stays 255
      double opacity;
    } tints[] = {{kBackground, 0, 33}, {kBackground2, 1, 50}, {kBackground3, 2, 100}};
    for (const auto& tint : tints) {
      if (tint.fixed) Randomize();
      int rgb[3];
      for (int i = 0; i < 3; ++i) rgb[i] = i == tint.fixed ? 255 : component(Rnd(), 255);
      SetPSForegroundColor(RGBValue(rgb[0], rgb[1], rgb[2]));
      photoshop::ArtLayer layer = set.ArtLayers().Item(tint.layer);
      layer.ApplyClouds();
      layer.SetOpacity(tint.opacity);
    }
    // The merge addresses the active document, which callers keep on the Build Menu.
    PhotoshopApp.ActiveDocument().LayerSets().Item(kBackground).Merge();

    const auto darkColor = [&] {
      Randomize();
      const double c1 = Rnd(), c2 = Rnd(), c3 = Rnd();
      return RGBValue(component(c1, 150), component(c2, 150), component(c3, 150));
    };
    SetPSBackgroundColor(darkColor());
    SetPSForegroundColor(darkColor());
    menu.ArtLayers().Item(kBackground).ApplyDifferenceClouds();
    menu.SetActiveLayer(menu.ArtLayers().Item(kBackground));
  } catch (const photoshop::AutomationError& error) {
    view_.MsgBox("Error: " + error.Description(), MsgBoxButtons::OKOnly, "");
  }
}

void Form1::AnotherRandomBkgnd_Click() {
  view_.SetMousePointer(MousePointer::Hourglass);
  // The background is drawn while the Build Menu is the active document, whichever one the
  // user was looking at; that one is active again afterwards.
  photoshop::Document previous;
  IgnoreErrors([&] { previous = PhotoshopApp.ActiveDocument(); });
  IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(vocabulary::kBuildMenu)); });
  MakeBackground();
  if (!previous.IsNothing()) IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(previous); });
  view_.SetMousePointer(MousePointer::Default);
}

}  // namespace app
