#pragma once
// A menu taken through the workflow on the real engine: a button template made by code, with
// every item at its own place so that colours and positions can be read back from pixels, a
// Build Menu with a background, Create/Edit Menu, and the commands of the button layout.

#include <gtest/gtest.h>

#include <functional>

#include "engine/composite.h"
#include "engine/engine_fixtures.h"
#include "form_fixture.h"
#include "support/vocabulary.h"

namespace layout_test {

using photoshop::Document;
using photoshop::Layer;

// Where the template draws each item (left, top, right, bottom) on a 720 x 540 page.
struct Place {
  const char* set;  // "" for a top-level layer
  const char* layer;
  engine::Rect rect;
};
inline const Place kTemplatePlaces[] = {
    {"Prev Tmpl", "Button Area", {40, 400, 100, 430}},   {"Prev Tmpl", "Hilite Mask", {40, 400, 100, 430}},
    {"Prev Tmpl", "Button Image", {45, 405, 95, 425}},   {"Next Tmpl", "Button Area", {600, 400, 660, 430}},
    {"Next Tmpl", "Hilite Mask", {600, 400, 660, 430}},  {"Next Tmpl", "Button Image", {605, 405, 655, 425}},
    {"Btn Tmpl", "Button Area", {100, 100, 300, 140}},   {"Btn Tmpl", "Hilite Mask", {100, 100, 300, 140}},
    {"Btn Tmpl", "Button Image", {110, 105, 290, 135}},  {"Btn Tmpl", "Thumb Area", {320, 100, 380, 140}},
    {"Btn Tmpl", "Thumb Mask", {325, 105, 375, 135}},    {"Btn Tmpl", "Text Area", {400, 100, 500, 140}},
    {"", "Title Area", {100, 20, 600, 60}},
};
inline constexpr engine::Rgb kTemplateColor{40, 80, 160};
inline constexpr engine::Rgb kMenuBackground{20, 60, 140};

class WorkflowTest : public app_test::FormTest {
 protected:
  // The template's and the Build Menu's documents, open, then Create/Edit Menu keeps them.
  // `adjust` may change the template's layers (their kinds, vector masks) before that.
  void createMenu(const std::function<void(engine::DocumentContent&)>& adjust = {}) {
    const Document tmpl = addDocument("Button Template", 720, 540);
    for (const char* set : {"Prev Tmpl", "Next Tmpl", "Btn Tmpl"}) tmpl.LayerSets().Add().SetName(set);
    for (const Place& p : kTemplatePlaces) {
      const Layer layer = *p.set ? tmpl.LayerSets()(p.set).ArtLayers().Add() : tmpl.ArtLayers().Add();
      layer.SetName(p.layer);
      paint(tmpl, layer, p.rect, kTemplateColor);
    }
    tmpl.ArtLayers()("Layer 1").Remove();
    if (adjust) tmpl.engineDocument()->edit("Adjust", adjust);
    const Document menu = engine.Documents().Add(720, 540, 72, "Build Menu", photoshop::ps::NewRGB, photoshop::ps::FillWhite);
    paint(menu, menu.ArtLayers()("Background"), {0, 0, 720, 540}, kMenuBackground);
    loadedForm();
    view.answers.push_back(app::MsgBoxResult::Yes);  // keep the open documents
    form().CreateNewMenuDoc_Click();
    ASSERT_EQ(form().WorkflowState, app::EditButtonTemplate) << transcript();
    view.messages.clear();
  }

  void clone(int buttons) {
    view.inputs.push_back(std::to_string(buttons));
    form().CloneButtons_Click();
    ASSERT_EQ(form().WorkflowState, app::EditClonedLayout) << transcript();
  }
  void composite() {
    form().BuildCompositeLayers_Click();
    ASSERT_EQ(form().WorkflowState, app::BuildFinalDocument) << transcript();
  }

  void paint(const Document& doc, const Layer& layer, const engine::Rect& r, engine::Rgb c) {
    engine.SetActiveDocument(doc);
    doc.SetActiveLayer(layer);
    doc.Selection().Select(photoshop::RectangleRegion(r.left, r.top, r.right, r.bottom));
    doc.Selection().Fill(photoshop::SolidColor(c.r, c.g, c.b));
    doc.Selection().Deselect();
  }

  Document doc(const std::string& name) { return engine.Documents()(name); }
  const engine::LayerNode& node(const Layer& layer, const Document& d) {
    return d.engineDocument()->content().layer(layer.Id());
  }
  const engine::LayerNode& member(const Document& d, const std::string& set, const std::string& layer) {
    return node(d.LayerSets()(set).Layers()(layer), d);
  }
  // A pixel's colour, or outside the layer one no test expects.
  static engine::Rgb rgb(const engine::LayerNode& n, int x, int y) {
    return n.pixels.bounds().contains(x, y) ? fixtures::rgbAt(n.pixels, x, y) : engine::Rgb{1, 2, 3};
  }
  static engine::Rgb colorValue(std::int32_t v) {
    return {std::uint8_t(v & 255), std::uint8_t((v >> 8) & 255), std::uint8_t((v >> 16) & 255)};
  }

  std::vector<std::string> topLevel(const Document& d) {
    return fixtures::layerNames(d.engineDocument()->content().layers);
  }

  // What a document shows and how its layers stand: the merged image and the tree's names,
  // kinds and visibility, as one number.
  static std::size_t fingerprint(const Document& d) {
    const engine::DocumentContent& c = d.engineDocument()->content();
    const engine::Raster merged = engine::compositeLayers(c.layers, c.canvas(), c.canvas());
    std::string all = std::to_string(c.width) + "x" + std::to_string(c.height);
    engine::forEachLayer(c.layers, [&](const engine::LayerNode& n) {
      all += "|" + n.name + (n.visible ? "+" : "-");
    });
    all.append(reinterpret_cast<const char*>(merged.data()), merged.byteSize());
    return std::hash<std::string>{}(all);
  }

  std::string transcript() const {
    std::string out;
    for (const auto& m : view.messages) out += "[" + m.title + "] " + m.text + "\n";
    return out;
  }
};

}  // namespace layout_test
