// The builders of the composite layer sets: each gathers one role of every button into a new
// set of the Build Menu over a full-page base. Every object a builder makes is held by the
// handle the call returns, never found again by a default name, so that a user's own "Set 1"
// or "Layer 1" is left alone. Each sub-step (the new set with its base, each copied-in layer,
// each derived mask) is one history state. Failures pass on to the command's recovery.

#include "app/form1.h"
#include "app/held_reference.h"
#include "button_layout/layout_steps.h"
#include "support/vocabulary.h"
#include "photoshop/color_operations.h"

namespace app {

namespace {

using namespace vocabulary;
using photoshop::Document;
using photoshop::Layer;

inline constexpr std::int32_t kWhite = photoshop::RGBValue(255, 255, 255);
inline constexpr std::int32_t kBlack = photoshop::RGBValue(0, 0, 0);
inline constexpr int kDarken = 4, kLighten = 8;

// The Build Menu, looked up afresh, made the active document.
Document activeBuildMenu(Form1& form) {
  const Document menu = form.PhotoshopApp.Documents().Item(kBuildMenu);
  form.PhotoshopApp.SetActiveDocument(menu);
  return menu;
}

Layer buttonLayer(const Document& menu, const std::string& set, const char* role) {
  return menu.LayerSets().Item(set).ArtLayers().Item(role);
}

// The button sets in the order their members are copied in: button 1 .. N, then Next, Prev.
std::vector<std::pair<std::string, std::string>> buttonsWithNavigation(int count, const char* role) {
  std::vector<std::pair<std::string, std::string>> sources;
  for (int n = 1; n <= count; ++n) sources.emplace_back(buttonSetName(n), numberedName(role, n));
  sources.emplace_back(kBtnNext, nextName(role));
  sources.emplace_back(kBtnPrev, prevName(role));
  return sources;
}

}  // namespace

Layer Form1::NewCompositeSet(const std::string& name, std::int32_t base, bool yellowLabel) {
  const Document menu = activeBuildMenu(*this);
  Layer set;
  menu.SuspendHistory("New " + name, [&] {
    set = menu.LayerSets().Add();
    set.SetName(name);
    if (yellowLabel) SetLayerColorLabel("Ylw ");
    WorkLayer = set.ArtLayers().Add();
    menu.Selection().SelectAll();
    SetPSForegroundColor(base);
    menu.Selection().Fill(WorkSolidColor);
    menu.Selection().Deselect();
    WorkLayer.SetName(base == kWhite ? "White Background" : "Black Background");
  });
  return set;
}

void Form1::CopyIntoComposite(const Layer& set, const Layer& source, const std::string& name) {
  const Document menu = PhotoshopApp.Documents().Item(kBuildMenu);
  menu.SuspendHistory("Copy In " + (name.empty() ? source.Name() : name), [&] {
    WorkLayer = source.Duplicate();
    WorkLayer.MoveToBeginning(set);
    if (!name.empty()) WorkLayer.SetName(name);
  });
}

void Form1::CompositAreaLayers(const std::string& LayerName) {
  const Layer set = NewCompositeSet(LayerName, kWhite, true);
  const Document menu = PhotoshopApp.Documents().Item(kBuildMenu);
  const int count = layout::ButtonTotal(ButtonCount);
  for (int n = 1; n <= count; ++n)
    CopyIntoComposite(set, buttonLayer(menu, buttonSetName(n), LayerName.c_str()), numberedName(LayerName, n));
  if (LayerName == kButtonArea) {
    CopyIntoComposite(set, buttonLayer(menu, kBtnNext, kButtonArea), nextName(kButtonArea));
    CopyIntoComposite(set, buttonLayer(menu, kBtnPrev, kButtonArea), prevName(kButtonArea));
  }
  if (LayerName == kTextArea) CopyIntoComposite(set, menu.ArtLayers().Item(kTitleArea), kTitleArea);
}

void Form1::CompositButtonMaskLayers() {
  const Layer set = NewCompositeSet(kButtonMask, kBlack, false);
  const Document menu = PhotoshopApp.Documents().Item(kBuildMenu);
  for (const auto& [source, name] : buttonsWithNavigation(layout::ButtonTotal(ButtonCount), kButtonMask)) {
    // The silhouette: the button image without its style, drawn white where it is opaque.
    menu.SuspendHistory("Copy In " + name, [&, &source = source, &name = name] {
      CopyIntoComposite(set, buttonLayer(menu, source, kButtonImage), name);
      menu.SetActiveLayer(WorkLayer);
      DeleteLayerStyle();
      WorkLayer.Rasterize(photoshop::ps::RasterizeShape);
      SetPSForegroundColor(kWhite);
      menu.Selection().Fill(WorkSolidColor, photoshop::ps::NormalBlend, 100, true);
    });
  }
}

void Form1::CompositThumbMaskLayers() {
  const Layer set = NewCompositeSet(kThumbMask, kBlack, false);
  const Document menu = PhotoshopApp.Documents().Item(kBuildMenu);
  const int count = layout::ButtonTotal(ButtonCount);
  for (int n = 1; n <= count; ++n) {
    const std::string name = numberedName(kThumbMask, n);
    menu.SuspendHistory("Copy In " + name, [&] {
      CopyIntoComposite(set, buttonLayer(menu, buttonSetName(n), kThumbMask), name);
      menu.SetActiveLayer(WorkLayer);  // the style switched off is the copy's, whatever was active
      DeleteLayerStyle();
    });
  }
}

void Form1::CompositButtonImageLayers() {
  const Document menu = activeBuildMenu(*this);
  Layer set;
  menu.SuspendHistory("New Button Image", [&] {
    set = menu.LayerSets().Add();
    set.SetName(kButtonImage);
  });
  CopyIntoComposite(set, menu.ArtLayers().Item(kBackground), "");
  for (const auto& [source, name] : buttonsWithNavigation(layout::ButtonTotal(ButtonCount), kButtonImage))
    CopyIntoComposite(set, buttonLayer(menu, source, kButtonImage), name);
}

// A merged copy of a composite set, with some of its members hidden first, at the top of `into`.
void Form1::AddCompMask(const Layer& into, const std::string& sourceSet, const std::vector<std::string>& hidden,
                        const std::string& name, bool invert, int blendMode) {
  const Document menu = PhotoshopApp.Documents().Item(kBuildMenu);
  menu.SuspendHistory(name, [&] {
    menu.SetActiveLayer(menu.LayerSets().Item(sourceSet));
    DuplicateLayer(kBuildMenu);
    const Layer copy = layout::ArrivedCopy(menu, sourceSet + " Copy");
    for (const std::string& member : hidden) copy.Layers().Item(member).SetVisible(false);
    WorkLayer = copy.Merge();
    WorkLayer.MoveToBeginning(into);
    WorkLayer.SetName(name);
    if (invert) WorkLayer.Invert();
    WorkLayer.SetBlendMode(blendMode);
  });
}

void Form1::CompositHiliteMaskLayers() {
  const Layer set = NewCompositeSet(kHiliteMask, kBlack, false);
  const Document menu = PhotoshopApp.Documents().Item(kBuildMenu);
  const int count = layout::ButtonTotal(ButtonCount);
  for (const auto& [source, name] : buttonsWithNavigation(count, kHiliteMask))
    CopyIntoComposite(set, buttonLayer(menu, source, kHiliteMask), name);
  std::vector<std::string> numbered;
  for (int n = 1; n <= count; ++n) numbered.push_back(numberedName(kButtonMask, n));
  AddCompMask(set, kButtonMask, {nextName(kButtonMask), prevName(kButtonMask)}, "Comp Button Mask", true, kDarken);
  AddCompMask(set, kButtonMask, numbered, "Comp NxtPrv Button Mask", true, kDarken);
  AddCompMask(set, kThumbMask, {}, "Comp Thumb Mask", false, kLighten);
}

}  // namespace app
