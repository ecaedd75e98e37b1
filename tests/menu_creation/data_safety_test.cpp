// Create/Edit Menu, the random background and the guides never lose the user's documents or
// layers, nor take them over.

#include <gtest/gtest.h>

#include "menu_creation_fixture.h"

using namespace menu_test;
using app::MsgBoxResult;
using engine::SaveChangesAnswer;

namespace {

class DataSafety : public MenuCreationTest {
 protected:
  void SetUp() override {
    writePicture(sourceFile("sunset.png"));
    writeTemplate(sourceFile("Blue.psd"));
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

  // An open pair that the user keeps; the template lacks its colour table.
  photoshop::Document pairWithoutColorTable() {
    photoshop::Document menu = addDocument("Build Menu");
    addDocument("Button Template");
    view.answers.push_back(MsgBoxResult::Yes);
    return menu;
  }

  // A new random background on a Build Menu that holds a layer or set of the user's named as the
  // engine names new ones.
  void newBackgroundBeside(const std::string& usersName) {
    addWorkingDocuments();
    photoshop::Document menu = form().BuildMenuDocument;
    menu.ArtLayers()(1).SetName("Background");
    const photoshop::Layer mine = usersName.starts_with("Set") ? addSet(menu, usersName) : addLayer(menu, usersName);
    form().AnotherRandomBkgnd_Click();
    EXPECT_TRUE(view.messages.empty()) << view.messages[0].text;
    EXPECT_EQ(layerNames(menu), (std::vector<std::string>{usersName, "Background"}));
    EXPECT_EQ(menu.Layers()(1), mine);
    EXPECT_FALSE(menu.Layers()(2).IsLayerSet());
  }

  std::vector<std::string> layerNames(const photoshop::Document& doc) {
    std::vector<std::string> names;
    for (int i = 1; i <= doc.Layers().Count(); ++i) names.push_back(doc.Layers()(i).Name());
    return names;
  }
};

}  // namespace

TEST_F(DataSafety, CancelAtTheClosePromptEndsCreateMenuWithNothingFurtherChanged) {
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

TEST_F(DataSafety, WithNoHostToAskCreateMenuNeverClosesADocumentUnsaved) {
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

TEST_F(DataSafety, ASourceFileAlreadyOpenIsCopiedAndStaysOpenAndUnchanged) {
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

TEST_F(DataSafety, ABackgroundIsMadeOnTheBuildMenuWhenTheColourTableLeftTheTemplateActive) {
  photoshop::Document menu = pairWithoutColorTable();
  menu.ArtLayers()(1).SetName("Title Safe Zones");
  form().CreateNewMenuDoc_Click();
  EXPECT_EQ(shown(), std::vector<std::string>{"Documents Found|'Build Menu' and 'Button Template' are already opened in "
                                              "Photoshop,\r\ndo you want to continue with these documents?"});
  EXPECT_EQ(layerNames(menu), (std::vector<std::string>{"Title Safe Zones", "Background"}));
  EXPECT_FALSE(menu.Layers()("Background").IsLayerSet());
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
}

// Every run that supplies a missing layer shows the guides, new or not.
TEST_F(DataSafety, TheGuidesAreShownInEveryRunThatSuppliesAMissingLayer) {
  photoshop::Document menu = pairWithoutColorTable();
  menu.ArtLayers()(1).SetName("Background");
  addLayer(menu, "Title Safe Zones").SetVisible(false);
  form().CreateNewMenuDoc_Click();
  EXPECT_TRUE(menu.ArtLayers()("Title Safe Zones").Visible());
  EXPECT_EQ(form().WorkflowState, app::EditButtonTemplate);
}

TEST_F(DataSafety, ANewBackgroundLeavesTheUsersLayerOneAlone) { newBackgroundBeside("Layer 1"); }

TEST_F(DataSafety, ANewBackgroundLeavesTheUsersSetOneAlone) { newBackgroundBeside("Set 1"); }

TEST_F(DataSafety, ANewBackgroundThatFailsKeepsTheOldOne) {
  addWorkingDocuments();
  photoshop::Document menu = form().BuildMenuDocument;
  photoshop::Layer old = menu.ArtLayers()(1);
  old.SetName("Background");
  addLayer(menu, "Title Safe Zones");
  engine.faults().failMember("ArtLayer.ApplyDifferenceClouds", engine::ErrorCode::NotAvailable);
  form().AnotherRandomBkgnd_Click();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text.rfind("Error: ", 0), 0u);
  EXPECT_EQ(layerNames(menu), (std::vector<std::string>{"Title Safe Zones", "Background"}))
      << "nothing half-built is left beside it";
  EXPECT_EQ(menu.ArtLayers()("Background"), old);
}
