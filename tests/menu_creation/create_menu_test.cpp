// Create/Edit Menu, the template check, title-safe guides and random backgrounds through a
// scripted view and the real engine, with source files beside the core made by an engine of their
// own: templates with every item or some left out, and backgrounds. Nothing here loses the user's
// documents or layers, nor takes them over.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <set>

#include "form_fixture.h"
#include "photoshop/photoshop_fixtures.h"
#include "support/vocabulary.h"

using app::MsgBoxResult;
using engine::SaveChangesAnswer;

namespace {

// A template at `path` with every item but those in `leaveOut` ("Btn Tmpl/Thumb Mask" for a
// member, "Color Table" for a top-level layer or a set's name).
void writeTemplate(const std::string& path, const std::set<std::string>& leaveOut = {}) {
  using namespace vocabulary;
  photoshop::Application app = fixtures::pixelApplication();
  photoshop::Document doc =
      app.Documents().Add(720, 540, 72, "template", photoshop::ps::NewRGB, photoshop::ps::FillTransparent);
  int y = 60;
  const auto add = [&](photoshop::ArtLayer layer, const char* name, int r, int g, int b) {
    layer.SetName(name);
    doc.SetActiveLayer(layer);
    doc.Selection().Select(photoshop::RectangleRegion(300, y, 420, y + 30));
    doc.Selection().Fill(photoshop::SolidColor(r, g, b));
    y += 10;
  };
  const char* const members[] = {kButtonArea, kHiliteMask, kButtonImage, kThumbArea, kThumbMask, kTextArea};
  for (const std::string set : {kPrevTmpl, kNextTmpl, kBtnTmpl}) {
    if (leaveOut.count(set)) continue;
    photoshop::LayerSet s = doc.LayerSets().Add();
    s.SetName(set);
    for (int i = 0; i < (set == kBtnTmpl ? 6 : 3); ++i)
      if (!leaveOut.count(set + "/" + members[i])) add(s.ArtLayers().Add(), members[i], 40, 80, 160);
  }
  for (const char* top : {kColorTable, kTitleArea})
    if (!leaveOut.count(top)) add(doc.ArtLayers().Add(), top, 200, 200, 200);
  doc.ArtLayers().Item(kLayer1).Remove();
  doc.SaveAs(path, photoshop::PhotoshopSaveOptions{}, true);
}

// A flat picture: it opens as one locked layer "Background".
void writePicture(const std::string& path) {
  photoshop::Application app = fixtures::pixelApplication();
  photoshop::Document doc = app.Documents().Add(720, 540);
  doc.Selection().Select(photoshop::RectangleRegion(0, 0, 720, 270));
  doc.Selection().Fill(photoshop::SolidColor(20, 60, 140));
  doc.SaveAs(path, photoshop::PNGSaveOptions{}, true);
}

// The names in a collection of documents or layers, in its order.
template <class Collection>
std::vector<std::string> names(const Collection& all) {
  std::vector<std::string> out;
  for (int i = 1; i <= all.Count(); ++i) out.push_back(all(i).Name());
  return out;
}

class MenuCreationTest : public app_test::FormTest {
 protected:
  std::string sourceFile(const std::string& name) const { return sources_.path().toStdString() + "/" + name; }

  // The chooser answers OK with these source files on its next showing.
  void choose(const std::string& background, const std::string& buttonTemplate) {
    view.chooserAnswers.push_back({false, sourceFile(background), sourceFile(buttonTemplate)});
  }

  std::vector<std::string> documentNames() const { return names(engine.Documents()); }

  // Messages shown, with their titles: "title|text".
  std::vector<std::string> shown() const {
    std::vector<std::string> out;
    for (const auto& m : view.messages) out.push_back(m.title + "|" + m.text);
    return out;
  }

 private:
  QTemporaryDir sources_;
};

class CreateMenuTest : public MenuCreationTest {
 protected:
  void SetUp() override {
    writePicture(sourceFile("sunset.png"));
    writeTemplate(sourceFile("Blue.psd"));
    writeTemplate(sourceFile("NoThumbMask.psd"), {"Btn Tmpl/Thumb Mask"});
    loadedForm();
  }

  // An open "Build Menu" with work in it, and the user's "No" to keeping it.
  photoshop::Document buildMenuTheUserDeclines() {
    photoshop::Document menu = addDocument("Build Menu");
    addLayer(menu, "Logo");
    view.answers.push_back(MsgBoxResult::No);
    choose("sunset.png", "Blue.psd");
    return menu;
  }
};

TEST_F(CreateMenuTest, NoDocumentsGivesTheThreeWorkingDocumentsInStateTwo) {
  choose("sunset.png", "Blue.psd");
  form().CreateNewMenuDoc_Click();

  EXPECT_EQ(documentNames(), (std::vector<std::string>{"Build Menu", "Button Template", "Final Menu"}))
      << "the opened source files are closed again";
  ASSERT_EQ(view.chooserRequests.size(), 1u);
  EXPECT_FALSE(view.chooserRequests[0].BuildMenuDoc || view.chooserRequests[0].ButtonTemplateDoc);
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
  EXPECT_EQ(view.panels[1], "Edit the Button Template as needed.");
  EXPECT_EQ(engine.ActiveDocument().Name(), "Button Template");

  photoshop::Document final = engine.Documents()("Final Menu");
  EXPECT_EQ(final.Width(), 720);
  EXPECT_EQ(final.Height(), 540);
  EXPECT_EQ(final.Layers().Count(), 1);
  EXPECT_EQ(final.engineDocument()->content().layers[0].pixels.bounds(), engine::Rect{}) << "empty";

  photoshop::Document menu = engine.Documents()("Build Menu");
  photoshop::Layer background = menu.ArtLayers()("Background");
  EXPECT_FALSE(background.IsBackgroundLayer()) << "the label unlocked it and it kept its name";
  EXPECT_EQ(menu.engineDocument()->content().layer(background.Id()).colorLabel, engine::ColorLabel::Blue);
  EXPECT_TRUE(menu.ArtLayers()("Title Safe Zones").Visible());
  EXPECT_EQ(fixtures::pixel(menu, background, 10, 10), (engine::Rgb{20, 60, 140})) << "the chosen picture";
  EXPECT_NO_THROW(engine.Documents()("Button Template").ArtLayers()("Color Table"));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.pointers.back(), app::MousePointer::Default);
  EXPECT_EQ(view.progress, 0) << "the state's own display resets the bar";
  // History states 1 and 2 were recorded for the three documents: Undo goes back to state 1.
  form().Undo_Click();
  EXPECT_EQ(form().WorkflowState, app::CreateMenuDocs);
}

// A template is a layered document without a layer "Background"; a file that cannot be opened is
// reported and never replaced by another open document. Each time the dialog comes back.
TEST_F(CreateMenuTest, ABackgroundWithoutItsLayerOrThatCannotBeOpenedIsRejectedAndTheDialogComesBack) {
  std::ofstream(sourceFile("broken.png")) << "not a picture";
  addDocument("Some Other");  // must never be taken for the background
  choose("Blue.psd", "Blue.psd");
  choose("broken.png", "Blue.psd");
  choose("sunset.png", "Blue.psd");
  form().CreateNewMenuDoc_Click();
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(shown()[0], "Error: Background File Structure|Background Layer Missing in Background Document.");
  EXPECT_EQ(view.messages[1].title, "Error: Background File Structure");
  EXPECT_NE(view.messages[1].text.find("broken.png"), std::string::npos);
  EXPECT_EQ(view.chooserRequests.size(), 3u);
  EXPECT_EQ(documentNames(), (std::vector<std::string>{"Some Other", "Build Menu", "Button Template", "Final Menu"}))
      << "the rejected files are closed";
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
}

TEST_F(CreateMenuTest, ATemplateMissingOneLayerGivesOneReportLineAndTheBuildMenuQuestion) {
  choose("sunset.png", "NoThumbMask.psd");
  view.answers.push_back(MsgBoxResult::Yes);  // keep the Build Menu made on the first pass
  choose("ignored.png", "Blue.psd");
  form().CreateNewMenuDoc_Click();
  EXPECT_EQ(shown(), (std::vector<std::string>{
                         "Error: Button Template File Structure|1: \"Btn Tmpl\" Layer Set or \"Thumb Mask\" Layer is "
                         "Missing.\r\n",
                         "Document Found|'Build Menu' is already opened in Photoshop, do you want to continue with "
                         "this\r\ndocument? 'No' will close this document in Photoshop."}));
  ASSERT_EQ(view.chooserRequests.size(), 2u);
  EXPECT_TRUE(view.chooserRequests[1].BuildMenuDoc);
  EXPECT_EQ(documentNames(), (std::vector<std::string>{"Build Menu", "Button Template", "Final Menu"}));
}

// No to a finished menu goes on to the new menu path; Yes edits it as a copy in state six.
TEST_F(CreateMenuTest, AFinishedMenuIsOfferedAndEditedAsACopyInStateSix) {
  photoshop::Document done = addDocument("My Menu.psd");
  done.Info().SetKeyWords({"Build Menu Complete", "3", "TFFFTTT"});
  view.answers = {MsgBoxResult::No, MsgBoxResult::Yes};
  form().CreateNewMenuDoc_Click();  // the chooser is cancelled
  EXPECT_EQ(view.chooserRequests.size(), 1u);
  EXPECT_TRUE(form().CompletedMenuName.empty());
  EXPECT_EQ(documentNames(), std::vector<std::string>{"My Menu.psd"});

  form().CreateNewMenuDoc_Click();
  EXPECT_EQ(shown(), std::vector<std::string>(2, "Edit Build Menu|Edit Existing Build Menu: 'My Menu.psd'?"));
  EXPECT_EQ(documentNames(), (std::vector<std::string>{"Build Menu Complete", "Final Menu"}))
      << "\"My Menu.psd\" closed without saving";
  EXPECT_EQ(form().CompletedMenuName, "Build Menu Complete");
  EXPECT_EQ(form().WorkflowState, app::BuildFinalDocument);
  EXPECT_EQ(form().ButtonCount.Number(), 3);
  EXPECT_TRUE(form().ReplaceBackgroundWithButtonImage);
  EXPECT_FALSE(form().EnableNextPrevButtons);
  EXPECT_EQ(view.chooserRequests.size(), 1u) << "not asked again";
}

TEST_F(CreateMenuTest, CancelAfterClosingInPhaseBLeavesThemClosed) {
  addDocument("Build Menu");
  addDocument("Button Template");
  view.answers.push_back(MsgBoxResult::No);
  form().CreateNewMenuDoc_Click();
  EXPECT_EQ(view.chooserRequests.size(), 1u);
  EXPECT_EQ(view.chooserUnloads, 1);
  EXPECT_TRUE(documentNames().empty());
  EXPECT_EQ(form().WorkflowState, app::CreateMenuDocs);
}

// Cancel at the close prompt ends Create Menu with nothing further changed; with no host to ask
// it never closes a document unsaved, and says so.
TEST_F(CreateMenuTest, CancelAtTheClosePromptOrNoHostToAskEndsCreateMenuWithTheWorkKept) {
  photoshop::Document menu = buildMenuTheUserDeclines();
  host.saveChangesAnswers = {SaveChangesAnswer::Cancel};
  form().CreateNewMenuDoc_Click();
  EXPECT_EQ(host.questions, std::vector<std::string>{"save changes: Build Menu"});
  EXPECT_EQ(view.messages.size(), 1u) << "the question only: the user's cancel needs no message";
  EXPECT_TRUE(view.pointers.empty() || view.pointers.back() == app::MousePointer::Default);

  engine.engine().host = nullptr;
  view.answers.push_back(MsgBoxResult::No);
  form().CreateNewMenuDoc_Click();
  ASSERT_EQ(view.messages.size(), 3u) << "the refusal is reported";
  EXPECT_NE(view.messages[2].text.find("no host"), std::string::npos) << view.messages[2].text;
  EXPECT_EQ(documentNames(), std::vector<std::string>{"Build Menu"}) << "no second Build Menu";
  EXPECT_EQ(menu.Layers().Count(), 2) << "the work is still there";
  EXPECT_TRUE(view.chooserRequests.empty());
  EXPECT_EQ(form().WorkflowState, app::CreateMenuDocs);
}

TEST_F(CreateMenuTest, ASourceFileAlreadyOpenIsCopiedAndStaysOpenAndUnchanged) {
  photoshop::Document picture = engine.Open(sourceFile("sunset.png"));
  addLayer(picture, "Notes");
  photoshop::Document tmpl = engine.Open(sourceFile("Blue.psd"));
  photoshop::Layer thumbMask = tmpl.LayerSets()("Btn Tmpl").Layers()("Thumb Mask");
  thumbMask.SetVisible(false);
  addLayer(tmpl, "Sketch");
  choose("sunset.png", "Blue.psd");
  form().CreateNewMenuDoc_Click();

  EXPECT_TRUE(view.messages.empty()) << view.messages[0].text;
  EXPECT_TRUE(host.questions.empty()) << host.questions[0];
  EXPECT_EQ(documentNames(),
            (std::vector<std::string>{"sunset.png", "Blue.psd", "Build Menu", "Button Template", "Final Menu"}));
  EXPECT_EQ(names(picture.Layers()), (std::vector<std::string>{"Notes", "Background"}));
  EXPECT_FALSE(thumbMask.Visible()) << "the check looked at a copy";
  EXPECT_EQ(tmpl.ArtLayers()(1).Name(), "Sketch");
  EXPECT_TRUE(engine.Documents()("Button Template").LayerSets()("Btn Tmpl").Layers()("Thumb Mask").Visible());
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
}

class BusyAnswer : public CreateMenuTest, public ::testing::WithParamInterface<MsgBoxResult> {};

// Reading whether the background is locked fails as busy once: Retry completes the command,
// Cancel leaves it in the first state; either way the pointer comes back.
TEST_P(BusyAnswer, AfterTheFirstStateRetryCompletesAndCancelLeaves) {
  choose("sunset.png", "Blue.psd");
  engine.faults().failMember("ArtLayer.IsBackgroundLayer", engine::ErrorCode::Busy, 1);
  view.answers.push_back(GetParam());
  form().CreateNewMenuDoc_Click();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].buttons, app::MsgBoxButtons::RetryCancel);
  EXPECT_EQ(view.pointers.back(), app::MousePointer::Default);
  EXPECT_EQ(form().WorkflowState, GetParam() == MsgBoxResult::Retry ? app::EditButtonTemplate : app::CreateMenuDocs);
}

INSTANTIATE_TEST_SUITE_P(Busy, BusyAnswer, ::testing::Values(MsgBoxResult::Retry, MsgBoxResult::Cancel),
                         [](const auto& row) { return row.param == MsgBoxResult::Retry ? "Retry" : "Cancel"; });

// An open pair that the user keeps: "Build Menu" with these layers (bottom first, the first on
// the document's own layer) and "Button Template" with or without its colour table.
struct OpenPair {
  const char* name;
  std::vector<std::string> menuLayers;
  bool hiddenGuides;  // a "Title Safe Zones" among them is hidden
  bool colorTable;
  std::vector<std::string> menuAfter, templateAfter;  // top first
  bool guidesShown;
};

void PrintTo(const OpenPair& c, std::ostream* os) { *os << c.name; }

class KeptPair : public CreateMenuTest, public ::testing::WithParamInterface<OpenPair> {};

// Every run that supplies a missing layer shows the guides, new or not; a complete pair is left as
// it is. The background is made on the Build Menu even when the colour table left the template
// active.
TEST_P(KeptPair, GetsItsMissingLayersWithoutTheDialog) {
  const OpenPair& c = GetParam();
  photoshop::Document menu = addDocument("Build Menu");
  if (!c.menuLayers.empty()) menu.ArtLayers()(1).SetName(c.menuLayers[0]);
  for (std::size_t i = 1; i < c.menuLayers.size(); ++i) addLayer(menu, c.menuLayers[i]);
  if (c.hiddenGuides) menu.ArtLayers()("Title Safe Zones").SetVisible(false);
  photoshop::Document tmpl = addDocument("Button Template");
  if (c.colorTable) addLayer(tmpl, "Color Table");
  view.answers.push_back(MsgBoxResult::Yes);
  form().CreateNewMenuDoc_Click();
  EXPECT_EQ(shown(), std::vector<std::string>{"Documents Found|'Build Menu' and 'Button Template' are already opened "
                                              "in Photoshop,\r\ndo you want to continue with these documents?"});
  EXPECT_TRUE(view.chooserRequests.empty());
  EXPECT_EQ(names(menu.Layers()), c.menuAfter);
  EXPECT_FALSE(menu.Layers()("Background").IsLayerSet());
  EXPECT_EQ(menu.ArtLayers()("Title Safe Zones").Visible(), c.guidesShown);
  EXPECT_EQ(names(tmpl.Layers()), c.templateAfter);
  EXPECT_EQ(engine.Documents()("Final Menu").Width(), 720);
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, KeptPair,
    ::testing::Values(
        OpenPair{"MissingAll", {}, false, false, {"Title Safe Zones", "Layer 1", "Background"},
                 {"Layer 1", "Color Table"}, true},
        OpenPair{"Complete", {"Background", "Title Safe Zones"}, true, true, {"Title Safe Zones", "Background"},
                 {"Color Table", "Layer 1"}, false},
        OpenPair{"GuidesOnly", {"Title Safe Zones"}, false, false, {"Title Safe Zones", "Background"},
                 {"Layer 1", "Color Table"}, true},
        OpenPair{"HiddenGuidesWithoutColourTable", {"Background", "Title Safe Zones"}, true, false,
                 {"Title Safe Zones", "Background"}, {"Layer 1", "Color Table"}, true}),
    [](const auto& row) { return std::string(row.param.name); });

class MenuPartsTest : public MenuCreationTest {
 protected:
  void SetUp() override { loadedForm(); }

  // The working documents, the Build Menu's own layer named "Background" and active.
  photoshop::Document buildMenu() {
    addWorkingDocuments();
    photoshop::Document menu = form().BuildMenuDocument;
    menu.ArtLayers()(1).SetName("Background");
    engine.SetActiveDocument(menu);
    return menu;
  }

  // A new random background on a Build Menu that holds a layer or set of the user's named as the
  // engine names new ones; the button draws on the Build Menu whichever document is active, and gives
  // that one back.
  void newBackgroundBeside(const std::string& usersName) {
    photoshop::Document menu = buildMenu();
    const photoshop::Layer old = menu.ArtLayers()("Background");
    const photoshop::Layer mine = usersName.starts_with("Set") ? addSet(menu, usersName) : addLayer(menu, usersName);
    engine.SetActiveDocument(form().TemplateDocument);
    form().AnotherRandomBkgnd_Click();
    EXPECT_TRUE(view.messages.empty()) << view.messages[0].text;
    EXPECT_EQ(names(menu.Layers()), (std::vector<std::string>{usersName, "Background"}));
    EXPECT_EQ(menu.Layers()(1), mine);
    EXPECT_NE(menu.Layers()(2), old) << "a new background on the Build Menu";
    EXPECT_FALSE(menu.Layers()(2).IsLayerSet());
    EXPECT_EQ(engine.ActiveDocument(), form().TemplateDocument);
    EXPECT_EQ(view.pointers,
              (std::vector<app::MousePointer>{app::MousePointer::Hourglass, app::MousePointer::Default}));
  }
};

// A complete template passes and ends with every item visible; an empty document misses all
// seventeen items in order; a Title Area inside a set, and a missing set, are reported as such.
TEST_F(MenuPartsTest, TheTemplateCheckListsTheMissingItemsInOrderAndShowsTheOthers) {
  const auto check = [this](const photoshop::Document& tmpl, int missing) {
    form().TemplateDocument = tmpl;
    std::int16_t count = -1;
    const std::string report = form().CheckButtonTemplateLayers(count);
    EXPECT_EQ(count, missing);
    return report;
  };
  writeTemplate(sourceFile("t.psd"));
  photoshop::Document complete = engine.Open(sourceFile("t.psd"));
  complete.LayerSets()("Next Tmpl").SetVisible(false);
  complete.LayerSets()("Btn Tmpl").Layers()("Thumb Mask").SetVisible(false);
  EXPECT_EQ(check(complete, 0), "");
  EXPECT_TRUE(complete.LayerSets()("Next Tmpl").Visible());
  EXPECT_TRUE(complete.LayerSets()("Btn Tmpl").Layers()("Thumb Mask").Visible());

  const std::string report = check(addDocument("empty"), 17);
  EXPECT_TRUE(report.starts_with("1: Layer \"Title Area\" Layer is Missing.\r\n"
                                  "2: Layer \"Color Table\" Layer is Missing.\r\n"
                                  "3: \"Prev Tmpl\" Layer Set  is Missing.\r\n"
                                  "4: \"Prev Tmpl\" Layer Set or \"Button Image\" Layer is Missing.\r\n"))
      << report;
  EXPECT_NE(report.find("17: \"Btn Tmpl\" Layer Set or \"Button Area\" Layer is Missing.\r\n"), std::string::npos);

  writeTemplate(sourceFile("partial.psd"), {"Title Area", "Next Tmpl"});
  photoshop::Document partial = engine.Open(sourceFile("partial.psd"));
  partial.LayerSets()("Btn Tmpl").ArtLayers().Add().SetName("Title Area");
  EXPECT_EQ(check(partial, 5),
            "1: Layer \"Title Area\" Layer is Missing.\r\n"
            "2: \"Next Tmpl\" Layer Set  is Missing.\r\n"
            "3: \"Next Tmpl\" Layer Set or \"Button Image\" Layer is Missing.\r\n"
            "4: \"Next Tmpl\" Layer Set or \"Hilite Mask\" Layer is Missing.\r\n"
            "5: \"Next Tmpl\" Layer Set or \"Button Area\" Layer is Missing.\r\n");
}

// The guides go on a layer of their own, never on the user's "Layer 1" nor on the active layer.
TEST_F(MenuPartsTest, TitleSafeOutlinesAreRedAtTenAndYellowAtFivePercentOnALayerOfTheirOwn) {
  photoshop::Document menu = engine.Documents().Add(720, 540, 72, "Build Menu", 2, 3);
  photoshop::Layer logo = addLayer(menu, "Logo");
  form().BuildMenuDocument = menu;
  form().SetTitleSafeGuides();
  photoshop::Layer guides = menu.ArtLayers()("Title Safe Zones");
  EXPECT_EQ(menu.Layers().Count(), 3);
  EXPECT_EQ(menu.ArtLayers()("Layer 1").Bounds(), (std::array<double, 4>{0, 0, 0, 0}));
  EXPECT_EQ(menu.engineDocument()->content().layer(logo.Id()).pixels.bounds(), engine::Rect{}) << "not stroked";
  const engine::Rgb red{255, 0, 0}, yellow{255, 255, 0};
  for (auto [x, y] : std::vector<std::pair<int, int>>{{72, 54}, {647, 54}, {647, 485}, {72, 485}, {360, 54}, {72, 270}})
    EXPECT_EQ(fixtures::pixel(menu, guides, x, y), red) << x << "," << y;
  for (auto [x, y] : std::vector<std::pair<int, int>>{{36, 27}, {683, 27}, {683, 512}, {36, 512}, {360, 512}})
    EXPECT_EQ(fixtures::pixel(menu, guides, x, y), yellow) << x << "," << y;
  const engine::Raster& drawn = menu.engineDocument()->content().layer(guides.Id()).pixels;
  for (auto [x, y] : std::vector<std::pair<int, int>>{{73, 55}, {360, 270}, {71, 54}, {35, 27}, {0, 0}})
    EXPECT_EQ(drawn.alphaAt(x, y), 0) << x << "," << y;
  EXPECT_EQ(engine.ForegroundColor().RGB().Green(), 255) << "the foreground colour ends yellow";
  EXPECT_EQ(form().WorkSolidColor.RGB().Blue(), 0);

  // Without a "Layer 1" they go on a new layer.
  photoshop::Document plain = engine.Documents().Add(720, 540, 72, "Build Menu", 2, 3);
  plain.ArtLayers()(1).SetName("Background");
  form().BuildMenuDocument = plain;
  view.menuWidth = "abc";  // not a number: the outlines are skipped, nothing is reported
  form().SetTitleSafeGuides();
  EXPECT_EQ(names(plain.Layers()), (std::vector<std::string>{"Title Safe Zones", "Background"}));
  EXPECT_TRUE(view.messages.empty());
}

// A background that is the only layer is replaced, not kept beside the new one; with guides above
// it the old background, the set and its work layers go too.
TEST_F(MenuPartsTest, RandomBackgroundsReplaceTheBackgroundAndDifferFromRunToRun) {
  photoshop::Document menu = buildMenu();
  form().MakeBackground();
  ASSERT_TRUE(view.messages.empty()) << view.messages[0].text;
  ASSERT_EQ(menu.Layers().Count(), 1);
  photoshop::Layer first = menu.Layers()(1);
  EXPECT_EQ(first.Name(), "Background");
  EXPECT_EQ(menu.ActiveLayer(), first);
  EXPECT_FALSE(first.IsLayerSet());
  const engine::Raster firstPixels = menu.engineDocument()->content().layer(first.Id()).pixels;
  EXPECT_EQ(firstPixels.bounds(), (engine::Rect{0, 0, 64, 48}));

  addLayer(menu, "Title Safe Zones");
  form().MakeBackground();
  ASSERT_TRUE(view.messages.empty()) << view.messages[0].text;
  EXPECT_EQ(menu.Layers().Count(), 2);
  EXPECT_EQ(menu.Layers()(2).Name(), "Background") << "at the bottom";
  EXPECT_EQ(menu.ActiveLayer(), menu.Layers()(2));
  const engine::Raster secondPixels = menu.engineDocument()->content().layer(menu.ArtLayers()("Background").Id()).pixels;
  EXPECT_FALSE(firstPixels.samePixels(secondPixels));
}

TEST_F(MenuPartsTest, ANewBackgroundLeavesTheUsersLayerOneAlone) { newBackgroundBeside("Layer 1"); }

TEST_F(MenuPartsTest, ANewBackgroundLeavesTheUsersSetOneAlone) { newBackgroundBeside("Set 1"); }

// Failures are shown as error and description: without a "Build Menu" open, and when a step fails,
// where a new background that fails keeps the old one.
TEST_F(MenuPartsTest, RandomBackgroundFailuresAreShownAndANewBackgroundThatFailsKeepsTheOldOne) {
  form().MakeBackground();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Error: there is no such element");

  photoshop::Document menu = buildMenu();
  const photoshop::Layer old = menu.ArtLayers()("Background");
  addLayer(menu, "Title Safe Zones");
  engine.faults().failMember("ArtLayer.ApplyDifferenceClouds", engine::ErrorCode::NotAvailable);
  form().AnotherRandomBkgnd_Click();
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[1].text.rfind("Error: ", 0), 0u);
  EXPECT_EQ(names(menu.Layers()), (std::vector<std::string>{"Title Safe Zones", "Background"}))
      << "nothing half-built is left beside it";
  EXPECT_EQ(menu.ArtLayers()("Background"), old);

  engine.faults().failMember("LayerSet.Merge", engine::ErrorCode::NoSuchElement);
  form().MakeBackground();
  ASSERT_EQ(view.messages.size(), 3u);
  EXPECT_EQ(view.messages[2].text, "Error: there is no such element");
}

}  // namespace
