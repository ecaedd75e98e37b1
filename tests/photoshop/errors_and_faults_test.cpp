// Errors as the automation layer raises them, and the fault hook and call log tests rely on.

#include <gtest/gtest.h>

#include <functional>

#include "photoshop_fixtures.h"

using namespace photoshop;
using engine::ErrorCode;
using fixtures::errorOf;

namespace {

class ErrorsTest : public ::testing::Test {
 protected:
  Application app = fixtures::pixelApplication();
};

std::int32_t hresult(std::uint32_t code) { return static_cast<std::int32_t>(code); }

}  // namespace

TEST_F(ErrorsTest, MissingElementsSayThereIsNoSuchElement) {
  Document doc = app.Documents().Add(10, 10, 72, "Build Menu");
  for (const AutomationError& e : {errorOf([&] { app.Documents().Item("Final Menu"); }),
                                   errorOf([&] { app.Documents().Item(2); }), errorOf([&] { app.Documents().Item(0); }),
                                   errorOf([&] { doc.ArtLayers().Item("Color Table"); }),
                                   errorOf([&] { doc.LayerSets().Item(1); })}) {
    EXPECT_TRUE(e.Is(ErrorCode::NoSuchElement));
    EXPECT_EQ(e.Description(), "there is no such element");
  }
  EXPECT_EQ(errorOf([&] { doc.ArtLayers().Item("Color Table"); }).Source(), "ArtLayers.Item");
}

TEST_F(ErrorsTest, HandlesToClosedDocumentsAndRemovedLayersAndUnsetHandlesFailOnUse) {
  Document doc = app.Documents().Add(10, 10, 72, "doc", ps::NewRGB, ps::FillTransparent);
  Layer layer = doc.ArtLayers().Add();
  layer.Remove();
  Layer kept = doc.ArtLayers()(1);
  doc.Close(ps::DoNotSaveChanges);
  for (const AutomationError& e : {errorOf([&] { layer.Name(); }), errorOf([&] { doc.Name(); }),
                                   errorOf([&] { kept.SetVisible(true); }), errorOf([&] { app.ActiveDocument(); })})
    EXPECT_TRUE(e.Is(ErrorCode::NoSuchElement)) << e.Source();

  // Handles that were never set fail like any other call.
  Document unset;
  Layer none;
  EXPECT_EQ(errorOf([&] { unset.Name(); }).Number(), 91);
  EXPECT_EQ(errorOf([&] { none.SetVisible(true); }).Number(), 91);
  EXPECT_EQ(errorOf([&] { unset.ArtLayers().Add(); }).Number(), 91);
  Document open = app.Documents().Add(10, 10);
  EXPECT_TRUE(errorOf([&] { open.ArtLayers()(1).MoveToEnd(unset); }).Is(ErrorCode::ObjectNotSet));
  EXPECT_TRUE(errorOf([&] { app.SetActiveDocument(unset); }).Is(ErrorCode::ObjectNotSet));
}

TEST_F(ErrorsTest, BadArgumentsAreRefusedClearly) {
  for (const AutomationError& e : {errorOf([&] { app.Documents().Add(-5, 10); }),
                                   errorOf([&] { app.Documents().Add(0, 10); }),
                                   errorOf([&] { app.Documents().Add(100000, 100000); }),
                                   errorOf([&] { app.Documents().Add(10, 10, 72, "x", 3); }),
                                   errorOf([&] { app.Documents().Add(10, 10, 0); })}) {
    EXPECT_FALSE(e.Description().empty());
    EXPECT_NE(e.Number(), 0);
  }
  EXPECT_EQ(app.Documents().Count(), 0);
  Document doc = app.Documents().Add(10, 10);
  EXPECT_TRUE(errorOf([&] { doc.ArtLayers()(1).SetName(""); }).Is(ErrorCode::InvalidArgument));
  EXPECT_TRUE(errorOf([&] { doc.Selection().Select({{0, 0}, {1, 1}, {0, 1}}, 7); }).Is(ErrorCode::InvalidArgument));
  EXPECT_THROW(app.CharIDToTypeID("Nm "), AutomationError);
}

TEST_F(ErrorsTest, SelectionFillPasteAndActiveLayerNeedTheirDocumentToBeActive) {
  Document first = app.Documents().Add(10, 10, 72, "first");
  Document second = app.Documents().Add(10, 10, 72, "second");
  ASSERT_EQ(app.ActiveDocument(), second);
  for (const AutomationError& e : {errorOf([&] { first.Selection().SelectAll(); }),
                                   errorOf([&] { first.Selection().Fill(SolidColor()); }),
                                   errorOf([&] { first.Paste(); }),
                                   errorOf([&] { first.SetActiveLayer(first.ArtLayers()(1)); })})
    EXPECT_EQ(e.Number(), hresult(0x80041FA4u));
  // Naming, adding and reading work on any document.
  first.ArtLayers().Add().SetName("fine");
  EXPECT_EQ(first.ArtLayers()(1).Name(), "fine");
}

TEST_F(ErrorsTest, APendingWorkspaceEditMakesEveryCallBusy) {
  Document doc = app.Documents().Add(10, 10);
  app.engine().pendingEdit = true;
  EXPECT_EQ(errorOf([&] { doc.Name(); }).Number(), hresult(0x80042260u));
  EXPECT_EQ(errorOf([&] { app.Documents().Count(); }).Number(), hresult(0x80042260u));
  app.engine().pendingEdit = false;
  EXPECT_EQ(doc.Name(), "Untitled-1");
}

// With nobody to ask, closing a changed document is refused with the engine's own error, which is
// not the user's cancel, and the document stays.
TEST_F(ErrorsTest, ClosingAChangedDocumentWithNobodyToAskIsRefusedAndKeepsIt) {
  Document doc = app.Documents().Add(40, 30, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  doc.ArtLayers().Add().SetName("Work");
  for (const auto& [how, close] : std::vector<std::pair<const char*, std::function<void()>>>{
           {"prompt", [&] { doc.Close(); }}, {"save a never-saved document", [&] { doc.Close(ps::SaveChanges); }}}) {
    SCOPED_TRACE(how);
    const AutomationError error = errorOf(close);
    EXPECT_TRUE(error.Is(ErrorCode::NoHostToAsk)) << error.Number() << " " << error.Description();
    ASSERT_EQ(app.Documents().Count(), 1) << "the document is still open";
    EXPECT_EQ(doc.Layers().Count(), 2);
  }
  doc.Close(ps::DoNotSaveChanges);  // said explicitly, it needs nobody
  EXPECT_EQ(app.Documents().Count(), 0);
}

TEST_F(ErrorsTest, TheFaultHooksKthCallFailsOnceAndThenCallsSucceed) {
  Document doc = app.Documents().Add(10, 10);
  app.faults().failCall(3, ErrorCode::CallRejected);
  doc.Name();
  doc.Name();
  const AutomationError e = errorOf([&] { doc.Name(); });
  EXPECT_EQ(e.Number(), hresult(0x8001FFFFu));
  EXPECT_EQ(e.Source(), "Document.Name");
  EXPECT_EQ(doc.Name(), "Untitled-1");
  EXPECT_TRUE(app.faults().idle());
}

TEST_F(ErrorsTest, TheFaultHooksMemberRulesFailMatchingCallsNTimesAndLeaveOthersAlone) {
  Document doc = app.Documents().Add(10, 10);
  app.faults().failMember("ArtLayers.Item", ErrorCode::NotActiveDocument, 2);
  EXPECT_NO_THROW(doc.Name());
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(errorOf([&] { doc.ArtLayers()(1); }).Is(ErrorCode::NotActiveDocument));
  EXPECT_NO_THROW(doc.ArtLayers()(1));
  app.faults().failMember("Visible=", ErrorCode::NoSuchElement);  // bare member of any object
  const AutomationError e = errorOf([&] { doc.ArtLayers()(1).SetVisible(false); });
  EXPECT_EQ(e.Description(), "there is no such element");
  EXPECT_EQ(e.Source(), "ArtLayer.Visible=");
}

TEST_F(ErrorsTest, TheCallLogRecordsEveryMemberCalledInOrder) {
  app.calls().setEnabled(true);
  app.Documents().Add(10, 10, 72, "d").ArtLayers()("Background").SetVisible(true);
  EXPECT_EQ(app.calls().calls(), (std::vector<std::string>{"Application.Documents", "Documents.Add", "Document.ArtLayers",
                                                           "ArtLayers.Item", "ArtLayer.Visible="}));
}
