// Selections, fills, strokes, copy and paste, crop and resize.

#include <gtest/gtest.h>

#include "engine/errors.h"
#include "engine_fixtures.h"

using namespace engine;
using fixtures::blankDocument;
using fixtures::rgbAt;

namespace {

std::vector<Point> rect(double l, double t, double r, double b) { return {{l, t}, {r, t}, {r, b}, {l, b}}; }

}  // namespace

TEST(Selection, APixelIsInWhenItsCentreIsInsideAddDiminishAndIntersectCombineAndAFeatherFadesTheEdge) {
  DocumentContent c = blankDocument(720, 540);
  selectRegion(c, rect(72, 54, 648, 486), SelectionType::Replace, 0);
  EXPECT_EQ(c.selection.coveredBounds(), (Rect{72, 54, 648, 486}));
  selectRegion(c, rect(0.6, 0.6, 2.4, 2.4), SelectionType::Replace, 0);  // only pixel (1,1) has its centre inside
  EXPECT_EQ(c.selection.coveredBounds(), (Rect{1, 1, 2, 2}));
  selectRegion(c, rect(5, 5, 5, 9), SelectionType::Replace, 0);  // degenerate: nothing
  EXPECT_FALSE(c.hasSelection());
  selectRegion(c, {{0, 0}, {10, 0}, {0, 10}}, SelectionType::Replace, 0);  // a triangle: rows get narrower
  EXPECT_EQ(c.selection.at(8, 0), 255);
  EXPECT_EQ(c.selection.at(8, 5), 0);

  selectRegion(c, rect(0, 0, 10, 10), SelectionType::Replace, 0);
  selectRegion(c, rect(20, 0, 30, 10), SelectionType::Extend, 0);
  EXPECT_EQ(c.selection.coveredBounds(), (Rect{0, 0, 30, 10}));
  EXPECT_EQ(c.selection.at(15, 5), 0);
  selectRegion(c, rect(5, 0, 25, 10), SelectionType::Diminish, 0);
  EXPECT_EQ(c.selection.coveredBounds(), (Rect{0, 0, 30, 10}));
  EXPECT_EQ(c.selection.at(7, 5), 0);
  selectRegion(c, rect(0, 0, 3, 3), SelectionType::Intersect, 0);
  EXPECT_EQ(c.selection.coveredBounds(), (Rect{0, 0, 3, 3}));
  invertSelection(c);
  EXPECT_EQ(c.selection.at(1, 1), 0);
  EXPECT_EQ(c.selection.at(99, 99), 255);

  // A feathered selection fades across its edge, and a fill follows it.
  c = blankDocument(100, 100);
  selectRegion(c, rect(20, 20, 80, 80), SelectionType::Replace, 4);
  EXPECT_EQ(c.selection.at(50, 50), 255) << "well inside stays selected";
  EXPECT_EQ(c.selection.at(2, 50), 0) << "well outside stays out";
  const int edgeIn = c.selection.at(20, 50), edgeOut = c.selection.at(19, 50);
  EXPECT_GT(edgeIn, 64);
  EXPECT_LT(edgeIn, 255);
  EXPECT_GT(edgeOut, 0);
  EXPECT_LT(edgeOut, edgeIn);
  fillSelection(c, c.activeLayer, {255, 0, 0}, BlendMode::Normal, 100, false);
  EXPECT_EQ(c.layer(c.activeLayer).pixels.alphaAt(19, 50), edgeOut);
}

TEST(FillAndStroke, PaintTheSelectionOrTheWholeCanvasGrowingTheLayerOnlyAsNeededOrRecolourTheShape) {
  DocumentContent c = blankDocument(100, 80);
  const LayerId id = c.activeLayer;
  selectRegion(c, rect(10, 10, 20, 15), SelectionType::Replace, 0);
  fillSelection(c, c.activeLayer, {255, 0, 0}, BlendMode::Normal, 100, false);
  EXPECT_EQ(c.layer(id).pixels.bounds(), (Rect{10, 10, 20, 15}));
  deselect(c);
  fillSelection(c, id, {0, 0, 255}, BlendMode::Normal, 50, false);
  EXPECT_EQ(c.layer(id).pixels.bounds(), c.canvas());
  EXPECT_EQ(rgbAt(c.layer(id).pixels, 12, 12), (Rgb{127, 0, 128}));
  EXPECT_EQ(c.layer(id).pixels.alphaAt(50, 50), 128);

  // Preserving transparency.
  c.layers[0].pixels = Raster::filled({10, 10, 20, 20}, {9, 9, 9}, 100);
  fillSelection(c, id, {239, 253, 0}, BlendMode::Normal, 100, true);
  EXPECT_EQ(c.layers[0].pixels.bounds(), (Rect{10, 10, 20, 20}));
  EXPECT_EQ(rgbAt(c.layers[0].pixels, 15, 15), (Rgb{239, 253, 0}));
  EXPECT_EQ(c.layers[0].pixels.alphaAt(15, 15), 100);

  // A set or a text layer cannot be painted.
  const LayerId set = addLayerSet(c);
  EXPECT_THROW(fillSelection(c, set, {}, BlendMode::Normal, 100, false), EngineError);
  c.layers.back().kind = LayerKind::Text;
  EXPECT_THROW(fillSelection(c, c.layers.back().id, {}, BlendMode::Normal, 100, false), EngineError);

  // A stroke of width one paints the inner edge pixels, and outside strokes grow the layer.
  c = blankDocument(720, 540);
  selectRegion(c, rect(72, 54, 648, 486), SelectionType::Replace, 0);
  strokeSelection(c, c.activeLayer, {255, 0, 0}, 1, StrokeLocation::Inside, BlendMode::Normal, 100, false);
  const Raster& px = c.layers[0].pixels;
  for (auto [x, y] : {std::pair{72, 54}, {647, 54}, {647, 485}, {72, 485}, {300, 54}, {72, 300}, {647, 300},
                      {300, 485}}) {
    EXPECT_EQ(px.alphaAt(x, y), 255) << x << "," << y;
    EXPECT_EQ(rgbAt(px, x, y), (Rgb{255, 0, 0}));
  }
  for (auto [x, y] : {std::pair{71, 54}, {73, 55}, {648, 300}, {300, 486}, {300, 300}})
    EXPECT_EQ(px.alphaAt(x, y), 0) << x << "," << y;
  EXPECT_EQ(px.bounds(), (Rect{72, 54, 648, 486}));

  // Outside and wider, and without a selection.
  DocumentContent d = blankDocument(40, 40);
  selectRegion(d, rect(10, 10, 20, 20), SelectionType::Replace, 0);
  strokeSelection(d, d.activeLayer, {0, 0, 0}, 2, StrokeLocation::Outside, BlendMode::Normal, 100, false);
  EXPECT_EQ(d.layers[0].pixels.bounds(), (Rect{8, 8, 22, 22}));
  EXPECT_EQ(d.layers[0].pixels.alphaAt(10, 10), 0);
  EXPECT_EQ(d.layers[0].pixels.alphaAt(8, 8), 255);
  deselect(d);
  EXPECT_THROW(strokeSelection(d, d.activeLayer, {}, 1, StrokeLocation::Inside, BlendMode::Normal, 100, false),
               EngineError);
}

TEST(CopyPasteAndImageSize, PastedPixelsLandWhereTheyWereCopiedFromCropTrimsAndResizeKeepsHardEdgesAtTheCanvas) {
  DocumentContent c = blankDocument(100, 100);
  c.layers[0].pixels = Raster::filled({0, 0, 100, 100}, {1, 2, 3});
  selectRegion(c, rect(30, 40, 50, 45), SelectionType::Replace, 0);
  const Raster clip = copyPixels(c, c.activeLayer);
  EXPECT_EQ(clip.bounds(), (Rect{30, 40, 50, 45}));
  DocumentContent other = blankDocument(100, 100);
  const LayerId pasted = pastePixels(other, clip);
  EXPECT_EQ(other.layer(pasted).name, "Layer 2");
  EXPECT_EQ(other.layer(pasted).pixels.bounds(), (Rect{30, 40, 50, 45}));
  EXPECT_EQ(other.activeLayer, pasted);
  selectRegion(c, rect(0, 0, 10, 10), SelectionType::Replace, 0);
  c.layers[0].pixels = Raster();
  EXPECT_THROW(copyPixels(c, c.activeLayer), EngineError);

  // Crop trims, and resize ignores the aspect ratio keeping hard edges at the canvas.
  c = blankDocument(100, 100);
  c.layers[0].pixels = Raster::filled({90, 90, 120, 120}, {5, 5, 5});
  cropDocument(c, {0, 0, 100, 95});
  EXPECT_EQ(c.height, 95);
  EXPECT_EQ(c.layers[0].pixels.bounds(), (Rect{90, 90, 100, 95}));
  DocumentContent d = blankDocument(200, 100);
  d.layers[0].pixels = Raster::filled({0, 0, 100, 100}, {255, 255, 255});
  resizeImage(d, 100, 100, ResampleMethod::Bicubic);
  EXPECT_EQ(d.width, 100);
  EXPECT_EQ(d.layers[0].pixels.bounds(), (Rect{0, 0, 50, 100})) << "the left half stays: distorted, not cropped";
  resizeImage(d, 1000, 1000, ResampleMethod::NearestNeighbor);
  EXPECT_EQ(d.layers[0].pixels.bounds(), (Rect{0, 0, 500, 1000}));

  // Content filling the canvas keeps hard edges, and an unchanged axis keeps its pixels.
  c = blankDocument(720, 540);
  c.layers[0].pixels = Raster::filled(c.canvas(), {0, 0, 0});
  for (int y = 0; y < 540; ++y)
    for (int x = 1; x < 720; x += 2) std::fill_n(c.layers[0].pixels.mutablePixel(x, y), 3, 255);  // white stripes
  c.layers.insert(c.layers.begin(), fixtures::solidLayer("button", {100, 100, 200, 140}, {239, 253, 0}));
  resizeImage(c, 720, 480, ResampleMethod::Bicubic);
  const Raster& page = c.layers[1].pixels;
  ASSERT_EQ(page.bounds(), (Rect{0, 0, 720, 480}));
  for (const auto& [x, y] : {std::pair{0, 0}, {719, 0}, {0, 479}, {719, 479}, {360, 240}})
    EXPECT_EQ(page.alphaAt(x, y), 255);
  EXPECT_EQ(rgbAt(page, 0, 200), (Rgb{0, 0, 0})) << "columns are not resampled when the width stays";
  EXPECT_EQ(rgbAt(page, 1, 200), (Rgb{255, 255, 255}));
  // A layer inside the canvas fades into the transparency around it.
  const Raster& b = c.layers[0].pixels;
  EXPECT_EQ(b.alphaAt(150, 120), 255);
  EXPECT_EQ(b.bounds().left, 100);
  EXPECT_LT(b.alphaAt(150, b.bounds().top), 255);
  EXPECT_EQ(rgbAt(b, 150, 120), (Rgb{239, 253, 0}));

  DocumentContent n = blankDocument(2, 1);
  n.layers[0].pixels = Raster::filled({0, 0, 1, 1}, {10, 20, 30});
  resizeImage(n, 4, 2, ResampleMethod::NearestNeighbor);
  EXPECT_EQ(n.layers[0].pixels.bounds(), (Rect{0, 0, 2, 2}));
  EXPECT_EQ(rgbAt(n.layers[0].pixels, 1, 1), (Rgb{10, 20, 30}));
}

TEST(Clouds, TheSameSeedGivesTheSameCloudsSpanningBothColours) {
  DocumentContent a = blankDocument(128, 128), b = a, d = a;
  applyClouds(a, a.activeLayer, {255, 0, 0}, {255, 255, 255}, 7, false);
  applyClouds(b, b.activeLayer, {255, 0, 0}, {255, 255, 255}, 7, false);
  applyClouds(d, d.activeLayer, {255, 0, 0}, {255, 255, 255}, 8, false);
  EXPECT_TRUE(a.layers[0].pixels.samePixels(b.layers[0].pixels));
  int differing = 0;
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) differing += rgbAt(a.layers[0].pixels, x, y) != rgbAt(d.layers[0].pixels, x, y);
  EXPECT_GT(differing, 128 * 128 / 2);
  // Difference clouds with black and white over white inverts where the noise is white.
  applyClouds(a, a.activeLayer, {0, 0, 0}, {0, 0, 0}, 1, true);
  EXPECT_TRUE(a.layers[0].pixels.samePixels(b.layers[0].pixels)) << "a difference with black changes nothing";

  // They span both colours, and an opaque layer stays opaque under difference clouds.
  DocumentContent c = blankDocument(720, 540);
  applyClouds(c, c.activeLayer, {255, 0, 40}, {255, 255, 255}, 3, false);
  int lowest = 255, highest = 0;
  const Raster px = c.layers[0].pixels;
  for (int y = 0; y < 540; ++y)
    for (int x = 0; x < 720; ++x) {
      lowest = std::min(lowest, int(px.pixel(x, y)[1]));
      highest = std::max(highest, int(px.pixel(x, y)[1]));
      ASSERT_EQ(px.pixel(x, y)[0], 255);
    }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, 255);
  applyClouds(c, c.activeLayer, {255, 0, 0}, {255, 0, 0}, 4, true);  // clouds of one colour: plain red
  EXPECT_EQ(c.layers[0].pixels.alphaAt(300, 300), 255);
  EXPECT_EQ(c.layers[0].pixels.pixel(10, 10)[0], 0) << "the difference of red and red";
  EXPECT_EQ(c.layers[0].pixels.pixel(10, 10)[1], px.pixel(10, 10)[1]);
}
