#pragma once
// Documents for the format tests, the fixture writer and the benchmarks, built in code: a
// nine-layer menu like the program's output, one with every layer feature the codec carries,
// and large ones for timing.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/document.h"
#include "formats/byte_writer.h"

namespace samples {

// Smooth gradients with hard-edged shapes, as menu artwork is; not trivially compressible.
inline engine::Raster artwork(const engine::Rect& r, std::uint32_t seed, std::uint8_t alpha = 255) {
  engine::Raster out(r);
  std::uint8_t* p = out.mutableData();
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x, p += 4) {
      const bool inShape = ((x / 37 + y / 23 + int(seed)) % 5) == 0;
      p[0] = std::uint8_t((x * 3 + seed * 17) & 0xFF);
      p[1] = std::uint8_t((y * 2 + seed * 31) & 0xFF);
      p[2] = inShape ? std::uint8_t(255 - seed % 200) : std::uint8_t((x + y + seed) & 0xFF);
      p[3] = inShape ? 255 : alpha;
    }
  }
  return out;
}

inline engine::LayerNode pixelLayer(const std::string& name, const engine::Rect& r, std::uint32_t seed,
                                    std::uint8_t alpha = 255) {
  engine::LayerNode n = engine::LayerNode::artLayer(name);
  n.pixels = artwork(r, seed, alpha);
  return n;
}

inline engine::TaggedBlock block(const char* key, std::vector<std::uint8_t> data) {
  return {{key[0], key[1], key[2], key[3]}, std::make_shared<const std::vector<std::uint8_t>>(std::move(data))};
}

// Writes descriptors item by item, as Photoshop lays them out.
struct DescriptorWriter {
  formats::ByteWriter w;
  void key(const char* k) {
    const std::size_t n = std::strlen(k);
    w.u32(n == 4 ? 0 : std::uint32_t(n));
    w.bytes(k, n);
  }
  void object(const char* cls, int items) {
    w.u32(1);
    w.u16(0);
    key(cls);
    w.u32(std::uint32_t(items));
  }
  // An item's key and type, ready for its value.
  formats::ByteWriter& item(const char* k, const char* type) {
    key(k);
    w.tag(type);
    return w;
  }
  void unitFloat(const char* k, const char* unit, double v) {
    item(k, "UntF").tag(unit);
    w.f64(v);
  }
  void boolean(const char* k, bool v) { item(k, "bool").u8(v); }
  void enumerated(const char* k, const char* type, const char* value) {
    item(k, "enum");
    key(type);
    key(value);
  }
  void real(const char* k, double v) { item(k, "doub").f64(v); }
  void integer(const char* k, std::int32_t v) { item(k, "long").i32(v); }
  void rgb(const char* k, double r, double g, double b) {
    item(k, "Objc");
    object("RGBC", 3);
    for (const auto& [c, v] : {std::pair{"Rd  ", r}, std::pair{"Grn ", g}, std::pair{"Bl  ", b}}) real(c, v);
  }
};

// A layer-effects block as Photoshop writes it: versions, then a descriptor with a scale and
// the master switch (the effects themselves do not matter to the codec).
inline std::vector<std::uint8_t> effectsBlock(bool on) {
  DescriptorWriter d;
  d.w.u32(0);
  d.w.u32(16);
  d.object("null", 2);
  d.unitFloat("Scl ", "#Prc", 100.0);
  d.boolean("masterFXSwitch", on);
  d.w.padTo(2);  // blocks in files have even lengths
  return std::move(d.w.buffer());
}

// Flat shapes on a plain ground, as the mask and area layers of a menu are.
inline engine::Raster flatShapes(const engine::Rect& r, std::uint32_t seed) {
  engine::Raster out = engine::Raster::filled(r, {255, 255, 255});
  for (int k = 0; k < 8; ++k) {
    const int left = r.left + int((seed * 53 + std::uint32_t(k) * 97) % std::uint32_t(std::max(1, r.width() - 40)));
    const int top = r.top + int((seed * 29 + std::uint32_t(k) * 61) % std::uint32_t(std::max(1, r.height() - 20)));
    const engine::Rect shape = engine::Rect{left, top, left + 120, top + 40}.intersected(r);
    const std::uint8_t colour[3] = {std::uint8_t(seed * 40 + std::uint32_t(k) * 20), std::uint8_t(k * 30),
                                    std::uint8_t(200 - k * 20)};
    for (int y = shape.top; y < shape.bottom; ++y)
      for (int x = shape.left; x < shape.right; ++x) std::copy_n(colour, 3, out.mutablePixel(x, y));
  }
  return out;
}

// The nine layers of a finished menu, bottom "Background" (artwork) to top "Color Table"; the
// layers between are flat shapes, as the composite layers are.
inline engine::DocumentContent menuDocument(int width = 720, int height = 480) {
  engine::DocumentContent doc;
  doc.width = width;
  doc.height = height;
  const engine::Rect canvas = doc.canvas();
  const char* names[] = {"Color Table", "Text Area", "Thumb Mask", "Thumb Area", "Button Mask",
                         "Button Image", "Button Area", "Hilite Mask"};
  for (int i = 0; i < 8; ++i) {
    engine::LayerNode n = engine::LayerNode::artLayer(names[i]);
    n.pixels = i == 5 ? artwork(canvas, 11) : flatShapes(canvas, std::uint32_t(i + 1));
    n.colorLabel = engine::ColorLabel(i % 8);
    doc.layers.push_back(std::move(n));
  }
  engine::LayerNode background = pixelLayer("Background", canvas, 99);
  background.isBackground = true;
  background.colorLabel = engine::ColorLabel::Blue;
  doc.layers.push_back(std::move(background));
  doc.activeLayer = doc.layers.front().id;
  doc.keywords = {"Build Menu Complete", "6", "FTTTFFF"};
  return doc;
}

// Many layers of button-sized artwork spread over a large canvas, a few sets among them.
inline engine::DocumentContent largeDocument(int layerCount, int width, int height) {
  engine::DocumentContent doc;
  doc.width = width;
  doc.height = height;
  engine::LayerNode set = engine::LayerNode::layerSet("Buttons");
  for (int i = 0; i < layerCount - 2; ++i) {
    const int w = width / 4, h = height / 4;
    const engine::Rect r = engine::Rect::fromSize(w, h).translated((i * 97) % (width - w), (i * 53) % (height - h));
    set.children.push_back(pixelLayer("Button " + std::to_string(i + 1), r, std::uint32_t(i), 0));
  }
  doc.layers.push_back(std::move(set));
  engine::LayerNode background = pixelLayer("Background", doc.canvas(), 7);
  background.isBackground = true;
  doc.layers.push_back(std::move(background));
  doc.activeLayer = doc.layers.back().id;
  return doc;
}

// Every feature the codec carries: nested open and closed sets, names beyond ASCII, hidden
// layers, opacities, blend modes, labels, link groups, masks with densities and feathers, clipping, fill opacity, a solid
// fill, kinds kept from blocks, layer effects on and off, keywords, resources and blocks.
inline engine::DocumentContent richDocument() {
  engine::DocumentContent doc;
  doc.width = 200;
  doc.height = 120;
  doc.resolution = 300.0;
  doc.keywords = {"Clone Buttons Complete", "10", "TFFFTTT", "Crème brûlée ✓"};
  doc.resources.push_back({1032, "", std::make_shared<const std::vector<std::uint8_t>>(std::vector<std::uint8_t>{
                                         0, 0, 0, 1, 0, 0, 2, 64, 0, 0, 2, 64, 0, 0, 0, 0})});
  doc.extraBlocks.push_back(block("Patt", {}));

  engine::LayerNode buttons = engine::LayerNode::layerSet("Btn 1");
  buttons.colorLabel = engine::ColorLabel::Green;
  buttons.linkGroup = 3;
  {
    engine::LayerNode area = pixelLayer("Button Area", {10, 10, 90, 40}, 1);
    area.linkGroup = 3;
    area.colorLabel = engine::ColorLabel::Violet;
    engine::LayerNode hilite = pixelLayer("Hilite Mask", {12, 12, 88, 38}, 2, 128);
    hilite.blendMode = engine::BlendMode::Screen;
    hilite.opacity = 153;
    hilite.clipping = true;
    hilite.linkGroup = 3;
    engine::LayerNode image = pixelLayer("Button Image", {-5, 5, 60, 50}, 3);
    image.mask.pixels = engine::Mask({0, 0, 40, 30}, 0);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) image.mask.pixels.mutableRow(y)[x] = std::uint8_t(x * 6);
    image.mask.density = 180;
    image.mask.feather = 2.5;
    image.hasStyle = true;
    image.styleEnabled = false;
    image.extraBlocks.push_back(block("lfx2", effectsBlock(false)));
    engine::LayerNode inner = engine::LayerNode::layerSet("Ébauche – 下書き");
    inner.expanded = false;
    inner.visible = false;
    inner.blendMode = engine::BlendMode::Multiply;
    inner.opacity = 200;
    inner.children.push_back(pixelLayer("deep 🎬", {100, 60, 140, 100}, 4));
    buttons.children = {std::move(hilite), std::move(area), std::move(inner), std::move(image)};
  }
  doc.layers.push_back(std::move(buttons));

  engine::LayerNode fill = engine::LayerNode::artLayer("Color Fill 1");
  fill.kind = engine::LayerKind::SolidFill;
  fill.fillColor = {12, 200, 34};
  fill.pixels = engine::Raster::filled(doc.canvas(), fill.fillColor);
  fill.fillOpacity = 128;
  fill.blendMode = engine::BlendMode::Overlay;
  fill.mask.pixels = engine::Mask({20, 20, 60, 60}, 255);
  fill.mask.disabled = true;
  doc.layers.push_back(std::move(fill));

  engine::LayerNode gradient = pixelLayer("Gradient Fill 1", doc.canvas(), 5);
  gradient.kind = engine::LayerKind::GradientFill;
  // A descriptor version and a descriptor with no items, as fill blocks start.
  gradient.extraBlocks.push_back(
      block("GdFl", {0, 0, 0, 16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 'n', 'u', 'l', 'l', 0, 0, 0, 0}));
  gradient.visible = false;
  gradient.vectorMaskDensity = 100;  // kept for a vector mask the layer does not have yet
  gradient.vectorMaskFeather = 1.5;
  doc.layers.push_back(std::move(gradient));

  engine::LayerNode empty = engine::LayerNode::artLayer("Layer 7");
  empty.blendMode = engine::BlendMode::Divide;
  doc.layers.push_back(std::move(empty));

  engine::LayerNode background = pixelLayer("Background", doc.canvas(), 6);
  background.isBackground = true;
  doc.layers.push_back(std::move(background));
  doc.activeLayer = doc.layers[1].id;
  return doc;
}

}  // namespace samples
