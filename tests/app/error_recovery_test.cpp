// The recovery routine: retry while busy, re-activate a working document, or report.

#include "app/error_recovery.h"
#include "form_fixture.h"

using namespace app;
using app_test::FormTest;
using engine::ErrorCode;

namespace {

class RecoveryTest : public FormTest {
 protected:
  void SetUp() override {
    loadedForm();
    addWorkingDocuments();
  }
  // A statement that fails `times` times with `code`, then succeeds; counts its runs from 0.
  std::function<void()> failing(ErrorCode code, int times) {
    runs = 0;
    return [this, code, times] {
      if (runs++ < times) throw photoshop::AutomationError(code, photoshop::defaultDescription(code), "test");
    };
  }
  int runs = 0;
};

}  // namespace

TEST_F(RecoveryTest, BusyOffersRetryUntilTheStatementSucceedsAndCancelLeaves) {
  view.answers = {MsgBoxResult::Retry, MsgBoxResult::Retry};
  EXPECT_TRUE(ErrorRecovery(form(), RecoveryStyle::Standard())(failing(ErrorCode::Busy, 2)));
  EXPECT_EQ(runs, 3);
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].text, kBusyMessage);
  EXPECT_EQ(view.messages[0].title, photoshop::kBusyText) << "the error's own text is the title";
  EXPECT_EQ(view.messages[0].buttons, MsgBoxButtons::RetryCancel);

  // Where the command asks for it, the hourglass comes back for the retry.
  view.answers = {MsgBoxResult::Retry};
  view.pointers.clear();
  EXPECT_TRUE(ErrorRecovery(form(), RecoveryStyle::CloneButtons())(failing(ErrorCode::Busy, 1)));
  EXPECT_EQ(view.pointers, std::vector<MousePointer>{MousePointer::Hourglass});

  // Cancel leaves, with the procedure's own wording.
  view.answers = {MsgBoxResult::Cancel};
  EXPECT_FALSE(ErrorRecovery(form(), RecoveryStyle::CreateNewMenuDoc())(failing(ErrorCode::CallRejected, 1)));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(view.messages.back().text,
            "Photoshop appears to be busy. This error can be caused if there\r\n"
            "are pending edits that have NOT yet been accepted/rejected.");
  EXPECT_EQ(view.pointers.back(), MousePointer::Default);

  bool cancelled = false;
  view.answers = {MsgBoxResult::Cancel};
  EXPECT_FALSE(ErrorRecovery(form(), RecoveryStyle::FormLoad([&] { cancelled = true; }))(failing(ErrorCode::Busy, 1)));
  EXPECT_TRUE(cancelled);
}

// A statement for another working document runs again once that one is active, at most
// kMaxRetargets times and with a hook before each rerun; an unrelated active document stops it.
TEST_F(RecoveryTest, AStatementForAnotherWorkingDocumentRunsAgainOnceThatOneIsActive) {
  Form1& f = form();
  engine.SetActiveDocument(f.BuildMenuDocument);
  ErrorRecovery onError(f, RecoveryStyle::Standard());
  // Selecting needs the document to be the active one; the routine walks the working documents.
  EXPECT_TRUE(onError([&] { f.FinalMenuDocument.Selection().SelectAll(); }));
  EXPECT_EQ(engine.ActiveDocument(), f.FinalMenuDocument);
  EXPECT_TRUE(f.FinalMenuDocument.Selection().Solid());
  EXPECT_TRUE(view.messages.empty());

  int hooks = 0;
  onError.Style().afterRetarget = [&] { ++hooks; };
  EXPECT_FALSE(onError(failing(ErrorCode::NotActiveDocument, 100)));
  EXPECT_EQ(runs, kMaxRetargets + 1);
  EXPECT_EQ(hooks, kMaxRetargets);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Build Menu, Button Template or Final Menu Document(s) is Missing.");
  EXPECT_EQ(view.messages[0].title, "");

  addDocument("Holiday photos");
  EXPECT_FALSE(onError(failing(ErrorCode::NotActiveDocument, 1)));
  EXPECT_EQ(runs, 1) << "nothing ran on the wrong document";
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[1].text, kDocumentsMissingMessage);
}

TEST_F(RecoveryTest, OtherErrorsAreReportedInEachProceduresWording) {
  for (const auto& [style, code] : {std::pair(RecoveryStyle::Standard(), ErrorCode::NoSuchElement),
                                     std::pair(RecoveryStyle::SetUIState(), ErrorCode::NoSuchElement),
                                     std::pair(RecoveryStyle::CreateNewMenuDoc(), ErrorCode::FileError)}) {
    view.pointers.clear();
    EXPECT_FALSE(ErrorRecovery(form(), style)(failing(code, 1)));
  }
  EXPECT_EQ(view.pointers.front(), MousePointer::Default) << "creating a menu puts the pointer back before the message";

  ASSERT_EQ(view.messages.size(), 3u);
  EXPECT_EQ(view.messages[0].text, "Error: there is no such element. Photoshop Document/Element is missing.");
  EXPECT_EQ(view.messages[1].text, "there is no such element");
  EXPECT_EQ(view.messages[2].text, "General failure of the application.");
}
