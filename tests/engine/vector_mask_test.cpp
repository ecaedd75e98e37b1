// Vector masks drawn from their path records, and the layers that carry them.

#include <gtest/gtest.h>

#include "engine/composite.h"
#include "engine/vector_mask.h"
#include "engine_fixtures.h"
#include "layer_blocks_fixtures.h"

using namespace engine;
using fixtures::rectPath;
using fixtures::rgbAt;

namespace {

constexpr Rect kCanvas{0, 0, 40, 40};

// `n` with a vector mask of `subpaths` on the 40 x 40 canvas in a block `key`.
LayerNode withMask(LayerNode n, const std::vector<std::pair<int, std::vector<fixtures::PathPoint>>>& subpaths,
                   const char* key = "vmsk", bool startFull = false, std::uint32_t flags = 0) {
  fixtures::addBlock(n, key, fixtures::vectorMask(subpaths, 40, 40, startFull, flags));
  return n;
}

LayerNode fillLayer(const char* name, Rgb colour) {
  LayerNode n = LayerNode::artLayer(name);
  n.kind = LayerKind::SolidFill;
  n.fillColor = colour;
  return n;
}

std::optional<Mask> render(const LayerNode& n) { return renderVectorMask(n, kCanvas, kCanvas); }

}  // namespace

TEST(VectorMasks, SubpathsCombineByTheirOperationsWithAntiAliasedEdgesAndBrokenRecordsAreNotRead) {
  const LayerNode node =
      withMask(LayerNode::artLayer("shape"), {{1, rectPath(10, 10, 30.5, 30)}, {2, rectPath(15, 15, 20, 20)}});
  ASSERT_TRUE(hasVectorMask(node));
  const std::optional<Mask> m = render(node);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->at(12, 12), 255);
  EXPECT_EQ(m->at(17, 17), 0) << "subtracted";
  EXPECT_EQ(m->at(5, 5), 0);
  EXPECT_NEAR(m->at(30, 20), 128, 1) << "half of the pixel column 30 is inside";
  EXPECT_EQ(m->outside(), 0);
  // Older files (operation -1) fill by the even-odd rule: an inner subpath is a hole.
  EXPECT_EQ(render(withMask(LayerNode::artLayer("old"), {{1, rectPath(10, 10, 30, 30)}, {-1, rectPath(15, 15, 20, 20)}}))
                ->at(17, 17), 0);

  // Starting from everything, inverted, or switched off.
  const auto a = render(withMask(LayerNode::artLayer("all"), {{2, rectPath(0, 0, 10, 10)}}, "vsms", true));
  EXPECT_EQ(a->at(5, 5), 0);
  EXPECT_EQ(a->at(20, 20), 255);
  EXPECT_EQ(a->outside(), 255);
  EXPECT_EQ(render(withMask(LayerNode::artLayer("drawn"), {{1, rectPath(0, 0, 10, 10)}}, "vmsk", true))->at(20, 20), 0)
      << "a shape added to a reveal-all mask replaces it";
  const std::vector<std::pair<int, std::vector<fixtures::PathPoint>>> corner{{1, rectPath(0, 0, 10, 10)}};
  EXPECT_EQ(render(withMask(LayerNode::artLayer("inverted"), corner, "vmsk", false, 1))->at(5, 5), 0);
  EXPECT_FALSE(hasVectorMask(withMask(LayerNode::artLayer("off"), corner, "vmsk", false, 4)));

  // Short or inconsistent records are ignored, not read.
  LayerNode cut = LayerNode::artLayer("broken");
  std::vector<std::uint8_t> data = fixtures::vectorMask({{1, rectPath(0, 0, 10, 10)}}, 40, 40);
  data.resize(data.size() - 13);  // the last knot cut in half: it is not read
  fixtures::addBlock(cut, "vmsk", data);
  EXPECT_TRUE(render(cut).has_value());
  // A shape's box holds its curves' bulges, not their handles.
  VectorPath arch;
  const auto fixed = [](double v) { return std::int32_t(std::lround(v / 40 * (1 << 24))); };
  PathRecord length;
  length.knotCount = 3;
  arch.records.push_back(length);
  for (const auto& [before, anchor, after] : {std::array<fixtures::PathPoint, 3>{{{10, 10}, {10, 10}, {10, 0}}},
                                             {{{30, 0}, {30, 10}, {30, 10}}}, {{{20, 30}, {20, 30}, {20, 30}}}}) {
    PathRecord knot;
    knot.type = PathRecord::ClosedLinked;
    knot.knot = {fixed(before.y), fixed(before.x), fixed(anchor.y), fixed(anchor.x), fixed(after.y), fixed(after.x)};
    arch.records.push_back(knot);
  }
  LayerNode arched = LayerNode::artLayer("arch");
  arched.vectorMask = std::make_shared<const VectorPath>(arch);
  const RectF box = vectorShapeBox(arched, kCanvas).value();
  EXPECT_NEAR(box.top, 2.5, 1e-6) << "the arch peaks at 2.5";
  EXPECT_EQ(std::tuple(box.left, box.right, box.bottom), std::tuple(10.0, 30.0, 30.0));
  EXPECT_FALSE(vectorShapeBox(withMask(LayerNode::artLayer("all"), {{2, rectPath(0, 0, 10, 10)}}, "vsms", true), kCanvas));

  LayerNode tooMany = LayerNode::artLayer("knots beyond the count");
  fixtures::addBlock(tooMany, "vmsk",
                     fixtures::BlockBytes().u32(3).u32(0).u16(0).u16(0).zeros(22).u16(2).zeros(24).bytes);
  EXPECT_FALSE(render(tooMany).has_value());
}

TEST(VectorMasks, MaskPixelLayersAndShapeFillLayersWithoutStoredPixelsAndSoftenThemWhenFeatheredOrThin) {
  LayerNode pixels = withMask(fixtures::solidLayer("pixels", kCanvas, {255, 0, 0}), {{1, rectPath(0, 0, 20, 40)}});
  EXPECT_EQ(compositeLayers({pixels}, kCanvas, kCanvas).alphaAt(30, 5), 0);
  EXPECT_EQ(compositeLayers({pixels}, kCanvas).alphaAt(30, 5), 255) << "no canvas: no vector mask";
  pixels.vectorMaskDensity = 64;
  EXPECT_EQ(compositeLayers({pixels}, kCanvas, kCanvas).alphaAt(30, 5), 191) << "a quarter-density mask";

  LayerNode shape = withMask(fillLayer("shape", {0, 0, 255}), {{1, rectPath(10, 10, 20, 20)}});
  const Raster out = compositeLayers({shape}, kCanvas, kCanvas);
  EXPECT_EQ(rgbAt(out, 15, 15), (Rgb{0, 0, 255}));
  EXPECT_EQ(out.alphaAt(25, 15), 0);
  // With stored pixels the shape is already in them: the mask is not applied twice.
  shape.pixels = Raster::filled({10, 10, 21, 20}, {0, 0, 255}, 128);
  EXPECT_EQ(compositeLayers({shape}, kCanvas, kCanvas).alphaAt(20, 15), 128);

  // A feathered or thin vector mask softens the shape and shows the fill beyond it.
  pixels = withMask(fixtures::solidLayer("pixels", kCanvas, {255, 0, 0}), {{1, rectPath(-20, -20, 20, 60)}});
  pixels.vectorMaskFeather = 2.0;
  const Raster feathered = compositeLayers({pixels}, kCanvas, kCanvas);
  EXPECT_EQ(feathered.alphaAt(10, 20), 255);
  EXPECT_NEAR(feathered.alphaAt(19, 20), 154, 2) << "60 % of a Gaussian of 2 pixels lies inside";
  EXPECT_NEAR(feathered.alphaAt(20, 20), 101, 2);
  EXPECT_EQ(feathered.alphaAt(30, 20), 0);

  // Photoshop stores a fill layer's pixels cut to its shape; where a soft vector mask lets the
  // fill show beyond the shape, the fill comes from its colour.
  shape = withMask(fillLayer("shape", {0, 0, 255}), {{1, rectPath(10, 10, 20, 20)}});
  shape.pixels = Raster::filled({10, 10, 20, 20}, shape.fillColor);
  shape.vectorMaskDensity = 64;
  const Raster soft = compositeLayers({shape}, kCanvas, kCanvas);
  EXPECT_EQ(soft.alphaAt(15, 15), 255);
  EXPECT_EQ(soft.alphaAt(30, 30), 191);
  EXPECT_EQ(rgbAt(soft, 30, 30), (Rgb{0, 0, 255}));
}

TEST(Rasterize, DrawsFillAndShapeIntoPixelsAndTheClippingPathIntoTheLayerMask) {
  DocumentContent c = fixtures::blankDocument(40, 40);
  LayerNode shape = withMask(fillLayer("Button Image", {10, 20, 30}), {{1, rectPath(10, 10, 20, 20)}});
  fixtures::addBlock(shape, "SoCo", {});
  fixtures::addBlock(shape, "vogk", {0, 0, 0, 1});
  fixtures::addBlock(shape, "shmd", {0, 0, 0, 0});
  const LayerId id = insertAboveActive(c, shape);
  LayerNode withPath = c.layer(id);
  rasterizeLayer(c, id, RasterizeTarget::Shape);
  const LayerNode& done = c.layer(id);
  EXPECT_EQ(done.kind, LayerKind::Normal);
  EXPECT_EQ(done.pixels.bounds(), (Rect{10, 10, 20, 20}));
  EXPECT_EQ(rgbAt(done.pixels, 15, 15), (Rgb{10, 20, 30}));
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

// Each operation with where the 10..20 square of a 40 x 40 document ends up.
TEST(VectorMaskMoves, TheMaskGoesWhereThePixelsGo) {
  using Operation = void (*)(DocumentContent& c, LayerId id);
  const std::tuple<const char*, Operation, Rect> operations[] = {
      {"translate", [](DocumentContent& c, LayerId id) { translateLayer(c, id, 5, 3); }, {15, 13, 25, 23}},
      {"crop", [](DocumentContent& c, LayerId) { cropDocument(c, {5, 5, 35, 35}); }, {5, 5, 15, 15}},
      {"resample", [](DocumentContent& c, LayerId) { resizeImage(c, 80, 80, ResampleMethod::NearestNeighbor); },
       {20, 20, 40, 40}},
      {"copy into a larger document",
       [](DocumentContent& c, LayerId id) {
         DocumentContent wide = fixtures::blankDocument(80, 60);
         copyLayerInto(c.layer(id), c.canvas(), wide, false);
         c = wide;
       },
       {10, 10, 20, 20}}};
  for (const auto& [name, apply, expected] : operations) {
    SCOPED_TRACE(name);
    DocumentContent c = fixtures::blankDocument(40, 40);
    LayerNode shape = withMask(fillLayer("Button Area", {}), {{1, rectPath(10, 10, 20, 20)}}, "vsms");
    shape.pixels = Raster::filled({10, 10, 20, 20}, {200, 0, 0});
    LayerNode set = LayerNode::layerSet("Btn Tmpl");
    set.children.push_back(shape);
    apply(c, insertAboveActive(c, set));
    const LayerNode& moved = c.layers.front().children.front();
    EXPECT_EQ(renderVectorMask(moved, c.canvas(), c.canvas()).value().coveredBounds(), expected);
    EXPECT_EQ(moved.pixels.bounds(), expected) << "pixels and mask agree";
  }
}
