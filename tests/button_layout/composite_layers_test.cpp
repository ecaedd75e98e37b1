// Build Composite Layers: the seven sets and their members beside the user's own "Set 1", the
// silhouettes and the derived masks, and the recovery from a failure that needed another document.

#include "workflow_fixture.h"

using namespace layout_test;

namespace {

std::vector<std::string> numbered(const std::string& role, int count) {
  std::vector<std::string> out;
  for (int n = count; n >= 1; --n) out.push_back(role + " " + std::to_string(n));
  return out;
}

std::vector<std::string> join(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

class CompositeCount : public WorkflowTest, public ::testing::WithParamInterface<int> {
 protected:
  std::vector<std::string> membersOf(const std::string& set) {
    return names(node(doc("Build Menu").LayerSets()(set), doc("Build Menu")).children);
  }
};

}  // namespace

// The user's own set, named as the engine names new ones, keeps its name and stays empty.
TEST_P(CompositeCount, EachSetHoldsItsMembersTopToBottom) {
  const int n = GetParam();
  createMenu();
  clone(n);
  const Document menu = doc("Build Menu");
  engine.SetActiveDocument(menu);
  const Layer own = menu.LayerSets().Add();
  ASSERT_EQ(own.Name(), "Set 1");
  composite();
  EXPECT_EQ(own.Name(), "Set 1");
  EXPECT_EQ(node(own, menu).children.size(), 0u);
  EXPECT_EQ(membersOf("Button Area"),
            join({{"Button Area Prev", "Button Area Next"}, numbered("Button Area", n), {"White Background"}}));
  EXPECT_EQ(membersOf("Text Area"), join({{"Title Area"}, numbered("Text Area", n), {"White Background"}}));
  EXPECT_EQ(membersOf("Thumb Area"), join({numbered("Thumb Area", n), {"White Background"}}));
  EXPECT_EQ(membersOf("Button Mask"),
            join({{"Button Mask Prev", "Button Mask Next"}, numbered("Button Mask", n), {"Black Background"}}));
  EXPECT_EQ(membersOf("Thumb Mask"), join({numbered("Thumb Mask", n), {"Black Background"}}));
  EXPECT_EQ(membersOf("Button Image"),
            join({{"Button Image Prev", "Button Image Next"}, numbered("Button Image", n), {"Background copy"}}));
  EXPECT_EQ(membersOf("Hilite Mask"),
            join({{"Comp Thumb Mask", "Comp NxtPrv Button Mask", "Comp Button Mask", "Hilite Mask Prev",
                   "Hilite Mask Next"},
                  numbered("Hilite Mask", n),
                  {"Black Background"}}));
  for (const char* set : {"Button Area", "Text Area", "Thumb Area"})
    EXPECT_EQ(node(menu.LayerSets()(set), menu).colorLabel, engine::ColorLabel::Yellow) << set;
  EXPECT_EQ(node(menu.LayerSets()("Button Mask"), menu).colorLabel, engine::ColorLabel::None);
  EXPECT_EQ(menu.Info().KeyWords().at(0), "Build Composite Layers Complete");
}

INSTANTIATE_TEST_SUITE_P(Buttons, CompositeCount, ::testing::Values(1, 3),
                         [](const auto& row) { return "Buttons" + std::to_string(row.param); });

TEST_F(WorkflowTest, SilhouettesAreWhiteWhereTheImageIsAndTheCompMasksFollowTheOptions) {
  createMenu();
  clone(2);
  composite();
  const Document menu = doc("Build Menu");
  const engine::LayerNode& silhouette = member(menu, "Button Mask", "Button Mask 2");
  EXPECT_EQ(rgb(silhouette, 150, 160), (engine::Rgb{255, 255, 255}));
  EXPECT_EQ(silhouette.pixels.alphaAt(150, 160), 255);
  EXPECT_EQ(silhouette.pixels.alphaAt(105, 142), 0) << "outside the button image";

  const engine::LayerNode& comp = member(menu, "Hilite Mask", "Comp Button Mask");
  const engine::LayerNode& nextPrev = member(menu, "Hilite Mask", "Comp NxtPrv Button Mask");
  const engine::LayerNode& thumbs = member(menu, "Hilite Mask", "Comp Thumb Mask");
  EXPECT_EQ(rgb(comp, 150, 160), (engine::Rgb{0, 0, 0})) << "inverted: a numbered button's image is black";
  EXPECT_EQ(rgb(comp, 630, 415), (engine::Rgb{255, 255, 255})) << "Next is not in it";
  EXPECT_EQ(rgb(nextPrev, 630, 415), (engine::Rgb{0, 0, 0}));
  EXPECT_EQ(rgb(nextPrev, 150, 160), (engine::Rgb{255, 255, 255}));
  EXPECT_EQ(rgb(thumbs, 350, 120), (engine::Rgb{40, 80, 160})) << "not inverted";
  EXPECT_EQ(rgb(thumbs, 5, 5), (engine::Rgb{0, 0, 0}));
  EXPECT_EQ(comp.blendMode, engine::BlendMode::Darken);
  EXPECT_EQ(nextPrev.blendMode, engine::BlendMode::Darken);
  EXPECT_EQ(thumbs.blendMode, engine::BlendMode::Lighten);
  EXPECT_TRUE(comp.visible);
  EXPECT_TRUE(nextPrev.visible);
  EXPECT_FALSE(thumbs.visible) << "the start-up options leave the thumbnail masks out";
}

TEST_F(WorkflowTest, AStepThatNeededTheBuildMenuActiveIsUndoneAndRunAgainOnce) {
  createMenu();
  clone(3);
  // Steps 1 to 3 fill one base each, step 4 its base and then one silhouette per button: the
  // sixth fill is the second silhouette's.
  engine.faults().failMember("Selection.Fill", engine::ErrorCode::NotActiveDocument, 1, 5);
  composite();
  const Document menu = doc("Build Menu");
  int buttonMaskSets = 0;
  for (const std::string& name : topLevel(menu)) buttonMaskSets += name == "Button Mask";
  EXPECT_EQ(buttonMaskSets, 1);
  EXPECT_EQ(names(node(menu.LayerSets()("Button Mask"), menu).children),
            (std::vector<std::string>{"Button Mask Prev", "Button Mask Next", "Button Mask 3", "Button Mask 2",
                                      "Button Mask 1", "Black Background"}));
  EXPECT_TRUE(engine.faults().idle()) << "the fault was met";
  EXPECT_TRUE(view.messages.empty()) << transcript();
}
