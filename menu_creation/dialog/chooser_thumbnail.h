#pragma once
// The picture the chooser shows for a clicked file: its thumbnail from the Preview folder,
// made by the main window when it is missing. Widget-free, so the rules can be tested alone.

#include <QImage>
#include <QString>
#include <string>

namespace app {
class Form1;
}

namespace menu_creation {

struct ChooserThumbnail {
  QImage picture;         // null when there is none to show
  std::string makeError;  // why making the missing thumbnail failed; "" when it did not fail
};

// Loads thumbPath. A missing file is made once from docPath by owner's MakeThumbnail (when there
// is an owner) and loaded again; if it still cannot be loaded, there is no picture. A file that
// is there but no picture is not made again.
ChooserThumbnail LoadOrMakeThumbnail(const QString& thumbPath, const QString& docPath, app::Form1* owner);

}  // namespace menu_creation
