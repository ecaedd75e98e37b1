#pragma once
// A loaded main window core with a folder of source files beside it, made through an automation
// layer of their own (so the engine under test starts empty): button templates with every item or
// with some left out, and background pictures and documents.

#include <QTemporaryDir>
#include <algorithm>
#include <set>

#include "form_fixture.h"
#include "support/vocabulary.h"

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


class MenuCreationTest : public app_test::FormTest {
 protected:
  std::string sourceFile(const std::string& name) const { return sources_.path().toStdString() + "/" + name; }

  // The chooser answers OK with these files on its next showing.
  void choose(const std::string& background, const std::string& buttonTemplate) {
    app::ChooserResult answer;
    answer.DialogCanceled = false;
    answer.BackgroundFile = background;
    answer.ButtonTemplateFile = buttonTemplate;
    view.chooserAnswers.push_back(answer);
  }

  std::vector<std::string> documentNames() {
    std::vector<std::string> names;
    for (int i = 1; i <= engine.Documents().Count(); ++i) names.push_back(engine.Documents()(i).Name());
    return names;
  }

  static std::vector<std::string> layerNames(const photoshop::Document& doc) {
    std::vector<std::string> names;
    for (int i = 1; i <= doc.Layers().Count(); ++i) names.push_back(doc.Layers()(i).Name());
    return names;
  }

  bool hasDocument(const std::string& name) {
    const auto names = documentNames();
    return std::find(names.begin(), names.end(), name) != names.end();
  }

  // Messages shown, with their titles: "title|text".
  std::vector<std::string> shown() const {
    std::vector<std::string> out;
    for (const auto& m : view.messages) out.push_back(m.title + "|" + m.text);
    return out;
  }

  engine::Rgb pixel(const photoshop::Document& doc, const photoshop::Layer& layer, int x, int y) {
    const engine::LayerNode& n = doc.engineDocument()->content().layer(layer.Id());
    if (!n.pixels.bounds().contains(x, y)) return {0, 0, 0};
    const std::uint8_t* p = n.pixels.pixel(x, y);
    return {p[0], p[1], p[2]};
  }
  int alpha(const photoshop::Document& doc, const photoshop::Layer& layer, int x, int y) {
    return doc.engineDocument()->content().layer(layer.Id()).pixels.alphaAt(x, y);
  }

 private:
  QTemporaryDir sources_;
};

}  // namespace menu_test
