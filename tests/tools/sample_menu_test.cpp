// The sample data as the program uses it: its templates judged by the program's own structure
// check, and a menu made from a sample background and template.

#include <gtest/gtest.h>

#include "app/form_fixture.h"
#include "support/vocabulary.h"
#include "tools/sample_data/sample_data.h"
#include "tools/sample_data/sample_templates.h"

namespace {

class SampleMenuTest : public app_test::FormTest {
 protected:
  SampleMenuTest() { sample_data::WriteSampleData({programFolder()}); }

  std::string sample(const std::string& tree, const std::string& relative) const {
    return programFolder() + "/" + tree + "/" + relative;
  }
};

}  // namespace

TEST_F(SampleMenuTest, TheProgramsStructureCheckPassesTheCompleteTemplatesAndNamesTheMissingItem) {
  app::Form1& form = loadedForm();
  for (const sample_data::TemplateDesign& design : sample_data::SampleTemplates()) {
    form.TemplateDocument = engine.Open(sample(sample_data::kButtonTemplatesFolder, design.fileName));
    std::int16_t missing = -1;
    const std::string report = form.CheckButtonTemplateLayers(missing);
    if (design.missingItem.empty()) {
      EXPECT_EQ(report, "") << design.fileName;
      EXPECT_EQ(missing, 0);
    } else {
      EXPECT_EQ(report, "1: \"Btn Tmpl\" Layer Set or \"" + design.missingItem + "\" Layer is Missing.\r\n");
      EXPECT_EQ(missing, 1);
    }
    form.TemplateDocument.Close(photoshop::ps::DoNotSaveChanges);
  }
}

TEST_F(SampleMenuTest, ASampleBackgroundAndTemplateMakeTheWorkingDocuments) {
  app::Form1& form = loadedForm();
  app::ChooserResult chosen;
  chosen.DialogCanceled = false;
  chosen.BackgroundFile = sample(sample_data::kBackgroundsFolder, "Skies/Blue Sky.jpg");
  chosen.ButtonTemplateFile = sample(sample_data::kButtonTemplatesFolder, sample_data::SampleTemplates()[0].fileName);
  view.chooserAnswers.push_back(chosen);

  form.CreateNewMenuDoc_Click();

  EXPECT_TRUE(view.messages.empty()) << view.messages.front().text;
  EXPECT_EQ(form.WorkflowState, app::EditButtonTemplate);
  photoshop::Document menu = engine.Documents()(vocabulary::kBuildMenu);
  EXPECT_EQ(menu.Width(), 720);
  EXPECT_NO_THROW(menu.ArtLayers()(vocabulary::kBackground));
  photoshop::Document buttons = engine.Documents()(vocabulary::kButtonTemplate);
  EXPECT_NO_THROW(buttons.LayerSets()(vocabulary::kBtnTmpl).ArtLayers()(vocabulary::kThumbMask));
}
