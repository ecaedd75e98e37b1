// Applying workflow states: buttons, colours, status, the instruction pane and the marker layers.

#include <set>

#include "app/workflow_state_table.h"
#include "form_fixture.h"

using namespace app;
using app_test::FormTest;
using B = WorkflowButton;

namespace {

struct Expected {
  std::int16_t state;
  const char* status;
  std::set<B> enabled;
  std::optional<B> green;
};

const Expected kStates[] = {
    {1, "Create New Menu Docs", {B::CreateNewMenuDoc}, B::CreateNewMenuDoc},
    {2, "Edit the Button Template as needed.", {B::Undo, B::CloneButtons, B::AnotherRandomBkgnd}, B::CloneButtons},
    {3, "Re-Edit the Button Template as needed.", {B::Undo, B::CloneButtons, B::AnotherRandomBkgnd, B::PreviewMenu},
     B::CloneButtons},
    {4, "Edit the Cloned Buttons Layout on the Main Menu",
     {B::Undo, B::BuildCompositeLayers, B::AnotherRandomBkgnd, B::PreviewMenu, B::LinkBtnLyrs},
     B::BuildCompositeLayers},
    {5, "Compositing Layers for Final Document", {B::Undo, B::BuildCompositeLayers, B::LinkBtnLyrs},
     B::BuildCompositeLayers},
    {6, "Build Final Photoshop Document", {B::Undo, B::FinalPSDDocument}, B::FinalPSDDocument},
    {7, "Building Final Photoshop Document", {B::Undo, B::FinalPSDDocument}, B::FinalPSDDocument},
    {8, "Built Final Photoshop Document... Save Now.", {B::Undo}, std::nullopt},
    {9, "Built... Save Final PSD Document", {B::Undo}, std::nullopt},
};

}  // namespace

TEST_F(FormTest, EachStateEnablesExactlyItsButtonsInItsColours) {
  Form1& f = loadedForm();
  for (const Expected& e : kStates) {
    SCOPED_TRACE(e.state);
    view.progress = 50;
    f.WorkflowState = e.state;
    f.SetUIState();
    EXPECT_EQ(view.panels[1], e.status);
    EXPECT_EQ(view.progress, 0);
    EXPECT_EQ(view.paneFile, stateFile(e.state));
    for (B b : AllWorkflowButtons()) {
      EXPECT_EQ(view.isEnabled(b), e.enabled.count(b) == 1) << int(b);
      const std::int32_t colour = !e.enabled.count(b) ? kNeutralButtonColor
                                  : b == e.green      ? kStepButtonColor
                                                      : kAvailableButtonColor;
      EXPECT_EQ(view.colorOf(b), colour) << int(b);
    }
  }
  EXPECT_TRUE(view.messages.empty());

  f.WorkflowState = 10;
  f.SetUIState();
  for (B b : AllWorkflowButtons()) EXPECT_FALSE(view.isEnabled(b));
  EXPECT_EQ(view.panels[1], "");
}

TEST_F(FormTest, AMissingOrLockedInstructionFileIsReportedOnceAndTheStateStillApplies) {
  Form1& f = loadedForm();
  std::filesystem::remove(stateFile(5));
  f.WorkflowState = 5;
  f.SetUIState();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "File not found: " + stateFile(5));
  EXPECT_EQ(view.messages[0].title, "");
  EXPECT_EQ(view.panels[1], "Compositing Layers for Final Document");
  EXPECT_TRUE(view.isEnabled(B::LinkBtnLyrs));

  view.messages.clear();
  view.lockedFiles.insert(stateFile(4));
  f.WorkflowState = 4;
  f.SetUIState();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Error: Help file is opened with another application.");
  EXPECT_EQ(view.panels[1], "Edit the Cloned Buttons Layout on the Main Menu");
}

TEST_F(FormTest, TheMarkerLayersStayOnTopOfTheBuildMenu) {
  Form1& f = loadedForm();
  addWorkingDocuments();
  addLayer(f.BuildMenuDocument, "Title Safe Zones");
  addLayer(f.BuildMenuDocument, "Color Table");
  photoshop::Layer other = addLayer(f.BuildMenuDocument, "Background");
  engine.SetActiveDocument(f.TemplateDocument);
  photoshop::Layer templateLayer = f.TemplateDocument.ActiveLayer();

  f.SetUIState();
  EXPECT_EQ(f.BuildMenuDocument.Layers()(1).Name(), "Title Safe Zones");
  EXPECT_EQ(f.BuildMenuDocument.Layers()(2).Name(), "Color Table");
  EXPECT_EQ(f.BuildMenuDocument.ActiveLayer(), other);
  EXPECT_EQ(engine.ActiveDocument(), f.TemplateDocument) << "the user's active document comes back";
  EXPECT_EQ(f.TemplateDocument.ActiveLayer(), templateLayer);

  // Without its "Color Table", neither marker moves and nothing is said.
  f.BuildMenuDocument.ArtLayers()("Color Table").Remove();
  other.MoveToBeginning(f.BuildMenuDocument);
  f.SetUIState();
  EXPECT_EQ(f.BuildMenuDocument.Layers()(1).Name(), "Background");
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(FormTest, FailuresInTheFirstStepGoToTheRecoveryRoutineWithTheBareDescription) {
  Form1& f = loadedForm();
  addDocument("Unrelated");
  engine.faults().failMember("Documents.Count", engine::ErrorCode::Busy);
  view.answers = {MsgBoxResult::Retry};
  f.WorkflowState = 2;
  f.SetUIState();
  EXPECT_EQ(view.panels[1], "Edit the Button Template as needed.") << "Retry ran the count again";

  view.messages.clear();
  engine.faults().failMember("Application.ActiveDocument", engine::ErrorCode::NoSuchElement);
  f.WorkflowState = 3;
  f.SetUIState();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "there is no such element");
  EXPECT_EQ(view.panels[1], "Edit the Button Template as needed.") << "the procedure was left";
}

TEST_F(FormTest, CtrlQXJTogglesTheRtfButtons) {
  Form1& f = loadedForm();
  auto type = [&](const char* keys, std::int16_t shift) {
    for (const char* k = keys; *k; ++k) f.Form_KeyDown(*k, shift);
  };
  type("QXJ", 0);
  type("QJX", 2);
  EXPECT_FALSE(view.rtfVisible);
  EXPECT_EQ(view.beeps, 0);

  f.Form_KeyDown(17, 2);  // the Ctrl key itself comes first
  type("QXJ", 2);
  EXPECT_TRUE(view.rtfVisible);
  EXPECT_EQ(view.beeps, 1);
  type("qxj", 2);
  EXPECT_FALSE(view.rtfVisible) << "a second time hides them again";

  f.SaveRTFFile_Click();
  EXPECT_EQ(view.savedFiles, std::vector<std::string>{stateFile(1)});
  std::filesystem::remove(stateFile(1));
  f.LoadRTF_Click();
  ASSERT_EQ(view.messages.size(), 1u) << "a file gone since is reported";
}
