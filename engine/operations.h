#pragma once
// Edits of a document's content: the rules by which the engine plays Photoshop.
// Each function changes only the DocumentContent it is given; Document::edit() makes it a
// history state. Failures throw EngineError and leave the caller's copy to be discarded.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/document.h"
#include "engine/resample.h"

namespace engine {

// Photoshop's element placement numbering.
enum class ElementPlacement : int { Inside = 0, AtBeginning = 1, AtEnd = 2, Before = 3, After = 4 };
// Photoshop's stroke location numbering.
enum class StrokeLocation : int { Inside = 1, Center = 2, Outside = 3 };

// New objects: "Layer N" / "Set N", N the smallest positive number not used by a layer (set)
// of that kind anywhere in the document.
std::string nextDefaultName(const DocumentContent& doc, bool forSet);

// A new layer or set goes to the top of the document, or with `intoSet` to the top of that
// set, whatever layer is active; it becomes the active layer. (Adding relative to the active
// layer would put a document's new set inside whatever set the user last worked in.)
LayerId addArtLayer(DocumentContent& doc, LayerId intoSet = 0);
LayerId addLayerSet(DocumentContent& doc, LayerId intoSet = 0);
// Inserts a prepared node above the active layer, in its parent, and activates it: where
// pasted pixels and layers duplicated from another document land.
LayerId insertAboveActive(DocumentContent& doc, LayerNode node);

void removeLayer(DocumentContent& doc, LayerId id);
void renameLayer(DocumentContent& doc, LayerId id, const std::string& name);

// Duplicate() of a layer: "<name> copy" just above it, becoming the active layer.
LayerId duplicateLayer(DocumentContent& doc, LayerId id);
// The duplicate action into a document: keeps the name, the pixel position and the link groups
// inside it, and lands at the top level above the top-level ancestor of the destination's active
// layer; into the same document it is named "<name> Copy" and lands above the active layer. It
// becomes the active layer. Vector masks keep their place on a canvas of another size.
LayerId copyLayerInto(const LayerNode& source, const Rect& sourceCanvas, DocumentContent& dest, bool sameDocument);

// MoveToBeginning / MoveToEnd of a container (0 = the document), or Move relative to a layer.
void moveLayer(DocumentContent& doc, LayerId id, LayerId relativeTo, ElementPlacement where);

// Moves the target, its members and every layer linked to any of them, each once, vector masks
// and fill-layer shapes with their pixels.
void translateLayer(DocumentContent& doc, LayerId id, int dx, int dy);
void linkLayers(DocumentContent& doc, LayerId a, LayerId b);
void unlinkLayer(DocumentContent& doc, LayerId id);

// Replaces a set in place by one art layer of its visible members, named after the set.
LayerId mergeSet(DocumentContent& doc, LayerId setId);
// Merges an art layer into the layer below it; returns the layer below.
LayerId mergeDown(DocumentContent& doc, LayerId id);
// Flatten: one background layer "Background" of the merged image over white.
void flattenDocument(DocumentContent& doc);

void setColorLabel(DocumentContent& doc, LayerId id, ColorLabel label);
// Turns Photoshop's background layer into an ordinary layer "Layer 0"; no-op otherwise.
void unlockBackground(LayerNode& node);
void setSolidFillColor(DocumentContent& doc, LayerId id, Rgb color);

// Selection: Select(region, type, feather, anti-alias) rasterises the polygon (a pixel is in
// when its centre is inside) and softens its edge by `feather` pixels as a mask's feather does.
void selectRegion(DocumentContent& doc, const std::vector<Point>& region, SelectionType type, double feather);
void selectAll(DocumentContent& doc);
void deselect(DocumentContent& doc);
void invertSelection(DocumentContent& doc);
void selectSimilar(DocumentContent& doc, int tolerance);

// Fill paints the selection (the whole canvas when nothing is selected) on an art layer;
// preserving transparency keeps each pixel's alpha. Opacity is 0..100.
void fillSelection(DocumentContent& doc, LayerId id, Rgb color, BlendMode mode, double opacity,
                   bool preserveTransparency);
// Stroke of width w paints the pixels within w of the selection's edge (inside, centred or
// outside it).
void strokeSelection(DocumentContent& doc, LayerId id, Rgb color, int width, StrokeLocation location,
                     BlendMode mode, double opacity, bool preserveTransparency);

// Copy takes the selected pixels of a layer (all of it when nothing is selected), at their
// document position; Paste adds them as a new layer "Layer N" at that position.
Raster copyPixels(const DocumentContent& doc, LayerId id);
LayerId pastePixels(DocumentContent& doc, const Raster& pixels);

// Crop and resize take vector masks and fill-layer shapes along with the pixels.
void cropDocument(DocumentContent& doc, const Rect& bounds);
void resizeImage(DocumentContent& doc, int width, int height, ResampleMethod method);

void invertLayer(DocumentContent& doc, LayerId id);
// Photoshop's rasterize targets.
enum class RasterizeTarget : int { TextContents = 1, Shape = 2, FillContent = 3, LayerClippingPath = 4, EntireLayer = 5 };
// Rasterize: text, fill and shape layers become pixel layers that show what they showed (a fill
// layer without stored pixels is filled with its colour over the canvas); for a shape or the
// entire layer the vector mask is drawn into the pixels, for the clipping path into the layer
// mask. A set rasterizes its members.
void rasterizeLayer(DocumentContent& doc, LayerId id, RasterizeTarget target = RasterizeTarget::EntireLayer);
// Clouds: fractal noise between the two colours replacing the layer's pixels over the canvas
// (or the selection); difference clouds blend the noise onto the pixels in Difference mode.
void applyClouds(DocumentContent& doc, LayerId id, Rgb foreground, Rgb background, std::uint32_t seed,
                 bool difference);
void setLayerStyleEnabled(DocumentContent& doc, LayerId id, bool enabled);

// The layer that must hold pixels for a painting operation, or NotAvailable.
LayerNode& paintableLayer(DocumentContent& doc, LayerId id);

}  // namespace engine
