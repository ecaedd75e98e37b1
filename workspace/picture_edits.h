#pragma once
// Changes to a layer's pixels from the workspace: fill with a colour, a picture placed as a new
// layer, a picture that replaces the active layer's pixels, and a whole document read back
// from an external editor. Each is one history state.

#include <string>

#include "engine/engine.h"

namespace workspace::edits {

// Fills the selection (the whole layer's canvas when nothing is selected) on the active layer.
void fill(engine::Engine& eng, engine::Document& doc, engine::Rgb colour, bool preserveTransparency);
// The picture's visible layers merged into one new layer, named after the file, centred on the
// canvas above the active layer.
void placePicture(engine::Engine& eng, engine::Document& doc, const std::string& path);
// The picture's merged pixels replace the active art layer's, from its top-left corner.
void replaceLayerPixels(engine::Engine& eng, engine::Document& doc, const std::string& path);
// The document's layers, size and selection become those of the PSD file; the document keeps
// its name, file and keywords.
void replaceFromFile(engine::Engine& eng, engine::Document& doc, const std::string& path);

}  // namespace workspace::edits
