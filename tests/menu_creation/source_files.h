#pragma once
// Source files for Create/Edit Menu, made through an automation layer of their own (so the
// engine under test starts empty): button templates with every item or with some left out,
// and background pictures and documents.

#include <set>
#include <string>

#include "support/vocabulary.h"
#include "photoshop/object_model.h"

namespace menu_test {

// A template at `path` with every item but those in `leaveOut` ("Btn Tmpl/Thumb Mask" for a
// member, "Color Table" for a top-level layer or a set's name).
inline void writeTemplate(const std::string& path, const std::set<std::string>& leaveOut = {}) {
  using namespace vocabulary;
  photoshop::Application app;
  app.Preferences().SetRulerUnits(photoshop::ps::Pixels);
  photoshop::Document doc = app.Documents().Add(720, 540, 72, "template", photoshop::ps::NewRGB, photoshop::ps::FillTransparent);
  int y = 60;
  const auto paint = [&](const photoshop::Layer& layer, int r, int g, int b) {
    doc.SetActiveLayer(layer);
    doc.Selection().Select(photoshop::RectangleRegion(300, y, 420, y + 30));
    doc.Selection().Fill(photoshop::SolidColor(r, g, b));
    doc.Selection().Deselect();
    y += 10;
  };
  for (const char* set : {kPrevTmpl, kNextTmpl, kBtnTmpl}) {
    if (leaveOut.count(set)) continue;
    photoshop::LayerSet s = doc.LayerSets().Add();
    s.SetName(set);
    std::vector<const char*> members{kButtonArea, kHiliteMask, kButtonImage};
    if (std::string(set) == kBtnTmpl) members = {kButtonArea, kHiliteMask, kButtonImage, kThumbArea, kThumbMask, kTextArea};
    for (const char* member : members) {
      if (leaveOut.count(std::string(set) + "/" + member)) continue;
      photoshop::ArtLayer layer = s.ArtLayers().Add();
      layer.SetName(member);
      paint(layer, 40, 80, 160);
    }
  }
  for (const char* top : {kColorTable, kTitleArea}) {
    if (leaveOut.count(top)) continue;
    photoshop::ArtLayer layer = doc.ArtLayers().Add();
    layer.SetName(top);
    paint(layer, 200, 200, 200);
  }
  doc.ArtLayers().Item(kLayer1).Remove();
  doc.SaveAs(path, photoshop::PhotoshopSaveOptions{}, true);
}

// A flat picture: it opens as one locked layer "Background".
inline void writePicture(const std::string& path) {
  photoshop::Application app;
  app.Preferences().SetRulerUnits(photoshop::ps::Pixels);
  photoshop::Document doc = app.Documents().Add(720, 540);
  doc.Selection().Select(photoshop::RectangleRegion(0, 0, 720, 270));
  doc.Selection().Fill(photoshop::SolidColor(20, 60, 140));
  doc.SaveAs(path, photoshop::PNGSaveOptions{}, true);
}

// A layered document without a layer "Background".
inline void writeDocumentWithoutBackground(const std::string& path) {
  photoshop::Application app;
  app.Preferences().SetRulerUnits(photoshop::ps::Pixels);
  photoshop::Document doc = app.Documents().Add(720, 540, 72, "sky", photoshop::ps::NewRGB, photoshop::ps::FillTransparent);
  doc.ArtLayers().Item(vocabulary::kLayer1).SetName("Sky");
  doc.Selection().SelectAll();
  doc.Selection().Fill(photoshop::SolidColor(100, 150, 250));
  doc.SaveAs(path, photoshop::PhotoshopSaveOptions{}, true);
}

}  // namespace menu_test
