#pragma once
// The documents a user has open when the workflow starts: a button template with the three
// template sets and a title area, and a white Build Menu, both of the page's size. Shared by
// the benchmarks that run the whole workflow.

#include <utility>
#include <vector>

#include "photoshop/object_model.h"

namespace bench_workflow {

using photoshop::Document;

inline void paint(const photoshop::Application& app, const Document& doc, const photoshop::Layer& layer, double l,
                  double t, double r, double b) {
  app.SetActiveDocument(doc);
  doc.SetActiveLayer(layer);
  doc.Selection().Select(photoshop::RectangleRegion(l, t, r, b));
  doc.Selection().Fill(photoshop::SolidColor(40, 80, 160));
  doc.Selection().Deselect();
}

// A button template and a Build Menu of the page's size, open as a user leaves them.
inline void openDocuments(const photoshop::Application& app, int w, int h) {
  const double sx = w / 720.0, sy = h / 540.0;
  const Document tmpl = app.Documents().Add(w, h, 72, "Button Template", photoshop::ps::NewRGB, photoshop::ps::FillTransparent);
  const std::pair<const char*, std::vector<const char*>> sets[] = {
      {"Prev Tmpl", {"Button Area", "Hilite Mask", "Button Image"}},
      {"Next Tmpl", {"Button Area", "Hilite Mask", "Button Image"}},
      {"Btn Tmpl", {"Button Area", "Hilite Mask", "Button Image", "Thumb Area", "Thumb Mask", "Text Area"}}};
  double x = 100;
  for (const auto& [set, members] : sets) {
    const photoshop::Layer s = tmpl.LayerSets().Add();
    s.SetName(set);
    for (const char* member : members) {
      const photoshop::Layer layer = s.ArtLayers().Add();
      layer.SetName(member);
      paint(app, tmpl, layer, x * sx, 100 * sy, (x + 60) * sx, 140 * sy);
      x += 30;
    }
  }
  const photoshop::Layer title = tmpl.ArtLayers().Add();
  title.SetName("Title Area");
  paint(app, tmpl, title, 100 * sx, 20 * sy, 600 * sx, 60 * sy);
  tmpl.ArtLayers()("Layer 1").Remove();
  const Document menu = app.Documents().Add(w, h, 72, "Build Menu", photoshop::ps::NewRGB, photoshop::ps::FillWhite);
  paint(app, menu, menu.ArtLayers()("Background"), 0, 0, w, h / 2.0);
}

}  // namespace bench_workflow
