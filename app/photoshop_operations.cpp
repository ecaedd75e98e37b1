// The main window's procedures over the action, colour and selection operations: each passes
// the window's shared application and colour object on.

#include "app/form1.h"
#include "photoshop/action_operations.h"
#include "photoshop/color_operations.h"

namespace app {

void Form1::ScaleImageSize(double W, double H) { photoshop::ScaleImageSize(PhotoshopApp, W, H); }

void Form1::DuplicateDoc(const std::string& NewDocName) { photoshop::DuplicateDoc(PhotoshopApp, NewDocName); }

void Form1::DuplicateLayer(const std::string& DocDest) {
  photoshop::DuplicateLayer(PhotoshopApp, DocDest,
                            [this](const std::string& message) { view_.MsgBox(message, MsgBoxButtons::OKOnly, kProgramTitle); });
}

void Form1::SetLayerColorLabel(const std::string& colorCode) { photoshop::SetLayerColorLabel(PhotoshopApp, colorCode); }

void Form1::SetLayerContentColor(std::int32_t LColor) { photoshop::SetLayerContentColor(PhotoshopApp, LColor); }

void Form1::SaveAsPSD(const std::string& path) { photoshop::SaveAsPSD(PhotoshopApp, path); }

void Form1::DeleteLayerStyle() { photoshop::DeleteLayerStyle(PhotoshopApp); }

void Form1::SetPSForegroundColor(std::int32_t LColor) {
  photoshop::SetPSForegroundColor(PhotoshopApp, WorkSolidColor, LColor);
}

void Form1::SetPSBackgroundColor(std::int32_t LColor) {
  photoshop::SetPSBackgroundColor(PhotoshopApp, WorkSolidColor, LColor);
}

void Form1::SelectColorTableCells(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
                                  int selectionType) {
  photoshop::SelectColorTableCells(PhotoshopApp, left, top, right, bottom, selectionType);
}

}  // namespace app
