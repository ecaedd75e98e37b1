// The program folder's sample data: pictures the chooser can show, names it can tell apart, and
// templates that pass (or, the one meant to, fail) the structure check, as our engine and an
// independent reader see them.

#include "tools/sample_data/sample_data.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <array>
#include <map>
#include <set>

#include "color_table/color_table_grid.h"
#include "menu_creation/vocabulary.h"
#include "photoshop/object_model.h"
#include "tools/sample_data/sample_backgrounds.h"
#include "tools/sample_data/sample_templates.h"

namespace {

namespace vocab = vocabulary;

class SampleDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new QTemporaryDir;
    written_ = sample_data::WriteSampleData({folder_->path().toStdString()});
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }
  static QString path(const QString& relative) { return folder_->filePath(relative); }
  static QString path(const std::string& relative) { return path(QString::fromStdString(relative)); }

  // Files of a tree, relative to it, the Preview folder left out as the chooser leaves it out.
  static QStringList files(const char* tree) {
    QStringList found;
    const QDir top(path(QString::fromLatin1(tree)));
    for (QDirIterator it(top.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
      const QString relative = top.relativeFilePath(it.next());
      if (!relative.startsWith(QStringLiteral("Preview/"))) found << relative;
    }
    return found;
  }

  static QTemporaryDir* folder_;
  static std::vector<std::string> written_;
};

QTemporaryDir* SampleDataTest::folder_ = nullptr;
std::vector<std::string> SampleDataTest::written_;

// The seventeen template items, in the order the structure check visits them; a set's own
// entry has no layer name.
struct TemplateItem {
  const char* set;
  const char* layer;
};
constexpr std::array<TemplateItem, 17> kTemplateItems{{
    {nullptr, vocab::kTitleArea},
    {nullptr, vocab::kColorTable},
    {vocab::kPrevTmpl, nullptr},
    {vocab::kPrevTmpl, vocab::kButtonImage},
    {vocab::kPrevTmpl, vocab::kHiliteMask},
    {vocab::kPrevTmpl, vocab::kButtonArea},
    {vocab::kNextTmpl, nullptr},
    {vocab::kNextTmpl, vocab::kButtonImage},
    {vocab::kNextTmpl, vocab::kHiliteMask},
    {vocab::kNextTmpl, vocab::kButtonArea},
    {vocab::kBtnTmpl, nullptr},
    {vocab::kBtnTmpl, vocab::kTextArea},
    {vocab::kBtnTmpl, vocab::kThumbMask},
    {vocab::kBtnTmpl, vocab::kThumbArea},
    {vocab::kBtnTmpl, vocab::kButtonImage},
    {vocab::kBtnTmpl, vocab::kHiliteMask},
    {vocab::kBtnTmpl, vocab::kButtonArea},
}};

std::string itemName(const TemplateItem& item) {
  return !item.set ? item.layer : !item.layer ? item.set : std::string(item.set) + "/" + item.layer;
}

// The items a document lacks, found by name as the structure check finds them: top-level art
// layers, top-level sets, and art layers inside those sets. Items that are there must hold pixels.
std::vector<std::string> missingItems(const photoshop::Document& doc) {
  std::vector<std::string> missing;
  for (const TemplateItem& item : kTemplateItems) {
    try {
      photoshop::Layer found = !item.set     ? doc.ArtLayers()(item.layer)
                               : !item.layer ? doc.LayerSets()(item.set)
                                             : doc.LayerSets()(item.set).ArtLayers()(item.layer);
      if (item.layer) {
        const auto bounds = found.Bounds();
        EXPECT_LT(bounds[0], bounds[2]) << itemName(item) << " has no pixels";
      }
    } catch (const photoshop::AutomationError&) {
      missing.push_back(itemName(item));
    }
  }
  return missing;
}

// The layer tree topmost first, one line per layer: "set PATH" or "layer PATH".
void listTree(const photoshop::LayerCollection& layers, const std::string& prefix, QStringList& lines) {
  for (int i = 1; i <= layers.Count(); ++i) {
    const photoshop::Layer layer = layers(i);
    const std::string name = prefix + layer.Name();
    lines << QString::fromStdString((layer.IsLayerSet() ? "set " : "layer ") + name);
    if (layer.IsLayerSet()) listTree(layer.Layers(), name + "/", lines);
  }
}

}  // namespace

TEST_F(SampleDataTest, BackgroundsAreMenuSizedPicturesInSeveralFoldersAndFormats) {
  std::set<QByteArray> formats;
  std::set<QString> folders;
  for (const sample_data::SampleBackground& background : sample_data::SampleBackgrounds()) {
    const QString file = path(std::string(sample_data::kBackgroundsFolder) + "/" + background.path);
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    const QImage picture = reader.read();
    ASSERT_FALSE(picture.isNull()) << file.toStdString();
    EXPECT_EQ(picture.size(), QSize(720, 540));
    EXPECT_TRUE(file.endsWith("." + QByteArray(format).replace("jpeg", "jpg"))) << file.toStdString();
    EXPECT_NE(picture.pixel(10, 10), picture.pixel(360, 500)) << file.toStdString() << " is a flat colour";
    formats.insert(format);
    folders.insert(QFileInfo(file).path());
  }
  EXPECT_EQ(formats, (std::set<QByteArray>{"bmp", "jpeg", "png"}));
  EXPECT_GE(folders.size(), 2u);
  for (const char* tree : {sample_data::kBackgroundsFolder, sample_data::kButtonTemplatesFolder}) {
    const QDir preview(path(QString::fromLatin1(tree) + "/Preview"));
    EXPECT_TRUE(preview.exists()) << tree;
    EXPECT_TRUE(preview.isEmpty()) << tree;
  }
  EXPECT_EQ(written_.size(), sample_data::SampleBackgrounds().size() + sample_data::SampleTemplates().size());
}

TEST_F(SampleDataTest, NamesAreUniqueWithoutTheirExtensionWithinEachTree) {
  for (const char* tree : {sample_data::kBackgroundsFolder, sample_data::kButtonTemplatesFolder}) {
    std::map<QString, QString> byKey;
    for (const QString& file : files(tree)) {
      const QString name = QFileInfo(file).fileName();
      const QString key = name.left(name.size() - 4);
      EXPECT_TRUE(byKey.emplace(key, file).second)
          << file.toStdString() << " and " << byKey[key].toStdString() << " would share a thumbnail";
    }
  }
  EXPECT_EQ(files(sample_data::kButtonTemplatesFolder).size(), qsizetype(sample_data::SampleTemplates().size()));
}

TEST_F(SampleDataTest, CompleteTemplatesHoldEveryItemAndTheIncompleteOneLacksOnlyItsOwn) {
  photoshop::Application engine;
  engine.Preferences().SetRulerUnits(photoshop::ps::Pixels);
  int incomplete = 0;
  std::set<std::array<double, 4>> buttonAreas;
  for (const sample_data::TemplateDesign& design : sample_data::SampleTemplates()) {
    const QString file = path(std::string(sample_data::kButtonTemplatesFolder) + "/" + design.fileName);
    photoshop::Document doc = engine.Open(file.toStdString());
    EXPECT_EQ(doc.Width(), 720);
    EXPECT_EQ(doc.Height(), 540);
    std::vector<std::string> expected;
    if (!design.missingItem.empty()) {
      expected.push_back(std::string(vocab::kBtnTmpl) + "/" + design.missingItem);
      ++incomplete;
    }
    EXPECT_EQ(missingItems(doc), expected) << design.fileName;
    buttonAreas.insert(doc.LayerSets()(vocab::kBtnTmpl).ArtLayers()(vocab::kButtonArea).Bounds());
    doc.Close(photoshop::ps::DoNotSaveChanges);
  }
  EXPECT_EQ(incomplete, 1);
  EXPECT_GE(sample_data::SampleTemplates().size(), 3u);
  EXPECT_EQ(buttonAreas.size(), sample_data::SampleTemplates().size()) << "each template is a design of its own";
}

TEST_F(SampleDataTest, PsdToolsReadsATemplateWithTheSameTreeAndColorTable) {
  const sample_data::TemplateDesign& design = sample_data::SampleTemplates().front();
  const QString file = path(std::string(sample_data::kButtonTemplatesFolder) + "/" + design.fileName);
  QProcess python;
  python.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(QUILLARY_SOURCE_DIR "/tests/tools/template_tree.py"), file});
  if (!python.waitForStarted())
    GTEST_SKIP() << "/usr/bin/python3 is not installed; psd-tools cannot check the template";
  ASSERT_TRUE(python.waitForFinished(60000));
  const QString output = QString::fromUtf8(python.readAllStandardOutput());
  if (python.exitCode() == 77) GTEST_SKIP() << output.toStdString();
  ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  QStringList read = output.split('\n', Qt::SkipEmptyParts);

  photoshop::Application engine;
  photoshop::Document doc = engine.Open(file.toStdString());
  QStringList tree;
  listTree(doc.Layers(), "", tree);
  EXPECT_EQ(read.mid(0, tree.size()), tree);

  // The grid as the colour table's groups paint it over white.
  std::array<std::array<std::int32_t, 7>, 4> grid{};
  for (auto& column : grid) column.fill(color_table::kWhite);
  for (const color_table::CellGroup& group : color_table::kColorTableGroups)
    for (int i = 0; i < group.rectCount; ++i) {
      const color_table::CellRect& r = group.rects[std::size_t(i)];
      for (int c = r.left; c < r.right; ++c)
        for (int row = r.top; row < r.bottom; ++row) grid[std::size_t(c)][std::size_t(row)] = group.color;
    }
  QStringList cells;
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 7; ++row) {
      const photoshop::ColorComponents rgb = photoshop::SplitColorValue(grid[std::size_t(c)][std::size_t(row)]);
      cells << QStringLiteral("cell %1 %2 %3 %4 %5").arg(c).arg(row).arg(rgb.Red).arg(rgb.Green).arg(rgb.Blue);
    }
  cells << QStringLiteral("outside 255 255 255") << QStringLiteral("outside 255 255 255");
  EXPECT_EQ(read.mid(tree.size()), cells);
}
