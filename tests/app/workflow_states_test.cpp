// Applying workflow states (buttons, colours, status, the instruction pane and the marker layers),
// recording the working documents' history at each state, and Undo.

#include <set>

#include "app/workflow_state_table.h"
#include "form_fixture.h"

using namespace app;
using app_test::FormTest;
using B = WorkflowButton;

namespace {

class StateTest : public FormTest, public ::testing::WithParamInterface<int> {};
const char* const kStateNames[] = {"CreateMenuDocs",        "EditButtonTemplate", "ReEditButtonTemplate",
                                   "EditClonedLayout",      "CompositingLayers",  "BuildFinalDocument",
                                   "BuildingFinalDocument", "BuiltFinalSaveNow",  "BuiltSaveFinal"};

}  // namespace

// The window shows the state's row of the table and nothing else: the step button, if any, green
// and the others enabled in the available colour; Undo from the second state on.
TEST_P(StateTest, TheWindowShowsExactlyTheStatesButtonsInTheirColours) {
  loadedForm();
  const int state = GetParam();
  const auto row = WorkflowStateFor(state);
  ASSERT_TRUE(row);
  view.progress = 50;
  applyState(state);
  EXPECT_EQ(view.panels[1], row->statusText);
  EXPECT_EQ(view.progress, 0);
  EXPECT_EQ(view.paneFile, stateFile(state));
  EXPECT_TRUE(view.messages.empty());

  const std::set<B> enabled(row->enabled.begin(), row->enabled.end());
  for (B b : AllWorkflowButtons()) {
    SCOPED_TRACE(int(b));
    EXPECT_EQ(view.isEnabled(b), enabled.count(b) == 1);
    const bool step = row->hasStepButton && b == row->enabled.front();
    EXPECT_EQ(view.colorOf(b), !enabled.count(b) ? kNeutralButtonColor : step ? kStepButtonColor : kAvailableButtonColor);
  }
  EXPECT_EQ(view.isEnabled(B::Undo), state != CreateMenuDocs) << "Undo leads back from every later state";
}

INSTANTIATE_TEST_SUITE_P(States, StateTest, ::testing::Range(1, 10),
                         [](const auto& p) { return std::string(kStateNames[p.param - 1]); });

// A missing or locked instruction file is reported and the rest of the state applied; a failure in
// the first step goes to the recovery routine, which reports the bare description.
TEST_F(FormTest, FailuresWhileApplyingAStateAndAStateOutsideOneToNineDisablesAll) {
  loadedForm();
  std::filesystem::remove(stateFile(5));
  applyState(5);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "File not found: " + stateFile(5));
  EXPECT_EQ(view.messages[0].title, "");
  EXPECT_EQ(view.panels[1], "Compositing Layers for Final Document");
  EXPECT_TRUE(view.isEnabled(B::LinkBtnLyrs));

  view.messages.clear();
  view.lockedFiles.insert(stateFile(4));
  applyState(4);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Error: Help file is opened with another application.");
  EXPECT_EQ(view.panels[1], "Edit the Cloned Buttons Layout on the Main Menu");

  applyState(10);  // outside 1 to 9
  for (B b : AllWorkflowButtons()) EXPECT_FALSE(view.isEnabled(b));
  EXPECT_EQ(view.panels[1], "");

  addDocument("Unrelated");
  engine.faults().failMember("Documents.Count", engine::ErrorCode::Busy);
  view.answers = {MsgBoxResult::Retry};
  applyState(2);
  EXPECT_EQ(view.panels[1], "Edit the Button Template as needed.") << "Retry ran the count again";

  view.messages.clear();
  engine.faults().failMember("Application.ActiveDocument", engine::ErrorCode::NoSuchElement);
  applyState(3);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "there is no such element");
  EXPECT_EQ(view.panels[1], "Edit the Button Template as needed.") << "the procedure was left";
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
  EXPECT_EQ(std::pair(f.BuildMenuDocument.Layers()(1).Name(), f.BuildMenuDocument.Layers()(2).Name()),
            std::pair(std::string("Title Safe Zones"), std::string("Color Table")));
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

TEST_F(FormTest, CtrlQXJTogglesTheRtfButtons) {
  Form1& f = loadedForm();
  auto type = [&](const char* keys, std::int16_t shift) {
    for (const char* k = keys; *k; ++k) f.Form_KeyDown(*k, shift);
  };
  type("QXJ", 0);
  type("QJX", 2);
  EXPECT_EQ(std::pair(view.rtfVisible, view.beeps), std::pair(false, 0));

  f.Form_KeyDown(17, 2);  // the Ctrl key itself comes first
  type("QXJ", 2);
  EXPECT_EQ(std::pair(view.rtfVisible, view.beeps), std::pair(true, 1));
  type("qxj", 2);
  EXPECT_FALSE(view.rtfVisible) << "a second time hides them again";

  f.SaveRTFFile_Click();
  EXPECT_EQ(view.savedFiles, std::vector<std::string>{stateFile(1)});
  std::filesystem::remove(stateFile(1));
  f.LoadRTF_Click();
  ASSERT_EQ(view.messages.size(), 1u) << "a file gone since is reported";
}

// Undo returns all three documents to the state before; editing a finished menu, it rewinds only
// the working copy and never below state 6.
TEST_F(FormTest, UndoReturnsAllThreeDocumentsToTheStateBeforeButOnAFinishedMenuOnlyTheWorkingCopy) {
  Form1& f = loadedForm();
  addWorkingDocuments();
  f.SaveHistoryState(1);
  f.SaveHistoryState(2);
  addLayer(f.TemplateDocument, "edited");
  f.SaveHistoryState(3);
  addLayer(f.BuildMenuDocument, "Btn 1");
  addLayer(f.FinalMenuDocument, "x");
  addLayer(f.TemplateDocument, "linked");  // and makes the template active
  f.SaveHistoryState(4);
  EXPECT_EQ(engine.ActiveDocument(), f.TemplateDocument) << "the active document comes back";
  EXPECT_EQ(view.panels[1], "Edit the Cloned Buttons Layout on the Main Menu");

  f.Undo_Click();
  EXPECT_EQ(f.WorkflowState, 3);
  EXPECT_EQ(f.BuildMenuDocument.Layers().Count(), 1);
  EXPECT_EQ(f.FinalMenuDocument.Layers().Count(), 1);
  EXPECT_EQ(f.TemplateDocument.Layers().Count(), 2) << "the template keeps the edit made before state 3";
  EXPECT_EQ(view.panels[1], "Re-Edit the Button Template as needed.");
  EXPECT_EQ(engine.ActiveDocument(), f.TemplateDocument);
  EXPECT_TRUE(view.messages.empty());

  f.Undo_Click();
  f.Undo_Click();
  EXPECT_EQ(f.WorkflowState, 1);
  EXPECT_FALSE(view.isEnabled(WorkflowButton::Undo)) << "nothing further back to go";
  addLayer(f.BuildMenuDocument, "stray");
  f.Undo_Click();
  EXPECT_EQ(f.WorkflowState, 1);
  EXPECT_EQ(f.BuildMenuDocument.Layers().Count(), 1) << "the lowest state rewinds to when it was entered";

  f.CompletedMenuName = "Build Menu Complete";
  f.BuildMenuDocument = addDocument("Build Menu Complete");
  f.SaveHistoryState(6);
  addLayer(f.BuildMenuDocument, "changed");
  addLayer(f.TemplateDocument, "kept");
  addLayer(f.FinalMenuDocument, "kept");
  f.SaveHistoryState(7);
  addLayer(f.BuildMenuDocument, "changed again");

  f.Undo_Click();
  EXPECT_EQ(f.WorkflowState, 6);
  EXPECT_EQ(f.BuildMenuDocument.Layers().Count(), 1);
  f.Undo_Click();
  EXPECT_EQ(f.WorkflowState, 6);
  EXPECT_EQ(f.TemplateDocument.Layers().Count(), 2);
  EXPECT_EQ(f.FinalMenuDocument.Layers().Count(), 2);
  EXPECT_TRUE(f.TemplateHistory[5].IsNothing());
}

// A missing working document is reported and the rest skipped; Busy retries only the failed
// statement, and Cancel leaves at once.
TEST_F(FormTest, AMissingWorkingDocumentIsReportedAndBusyWhileRecordingRetriesOnlyTheFailedStatement) {
  Form1& f = loadedForm();
  f.TemplateDocument = addDocument("Button Template");
  f.BuildMenuDocument = addDocument("Build Menu");
  f.SaveHistoryState(2);
  EXPECT_EQ(f.WorkflowState, 2) << "the new state is set before anything can fail";
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Error: there is no such element. Photoshop Document/Element is missing.");
  EXPECT_EQ(view.panels[1], "Create New Menu Docs") << "the window was not refreshed";
  EXPECT_FALSE(f.TemplateHistory[1].IsNothing());
  EXPECT_FALSE(f.BuildMenuHistory[1].IsNothing());

  // Undo to a state whose entries were never written fails the same way.
  addDocument("Final Menu");
  f.WorkflowState = 4;
  f.Undo_Click();
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(f.WorkflowState, 3);

  view.messages.clear();
  engine.faults().failMember("Document.ActiveHistoryState", engine::ErrorCode::Busy, 1, 1);
  view.answers = {MsgBoxResult::Retry};
  f.SaveHistoryState(2);
  EXPECT_EQ(view.messages.size(), 1u);
  EXPECT_FALSE(f.FinalMenuHistory[1].IsNothing());
  EXPECT_EQ(view.panels[1], "Edit the Button Template as needed.");

  engine.faults().failMember("Document.ActiveHistoryState=", engine::ErrorCode::Busy);
  view.answers = {MsgBoxResult::Cancel};
  f.Undo_Click();
  EXPECT_EQ(f.WorkflowState, 1) << "the state was already decreased";
  EXPECT_EQ(view.panels[1], "Edit the Button Template as needed.") << "Cancel left the procedure at once";
}
