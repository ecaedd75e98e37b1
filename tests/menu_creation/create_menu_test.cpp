// Create/Edit Menu through a scripted view and the real engine; it never loses the user's
// documents or layers, nor takes them over.

#include <gtest/gtest.h>

#include "menu_creation_fixture.h"

using namespace menu_test;
using app::MsgBoxResult;
using engine::SaveChangesAnswer;

namespace {

class CreateMenuTest : public MenuCreationTest {
 protected:
  void SetUp() override {
    writePicture(sourceFile("sunset.png"));
    writeTemplate(sourceFile("Blue.psd"));
    writeTemplate(sourceFile("NoThumbMask.psd"), {"Btn Tmpl/Thumb Mask"});
    writeDocumentWithoutBackground(sourceFile("sky.psd"));
    loadedForm();
  }

  // An open "Build Menu" with work in it, and the user's "No" to keeping it.
  photoshop::Document buildMenuTheUserDeclines() {
    photoshop::Document menu = addDocument("Build Menu");
    addLayer(menu, "Logo");
    view.answers.push_back(MsgBoxResult::No);
    choose(sourceFile("sunset.png"), sourceFile("Blue.psd"));
    return menu;
  }
};

}  // namespace

TEST_F(CreateMenuTest, NoDocumentsGivesTheThreeWorkingDocumentsInStateTwo) {
  choose(sourceFile("sunset.png"), sourceFile("Blue.psd"));
  form().CreateNewMenuDoc_Click();

  EXPECT_EQ(documentNames(), (std::vector<std::string>{"Build Menu", "Button Template", "Final Menu"}))
      << "the opened source files are closed again";
  ASSERT_EQ(view.chooserRequests.size(), 1u);
  EXPECT_FALSE(view.chooserRequests[0].BuildMenuDoc);
  EXPECT_FALSE(view.chooserRequests[0].ButtonTemplateDoc);
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
  EXPECT_EQ(pixel(menu, background, 10, 10), (engine::Rgb{20, 60, 140})) << "the chosen picture";
  EXPECT_NO_THROW(engine.Documents()("Button Template").ArtLayers()("Color Table"));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.pointers.back(), app::MousePointer::Default);
  EXPECT_EQ(view.progress, 0) << "the state's own display resets the bar";
  // History states 1 and 2 were recorded for the three documents: Undo goes back to state 1.
  form().Undo_Click();
  EXPECT_EQ(form().WorkflowState, app::CreateMenuDocs);
}

TEST_F(CreateMenuTest, ABackgroundWithoutItsLayerIsRejectedAndTheDialogComesBack) {
  choose(sourceFile("sky.psd"), sourceFile("Blue.psd"));
  choose(sourceFile("sunset.png"), sourceFile("Blue.psd"));
  form().CreateNewMenuDoc_Click();
  EXPECT_EQ(shown(), (std::vector<std::string>{
                         "Error: Background File Structure|Background Layer Missing in Background Document."}));
  EXPECT_EQ(view.chooserRequests.size(), 2u);
  EXPECT_FALSE(hasDocument("sky.psd")) << "the rejected file is closed";
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
}

TEST_F(CreateMenuTest, ATemplateMissingOneLayerGivesOneReportLineAndTheBuildMenuQuestion) {
  choose(sourceFile("sunset.png"), sourceFile("NoThumbMask.psd"));
  view.answers.push_back(MsgBoxResult::Yes);  // keep the Build Menu made on the first pass
  choose(sourceFile("ignored.png"), sourceFile("Blue.psd"));
  form().CreateNewMenuDoc_Click();
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].title, "Error: Button Template File Structure");
  EXPECT_EQ(view.messages[0].text, "1: \"Btn Tmpl\" Layer Set or \"Thumb Mask\" Layer is Missing.\r\n");
  EXPECT_EQ(view.messages[1].title, "Document Found");
  EXPECT_EQ(view.messages[1].text,
            "'Build Menu' is already opened in Photoshop, do you want to continue with this\r\n"
            "document? 'No' will close this document in Photoshop.");
  ASSERT_EQ(view.chooserRequests.size(), 2u);
  EXPECT_TRUE(view.chooserRequests[1].BuildMenuDoc);
  EXPECT_EQ(documentNames(), (std::vector<std::string>{"Build Menu", "Button Template", "Final Menu"}));
}

TEST_F(CreateMenuTest, AFinishedMenuIsOfferedAndEditedAsACopyInStateSix) {
  photoshop::Document done = addDocument("My Menu.psd");
  done.Info().SetKeyWords({"Build Menu Complete", "3", "TFFFTTT"});
  view.answers.push_back(MsgBoxResult::Yes);
  form().CreateNewMenuDoc_Click();
  ASSERT_FALSE(view.messages.empty());
  EXPECT_EQ(view.messages[0].title, "Edit Build Menu");
  EXPECT_EQ(view.messages[0].text, "Edit Existing Build Menu: 'My Menu.psd'?");
  EXPECT_FALSE(hasDocument("My Menu.psd")) << "closed without saving";
  EXPECT_TRUE(hasDocument("Build Menu Complete"));
  EXPECT_TRUE(hasDocument("Final Menu"));
  EXPECT_EQ(form().CompletedMenuName, "Build Menu Complete");
  EXPECT_EQ(form().WorkflowState, app::BuildFinalDocument);
  EXPECT_EQ(form().ButtonCount.Number(), 3);
  EXPECT_TRUE(form().ReplaceBackgroundWithButtonImage);
  EXPECT_FALSE(form().EnableNextPrevButtons);
  EXPECT_TRUE(view.chooserRequests.empty());
}

TEST_F(CreateMenuTest, NoToAFinishedMenuGoesOnToTheNewMenuPath) {
  photoshop::Document done = addDocument("Old.psd");
  done.Info().SetKeyWords({"Build Menu Complete"});
  view.answers.push_back(MsgBoxResult::No);
  form().CreateNewMenuDoc_Click();  // the chooser is cancelled
  EXPECT_EQ(view.chooserRequests.size(), 1u);
  EXPECT_TRUE(form().CompletedMenuName.empty());
  EXPECT_TRUE(hasDocument("Old.psd"));
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

TEST_F(CreateMenuTest, AFileThatCannotBeOpenedIsReportedAndNotReplacedByAnotherDocument) {
  std::ofstream(sourceFile("broken.png")) << "not a picture";
  addDocument("Some Other");  // must never be taken for the background
  choose(sourceFile("broken.png"), sourceFile("Blue.psd"));
  form().CreateNewMenuDoc_Click();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].title, "Error: Background File Structure");
  EXPECT_NE(view.messages[0].text.find("broken.png"), std::string::npos);
  EXPECT_FALSE(hasDocument("Build Menu"));
  EXPECT_EQ(view.chooserRequests.size(), 2u) << "the dialog comes back";
}

TEST_F(CreateMenuTest, CancelAtTheClosePromptEndsCreateMenuWithNothingFurtherChanged) {
  photoshop::Document menu = buildMenuTheUserDeclines();
  host.saveChangesAnswers = {SaveChangesAnswer::Cancel};
  form().CreateNewMenuDoc_Click();
  EXPECT_EQ(host.questions, std::vector<std::string>{"save changes: Build Menu"});
  EXPECT_EQ(documentNames(), std::vector<std::string>{"Build Menu"}) << "no second Build Menu";
  EXPECT_EQ(menu.Layers().Count(), 2);
  EXPECT_TRUE(view.chooserRequests.empty());
  EXPECT_EQ(view.messages.size(), 1u) << "the question only: the user's cancel needs no message";
  EXPECT_TRUE(view.pointers.empty() || view.pointers.back() == app::MousePointer::Default);
  EXPECT_EQ(form().WorkflowState, app::CreateMenuDocs);
}

TEST_F(CreateMenuTest, WithNoHostToAskCreateMenuNeverClosesADocumentUnsaved) {
  photoshop::Document menu = buildMenuTheUserDeclines();
  engine.engine().host = nullptr;
  form().CreateNewMenuDoc_Click();
  EXPECT_EQ(documentNames(), std::vector<std::string>{"Build Menu"});
  EXPECT_EQ(menu.Layers().Count(), 2) << "the work is still there";
  EXPECT_TRUE(view.chooserRequests.empty());
  ASSERT_EQ(view.messages.size(), 2u) << "the refusal is reported";
  EXPECT_NE(view.messages[1].text.find("no host"), std::string::npos) << view.messages[1].text;
  EXPECT_EQ(form().WorkflowState, app::CreateMenuDocs);
}

TEST_F(CreateMenuTest, ASourceFileAlreadyOpenIsCopiedAndStaysOpenAndUnchanged) {
  photoshop::Document picture = engine.Open(sourceFile("sunset.png"));
  addLayer(picture, "Notes");
  photoshop::Document tmpl = engine.Open(sourceFile("Blue.psd"));
  photoshop::Layer thumbMask = tmpl.LayerSets()("Btn Tmpl").Layers()("Thumb Mask");
  thumbMask.SetVisible(false);
  addLayer(tmpl, "Sketch");
  choose(sourceFile("sunset.png"), sourceFile("Blue.psd"));
  form().CreateNewMenuDoc_Click();

  EXPECT_TRUE(view.messages.empty()) << view.messages[0].text;
  EXPECT_TRUE(host.questions.empty()) << host.questions[0];
  EXPECT_EQ(documentNames(),
            (std::vector<std::string>{"sunset.png", "Blue.psd", "Build Menu", "Button Template", "Final Menu"}));
  EXPECT_EQ(layerNames(picture), (std::vector<std::string>{"Notes", "Background"}));
  EXPECT_FALSE(thumbMask.Visible()) << "the check looked at a copy";
  EXPECT_EQ(tmpl.ArtLayers()(1).Name(), "Sketch");
  EXPECT_TRUE(engine.Documents()("Button Template").LayerSets()("Btn Tmpl").Layers()("Thumb Mask").Visible());
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
}

namespace {

class BusyAnswer : public CreateMenuTest, public ::testing::WithParamInterface<MsgBoxResult> {};

}  // namespace

// Reading whether the background is locked fails as busy once: Retry completes the command,
// Cancel leaves it in the first state; either way the pointer comes back.
TEST_P(BusyAnswer, AfterTheFirstStateRetryCompletesAndCancelLeaves) {
  choose(sourceFile("sunset.png"), sourceFile("Blue.psd"));
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

namespace {

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

}  // namespace

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
  EXPECT_EQ(shown(), std::vector<std::string>{"Documents Found|'Build Menu' and 'Button Template' are already opened in "
                                              "Photoshop,\r\ndo you want to continue with these documents?"});
  EXPECT_TRUE(view.chooserRequests.empty());
  EXPECT_EQ(layerNames(menu), c.menuAfter);
  EXPECT_FALSE(menu.Layers()("Background").IsLayerSet());
  EXPECT_EQ(menu.ArtLayers()("Title Safe Zones").Visible(), c.guidesShown);
  EXPECT_EQ(layerNames(tmpl), c.templateAfter);
  EXPECT_EQ(engine.Documents()("Final Menu").Width(), 720);
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, KeptPair,
    ::testing::Values(
        OpenPair{"MissingAll", {}, false, false, {"Title Safe Zones", "Layer 1", "Background"}, {"Layer 1", "Color Table"},
                 true},
        OpenPair{"Complete", {"Background", "Title Safe Zones"}, true, true, {"Title Safe Zones", "Background"},
                 {"Color Table", "Layer 1"}, false},
        OpenPair{"GuidesOnly", {"Title Safe Zones"}, false, false, {"Title Safe Zones", "Background"},
                 {"Layer 1", "Color Table"}, true},
        OpenPair{"HiddenGuidesWithoutColourTable", {"Background", "Title Safe Zones"}, true, false,
                 {"Title Safe Zones", "Background"}, {"Layer 1", "Color Table"}, true}),
    [](const auto& row) { return std::string(row.param.name); });
