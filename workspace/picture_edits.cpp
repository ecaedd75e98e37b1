#include "workspace/picture_edits.h"

#include <filesystem>

#include "engine/composite.h"
#include "engine/errors.h"
#include "engine/operations.h"
#include "formats/document_io.h"

namespace workspace::edits {

namespace {

// The picture's merged pixels at the document origin (a PSD's visible layers composited).
engine::Raster mergedPicture(const std::string& path) {
  const engine::DocumentContent picture = formats::readDocumentFile(path);
  engine::Raster merged = engine::compositeDocument(picture);
  if (merged.empty()) engine::fail(engine::ErrorCode::NotAvailable, "\"" + path + "\" shows no pixels");
  return merged;
}

}  // namespace

void fill(engine::Engine& eng, engine::Document& doc, engine::Rgb colour, bool preserveTransparency) {
  doc.edit("Fill", [&](engine::DocumentContent& c) {
    engine::fillSelection(c, c.activeLayer, colour, engine::BlendMode::Normal, 100, preserveTransparency);
  });
  eng.noteChange();
}

void placePicture(engine::Engine& eng, engine::Document& doc, const std::string& path) {
  engine::Raster pixels = mergedPicture(path);
  doc.edit("Place", [&](engine::DocumentContent& c) {
    engine::LayerNode layer = engine::LayerNode::artLayer(std::filesystem::path(path).stem().string());
    pixels.translate((c.width - pixels.bounds().width()) / 2, (c.height - pixels.bounds().height()) / 2);
    layer.pixels = std::move(pixels);
    engine::insertAboveActive(c, std::move(layer));
  });
  eng.noteChange();
}

void replaceLayerPixels(engine::Engine& eng, engine::Document& doc, const std::string& path) {
  engine::Raster pixels = mergedPicture(path);
  doc.edit("Replace Layer Pixels", [&](engine::DocumentContent& c) {
    engine::LayerNode& layer = engine::paintableLayer(c, c.activeLayer);
    const engine::Rect old = layer.pixels.bounds();
    pixels.translate(old.empty() ? 0 : old.left, old.empty() ? 0 : old.top);
    layer.pixels = std::move(pixels);
  });
  eng.noteChange();
}

void replaceFromFile(engine::Engine& eng, engine::Document& doc, const std::string& path) {
  formats::PsdFile file = formats::readPsd(path, formats::MergedImage::SkipWhenLayered);
  engine::DocumentContent next = std::move(file.content);
  next.keywords = doc.content().keywords;
  doc.replaceContent("Edit in External Editor", std::move(next));
  eng.noteChange();
}

}  // namespace workspace::edits
