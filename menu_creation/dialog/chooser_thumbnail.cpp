#include "menu_creation/dialog/chooser_thumbnail.h"

#include <QFileInfo>
#include <QImageReader>
#include <exception>

#include "app/form1.h"
#include "photoshop/automation_error.h"

namespace menu_creation {

namespace {

enum class LoadResult { Loaded, NotFound, Unreadable };

LoadResult LoadPicture(const QString& path, QImage& picture) {
  if (!QFileInfo(path).isFile()) return LoadResult::NotFound;
  QImageReader reader(path);
  // Thumbnails are JPEG whatever their name says ("Blue.PSD" keeps its name).
  reader.setDecideFormatFromContent(true);
  picture = reader.read();
  return picture.isNull() ? LoadResult::Unreadable : LoadResult::Loaded;
}

}  // namespace

ChooserThumbnail LoadOrMakeThumbnail(const QString& thumbPath, const QString& docPath, app::Form1* owner) {
  ChooserThumbnail thumbnail;
  if (LoadPicture(thumbPath, thumbnail.picture) != LoadResult::NotFound || !owner) return thumbnail;
  try {
    owner->MakeThumbnail(docPath.toStdString(), thumbPath.toStdString());
  } catch (const photoshop::AutomationError& e) {
    thumbnail.makeError = e.Description();
    return thumbnail;
  } catch (const std::exception& e) {
    thumbnail.makeError = e.what();
    return thumbnail;
  }
  // Made once only: a thumbnail saved under another name than the one looked for stays missing.
  LoadPicture(thumbPath, thumbnail.picture);
  return thumbnail;
}

}  // namespace menu_creation
