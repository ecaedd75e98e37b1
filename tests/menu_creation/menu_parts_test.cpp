// The template check, title-safe guides and random backgrounds, which never lose the user's layers.

#include <gtest/gtest.h>

#include "menu_creation_fixture.h"

using namespace menu_test;

namespace {

class MenuPartsTest : public MenuCreationTest {
 protected:
  void SetUp() override { loadedForm(); }

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
};

}  // namespace

TEST_F(MenuPartsTest, ACompleteTemplatePassesAndEveryItemEndsVisible) {
  writeTemplate(sourceFile("t.psd"));
  form().TemplateDocument = engine.Open(sourceFile("t.psd"));
  form().TemplateDocument.LayerSets()("Next Tmpl").SetVisible(false);
  form().TemplateDocument.LayerSets()("Btn Tmpl").Layers()("Thumb Mask").SetVisible(false);
  std::int16_t missing = -1;
  EXPECT_EQ(form().CheckButtonTemplateLayers(missing), "");
  EXPECT_EQ(missing, 0);
  EXPECT_TRUE(form().TemplateDocument.LayerSets()("Next Tmpl").Visible());
  EXPECT_TRUE(form().TemplateDocument.LayerSets()("Btn Tmpl").Layers()("Thumb Mask").Visible());
}

TEST_F(MenuPartsTest, AnEmptyDocumentMissesAllSeventeenItemsInOrder) {
  form().TemplateDocument = addDocument("empty");
  std::int16_t missing = 0;
  const std::string report = form().CheckButtonTemplateLayers(missing);
  EXPECT_EQ(missing, 17);
  EXPECT_TRUE(report.starts_with("1: Layer \"Title Area\" Layer is Missing.\r\n"
                                  "2: Layer \"Color Table\" Layer is Missing.\r\n"
                                  "3: \"Prev Tmpl\" Layer Set  is Missing.\r\n"
                                  "4: \"Prev Tmpl\" Layer Set or \"Button Image\" Layer is Missing.\r\n"))
      << report;
  EXPECT_NE(report.find("17: \"Btn Tmpl\" Layer Set or \"Button Area\" Layer is Missing.\r\n"), std::string::npos);
}

TEST_F(MenuPartsTest, ATitleAreaInsideASetAndAMissingSetAreReportedAsSuch) {
  writeTemplate(sourceFile("t.psd"), {"Title Area", "Next Tmpl"});
  form().TemplateDocument = engine.Open(sourceFile("t.psd"));
  engine.SetActiveDocument(form().TemplateDocument);
  form().TemplateDocument.LayerSets()("Btn Tmpl").ArtLayers().Add().SetName("Title Area");
  std::int16_t missing = 0;
  EXPECT_EQ(form().CheckButtonTemplateLayers(missing),
            "1: Layer \"Title Area\" Layer is Missing.\r\n"
            "2: \"Next Tmpl\" Layer Set  is Missing.\r\n"
            "3: \"Next Tmpl\" Layer Set or \"Button Image\" Layer is Missing.\r\n"
            "4: \"Next Tmpl\" Layer Set or \"Hilite Mask\" Layer is Missing.\r\n"
            "5: \"Next Tmpl\" Layer Set or \"Button Area\" Layer is Missing.\r\n");
  EXPECT_EQ(missing, 5);
}

// The guides go on a layer of their own, never on the user's "Layer 1" nor on the active layer.
TEST_F(MenuPartsTest, TitleSafeOutlinesAreRedAtTenAndYellowAtFivePercent) {
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
    EXPECT_EQ(pixel(menu, guides, x, y), red) << x << "," << y;
  for (auto [x, y] : std::vector<std::pair<int, int>>{{36, 27}, {683, 27}, {683, 512}, {36, 512}, {360, 512}})
    EXPECT_EQ(pixel(menu, guides, x, y), yellow) << x << "," << y;
  for (auto [x, y] : std::vector<std::pair<int, int>>{{73, 55}, {360, 270}, {71, 54}, {35, 27}, {0, 0}})
    EXPECT_EQ(alpha(menu, guides, x, y), 0) << x << "," << y;
  EXPECT_EQ(engine.ForegroundColor().RGB().Green(), 255) << "the foreground colour ends yellow";
  EXPECT_EQ(form().WorkSolidColor.RGB().Blue(), 0);
}

TEST_F(MenuPartsTest, TitleSafeGuidesGoOnANewLayerWhenThereIsNoLayerOne) {
  photoshop::Document menu = engine.Documents().Add(720, 540, 72, "Build Menu", 2, 3);
  menu.ArtLayers()(1).SetName("Background");
  form().BuildMenuDocument = menu;
  view.menuWidth = "abc";  // not a number: the outlines are skipped, nothing is reported
  form().SetTitleSafeGuides();
  EXPECT_EQ(menu.Layers().Count(), 2);
  EXPECT_EQ(menu.ArtLayers()(1).Name(), "Title Safe Zones");
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(MenuPartsTest, RandomBackgroundsReplaceTheBackgroundAndDifferFromRunToRun) {
  addWorkingDocuments();
  photoshop::Document menu = form().BuildMenuDocument;
  menu.ArtLayers()(1).SetName("Background");
  addLayer(menu, "Title Safe Zones");
  engine.SetActiveDocument(menu);
  form().MakeBackground();
  ASSERT_TRUE(view.messages.empty()) << view.messages[0].text;
  EXPECT_EQ(menu.Layers().Count(), 2) << "the old background, the set and its work layers are gone";
  EXPECT_EQ(menu.Layers()(2).Name(), "Background") << "at the bottom";
  photoshop::Layer first = menu.ArtLayers()("Background");
  EXPECT_EQ(menu.ActiveLayer(), first);
  const engine::Raster firstPixels = menu.engineDocument()->content().layer(first.Id()).pixels;
  EXPECT_EQ(firstPixels.bounds(), (engine::Rect{0, 0, 64, 48}));

  form().MakeBackground();
  const engine::Raster secondPixels = menu.engineDocument()->content().layer(menu.ArtLayers()("Background").Id()).pixels;
  EXPECT_FALSE(firstPixels.samePixels(secondPixels));
}

TEST_F(MenuPartsTest, ABackgroundThatIsTheOnlyLayerIsReplacedNotKeptBesideTheNewOne) {
  addWorkingDocuments();
  photoshop::Document menu = form().BuildMenuDocument;
  ASSERT_EQ(menu.Layers().Count(), 1);
  menu.ArtLayers()(1).SetName("Background");
  engine.SetActiveDocument(menu);
  form().MakeBackground();
  ASSERT_TRUE(view.messages.empty()) << view.messages[0].text;
  ASSERT_EQ(menu.Layers().Count(), 1);
  EXPECT_EQ(menu.Layers()(1).Name(), "Background");
  EXPECT_EQ(menu.ActiveLayer(), menu.Layers()(1));
  EXPECT_FALSE(menu.Layers()(1).IsLayerSet());
}

TEST_F(MenuPartsTest, RandomBackgroundFailuresAreShownAsErrorAndDescription) {
  form().MakeBackground();  // no "Build Menu" open
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Error: there is no such element");

  addWorkingDocuments();
  engine.faults().failMember("LayerSet.Merge", engine::ErrorCode::NoSuchElement);
  view.messages.clear();
  form().MakeBackground();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Error: there is no such element");
}

TEST_F(MenuPartsTest, TheButtonDrawsOnTheBuildMenuWhicheverDocumentIsActiveAndGivesItBack) {
  addWorkingDocuments();
  form().BuildMenuDocument.ArtLayers()(1).SetName("Title Safe Zones");
  engine.SetActiveDocument(form().TemplateDocument);
  form().AnotherRandomBkgnd_Click();
  EXPECT_TRUE(view.messages.empty());
  EXPECT_NO_THROW(form().BuildMenuDocument.ArtLayers()("Background"));
  EXPECT_EQ(engine.ActiveDocument(), form().TemplateDocument);
  EXPECT_EQ(view.pointers, (std::vector<app::MousePointer>{app::MousePointer::Hourglass, app::MousePointer::Default}));
}

TEST_F(MenuPartsTest, ANewBackgroundLeavesTheUsersLayerOneAlone) { newBackgroundBeside("Layer 1"); }

TEST_F(MenuPartsTest, ANewBackgroundLeavesTheUsersSetOneAlone) { newBackgroundBeside("Set 1"); }

TEST_F(MenuPartsTest, ANewBackgroundThatFailsKeepsTheOldOne) {
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
