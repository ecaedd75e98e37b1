// Random backgrounds: three cloud layers in random bright tints, blended by opacity and merged,
// then difference clouds in two random darker colours. The new background is built completely
// beside the old one, which goes only when the new one stands; a run that fails takes away
// what it added and leaves the old background as it was.

#include <array>
#include <cmath>
#include <utility>

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "support/vocabulary.h"
#include "photoshop/color_operations.h"

namespace app {

namespace {

using namespace vocabulary;
using photoshop::RGBValue;

// A random component c x k, rounded half to even: 0..k.
int component(double c, int k) { return int(std::nearbyint(c * k)); }

// Adds a set "Background" at the bottom of the menu, held in `set` as soon as it exists, with
// three cloud layers "Background", "Background2" and "Background3" from top to bottom. Each
// layer is addressed by its handle: the menu may hold layers of the user's named as new ones are.
void AddCloudSet(Form1& form, const photoshop::Document& menu, photoshop::LayerSet& set) {
  set = menu.LayerSets().Add();
  set.SetName(kBackground);
  set.MoveToEnd(menu);
  std::array<photoshop::ArtLayer, 3> layers;
  for (photoshop::ArtLayer& layer : layers) {
    form.WorkLayer = set.ArtLayers().Add();
    form.WorkLayer.MoveToEnd(set);
    layer = form.WorkLayer;
  }
  menu.Selection().Deselect();
  layers[0].SetName(kBackground);
  layers[1].SetName(kBackground2);
  layers[2].SetName(kBackground3);
  menu.SetActiveLayer(layers[0]);

  form.Randomize();
  form.SetPSBackgroundColor(RGBValue(255, 255, 255));
  const double opacities[] = {33, 50, 100};
  for (int fixed = 0; fixed < 3; ++fixed) {  // the component that stays 255
    if (fixed) form.Randomize();
    int rgb[3];
    for (int i = 0; i < 3; ++i) rgb[i] = i == fixed ? 255 : component(form.Rnd(), 255);
    form.SetPSForegroundColor(RGBValue(rgb[0], rgb[1], rgb[2]));
    layers[std::size_t(fixed)].ApplyClouds();
    layers[std::size_t(fixed)].SetOpacity(opacities[fixed]);
  }
}

std::int32_t darkColor(Form1& form) {
  form.Randomize();
  const double c1 = form.Rnd(), c2 = form.Rnd(), c3 = form.Rnd();
  return RGBValue(component(c1, 150), component(c2, 150), component(c3, 150));
}

}  // namespace

void Form1::MakeBackground() {
  // The background is drawn while the Build Menu is the active document, whichever one the
  // user was looking at; that one is active again afterwards.
  photoshop::Document previous;
  IgnoreErrors([&] { previous = PhotoshopApp.ActiveDocument(); });
  photoshop::Layer added;  // what this run added, while the old background still stands
  try {
    BuildMenuDocument = PhotoshopApp.Documents().Item(kBuildMenu);
    TemplateDocument = PhotoshopApp.Documents().Item(kButtonTemplate);
    FinalMenuDocument = PhotoshopApp.Documents().Item(kFinalMenu);
    const photoshop::Document menu = BuildMenuDocument;
    PhotoshopApp.SetActiveDocument(menu);
    photoshop::ArtLayer old;
    IgnoreErrors([&] { old = menu.ArtLayers().Item(kBackground); });

    AddCloudSet(*this, menu, added);
    added = added.Merge();  // one layer, named after the set
    SetPSBackgroundColor(darkColor(*this));
    SetPSForegroundColor(darkColor(*this));
    added.ApplyDifferenceClouds();

    if (!old.IsNothing()) menu.ArtLayers().Remove(old);
    menu.SetActiveLayer(std::exchange(added, {}));
  } catch (const photoshop::AutomationError& error) {
    if (!added.IsNothing()) IgnoreErrors([&] { added.Remove(); });
    view_.MsgBox("Error: " + error.Description(), MsgBoxButtons::OKOnly, "");
  }
  if (!previous.IsNothing()) IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(previous); });
}

void Form1::AnotherRandomBkgnd_Click() {
  view_.SetMousePointer(MousePointer::Hourglass);
  MakeBackground();
  view_.SetMousePointer(MousePointer::Default);
}

}  // namespace app
