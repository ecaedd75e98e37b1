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

TEST_F(SampleDataTest, TemplatesAreDesignsOfTheirOwn) {
  photoshop::Application engine;
  std::set<std::array<double, 4>> buttonAreas;
  for (const sample_data::TemplateDesign& design : sample_data::SampleTemplates()) {
    photoshop::Document doc = engine.Open(path(sample_data::kButtonTemplatesFolder, design.fileName).toStdString());
    buttonAreas.insert(doc.LayerSets()(vocabulary::kBtnTmpl).ArtLayers()(vocabulary::kButtonArea).Bounds());
    doc.Close(photoshop::ps::DoNotSaveChanges);
  }
  EXPECT_EQ(buttonAreas.size(), sample_data::SampleTemplates().size());
}
