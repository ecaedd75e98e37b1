// The main window's colour table procedures: building the "Color Table" layer a template lacks,
// turning presses in the colour table control into selections of cells, and the fill swatches.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "color_table/color_table_grid.h"
#include "support/vocabulary.h"
#include "photoshop/color_operations.h"

namespace app {

namespace {

using namespace vocabulary;

photoshop::Region cellRegion(std::int16_t cx, std::int16_t cy) {
  const double left = 70 + 20 * cx, top = 20 + 20 * cy;
  return photoshop::RectangleRegion(left, top, left + 20, top + 20);
}

}  // namespace

void Form1::MakeColorTableLayer() {
  IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(Held(TemplateDocument)); });
  std::string existing;
  IgnoreErrors([&] { existing = Held(TemplateDocument).ArtLayers().Item(kColorTable).Name(); });
  if (existing == kColorTable) return;  // an existing layer is never rebuilt

  // The layer just added is the one named, whatever default name it was given.
  IgnoreErrors([&] { PhotoshopApp.ActiveDocument().ArtLayers().Add().SetName(kColorTable); });
  const bool activated = IgnoreErrors([&] {
    const photoshop::Document doc = PhotoshopApp.ActiveDocument();
    doc.SetActiveLayer(doc.ArtLayers().Item(kColorTable));
  });
  if (!activated) return;

  IgnoreErrors([&] { WorkLayer = PhotoshopApp.ActiveDocument().ActiveLayer(); });
  IgnoreErrors([&] { SetLayerColorLabel("Rd  "); });
  IgnoreErrors([&] { WorkLayer.MoveToEnd(PhotoshopApp.ActiveDocument()); });

  const auto selection = [&] { return PhotoshopApp.ActiveDocument().Selection(); };
  IgnoreErrors([&] { selection().SelectAll(); });
  IgnoreErrors([&] { SetPSForegroundColor(color_table::kWhite); });
  IgnoreErrors([&] { selection().Fill(WorkSolidColor); });
  IgnoreErrors([&] { selection().Deselect(); });
  IgnoreErrors([&] {
    const photoshop::Document doc = PhotoshopApp.ActiveDocument();
    doc.SetActiveLayer(doc.ArtLayers().Item(kColorTable));
  });

  for (const color_table::CellGroup& group : color_table::kColorTableGroups) {
    for (int i = 0; i < group.rectCount; ++i) {
      const color_table::CellRect& r = group.rects[std::size_t(i)];
      IgnoreErrors([&] {
        SelectColorTableCells(r.left, r.top, r.right, r.bottom,
                              i == 0 ? photoshop::ps::ReplaceSelection : photoshop::ps::ExtendSelection);
      });
    }
    IgnoreErrors([&] { SetPSForegroundColor(group.color); });
    IgnoreErrors([&] { selection().Fill(WorkSolidColor); });
  }
  IgnoreErrors([&] { selection().Deselect(); });
}

void Form1::ColorTableCtrl1_MouseDown(std::int16_t, std::int16_t Shift, float, float, std::int16_t CX, std::int16_t CY,
                                      std::int16_t) {
  IgnoreErrors([&] { BuildMenuDocument = PhotoshopApp.Documents().Item(kBuildMenu); });
  IgnoreErrors([&] { TemplateDocument = PhotoshopApp.Documents().Item(kButtonTemplate); });
  const auto activateColorTable = [&] {
    return IgnoreErrors([&] {
      const photoshop::Document doc = PhotoshopApp.ActiveDocument();
      doc.SetActiveLayer(doc.ArtLayers().Item(kColorTable));
    });
  };
  if (!activateColorTable()) {
    IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(kButtonTemplate)); });
    if (!activateColorTable()) return;
  }
  IgnoreErrors([&] { PhotoshopApp.ActiveDocument().ActiveLayer().SetVisible(true); });
  // Shift alone adds the cell to the selection, as the control keeps its marks; anything else replaces.
  const int type = Shift == 1 ? photoshop::ps::ExtendSelection : photoshop::ps::ReplaceSelection;
  IgnoreErrors([&] { PhotoshopApp.ActiveDocument().Selection().Select(cellRegion(CX, CY), type, 0, false); });
}

void Form1::ColorTableCtrl1_MouseMove(std::int16_t, std::int16_t, float, float, std::int16_t CX, std::int16_t CY,
                                      std::int16_t) {
  IgnoreErrors([&] {
    PhotoshopApp.ActiveDocument().Selection().Select(cellRegion(CX, CY), photoshop::ps::ExtendSelection, 0, false);
  });
}

void Form1::ColorTableSel_Click() {
  view_.ClearColorTable();
  IgnoreErrors([&] { PhotoshopApp.ActiveDocument().Selection().Deselect(); });
}

namespace {
void fillSwatch(Form1& form, std::int32_t color) {
  try {
    form.SetPSForegroundColor(color);
    form.PhotoshopApp.ActiveDocument().Selection().Fill(form.WorkSolidColor);
  } catch (const photoshop::AutomationError&) {
    form.View().MsgBox("No Photoshop Main Menu Document Open.", MsgBoxButtons::OKOnly, kProgramTitle);
  }
}
}  // namespace

void Form1::FillBlack_Click() { fillSwatch(*this, photoshop::RGBValue(0, 0, 0)); }
void Form1::FillGray_Click() { fillSwatch(*this, photoshop::RGBValue(128, 128, 128)); }
void Form1::FillLtGray_Click() { fillSwatch(*this, photoshop::RGBValue(200, 200, 200)); }
void Form1::FillWhite_Click() { fillSwatch(*this, photoshop::RGBValue(255, 255, 255)); }

}  // namespace app
