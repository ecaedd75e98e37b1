// Undo through the whole workflow, the history each run records, Re-Link, and Preview Menu.

#include <map>

#include "workflow_fixture.h"

using namespace layout_test;

namespace {

struct Fingerprints {
  std::size_t tmpl, menu, final;
  bool operator==(const Fingerprints&) const = default;
};

class UndoTest : public WorkflowTest {
 protected:
  Fingerprints now() {
    return {fingerprint(doc("Button Template")), fingerprint(doc("Build Menu")), fingerprint(doc("Final Menu"))};
  }
};

}  // namespace

TEST_F(UndoTest, EachStateComesBackAsItWasWithinTheHistoryBudget) {
  createMenu();
  std::map<int, Fingerprints> atState;
  atState[2] = atState[3] = now();
  clone(10);
  atState[4] = atState[5] = now();
  composite();
  atState[6] = atState[7] = now();
  form().FinalPSDDocument_Click();
  ASSERT_EQ(form().WorkflowState, app::BuiltFinalSaveNow) << transcript();

  // Every state from the first to the final document fits well within the history.
  const auto serial = [&](int state) { return form().BuildMenuHistory[std::size_t(state - 1)].serial(); };
  EXPECT_LE(serial(8) - serial(1), 250u);
  EXPECT_LE(doc("Build Menu").engineDocument()->history().size(), 250u);

  for (int state = 7; state >= 2; --state) {
    form().Undo_Click();
    ASSERT_EQ(form().WorkflowState, state);
    EXPECT_EQ(now(), atState[state]) << "state " << state;
  }
  form().Undo_Click();
  EXPECT_EQ(form().WorkflowState, app::CreateMenuDocs);
  EXPECT_TRUE(view.messages.empty()) << transcript();
}

TEST_F(UndoTest, UndoFromTheFinalDocumentToTheCompositesGivesTheSameFinalDocumentAgain) {
  createMenu();
  clone(3);
  composite();
  form().FinalPSDDocument_Click();
  const std::size_t first = fingerprint(doc("Final Menu"));
  form().Undo_Click();
  form().Undo_Click();
  ASSERT_EQ(form().WorkflowState, app::BuildFinalDocument);
  EXPECT_FALSE(doc("Build Menu").LayerSets()("Hilite Mask").Layers()("Comp Thumb Mask").Visible());
  form().FinalPSDDocument_Click();
  EXPECT_EQ(fingerprint(doc("Final Menu")), first);
}

TEST_F(WorkflowTest, ReLinkStopsAtTheFirstMissingButtonAndKeepsTheLinksBefore) {
  createMenu();
  clone(3);
  const Document menu = doc("Build Menu");
  engine.SetActiveDocument(menu);
  for (int n = 1; n <= 3; ++n)
    for (const char* layer : {"Button Image", "Button Area", "Thumb Mask", "Hilite Mask", "Text Area", "Thumb Area"})
      menu.LayerSets()("Btn " + std::to_string(n)).ArtLayers()(layer).Unlink();
  menu.LayerSets()("Btn 2").Remove();
  view.messages.clear();
  form().LinkBtnLyrs_Click();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Missing Layers in Main Document.");
  EXPECT_EQ(menu.LayerSets()("Btn 1").ArtLayers()("Thumb Area").LinkedLayers().size(), 5u);
  EXPECT_TRUE(menu.LayerSets()("Btn 3").ArtLayers()("Thumb Area").LinkedLayers().empty());
  EXPECT_EQ(view.pointers.back(), app::MousePointer::Default);
}

TEST_F(WorkflowTest, PreviewHidesTheWorkingLayersAndTheSecondClickBringsThemBack) {
  createMenu();
  clone(3);
  const Document menu = doc("Build Menu");
  const std::size_t before = fingerprint(menu);
  form().PreviewMenu_Click();
  for (const char* set : {"Btn 1", "Btn 2", "Btn 3", "Btn Next", "Btn Prev"})
    for (const engine::LayerNode& n : node(menu.LayerSets()(set), menu).children)
      EXPECT_EQ(n.visible, n.name == "Button Image" || (n.name == "Thumb Mask" && set[4] != 'N' && set[4] != 'P'))
          << set << "/" << n.name;
  EXPECT_TRUE(form().PreviewToggle);
  form().PreviewMenu_Click();
  EXPECT_EQ(fingerprint(menu), before);
  EXPECT_FALSE(form().PreviewToggle);

  engine.SetActiveDocument(menu);
  menu.LayerSets()("Btn 2").Remove();
  form().PreviewMenu_Click();
  EXPECT_EQ(view.messages.back().text, "Button Layers Missing from Menu Document");
  EXPECT_FALSE(form().PreviewToggle) << "not inverted when the command ends early";
  EXPECT_FALSE(menu.LayerSets()("Btn 1").Layers()("Hilite Mask").Visible()) << "the sets before it changed";
  EXPECT_TRUE(menu.LayerSets()("Btn 3").Layers()("Hilite Mask").Visible());

  doc("Final Menu").Close(photoshop::ps::DoNotSaveChanges);
  form().PreviewMenu_Click();
  EXPECT_EQ(view.messages.back().text, "Menu Document Closed");
}
