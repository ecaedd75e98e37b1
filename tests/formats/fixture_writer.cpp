// Writes sample documents with our PSD writer into a folder, for the independent readers
// (psd-tools, ImageMagick) that psd_tools_check.py runs over them.
// Usage: formats_fixture_writer FOLDER

#include <filesystem>
#include <iostream>

#include "formats/document_io.h"
#include "sample_documents.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: formats_fixture_writer FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  try {
    formats::writePsd(samples::menuDocument(), (folder / "menu.psd").string());
    formats::writePsd(samples::richDocument(), (folder / "rich.psd").string());
    formats::writePsd(samples::largeDocument(12, 640, 360), (folder / "large.psd").string());

    // No background: the merged image carries transparency.
    engine::DocumentContent transparent = samples::largeDocument(5, 160, 90);
    transparent.layers.pop_back();
    transparent.activeLayer = transparent.layers.front().id;
    formats::writePsd(transparent, (folder / "transparent.psd").string());

    // A set with nothing in it, and one art layer with no pixels.
    engine::DocumentContent sparse;
    sparse.width = 32;
    sparse.height = 16;
    sparse.layers.push_back(engine::LayerNode::layerSet("Set 1"));
    sparse.layers.push_back(engine::LayerNode::artLayer("Layer 1"));
    formats::writePsd(sparse, (folder / "sparse.psd").string());
  } catch (const std::exception& e) {
    std::cerr << "formats_fixture_writer: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
