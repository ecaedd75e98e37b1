#pragma once
// A loaded main window core with a folder of source files beside it.

#include <QTemporaryDir>
#include <algorithm>

#include "form_fixture.h"
#include "source_files.h"

namespace menu_test {

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
