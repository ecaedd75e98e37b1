// Create/Edit Menu through a scripted view and the real engine.

#include <gtest/gtest.h>

#include "menu_creation_fixture.h"

using namespace menu_test;
using app::MsgBoxResult;
using photoshop::ps::Pixels;

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

TEST_F(CreateMenuTest, AnOpenPairKeptWithYesGetsItsMissingLayersWithoutTheDialog) {
  photoshop::Document menu = addDocument("Build Menu");
  photoshop::Document tmpl = addDocument("Button Template");
  view.answers.push_back(MsgBoxResult::Yes);
  form().CreateNewMenuDoc_Click();
  EXPECT_TRUE(view.chooserRequests.empty());
  EXPECT_EQ(view.messages[0].title, "Documents Found");
  EXPECT_NO_THROW(menu.ArtLayers()("Title Safe Zones"));
  EXPECT_NO_THROW(menu.ArtLayers()("Background"));
  EXPECT_NO_THROW(tmpl.ArtLayers()("Color Table"));
  EXPECT_EQ(engine.Documents()("Final Menu").Width(), 720);
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
  EXPECT_EQ(menu.engineDocument()->content().layers.back().name, "Background") << "the background is at the bottom";
}

TEST_F(CreateMenuTest, ACompleteOpenPairIsLeftAsItIs) {
  photoshop::Document menu = addDocument("Build Menu");
  menu.ArtLayers()(1).SetName("Background");
  photoshop::Layer guides = addLayer(menu, "Title Safe Zones");
  guides.SetVisible(false);
  photoshop::Document tmpl = addDocument("Button Template");
  addLayer(tmpl, "Color Table");
  const auto layersBefore = tmpl.Layers().Count();
  view.answers.push_back(MsgBoxResult::Yes);
  form().CreateNewMenuDoc_Click();
  EXPECT_FALSE(guides.Visible()) << "the guides keep the visibility they had";
  EXPECT_EQ(tmpl.Layers().Count(), layersBefore);
  EXPECT_EQ(menu.Layers().Count(), 2);
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
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
