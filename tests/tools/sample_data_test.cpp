// The program folder's sample data: pictures the chooser can show, names it can tell apart, and
// templates with a real colour table.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QImageReader>
#include <QTemporaryDir>
#include <set>

#include "support/vocabulary.h"
#include "photoshop/object_model.h"
#include "tools/sample_data/sample_backgrounds.h"
#include "tools/sample_data/sample_data.h"
#include "tools/sample_data/sample_templates.h"

namespace {

class SampleDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new QTemporaryDir;
    sample_data::WriteSampleData({folder_->path().toStdString()});
  }
  static void TearDownTestSuite() { delete folder_; }
  static QString path(const std::string& tree, const std::string& relative) {
    return folder_->filePath(QString::fromStdString(tree + "/" + relative));
  }

  static QTemporaryDir* folder_;
};

QTemporaryDir* SampleDataTest::folder_ = nullptr;

}  // namespace

TEST_F(SampleDataTest, BackgroundsAreMenuSizedPicturesInSeveralFoldersAndFormats) {
  std::set<QByteArray> formats;
  std::set<QString> folders;
  for (const sample_data::SampleBackground& background : sample_data::SampleBackgrounds()) {
    const QString file = path(sample_data::kBackgroundsFolder, background.path);
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    formats.insert(reader.format());
    const QImage picture = reader.read();
    EXPECT_EQ(picture.size(), QSize(720, 540)) << file.toStdString();
    EXPECT_NE(picture.pixel(10, 10), picture.pixel(360, 500)) << file.toStdString() << " is a flat colour";
    folders.insert(QFileInfo(file).path());
  }
  EXPECT_EQ(formats, (std::set<QByteArray>{"bmp", "jpeg", "png"}));
  EXPECT_GE(folders.size(), 2u);
  for (const char* tree : {sample_data::kBackgroundsFolder, sample_data::kButtonTemplatesFolder}) {
    const QDir preview(path(tree, sample_data::kPreviewFolder));
    EXPECT_TRUE(preview.exists() && preview.isEmpty()) << tree;
  }
}

TEST_F(SampleDataTest, NamesAreUniqueWithoutTheirExtensionWithinEachTree) {
  for (const char* tree : {sample_data::kBackgroundsFolder, sample_data::kButtonTemplatesFolder}) {
    std::set<QString> keys;
    for (QDirIterator it(path(tree, ""), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
      const QString name = QFileInfo(it.next()).fileName();
      EXPECT_TRUE(keys.insert(name.left(name.size() - 4)).second) << name.toStdString() << " shares a thumbnail";
    }
  }
}

TEST_F(SampleDataTest, TemplatesAreDesignsOfTheirOwnOverTheColorTable) {
  // The grid as the colour commands paint it, cell (column, row) at (80 + 20 column, 30 + 20 row).
  const engine::Rgb K{0, 0, 0}, W{255, 255, 255}, M{243, 0, 137}, Y{239, 253, 0}, R{218, 0, 18}, G{128, 128, 128},
      B{6, 62, 246}, L{200, 200, 200};
  const engine::Rgb grid[7][4] = {{K, W, M, Y}, {K, W, M, Y}, {K, K, K, K}, {K, R, W, W},
                                  {K, G, G, G}, {K, B, W, W}, {K, L, L, L}};
  photoshop::Application engine;
  std::set<std::array<double, 4>> buttonAreas;
  for (const sample_data::TemplateDesign& design : sample_data::SampleTemplates()) {
    photoshop::Document doc = engine.Open(path(sample_data::kButtonTemplatesFolder, design.fileName).toStdString());
    const photoshop::Layer table = doc.ArtLayers()(vocabulary::kColorTable);
    const engine::Raster& pixels = doc.engineDocument()->content().layer(table.Id()).pixels;
    const auto rgb = [&](int x, int y) {
      const std::uint8_t* p = pixels.pixel(x, y);
      return engine::Rgb{p[0], p[1], p[2]};
    };
    for (int row = 0; row < 7; ++row)
      for (int column = 0; column < 4; ++column)
        EXPECT_EQ(rgb(80 + 20 * column, 30 + 20 * row), grid[row][column]) << "cell " << column << ", " << row;
    EXPECT_EQ(rgb(0, 0), W);
    EXPECT_EQ(rgb(719, 539), W);
    buttonAreas.insert(doc.LayerSets()(vocabulary::kBtnTmpl).ArtLayers()(vocabulary::kButtonArea).Bounds());
    doc.Close(photoshop::ps::DoNotSaveChanges);
  }
  EXPECT_EQ(buttonAreas.size(), sample_data::SampleTemplates().size());
}
