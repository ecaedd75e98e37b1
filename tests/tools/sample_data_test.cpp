// The program folder's sample data: pictures the chooser can show, names it can tell apart, and
// templates of designs of their own, judged by the program's own structure check, with the
// colour table the program makes.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QImageReader>
#include <set>

#include "app/form_fixture.h"
#include "support/vocabulary.h"
#include "tools/sample_data/sample_backgrounds.h"
#include "tools/sample_data/sample_data.h"
#include "tools/sample_data/sample_templates.h"

namespace {

class SampleDataTest : public app_test::FormTest {
 protected:
  SampleDataTest() { sample_data::WriteSampleData({programFolder()}); }

  QString path(const std::string& tree, const std::string& relative) const {
    return QString::fromStdString(programFolder() + "/" + tree + "/" + relative);
  }
};

}  // namespace

TEST_F(SampleDataTest, BackgroundsArePicturesOfTheirSizeInSeveralFoldersAndFormatsWithUniqueNames) {
  std::set<QByteArray> formats;
  std::set<QString> folders;
  for (const sample_data::SampleBackground& background : sample_data::SampleBackgrounds()) {
    const QString file = path(sample_data::kBackgroundsFolder, background.path);
    SCOPED_TRACE(file.toStdString());
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    formats.insert(reader.format());
    const QImage picture = reader.read();
    EXPECT_EQ(picture.size(), QSize(background.width, background.height));
    EXPECT_NE(picture.pixel(10, 10), picture.pixel(background.width / 2, background.height - 40)) << "a flat colour";
    folders.insert(QFileInfo(file).path());
  }
  EXPECT_EQ(formats, (std::set<QByteArray>{"bmp", "jpeg", "png"}));
  EXPECT_GE(folders.size(), 2u);
  for (const char* tree : {sample_data::kBackgroundsFolder, sample_data::kButtonTemplatesFolder}) {
    const QDir preview(path(tree, sample_data::kPreviewFolder));
    EXPECT_TRUE(preview.exists() && preview.isEmpty()) << tree;
    std::set<QString> keys;  // a name without its extension names the thumbnail
    for (QDirIterator it(path(tree, ""), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
      const QString name = QFileInfo(it.next()).fileName();
      EXPECT_TRUE(keys.insert(name.left(name.size() - 4)).second) << name.toStdString() << " shares a thumbnail";
    }
  }
}

TEST_F(SampleDataTest, TemplatesAreDesignsOfTheirOwnThatTheStructureCheckPassesButTheOneMissingAnItem) {
  app::Form1& form = loadedForm();
  form.TemplateDocument = addDocument("Button Template", 720, 540);
  form.MakeColorTableLayer();
  const auto tableOf = [](const photoshop::Document& doc) {
    return doc.engineDocument()->content().layer(doc.ArtLayers()("Color Table").Id()).pixels;
  };
  const engine::Raster made = tableOf(form.TemplateDocument);
  ASSERT_FALSE(made.empty());
  std::set<std::array<double, 4>> buttonAreas;
  for (const sample_data::TemplateDesign& design : sample_data::SampleTemplates()) {
    SCOPED_TRACE(design.fileName);
    form.TemplateDocument = engine.Open(path(sample_data::kButtonTemplatesFolder, design.fileName).toStdString());
    std::int16_t missing = -1;
    const std::string report = form.CheckButtonTemplateLayers(missing);
    const std::string& lacks = design.missingItem;
    EXPECT_EQ(report, lacks.empty() ? "" : "1: \"Btn Tmpl\" Layer Set or \"" + lacks + "\" Layer is Missing.\r\n");
    EXPECT_EQ(missing, lacks.empty() ? 0 : 1);
    EXPECT_TRUE(tableOf(form.TemplateDocument).samePixels(made));
    buttonAreas.insert(
        form.TemplateDocument.LayerSets()(vocabulary::kBtnTmpl).ArtLayers()(vocabulary::kButtonArea).Bounds());
    form.TemplateDocument.Close(photoshop::ps::DoNotSaveChanges);
  }
  EXPECT_EQ(buttonAreas.size(), sample_data::SampleTemplates().size());
}
