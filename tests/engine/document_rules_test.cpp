// The rules by which the engine names, places, copies, moves and merges layers.

#include <gtest/gtest.h>

#include "engine/composite.h"
#include "engine/errors.h"
#include "engine_fixtures.h"

using namespace engine;
using fixtures::blankDocument;
using fixtures::layerNames;
using fixtures::solidLayer;

TEST(NewObjects, TakeTheSmallestUnusedNumberAndGoOnTopOfTheDocumentOrOfAGivenSet) {
  DocumentContent c = blankDocument();  // holds "Layer 1"
  const LayerId set = addLayerSet(c);
  EXPECT_EQ(c.layer(set).name, "Set 1");
  const LayerId inner = addArtLayer(c, set);
  EXPECT_EQ(c.layer(inner).name, "Layer 2");  // "Layer 1" is used at top level
  renameLayer(c, c.layers.back().id, "Background art");
  EXPECT_EQ(nextDefaultName(c, false), "Layer 1");  // the gap is taken again
  EXPECT_EQ(nextDefaultName(c, true), "Set 2");
  // Names that merely look numbered do not count: "Layer 01", "Layer 3 copy".
  renameLayer(c, inner, "Layer 01");
  EXPECT_EQ(nextDefaultName(c, false), "Layer 1");

  // New layers go on top of the document or of a given set, whatever is active.
  const LayerId b = addArtLayer(c, set);  // top of the set
  EXPECT_EQ(c.layer(set).children.front().id, b);
  EXPECT_EQ(c.activeLayer, b);
  c.activeLayer = inner;  // a member of the set is active: a document's new layer still goes on top
  const LayerId top = addArtLayer(c);
  EXPECT_EQ(c.layers.front().id, top);
  EXPECT_EQ(c.layer(set).children.size(), 2u);
  EXPECT_EQ(c.activeLayer, top);
  // Pasted and copied-in layers land just above the active layer, in its parent.
  c.activeLayer = inner;
  const LayerId pasted = pastePixels(c, Raster::filled({0, 0, 2, 2}, {1, 1, 1}));
  EXPECT_EQ(c.layer(set).children[1].id, pasted);
}

TEST(Duplicate, NamesTheCopyAndPutsItJustAboveWithFreshIdsAndOwnLinksOrIntoAnotherDocumentKeepsNameAndPosition) {
  DocumentContent c = blankDocument();
  const LayerId set = addLayerSet(c);
  const LayerId x = addArtLayer(c, set);
  const LayerId y = addArtLayer(c, set);
  linkLayers(c, x, y);
  const LayerId copy = duplicateLayer(c, set);
  EXPECT_EQ(layerNames(c.layers), (std::vector<std::string>{"Set 1 copy", "Set 1", "Layer 1"}));
  EXPECT_EQ(c.activeLayer, copy);
  const LayerNode& dup = c.layer(copy);
  ASSERT_EQ(dup.children.size(), 2u);
  EXPECT_NE(dup.children[0].id, y);
  // The copies stay linked to each other but not to the originals.
  EXPECT_EQ(dup.children[0].linkGroup, dup.children[1].linkGroup);
  EXPECT_NE(dup.children[0].linkGroup, c.layer(x).linkGroup);

  // Into another document: name and position kept, above the active layer's topmost ancestor.
  DocumentContent src = blankDocument();
  LayerNode art = solidLayer("Button Area", {10, 20, 30, 25}, {1, 2, 3});
  src.layers.insert(src.layers.begin(), art);
  DocumentContent dest = blankDocument();
  const LayerId second = addArtLayer(dest);
  dest.activeLayer = dest.layers.back().id;  // bottom layer active
  const LayerId id = copyLayerInto(src.layers.front(), src.canvas(), dest, false);
  EXPECT_EQ(dest.layers[1].id, id);
  EXPECT_EQ(dest.layers[0].id, second);
  EXPECT_EQ(dest.layer(id).name, "Button Area");
  EXPECT_EQ(dest.layer(id).pixels.bounds(), (Rect{10, 20, 30, 25}));
  EXPECT_EQ(dest.activeLayer, id);
  const LayerId same = copyLayerInto(dest.layer(id), dest.canvas(), dest, true);
  EXPECT_EQ(dest.layer(same).name, "Button Area Copy");

  // With a member of a set active, the copy lands at the top level above the set.
  const LayerId destSet = addLayerSet(dest);
  const LayerId inner = addArtLayer(dest, destSet);
  addArtLayer(dest);  // a top-level layer above the set
  dest.activeLayer = inner;
  const LayerId table = copyLayerInto(solidLayer("Color Table", {0, 0, 5, 5}, {1, 2, 3}), src.canvas(), dest, false);
  EXPECT_EQ(layerNames(dest.layers), (std::vector<std::string>{"Layer 4", "Color Table", "Set 1", "Layer 2",
                                                              "Button Area Copy", "Button Area", "Layer 1"}));
  EXPECT_EQ(dest.layer(destSet).children.size(), 1u) << "nothing lands inside the active layer's set";
  EXPECT_EQ(dest.activeLayer, table);
}

TEST(Move, ToBeginningAndEndOfContainersKeepsTheBackgroundAtTheBottom) {
  DocumentContent c = blankDocument();
  c.layers.back().isBackground = true;
  const LayerId set = addLayerSet(c);
  const LayerId a = addArtLayer(c);
  moveLayer(c, a, set, ElementPlacement::AtBeginning);
  EXPECT_EQ(c.layer(set).children.front().id, a);
  moveLayer(c, set, 0, ElementPlacement::AtEnd);
  EXPECT_EQ(c.layers.back().name, "Layer 1");  // the background stays last
  EXPECT_EQ(c.layers[c.layers.size() - 2].id, set);
  EXPECT_THROW(moveLayer(c, set, a, ElementPlacement::AtBeginning), EngineError);  // into itself
  EXPECT_THROW(moveLayer(c, c.layers.back().id, 0, ElementPlacement::AtBeginning), EngineError);
}

TEST(Translate, MovesMembersAndEveryLinkedLayerOnce) {
  DocumentContent c = blankDocument();
  const LayerId set = addLayerSet(c);
  c.layer(set).children.push_back(solidLayer("in set", {0, 0, 4, 4}, {}));
  c.layers.push_back(solidLayer("linked to member", {10, 10, 12, 12}, {}));
  c.layers.push_back(solidLayer("linked twice", {20, 20, 22, 22}, {}));
  c.layers.push_back(solidLayer("untouched", {30, 30, 32, 32}, {}));
  const LayerId member = c.layer(set).children.back().id;
  const LayerId l1 = c.layers[c.layers.size() - 3].id, l2 = c.layers[c.layers.size() - 2].id;
  linkLayers(c, member, l1);
  linkLayers(c, l1, l2);
  linkLayers(c, l2, member);  // a cycle of links still moves each layer once
  translateLayer(c, set, 5, 7);
  EXPECT_EQ(c.layer(member).pixels.bounds(), (Rect{5, 7, 9, 11}));
  EXPECT_EQ(c.layer(l1).pixels.bounds(), (Rect{15, 17, 17, 19}));
  EXPECT_EQ(c.layer(l2).pixels.bounds(), (Rect{25, 27, 27, 29}));
  EXPECT_EQ(c.layers[c.layers.size() - 1].pixels.bounds(), (Rect{30, 30, 32, 32}));
}

TEST(Merge, ReplacesTheSetInPlaceWithItsVisibleMembersBlendedKeepingPixelsBeyondTheCanvas) {
  DocumentContent c = blankDocument();
  const LayerId set = addLayerSet(c);
  renameLayer(c, set, "Button Mask");
  LayerNode& s = c.layer(set);
  s.children = {solidLayer("hidden", {0, 0, 8, 8}, {0, 255, 0}),
                fixtures::blended(solidLayer("multiply", {0, 0, 8, 8}, {128, 128, 128}), BlendMode::Multiply),
                solidLayer("base", {0, 0, 16, 8}, {200, 100, 50})};
  s.children[0].visible = false;
  const LayerId merged = mergeSet(c, set);
  const LayerNode& m = c.layer(merged);
  EXPECT_FALSE(m.isSet);
  EXPECT_EQ(m.name, "Button Mask");
  EXPECT_EQ(c.layers.front().id, merged);  // where the set was
  EXPECT_EQ(c.activeLayer, merged);
  EXPECT_EQ(m.pixels.bounds(), (Rect{0, 0, 16, 8}));
  EXPECT_EQ(fixtures::rgbAt(m.pixels, 2, 2), (Rgb{100, 50, 25}));  // 200*128/255 etc., no green
  EXPECT_EQ(fixtures::rgbAt(m.pixels, 12, 2), (Rgb{200, 100, 50}));

  // Pixels beyond the canvas are kept; an empty set gives an empty layer.
  const LayerId beyond = addLayerSet(c);
  c.layer(beyond).children.push_back(solidLayer("off canvas", {60, 40, 70, 50}, {9, 9, 9}));
  EXPECT_EQ(c.layer(mergeSet(c, beyond)).pixels.bounds(), (Rect{60, 40, 70, 50}));
  const LayerId empty = addLayerSet(c);
  EXPECT_TRUE(c.layer(mergeSet(c, empty)).pixels.empty());
}

TEST(Background, UnlockingByLabelOrRenameMakesAnOrdinaryLayer) {
  DocumentContent c = blankDocument();
  c.layers[0].isBackground = true;
  c.layers[0].name = "Background";
  setColorLabel(c, c.layers[0].id, ColorLabel::Blue);
  EXPECT_FALSE(c.layers[0].isBackground);
  EXPECT_EQ(c.layers[0].name, "Layer 0");
  EXPECT_EQ(c.layers[0].colorLabel, ColorLabel::Blue);
  c.layers[0].isBackground = true;
  renameLayer(c, c.layers[0].id, "Background");
  EXPECT_FALSE(c.layers[0].isBackground);
}

TEST(Refusals, RemovingPassesTheActiveLayerOnButTheLastLayerSizesOutOfRangeAndEmptyNamesAreRefused) {
  DocumentContent c = blankDocument();
  const LayerId top = addArtLayer(c);
  removeLayer(c, top);
  EXPECT_EQ(c.activeLayer, c.layers[0].id);
  EXPECT_THROW(removeLayer(c, c.layers[0].id), EngineError);
  try {
    removeLayer(c, 987654321);
    FAIL();
  } catch (const EngineError& e) {
    EXPECT_EQ(e.code(), ErrorCode::NoSuchElement);
    EXPECT_STREQ(e.what(), "there is no such element");
  }

  // Negative, huge and zero sizes are refused before allocating, and so is an empty name.
  EXPECT_THROW(Raster({0, 0, 40000, 10}), EngineError);
  EXPECT_THROW(Raster({0, 0, 25000, 25000}), EngineError);
  EXPECT_THROW(resizeImage(c, 0, 10, ResampleMethod::Bicubic), EngineError);
  EXPECT_THROW(cropDocument(c, {5, 5, 5, 9}), EngineError);
  EXPECT_THROW(renameLayer(c, c.layers[0].id, ""), EngineError);
}
