// Vector masks drawn from their path records, and the layers that carry them.

#include <gtest/gtest.h>

#include "engine/composite.h"
#include "engine/vector_mask.h"
#include "engine_fixtures.h"
#include "layer_blocks_fixtures.h"

using namespace engine;
using fixtures::rectPath;

TEST(VectorMasks, SubpathsCombineByTheirOperationsWithAntiAliasedEdges) {
  LayerNode node = LayerNode::artLayer("shape");
  fixtures::addBlock(node, "vmsk", fixtures::vectorMask({{1, rectPath(10, 10, 30.5, 30)}, {2, rectPath(15, 15, 20, 20)}}, 40, 40));
  ASSERT_TRUE(hasVectorMask(node));
  const std::optional<Mask> m = renderVectorMask(node, {0, 0, 40, 40}, {0, 0, 40, 40});
  ASSERT_TRUE(m);
  EXPECT_EQ(m->at(12, 12), 255);
  EXPECT_EQ(m->at(17, 17), 0) << "subtracted";
  EXPECT_EQ(m->at(5, 5), 0);
  EXPECT_NEAR(m->at(30, 20), 128, 1) << "half of the pixel column 30 is inside";
  EXPECT_EQ(m->outside(), 0);

  // Starting from everything, inverted, or switched off.
  LayerNode all = LayerNode::artLayer("all");
  fixtures::addBlock(all, "vsms", fixtures::vectorMask({{2, rectPath(0, 0, 10, 10)}}, 40, 40, true));
  const std::optional<Mask> a = renderVectorMask(all, {0, 0, 40, 40}, {0, 0, 40, 40});
  EXPECT_EQ(a->at(5, 5), 0);
  EXPECT_EQ(a->at(20, 20), 255);
  EXPECT_EQ(a->outside(), 255);
  LayerNode inverted = LayerNode::artLayer("inverted");
  fixtures::addBlock(inverted, "vmsk", fixtures::vectorMask({{1, rectPath(0, 0, 10, 10)}}, 40, 40, false, 1));
  EXPECT_EQ(renderVectorMask(inverted, {0, 0, 40, 40}, {0, 0, 40, 40})->at(5, 5), 0);
  LayerNode off = LayerNode::artLayer("off");
  fixtures::addBlock(off, "vmsk", fixtures::vectorMask({{1, rectPath(0, 0, 10, 10)}}, 40, 40, false, 4));
  EXPECT_FALSE(hasVectorMask(off));
}

TEST(VectorMasks, ShortOrInconsistentRecordsAreIgnoredNotRead) {
  LayerNode node = LayerNode::artLayer("broken");
  std::vector<std::uint8_t> data = fixtures::vectorMask({{1, rectPath(0, 0, 10, 10)}}, 40, 40);
  data.resize(data.size() - 13);  // the last knot cut in half: it is not read
  fixtures::addBlock(node, "vmsk", data);
  EXPECT_TRUE(renderVectorMask(node, {0, 0, 40, 40}, {0, 0, 40, 40}).has_value());
  LayerNode tooMany = LayerNode::artLayer("knots beyond the count");
  fixtures::BlockBytes b;
  b.u32(3).u32(0).u16(0).u16(0).zeros(22).u16(2).zeros(24);
  fixtures::addBlock(tooMany, "vmsk", b.bytes);
  EXPECT_FALSE(renderVectorMask(tooMany, {0, 0, 40, 40}, {0, 0, 40, 40}).has_value());
}

TEST(VectorMasks, MaskPixelLayersAndShapeFillLayersWithoutStoredPixels) {
  const Rect canvas{0, 0, 40, 40};
  LayerNode pixels = fixtures::solidLayer("pixels", canvas, {255, 0, 0});
  fixtures::addBlock(pixels, "vmsk", fixtures::vectorMask({{1, rectPath(0, 0, 20, 40)}}, 40, 40));
  EXPECT_EQ(fixtures::alphaAt(compositeLayers({pixels}, canvas, canvas), 30, 5), 0);
  EXPECT_EQ(fixtures::alphaAt(compositeLayers({pixels}, canvas), 30, 5), 255) << "no canvas: no vector mask";
  pixels.vectorMaskDensity = 64;
  EXPECT_EQ(fixtures::alphaAt(compositeLayers({pixels}, canvas, canvas), 30, 5), 191) << "a quarter-density mask";

  LayerNode shape = LayerNode::artLayer("shape");
  shape.kind = LayerKind::SolidFill;
  shape.fillColor = {0, 0, 255};
  fixtures::addBlock(shape, "vmsk", fixtures::vectorMask({{1, rectPath(10, 10, 20, 20)}}, 40, 40));
  const Raster out = compositeLayers({shape}, canvas, canvas);
  EXPECT_EQ(fixtures::rgbAt(out, 15, 15), (Rgb{0, 0, 255}));
  EXPECT_EQ(fixtures::alphaAt(out, 25, 15), 0);
  // With stored pixels the shape is already in them: the mask is not applied twice.
  shape.pixels = Raster::filled({10, 10, 21, 20}, {0, 0, 255}, 128);
  EXPECT_EQ(fixtures::alphaAt(compositeLayers({shape}, canvas, canvas), 20, 15), 128);
}

TEST(VectorMasks, AFeatheredVectorMaskSoftensTheShapesEdge) {
  const Rect canvas{0, 0, 40, 40};
  LayerNode pixels = fixtures::solidLayer("pixels", canvas, {255, 0, 0});
  fixtures::addBlock(pixels, "vmsk", fixtures::vectorMask({{1, rectPath(-20, -20, 20, 60)}}, 40, 40));
  pixels.vectorMaskFeather = 2.0;
  const Raster out = compositeLayers({pixels}, canvas, canvas);
  EXPECT_EQ(fixtures::alphaAt(out, 10, 20), 255);
  EXPECT_NEAR(fixtures::alphaAt(out, 19, 20), 154, 2) << "60 % of a Gaussian of 2 pixels lies inside";
  EXPECT_NEAR(fixtures::alphaAt(out, 20, 20), 101, 2);
  EXPECT_EQ(fixtures::alphaAt(out, 30, 20), 0);
}

// Photoshop stores a fill layer's pixels cut to its shape; where a soft vector mask lets the
// fill show beyond the shape, the fill comes from its colour.
TEST(VectorMasks, ASoftVectorMaskShowsTheFillBeyondTheStoredShape) {
  const Rect canvas{0, 0, 40, 40};
  LayerNode shape = LayerNode::artLayer("shape");
  shape.kind = LayerKind::SolidFill;
  shape.fillColor = {0, 0, 255};
  shape.pixels = Raster::filled({10, 10, 20, 20}, shape.fillColor);
  fixtures::addBlock(shape, "vmsk", fixtures::vectorMask({{1, rectPath(10, 10, 20, 20)}}, 40, 40));
  shape.vectorMaskDensity = 64;
  const Raster out = compositeLayers({shape}, canvas, canvas);
  EXPECT_EQ(fixtures::alphaAt(out, 15, 15), 255);
  EXPECT_EQ(fixtures::alphaAt(out, 30, 30), 191);
  EXPECT_EQ(fixtures::rgbAt(out, 30, 30), (Rgb{0, 0, 255}));
}

TEST(Rasterize, DrawsFillAndShapeIntoPixelsAndTheClippingPathIntoTheLayerMask) {
  DocumentContent c = fixtures::blankDocument(40, 40);
  LayerNode shape = LayerNode::artLayer("Button Image");
  shape.kind = LayerKind::SolidFill;
  shape.fillColor = {10, 20, 30};
  fixtures::addBlock(shape, "vmsk", fixtures::vectorMask({{1, rectPath(10, 10, 20, 20)}}, 40, 40));
  fixtures::addBlock(shape, "SoCo", {});
  fixtures::addBlock(shape, "vogk", {0, 0, 0, 1});
  fixtures::addBlock(shape, "shmd", {0, 0, 0, 0});
  const LayerId id = insertAboveActive(c, shape);
  LayerNode withPath = c.layer(id);
  rasterizeLayer(c, id, RasterizeTarget::Shape);
  const LayerNode& done = c.layer(id);
  EXPECT_EQ(done.kind, LayerKind::Normal);
  EXPECT_EQ(done.pixels.bounds(), (Rect{10, 10, 20, 20}));
  EXPECT_EQ(fixtures::rgbAt(done.pixels, 15, 15), (Rgb{10, 20, 30}));
  EXPECT_FALSE(hasVectorMask(done));
  ASSERT_EQ(done.extraBlocks.size(), 1u) << "the fill and the path's origination go, other blocks stay";
  EXPECT_EQ(std::string(done.extraBlocks[0].key.data(), 4), "shmd");

  LayerNode& other = c.layer(insertAboveActive(c, withPath));
  other.kind = LayerKind::Normal;
  other.pixels = Raster::filled(c.canvas(), {1, 1, 1});
  rasterizeLayer(c, other.id, RasterizeTarget::LayerClippingPath);
  EXPECT_FALSE(hasVectorMask(c.layer(other.id)));
  EXPECT_EQ(c.layer(other.id).mask.pixels.at(15, 15), 255);
  EXPECT_EQ(c.layer(other.id).mask.pixels.at(25, 25), 0);
  EXPECT_EQ(c.layer(other.id).pixels.alphaAt(25, 25), 255) << "the pixels themselves stay";
}

namespace {

// Where a rectangle's vector mask covers a document after an operation: its bounds in pixels.
Rect maskedArea(const LayerNode& node, const Rect& canvas) {
  const std::optional<Mask> m = renderVectorMask(node, canvas, canvas);
  if (!m) return {};
  Rect found{canvas.right, canvas.bottom, 0, 0};
  for (int y = 0; y < canvas.bottom; ++y)
    for (int x = 0; x < canvas.right; ++x)
      if (m->at(x, y) > 127) found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
                                      std::max(found.bottom, y + 1)};
  return found;
}

struct MaskMove {
  const char* name;
  void (*apply)(DocumentContent& c, LayerId id);
  Rect expected;  // where the 10..20 square of a 40 x 40 document ends up
};

void PrintTo(const MaskMove& c, std::ostream* os) { *os << c.name; }

class VectorMaskMoves : public ::testing::TestWithParam<MaskMove> {};

}  // namespace

TEST_P(VectorMaskMoves, TheMaskGoesWhereThePixelsGo) {
  DocumentContent c = fixtures::blankDocument(40, 40);
  LayerNode shape = LayerNode::artLayer("Button Area");
  shape.kind = LayerKind::SolidFill;
  shape.pixels = Raster::filled({10, 10, 20, 20}, {200, 0, 0});
  fixtures::addBlock(shape, "vsms", fixtures::vectorMask({{1, rectPath(10, 10, 20, 20)}}, 40, 40));
  LayerNode set = LayerNode::layerSet("Btn Tmpl");
  set.children.push_back(shape);
  const LayerId setId = insertAboveActive(c, set);
  GetParam().apply(c, setId);
  const LayerNode& moved = c.layers.front().children.front();
  EXPECT_EQ(maskedArea(moved, c.canvas()), GetParam().expected);
  EXPECT_EQ(moved.pixels.bounds(), GetParam().expected) << "pixels and mask agree";
}

INSTANTIATE_TEST_SUITE_P(
    Operations, VectorMaskMoves,
    ::testing::Values(
        MaskMove{"Translate", [](DocumentContent& c, LayerId id) { translateLayer(c, id, 5, 3); }, {15, 13, 25, 23}},
        MaskMove{"Crop", [](DocumentContent& c, LayerId) { cropDocument(c, {5, 5, 35, 35}); }, {5, 5, 15, 15}},
        MaskMove{"Resample", [](DocumentContent& c, LayerId) { resizeImage(c, 80, 80, ResampleMethod::NearestNeighbor); },
                 {20, 20, 40, 40}},
        MaskMove{"CopyIntoALargerDocument",
                 [](DocumentContent& c, LayerId id) {
                   DocumentContent wide = fixtures::blankDocument(80, 60);
                   copyLayerInto(c.layer(id), c.canvas(), wide, false);
                   c = wide;
                 },
                 {10, 10, 20, 20}}),
    [](const auto& row) { return std::string(row.param.name); });
