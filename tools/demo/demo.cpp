// Builds a small layered menu document through the automation layer alone and saves it as
// PSD: a clouds background, title-safe outlines, and three buttons cloned from one template.
// Usage: quillary-demo OUTPUT_FOLDER

#include <filesystem>
#include <iostream>

#include "photoshop/object_model.h"
#include "photoshop/scripted_host.h"

using namespace photoshop;

namespace {

void printTree(const LayerCollection& layers, int depth) {
  for (int i = 1; i <= layers.Count(); ++i) {
    Layer layer = layers(i);
    std::cout << std::string(std::size_t(depth) * 2, ' ') << (layer.IsLayerSet() ? "[set] " : "") << layer.Name() << "\n";
    if (layer.IsLayerSet()) printTree(layer.Layers(), depth + 1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: quillary-demo OUTPUT_FOLDER\n";
    return 2;
  }
  try {
    Application app;
    // Nobody answers a batch run's questions: one asked would be cancelled, never guessed.
    ScriptedHost host;
    engine::HostInstallation installed(app.engine(), host);
    app.Preferences().SetRulerUnits(ps::Pixels);
    Document menu = app.Documents().Add(720, 540, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);

    Layer background = menu.ArtLayers()("Layer 1");
    background.SetName("Background");
    app.SetForegroundColor(SolidColor(40, 60, 160));
    app.SetBackgroundColor(SolidColor(230, 230, 255));
    background.ApplyClouds();

    Layer guides = menu.ArtLayers().Add();
    guides.SetName("Title Safe Zones");
    menu.Selection().Select(RectangleRegion(72, 54, 648, 486));
    menu.Selection().Stroke(SolidColor(255, 0, 0), 1, ps::StrokeInside);
    menu.Selection().Select(RectangleRegion(36, 27, 684, 513));
    menu.Selection().Stroke(SolidColor(255, 255, 0), 1, ps::StrokeInside);
    menu.Selection().Deselect();

    menu.SetActiveLayer(background);
    Layer tmpl = menu.LayerSets().Add();
    tmpl.SetName("Btn 1");
    const struct {
      const char* name;
      SolidColor color;
      double inset;
    } parts[] = {{"Button Area", SolidColor(239, 253, 0), 0}, {"Hilite Mask", SolidColor(255, 255, 255), 6}, {"Button Image", SolidColor(20, 20, 20), 3}};
    for (const auto& part : parts) {
      Layer layer = tmpl.ArtLayers().Add();
      layer.SetName(part.name);
      menu.Selection().Select(RectangleRegion(120 + part.inset, 120 + part.inset, 320 - part.inset, 170 - part.inset));
      menu.Selection().Fill(part.color);
    }
    menu.Selection().Deselect();
    tmpl.Layers()("Button Area").Link(tmpl.Layers()("Hilite Mask"));
    tmpl.Layers()("Button Image").Link(tmpl.Layers()("Hilite Mask"));
    for (int n = 2; n <= 3; ++n) {
      Layer copy = tmpl.Duplicate();
      copy.SetName("Btn " + std::to_string(n));
      copy.Translate(0, (n - 1) * 80);
    }

    const std::filesystem::path out = std::filesystem::path(argv[1]) / "demo-menu.psd";
    menu.SaveAs(out.string(), PhotoshopSaveOptions{}, true);
    std::cout << "Wrote " << out.string() << " (" << menu.Width() << " x " << menu.Height() << "):\n";
    printTree(menu.Layers(), 1);
    return 0;
  } catch (const AutomationError& e) {
    std::cerr << "quillary-demo: " << e.Description() << " (" << e.Source() << ")\n";
    return 1;
  }
}
