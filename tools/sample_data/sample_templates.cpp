#include "tools/sample_data/sample_templates.h"

#include "color_table/color_table_grid.h"
#include "support/vocabulary.h"
#include "photoshop/color_operations.h"
#include "tools/sample_data/sample_backgrounds.h"

namespace sample_data {

namespace {

namespace ps = photoshop::ps;
using photoshop::RectangleRegion;
namespace vocab = vocabulary;

constexpr Rgb kWhite{255, 255, 255};

TemplateDesign BlueRounded() {
  constexpr double L = 170, T = 190, R = 470, B = 290;
  constexpr Rgb blue{36, 84, 164}, gold{255, 214, 64};
  TemplateDesign d;
  d.fileName = "Blue Rounded.psd";
  d.titleArea = {{RoundedRect(180, 44, 600, 112, 18), {}, {28, 58, 118}}};
  d.button.buttonArea = {{RoundedRect(L, T, R, B, 20), {}, blue}};
  d.button.hiliteMask = {{RoundedRect(L - 6, T - 6, R + 6, B + 6, 26), RoundedRect(L, T, R, B, 20), gold}};
  d.button.buttonImage = {{RoundedRect(L + 3, T + 3, R - 3, B - 3, 17), {}, {64, 128, 208}},
                          {RoundedRect(L + 8, T + 6, R - 8, T + 44, 14), {}, {128, 176, 232}}};
  d.thumbArea = {{RectangleRegion(L + 14, T + 10, L + 121, T + 90), {}, {16, 28, 60}}};
  d.thumbMask = {{RectangleRegion(L + 17, T + 13, L + 118, T + 87), {}, kWhite}};
  d.textArea = {{RectangleRegion(L + 136, T + 36, R - 16, T + 64), {}, {226, 234, 246}}};
  d.next.buttonArea = {{Ellipse(582, 422, 642, 482), {}, blue}};
  d.next.hiliteMask = {{Ellipse(576, 416, 648, 488), Ellipse(582, 422, 642, 482), gold}};
  d.next.buttonImage = {{{{602, 436}, {628, 452}, {602, 468}}, {}, kWhite}};
  return d;
}

TemplateDesign GoldFrame() {
  constexpr double L = 200, T = 160, R = 360, B = 350;
  constexpr Rgb brown{74, 50, 18}, gold{212, 175, 55}, light{255, 240, 180};
  TemplateDesign d;
  d.fileName = "Gold Frame.psd";
  d.titleArea = {{ChamferedRect(200, 40, 620, 104, 14), {}, {104, 66, 20}}};
  d.button.buttonArea = {{ChamferedRect(L, T, R, B, 16), {}, brown}};
  d.button.hiliteMask = {{RectangleRegion(L + 24, B - 18, R - 24, B - 12), {}, light}};
  d.button.buttonImage = {{ChamferedRect(L, T, R, B, 16), ChamferedRect(L + 8, T + 8, R - 8, B - 8, 10), gold}};
  d.thumbArea = {{RectangleRegion(L + 16, T + 18, R - 16, T + 114), {}, {40, 30, 10}}};
  d.thumbMask = {{Ellipse(L + 20, T + 22, R - 20, T + 110), {}, kWhite}};
  d.textArea = {{RectangleRegion(L + 18, T + 124, R - 18, T + 154), {}, {250, 240, 210}}};
  d.next.buttonArea = {{ChamferedRect(570, 420, 630, 470, 10), {}, brown}};
  d.next.hiliteMask = {{ChamferedRect(566, 416, 634, 474, 12), ChamferedRect(570, 420, 630, 470, 10), light}};
  d.next.buttonImage = {{{{590, 430}, {604, 430}, {618, 445}, {604, 460}, {590, 460}, {604, 445}}, {}, gold}};
  return d;
}

// Small buttons: ten of them fit in a grid in the title-safe area of a 720 x 540 menu, between
// the title area and the Next/Previous row.
TemplateDesign CompactSilver() {
  constexpr double L = 40, T = 150, R = 210, B = 206;
  constexpr Rgb slate{70, 80, 96}, silver{224, 228, 236};
  TemplateDesign d;
  d.fileName = "Compact Silver.psd";
  d.titleArea = {{RoundedRect(200, 56, 520, 100, 16), {}, {52, 60, 74}}};
  d.button.buttonArea = {{RoundedRect(L, T, R, B, 12), {}, slate}};
  d.button.hiliteMask = {{RoundedRect(L - 4, T - 4, R + 4, B + 4, 16), RoundedRect(L, T, R, B, 12), silver}};
  d.button.buttonImage = {{RoundedRect(L + 2, T + 2, R - 2, B - 2, 10), {}, {120, 132, 150}},
                          {RoundedRect(L + 6, T + 4, R - 6, T + 20, 8), {}, {176, 186, 204}}};
  d.thumbArea = {{RectangleRegion(L + 6, T + 6, L + 66, T + 50), {}, {24, 28, 36}}};
  d.thumbMask = {{RectangleRegion(L + 8, T + 8, L + 64, T + 48), {}, kWhite}};
  d.textArea = {{RectangleRegion(L + 74, T + 18, R - 10, T + 38), {}, {236, 238, 244}}};
  d.next.buttonArea = {{Ellipse(600, 440, 640, 480), {}, slate}};
  d.next.hiliteMask = {{Ellipse(596, 436, 644, 484), Ellipse(600, 440, 640, 480), silver}};
  d.next.buttonImage = {{{{613, 450}, {631, 460}, {613, 470}}, {}, kWhite}};
  return d;
}

TemplateDesign IncompleteGreen() {
  constexpr double L = 150, T = 200, R = 520, B = 270;
  constexpr Rgb green{30, 110, 64}, pale{250, 250, 160};
  TemplateDesign d;
  d.fileName = "Incomplete Green.psd";
  d.titleArea = {{RoundedRect(200, 50, 560, 106, 28), {}, {24, 92, 56}}};
  d.button.buttonArea = {{RoundedRect(L, T, R, B, 35), {}, green}};
  d.button.hiliteMask = {{Ellipse(L + 10, T + 10, L + 60, T + 60), {}, pale}};
  d.button.buttonImage = {{RoundedRect(L + 4, T + 4, R - 4, B - 4, 31), {}, {60, 160, 96}},
                          {RoundedRect(L + 14, T + 8, R - 14, T + 30, 11), {}, {130, 210, 150}}};
  d.thumbArea = {{RectangleRegion(L + 72, T + 8, L + 144, T + 62), {}, {12, 40, 24}}};
  d.textArea = {{RectangleRegion(L + 160, T + 22, R - 30, T + 48), {}, {230, 246, 234}}};
  d.next.buttonArea = {{RoundedRect(560, 430, 640, 470, 20), {}, green}};
  d.next.hiliteMask = {{RoundedRect(556, 426, 644, 474, 24), RoundedRect(560, 430, 640, 470, 20), pale}};
  d.next.buttonImage = {
      {{{574, 444}, {600, 444}, {600, 436}, {622, 450}, {600, 464}, {600, 456}, {574, 456}}, {}, kWhite}};
  d.missingItem = vocab::kThumbMask;
  return d;
}

// The colour table over white, group by group, as the program paints it for a template
// without one.
void PaintColorTable(photoshop::Application& app, photoshop::Document& doc) {
  photoshop::SolidColor work;
  photoshop::Selection selection = doc.Selection();
  selection.SelectAll();
  photoshop::SetPSForegroundColor(app, work, color_table::kWhite);
  selection.Fill(work);
  for (const color_table::CellGroup& group : color_table::kColorTableGroups) {
    for (int i = 0; i < group.rectCount; ++i) {
      const color_table::CellRect& cells = group.rects[std::size_t(i)];
      photoshop::SelectColorTableCells(app, cells.left, cells.top, cells.right, cells.bottom,
                                       i == 0 ? ps::ReplaceSelection : ps::ExtendSelection);
    }
    photoshop::SetPSForegroundColor(app, work, group.color);
    selection.Fill(work);
  }
  selection.Deselect();
}

// A new art layer at the top of `set` (or above the active layer when there is no set).
void AddArtLayer(photoshop::Document& doc, const photoshop::LayerSet* set, const char* name, const Art& art) {
  photoshop::ArtLayer layer = set ? set->ArtLayers().Add() : doc.ArtLayers().Add();
  layer.SetName(name);
  doc.SetActiveLayer(layer);
  Paint(doc, art);
}

// A new set above the active layer holding the button's three layers, Button Area at the bottom.
photoshop::LayerSet AddButtonSet(photoshop::Document& doc, const char* name, const ButtonArt& art) {
  photoshop::LayerSet set = doc.LayerSets().Add();
  set.SetName(name);
  AddArtLayer(doc, &set, vocab::kButtonArea, art.buttonArea);
  AddArtLayer(doc, &set, vocab::kHiliteMask, art.hiliteMask);
  AddArtLayer(doc, &set, vocab::kButtonImage, art.buttonImage);
  return set;
}

}  // namespace

const std::vector<TemplateDesign>& SampleTemplates() {
  static const std::vector<TemplateDesign> designs{BlueRounded(), GoldFrame(), CompactSilver(), IncompleteGreen()};
  return designs;
}

photoshop::Document BuildTemplate(photoshop::Application& app, const TemplateDesign& design) {
  photoshop::Document doc =
      app.Documents().Add(kMenuWidth, kMenuHeight, 72, design.fileName, ps::NewRGB, ps::FillTransparent);
  // Bottom to top: every new layer or set goes above the active one.
  photoshop::ArtLayer colorTable = doc.ArtLayers()(vocab::kLayer1);
  colorTable.SetName(vocab::kColorTable);
  PaintColorTable(app, doc);

  doc.SetActiveLayer(colorTable);
  photoshop::LayerSet prev = AddButtonSet(
      doc, vocab::kPrevTmpl,
      {Mirrored(design.next.buttonArea, kMenuWidth / 2.0), Mirrored(design.next.hiliteMask, kMenuWidth / 2.0),
       Mirrored(design.next.buttonImage, kMenuWidth / 2.0)});
  doc.SetActiveLayer(prev);
  photoshop::LayerSet next = AddButtonSet(doc, vocab::kNextTmpl, design.next);
  doc.SetActiveLayer(next);
  photoshop::LayerSet button = AddButtonSet(doc, vocab::kBtnTmpl, design.button);
  const struct {
    const char* name;
    const Art& art;
  } thumbAndText[] = {{vocab::kThumbArea, design.thumbArea},
                      {vocab::kThumbMask, design.thumbMask},
                      {vocab::kTextArea, design.textArea}};
  for (const auto& item : thumbAndText)
    if (design.missingItem != item.name) AddArtLayer(doc, &button, item.name, item.art);

  doc.SetActiveLayer(button);
  AddArtLayer(doc, nullptr, vocab::kTitleArea, design.titleArea);
  return doc;
}

}  // namespace sample_data
