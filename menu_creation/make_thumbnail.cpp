#include <filesystem>

#include "app/form1.h"
#include "photoshop/action_operations.h"

namespace app {

namespace {

// The document the application already holds for this file, if any. Opening such a file again
// only hands that document back, and the thumbnail must not flatten and close the user's work.
photoshop::Document OpenDocumentOfFile(const photoshop::Application& PhotoshopApp, const std::string& DocFileName) {
  std::error_code ec;
  const std::string canonical = std::filesystem::weakly_canonical(DocFileName, ec).string();
  const photoshop::Documents documents = PhotoshopApp.Documents();
  for (int i = 1; i <= documents.Count(); ++i) {
    const photoshop::Document doc = documents(i);
    try {
      if (doc.FullName() == canonical) return doc;
    } catch (const photoshop::AutomationError&) {
      // A document that was never saved has no file.
    }
  }
  return {};
}

}  // namespace

void Form1::MakeThumbnail(const std::string& DocFileName, const std::string& ThumbFileName) {
  photoshop::JPEGSaveOptions options;
  photoshop::Document thumbnail;
  if (const photoshop::Document open = OpenDocumentOfFile(PhotoshopApp, DocFileName); !open.IsNothing()) {
    PhotoshopApp.SetActiveDocument(open);
    DuplicateDoc(std::filesystem::path(ThumbFileName).filename().string());
    thumbnail = PhotoshopApp.ActiveDocument();
  } else {
    thumbnail = PhotoshopApp.Open(DocFileName);
  }
  // From here the document is ours: a failure must not leave it open in the application.
  try {
    PhotoshopApp.SetActiveDocument(thumbnail);
    thumbnail.Flatten();
    ScaleImageSize(220, 165);
    options.EmbedColorProfile = true;
    options.FormatOptions = photoshop::ps::StandardBaseline;
    options.Matte = photoshop::ps::NoMatte;
    options.Quality = 12;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(ThumbFileName).parent_path(), ec);
    thumbnail.SaveAs(ThumbFileName, options, true, photoshop::ps::Lowercase);
  } catch (...) {
    try {
      thumbnail.Close(photoshop::ps::DoNotSaveChanges);
    } catch (const photoshop::AutomationError&) {
      // The first failure is the one to report.
    }
    throw;
  }
  thumbnail.Close(photoshop::ps::DoNotSaveChanges);
}

}  // namespace app
