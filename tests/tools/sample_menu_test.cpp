// The sample templates judged by the program's own structure check, and their colour tables
// compared with the one the program makes.

#include <gtest/gtest.h>

#include "app/form_fixture.h"
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

TEST_F(SampleMenuTest, TheStructureCheckPassesCompleteTemplatesNamesTheMissingItemAndEachHasTheProgramsTable) {
  app::Form1& form = loadedForm();
  form.TemplateDocument = engine.Documents().Add(720, 540, 72, "Button Template", photoshop::ps::NewRGB,
                                                 photoshop::ps::FillTransparent);
  form.MakeColorTableLayer();
  const auto tableOf = [](const photoshop::Document& doc) {
    return doc.engineDocument()->content().layer(doc.ArtLayers()("Color Table").Id()).pixels;
  };
  const engine::Raster made = tableOf(form.TemplateDocument);
  ASSERT_FALSE(made.empty());
  for (const sample_data::TemplateDesign& design : sample_data::SampleTemplates()) {
    SCOPED_TRACE(design.fileName);
    form.TemplateDocument = engine.Open(sample(sample_data::kButtonTemplatesFolder, design.fileName));
    std::int16_t missing = -1;
    const std::string report = form.CheckButtonTemplateLayers(missing);
    const std::string& lacks = design.missingItem;
    EXPECT_EQ(report, lacks.empty() ? "" : "1: \"Btn Tmpl\" Layer Set or \"" + lacks + "\" Layer is Missing.\r\n");
    EXPECT_EQ(missing, lacks.empty() ? 0 : 1);
    EXPECT_TRUE(tableOf(form.TemplateDocument).samePixels(made));
    form.TemplateDocument.Close(photoshop::ps::DoNotSaveChanges);
  }
}
