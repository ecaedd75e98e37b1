#include "tools/sample_data/sample_data.h"

#include <QImage>
#include <QSaveFile>
#include <QTemporaryDir>
#include <stdexcept>

#include "tools/sample_data/sample_backgrounds.h"
#include "tools/sample_data/sample_templates.h"

namespace sample_data {

namespace {

namespace fs = std::filesystem;
namespace ps = photoshop::ps;

// Our own JPEGs are written at this quality (0 to 12).
constexpr int kJpegQuality = 10;

// The file formats write JPEG and PNG; a BMP is the PNG converted, replaced in one step.
void SaveBmp(photoshop::Document& doc, const fs::path& target) {
  QTemporaryDir scratch;
  if (!scratch.isValid()) throw std::runtime_error("no temporary folder for " + target.string());
  const QString png = scratch.filePath(QStringLiteral("picture.png"));
  doc.SaveAs(png.toStdString(), photoshop::PNGSaveOptions{}, true);
  const QImage picture(png);
  QSaveFile file(QString::fromStdString(target.string()));
  if (picture.isNull() || !file.open(QIODevice::WriteOnly) || !picture.save(&file, "BMP") || !file.commit())
    throw std::runtime_error("cannot write " + target.string());
}

void SavePicture(photoshop::Document& doc, PictureFormat format, const fs::path& target) {
  switch (format) {
    case PictureFormat::Jpeg: {
      photoshop::JPEGSaveOptions options;
      options.Quality = kJpegQuality;
      doc.SaveAs(target.string(), options, true, ps::Lowercase);
      break;
    }
    case PictureFormat::Png: doc.SaveAs(target.string(), photoshop::PNGSaveOptions{}, true, ps::Lowercase); break;
    case PictureFormat::Bmp: SaveBmp(doc, target); break;
  }
}

// A thumbnail made from an earlier version of the file would show the old picture.
void RemoveThumbnail(const fs::path& treeFolder, const fs::path& file) {
  std::error_code ec;
  fs::remove(treeFolder / kPreviewFolder / file.filename().replace_extension(".jpg"), ec);
}

// Writes one document into the tree of every program folder.
template <class Save>
void WriteEverywhere(const std::vector<fs::path>& programFolders, const char* tree, const std::string& relative,
                     Save save) {
  for (const fs::path& folder : programFolders) {
    const fs::path target = folder / tree / relative;
    fs::create_directories(target.parent_path());
    fs::create_directories(folder / tree / kPreviewFolder);
    save(target);
    RemoveThumbnail(folder / tree, target);
  }
}

}  // namespace

std::vector<std::string> WriteSampleData(const std::vector<fs::path>& programFolders) {
  photoshop::Application app;
  app.Preferences().SetRulerUnits(ps::Pixels);
  // No undo is needed, and every drawing step would otherwise keep a copy of its layer.
  app.Preferences().SetNumberOfHistoryStates(1);
  // The same clouds on every build.
  app.engine().nextSeed = [seed = std::uint32_t{20240601}]() mutable { return seed++; };

  std::vector<std::string> written;
  for (const SampleBackground& background : SampleBackgrounds()) {
    photoshop::Document doc = background.draw(app);
    WriteEverywhere(programFolders, kBackgroundsFolder, background.path,
                    [&](const fs::path& target) { SavePicture(doc, background.format, target); });
    doc.Close(ps::DoNotSaveChanges);
    written.push_back((fs::path(kBackgroundsFolder) / background.path).string());
  }
  for (const TemplateDesign& design : SampleTemplates()) {
    photoshop::Document doc = BuildTemplate(app, design);
    WriteEverywhere(programFolders, kButtonTemplatesFolder, design.fileName, [&](const fs::path& target) {
      doc.SaveAs(target.string(), photoshop::PhotoshopSaveOptions{}, true, ps::Lowercase);
    });
    doc.Close(ps::DoNotSaveChanges);
    written.push_back((fs::path(kButtonTemplatesFolder) / design.fileName).string());
  }
  return written;
}

}  // namespace sample_data
