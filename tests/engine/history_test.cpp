// History: rewind, truncation after a rewind, the state limit, and shared pixel buffers.

#include <gtest/gtest.h>

#include "engine/errors.h"
#include "engine_fixtures.h"

using namespace engine;

namespace {

Document makeDoc(int limit = 50) { return Document("doc", fixtures::blankDocument(720, 540), limit); }

void fillAll(Document& d, Rgb color) {
  d.edit("Fill", [&](DocumentContent& c) { fillSelection(c, c.activeLayer, color, BlendMode::Normal, 100, false); });
}

Rgb pixelOfActive(const Document& d, int x, int y) { return fixtures::rgbAt(d.content().layer(d.content().activeLayer).pixels, x, y); }

}  // namespace

TEST(History, RewindRestoresTheWholeDocumentALaterChangeDropsTheStatesAfterItAndTheLimitTheOldest) {
  Document d = makeDoc(5);
  fillAll(d, {255, 0, 0});
  const auto red = d.currentState();
  fillAll(d, {0, 255, 0});
  const auto green = d.currentState();
  d.edit("New Layer", [](DocumentContent& c) { addArtLayer(c); });
  EXPECT_EQ(d.content().layers.size(), 2u);

  d.rewindTo(red);
  EXPECT_EQ(d.content().layers.size(), 1u);
  EXPECT_EQ(pixelOfActive(d, 5, 5), (Rgb{255, 0, 0}));
  d.rewindTo(green);  // forward again: nothing was changed in between
  EXPECT_EQ(pixelOfActive(d, 5, 5), (Rgb{0, 255, 0}));

  d.rewindTo(red);
  fillAll(d, {0, 0, 255});
  try {
    d.rewindTo(green);
    FAIL() << "a state after the rewind point must be gone";
  } catch (const EngineError& e) {
    EXPECT_EQ(e.code(), ErrorCode::HistoryStateGone);
  }

  for (int i = 0; i < 10; ++i) fillAll(d, {std::uint8_t(i), 0, 0});
  EXPECT_EQ(d.history().size(), 5u);
  EXPECT_THROW(d.rewindTo(red), EngineError);
  d.setHistoryLimit(2);
  EXPECT_EQ(d.history().size(), 2u);
  EXPECT_EQ(pixelOfActive(d, 0, 0), (Rgb{9, 0, 0}));
}

TEST(History, VisibilityChangesJoinTheCurrentStateAndAFailedEditMakesNone) {
  Document d = makeDoc();
  d.edit("New Layer", [](DocumentContent& c) { addArtLayer(c); });
  const auto before = d.history().size();
  const LayerId top = d.content().layers[0].id;
  d.adjust([&](DocumentContent& c) { c.layer(top).visible = false; });
  EXPECT_EQ(d.history().size(), before);
  const auto hidden = d.currentState();
  fillAll(d, {1, 2, 3});
  d.rewindTo(hidden);
  EXPECT_FALSE(d.content().layer(top).visible) << "the rewound state shows the document as it was just before the fill";

  // A failed edit leaves the document and its history untouched.
  const auto stateBefore = d.currentState();
  const auto content = d.contentPtr();
  EXPECT_THROW(d.edit("Bad", [](DocumentContent& c) {
    addArtLayer(c);
    removeLayer(c, 424242);
  }), EngineError);
  EXPECT_EQ(d.currentState(), stateBefore);
  EXPECT_EQ(d.contentPtr(), content);
}

TEST(History, StatesSharePixelsThatDidNotChange) {
  Document d = makeDoc(500);
  d.edit("Setup", [](DocumentContent& c) {
    for (int i = 0; i < 5; ++i) c.layers.insert(c.layers.begin(), fixtures::solidLayer("big", c.canvas(), {9, 9, 9}));
    c.activeLayer = c.layers.back().id;  // the small "Layer 1"
  });
  const std::size_t base = d.history().pixelBytes();
  // Fills of a small area: each state adds only the touched layer's buffer.
  for (int i = 0; i < 100; ++i) {
    d.edit("Select", [](DocumentContent& c) { selectRegion(c, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, SelectionType::Replace, 0); });
    fillAll(d, {std::uint8_t(i), 0, 0});
  }
  const std::size_t perState = (d.history().pixelBytes() - base) / 100;
  EXPECT_LE(perState, 10u * 10u * 4u);
  EXPECT_EQ(d.history().size(), 202u);
}

TEST(History, ChangesInAGroupMakeOneStateAndARewindInsideItStartsANewOne) {
  Document d = makeDoc();
  const std::size_t before = d.history().size();
  d.beginHistoryGroup("Copy In");
  d.beginHistoryGroup("inner name is not used");
  d.edit("New Layer", [](DocumentContent& c) { addArtLayer(c); });
  fillAll(d, {255, 0, 0});
  d.endHistoryGroup();
  d.edit("Rename", [](DocumentContent& c) { renameLayer(c, c.activeLayer, "Button Area 1"); });
  EXPECT_EQ(d.history().size(), before + 1);
  EXPECT_EQ(d.history().current().name, "Copy In");
  const auto grouped = d.currentState();
  d.rewindTo(d.history().states()[before - 1].serial);
  fillAll(d, {0, 255, 0});
  EXPECT_NE(d.currentState(), grouped) << "the group's state was dropped by the rewind; the change is a new state";
  d.endHistoryGroup();
  fillAll(d, {0, 0, 255});
  EXPECT_EQ(d.history().size(), before + 2) << "after the group each change is a state again";
  d.rewindTo(d.history().states()[before - 1].serial);
  EXPECT_EQ(d.content().layers.size(), 1u);
}
