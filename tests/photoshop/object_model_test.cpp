// The automation object model: documents, collections, layers, channels, preferences; the errors it
// raises, and the fault hook and call log tests rely on.

#include <gtest/gtest.h>

#include <functional>

#include "photoshop_fixtures.h"

using namespace photoshop;
using engine::ErrorCode;
using fixtures::errorOf;

namespace {

using Calls = std::initializer_list<std::function<void()>>;

class ObjectModelTest : public ::testing::Test {
 protected:
  Document transparent(const char* name, int size = 100) {
    return app.Documents().Add(size, size, 72, name, ps::NewRGB, ps::FillTransparent);
  }
  // Each call raises `code`, and `description` when one is given.
  static void expectAll(ErrorCode code, Calls calls, const char* description = nullptr) {
    for (const auto& call : calls) {
      const AutomationError e = errorOf(call);
      EXPECT_TRUE(e.Is(code)) << e.Source() << ": " << e.Number() << " " << e.Description();
      EXPECT_EQ(e.Description(), description ? description : e.Description()) << e.Source();
    }
  }
  Application app = fixtures::pixelApplication();
};

}  // namespace

TEST_F(ObjectModelTest, DocumentsAreAddedNamedFilledAndActivatedAndClosingActivatesTheOneBeforeAndKeywordsStay) {
  Document menu = app.Documents().Add(720, 540, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  EXPECT_EQ(menu.Layers().Count(), 1);
  EXPECT_EQ(menu.ArtLayers()(1).Name(), "Layer 1");
  EXPECT_FALSE(menu.ArtLayers()(1).IsBackgroundLayer());
  Document white = app.Documents().Add(100, 50);
  EXPECT_EQ(white.Name(), "Untitled-1");
  EXPECT_TRUE(white.ArtLayers()("Background").IsBackgroundLayer());
  EXPECT_EQ(app.ActiveDocument(), white);
  EXPECT_EQ(app.Documents().Count(), 2);
  EXPECT_EQ(app.Documents()(1), menu);
  EXPECT_EQ(app.Documents()("Build Menu").Width(), 720);
  app.SetActiveDocument(menu);
  EXPECT_EQ(app.ActiveDocument().Name(), "Build Menu");

  Document last = app.Documents().Add(10, 10, 72, "c");
  last.Close(ps::DoNotSaveChanges);
  EXPECT_EQ(app.ActiveDocument(), menu) << "not the one added before";
  EXPECT_EQ(app.Documents().Count(), 2);

  // Keywords live with the document and follow its history.
  EXPECT_TRUE(menu.Info().KeyWords().empty());
  const std::vector<std::string> tag{"Clone Buttons Complete", "6", "FTTTFFF"};
  menu.Info().SetKeyWords(tag);
  EXPECT_EQ(menu.Info().KeyWords(), tag);
  const HistoryState tagged = menu.ActiveHistoryState();
  menu.ArtLayers().Add();
  menu.Info().SetKeyWords({"Build Menu Complete"});
  menu.SetActiveHistoryState(tagged);
  EXPECT_EQ(menu.Info().KeyWords(), tag);
}

// Layer collections see only their kind and only direct members; properties round-trip as
// Photoshop shows them, and a background is locked.
TEST_F(ObjectModelTest, LayerCollectionsAndPropertiesAndABackgroundIsLocked) {
  Document doc = transparent("doc");
  Layer set = doc.LayerSets().Add();
  Layer inner = fixtures::named(set.ArtLayers().Add(), "Title Area");
  EXPECT_EQ(doc.LayerSets().Count(), 1);
  EXPECT_EQ(doc.ArtLayers().Count(), 1);
  EXPECT_EQ(doc.Layers().Count(), 2);
  EXPECT_EQ(doc.Layers()(1).Name(), "Set 1");
  EXPECT_TRUE(doc.Layers()(1).IsLayerSet());
  EXPECT_THROW(doc.ArtLayers()("Title Area"), AutomationError) << "a nested layer is not a top-level layer";
  EXPECT_EQ(set.Layers()("Title Area"), inner);
  EXPECT_THROW(inner.ArtLayers(), AutomationError);
  EXPECT_THROW(set.Kind(), AutomationError);

  Layer layer = doc.ArtLayers()(1);
  layer.SetOpacity(33);
  EXPECT_NEAR(layer.Opacity(), 32.94, 0.01);  // stored as 84 of 255, as in a file
  layer.SetBlendMode(4);
  EXPECT_EQ(layer.BlendMode(), 4);
  EXPECT_THROW(layer.SetBlendMode(1), AutomationError) << "pass through belongs to sets";
  EXPECT_THROW(layer.SetBlendMode(24), AutomationError);
  EXPECT_THROW(layer.SetOpacity(101), AutomationError);
  EXPECT_EQ(layer.Kind(), 1);
  layer.SetVisible(false);
  EXPECT_FALSE(layer.Visible());

  // A background layer is locked until made an ordinary layer.
  Layer bg = app.Documents().Add(20, 20).ArtLayers()("Background");
  EXPECT_THROW(bg.Translate(1, 1), AutomationError);
  EXPECT_THROW(bg.SetOpacity(50), AutomationError);
  bg.SetIsBackgroundLayer(false);
  EXPECT_EQ(bg.Name(), "Layer 0");
  bg.Translate(2, 3);
  EXPECT_EQ(bg.Bounds(), (std::array<double, 4>{2, 3, 22, 23}));
}

TEST(Preferences, AreReadAndWrittenAndCheckedAndLimitHistoryAndLengthsFollowTheRulerUnits) {
  Application app;
  Preferences prefs = app.Preferences();
  EXPECT_EQ(prefs.RulerUnits(), 2);  // inches
  Document inches = app.Documents().Add(2, 1, 100);
  EXPECT_EQ(std::pair(inches.Width(), inches.Height()), std::pair(200.0, 100.0));
  prefs.SetNumberOfHistoryStates(500);
  prefs.SetInterpolation(ps::NearestNeighbor);
  EXPECT_EQ(std::pair(prefs.NumberOfHistoryStates(), prefs.Interpolation()), std::pair(500, 2));
  EXPECT_THROW(prefs.SetNumberOfHistoryStates(0), AutomationError);
  EXPECT_THROW(prefs.SetRulerUnits(8), AutomationError);
  prefs.SetRulerUnits(1);
  prefs.SetNumberOfHistoryStates(3);
  Document doc = app.Documents().Add(10, 10, 72, "d", ps::NewRGB, ps::FillTransparent);
  HistoryState first = doc.ActiveHistoryState();
  for (int i = 0; i < 4; ++i) doc.ArtLayers().Add();
  EXPECT_THROW(doc.SetActiveHistoryState(first), AutomationError) << "a dropped state fails on use";
  EXPECT_THROW(first.Name(), AutomationError);
}

TEST_F(ObjectModelTest, TheHistogramCountsLevelsOfTheMergedImageAndAPasteKeepsThePosition) {
  Document doc = app.Documents().Add(10, 10);  // white
  doc.Selection().Select(RectangleRegion(0, 0, 5, 2));
  doc.Selection().Fill(SolidColor(10, 20, 30));
  doc.Selection().Deselect();
  const std::vector<int> red = doc.Channels()("Red").Histogram();
  EXPECT_EQ(std::pair(red[10], red[255]), std::pair(10, 90));
  EXPECT_EQ(doc.Channels().Item(3).Histogram()[30], 10);
  EXPECT_THROW(doc.Channels()("Alpha"), AutomationError);

  // Copy and paste across documents keep the position.
  Document src = app.Documents().Add(100, 100, 72, "src");
  src.Selection().Select(RectangleRegion(20, 30, 40, 35));
  src.Selection().Copy();
  Document dest = transparent("dest");
  Layer pasted = dest.Paste();
  EXPECT_EQ(pasted.Name(), "Layer 2");
  EXPECT_EQ(pasted.Bounds(), (std::array<double, 4>{20, 30, 40, 35}));
  EXPECT_EQ(dest.ActiveLayer(), pasted);
}

TEST_F(ObjectModelTest, RefusedCallsRaiseTheirOwnErrors) {
  for (const auto& add :
       Calls{[&] { app.Documents().Add(-5, 10); }, [&] { app.Documents().Add(0, 10); },
             [&] { app.Documents().Add(100000, 100000); }, [&] { app.Documents().Add(10, 10, 72, "x", 3); },
             [&] { app.Documents().Add(10, 10, 0); }}) {
    const AutomationError e = errorOf(add);
    EXPECT_FALSE(e.Description().empty());
    EXPECT_NE(e.Number(), 0);
  }
  EXPECT_EQ(app.Documents().Count(), 0);
  Document doc = app.Documents().Add(10, 10, 72, "Build Menu");
  expectAll(
      ErrorCode::NoSuchElement,
      {[&] { app.Documents().Item("Final Menu"); }, [&] { app.Documents().Item(2); }, [&] { app.Documents().Item(0); },
       [&] { doc.ArtLayers().Item("Color Table"); }, [&] { doc.LayerSets().Item(1); }},
      "there is no such element");
  EXPECT_EQ(errorOf([&] { doc.ArtLayers().Item("Color Table"); }).Source(), "ArtLayers.Item");
  expectAll(ErrorCode::InvalidArgument,
            {[&] { doc.ArtLayers()(1).SetName(""); }, [&] { doc.Selection().Select({{0, 0}, {1, 1}, {0, 1}}, 7); }});
  EXPECT_THROW(app.CharIDToTypeID("Nm "), AutomationError);

  // Selecting, filling, pasting and the active layer need their document to be the active one;
  // naming, adding and reading work on any document.
  app.Documents().Add(10, 10, 72, "second");
  expectAll(ErrorCode::NotActiveDocument,
            {[&] { doc.Selection().SelectAll(); }, [&] { doc.Selection().Fill(SolidColor()); }, [&] { doc.Paste(); },
             [&] { doc.SetActiveLayer(doc.ArtLayers()(1)); }});
  doc.ArtLayers().Add().SetName("fine");
  EXPECT_EQ(doc.ArtLayers()(1).Name(), "fine");

  // A pending workspace edit makes every call busy.
  app.engine().pendingEdit = true;
  expectAll(ErrorCode::Busy, {[&] { doc.Name(); }, [&] { app.Documents().Count(); }});
  app.engine().pendingEdit = false;
  EXPECT_EQ(doc.Name(), "Build Menu");
}

// With nobody to ask, closing a changed document is refused with the engine's own error, which is
// not the user's cancel, and the document stays. Closed, its handles fail on use like those to
// removed layers and those never set.
TEST_F(ObjectModelTest, ClosingAChangedDocumentWithNobodyToAskIsRefusedAndHandlesToClosedOnesFail) {
  Document doc = transparent("Build Menu", 40);
  Layer layer = doc.ArtLayers().Add();
  layer.Remove();
  Layer kept = fixtures::named(doc.ArtLayers().Add(), "Work");
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
  expectAll(ErrorCode::NoSuchElement, {[&] { layer.Name(); }, [&] { doc.Name(); }, [&] { kept.SetVisible(true); },
                                       [&] { app.ActiveDocument(); }});

  Document unset, open = app.Documents().Add(10, 10);
  Layer none;
  expectAll(ErrorCode::ObjectNotSet,
            {[&] { unset.Name(); }, [&] { none.SetVisible(true); }, [&] { unset.ArtLayers().Add(); },
             [&] { open.ArtLayers()(1).MoveToEnd(unset); }, [&] { app.SetActiveDocument(unset); }});
}

// The fault hook fails the k-th call once, or calls to a member n times; the call log keeps every
// member called, in order.
TEST_F(ObjectModelTest, TheFaultHookAndTheCallLog) {
  Document doc = app.Documents().Add(10, 10);
  app.faults().failCall(3, ErrorCode::CallRejected);
  doc.Name();
  doc.Name();
  const AutomationError e = errorOf([&] { doc.Name(); });
  EXPECT_TRUE(e.Is(ErrorCode::CallRejected));
  EXPECT_EQ(e.Source(), "Document.Name");
  EXPECT_EQ(doc.Name(), "Untitled-1");
  EXPECT_TRUE(app.faults().idle());

  app.faults().failMember("ArtLayers.Item", ErrorCode::NotActiveDocument, 2);
  EXPECT_NO_THROW(doc.Name());
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(errorOf([&] { doc.ArtLayers()(1); }).Is(ErrorCode::NotActiveDocument));
  EXPECT_NO_THROW(doc.ArtLayers()(1));
  app.faults().failMember("Visible=", ErrorCode::NoSuchElement);  // bare member of any object
  const AutomationError bare = errorOf([&] { doc.ArtLayers()(1).SetVisible(false); });
  EXPECT_EQ(bare.Description(), "there is no such element");
  EXPECT_EQ(bare.Source(), "ArtLayer.Visible=");

  app.calls().setEnabled(true);
  app.Documents().Add(10, 10, 72, "d").ArtLayers()("Background").SetVisible(true);
  EXPECT_EQ(app.calls().calls(), (std::vector<std::string>{"Application.Documents", "Documents.Add", "Document.ArtLayers",
                                                           "ArtLayers.Item", "ArtLayer.Visible="}));
}
