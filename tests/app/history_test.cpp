// Recording the working documents' history at each workflow state, and Undo.

#include "app/workflow_state_table.h"
#include "form_fixture.h"

using namespace app;
using app_test::FormTest;

TEST_F(FormTest, UndoAfterCloningReturnsAllThreeDocumentsToTheStateBefore) {
  Form1& f = loadedForm();
  addWorkingDocuments();
  f.SaveHistoryState(1);
  f.SaveHistoryState(2);
  addLayer(f.TemplateDocument, "edited");
  f.SaveHistoryState(3);
  addLayer(f.BuildMenuDocument, "Btn 1");
  addLayer(f.BuildMenuDocument, "Btn 2");
  addLayer(f.FinalMenuDocument, "x");
  addLayer(f.TemplateDocument, "linked");
  engine.SetActiveDocument(f.TemplateDocument);
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
}

TEST_F(FormTest, EditingAFinishedMenuRewindsOnlyTheWorkingCopyAndNeverBelowState6) {
  Form1& f = loadedForm();
  addWorkingDocuments();
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

TEST_F(FormTest, AMissingWorkingDocumentIsReportedAndTheRestIsSkipped) {
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
  view.messages.clear();
  addDocument("Final Menu");
  f.WorkflowState = 4;
  f.Undo_Click();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(f.WorkflowState, 3);
}

TEST_F(FormTest, BusyWhileRecordingRetriesOnlyTheFailedStatement) {
  Form1& f = loadedForm();
  addWorkingDocuments();
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
