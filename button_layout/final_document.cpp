// Final PSD Document: copies the Build Menu's background and its seven composite sets into the
// "Final Menu", merges each set into one layer, brings the document to the menu's output size,
// pastes the colour table, and offers the user a save of a copy.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "button_layout/layout_steps.h"
#include "support/vocabulary.h"

namespace app {

namespace {

using namespace vocabulary;
using photoshop::Document;

// The output height is fixed by the menu utility, whatever the Build Menu's height.
inline constexpr double kFinalHeight = 480;
inline constexpr const char* kFinalMenuCopy = "Final MenuCopy";

// The composite sets in the order their merged layers are stacked, bottom to top after layer 1.
const char* const kCompositeOrder[] = {kHiliteMask, kButtonArea, kButtonImage, kButtonMask,
                                       kThumbArea,  kThumbMask,  kTextArea};

double menuWidth(const FormView& view) {
  const std::optional<double> width = ParseNumber(view.MenuWidthText());
  if (!width) throw photoshop::AutomationError(13, "Type mismatch", "Quillary");
  return *width;
}

}  // namespace

// Copies a composite set of the Build Menu into the Final Menu and merges it there; the merged
// layer keeps the set's name unless `rename` gives another.
bool Form1::CopyMergedComposite(ErrorRecovery& onError, const char* set, const std::string& rename) {
  const Document& menu = BuildMenuDocument;
  const Document& output = FinalMenuDocument;
  return onError([&] {
           PhotoshopApp.SetActiveDocument(Held(menu));
           menu.SetActiveLayer(menu.LayerSets().Item(set));
         }) &&
         onError([&] { DuplicateLayer(kFinalMenu); }) && onError([&] {
           PhotoshopApp.SetActiveDocument(Held(output));
           const photoshop::Layer merged = layout::ArrivedCopy(output, set).Merge();
           if (!rename.empty()) merged.SetName(rename);
         });
}

bool Form1::AssembleFinalLayers(ErrorRecovery& onError) {
  const Document& menu = BuildMenuDocument;
  if (!onError([&] { PhotoshopApp.SetActiveDocument(Held(menu)); })) return false;
  if (ReplaceBackgroundWithButtonImage) {
    if (!CopyMergedComposite(onError, kButtonImage, kBackground)) return false;
  } else {
    if (!onError([&] { menu.SetActiveLayer(menu.ArtLayers().Item(kBackground)); })) return false;
    if (!onError([&] { DuplicateLayer(kFinalMenu); })) return false;
  }
  view_.SetProgressValue(9);
  double progress = 9;
  for (const char* set : kCompositeOrder) {
    if (!CopyMergedComposite(onError, set, "")) return false;
    view_.SetProgressValue(progress += 9);
  }
  return true;
}

bool Form1::SizeFinalAndAddColorTable(ErrorRecovery& onError) {
  const Document& menu = BuildMenuDocument;
  const Document& output = FinalMenuDocument;
  double width = 0;
  if (!onError([&] { width = menuWidth(view_); })) return false;
  if (!onError([&] { ScaleImageSize(width, kFinalHeight); })) return false;
  view_.SetProgressValue(81);
  // The colour table is pasted after the resize: its cells keep their size and place in pixels.
  if (!onError([&] {
        PhotoshopApp.SetActiveDocument(Held(menu));
        menu.SetActiveLayer(menu.ArtLayers().Item(kColorTable));
        menu.Selection().SelectAll();
        menu.Selection().Copy();
      }))
    return false;
  if (!onError([&] {
        PhotoshopApp.SetActiveDocument(Held(output));
        output.ArtLayers().Remove(output.ArtLayers().Item(kLayer1));
      }))
    return false;
  view_.SetProgressValue(90);
  if (!onError([&] { output.Paste().SetName(kColorTable); })) return false;
  if (!onError([&] { output.Crop({0, 0, width, kFinalHeight}); })) return false;
  view_.SetProgressValue(100);
  return true;
}

// The save of a copy: a cancel is the user's choice and stays silent; any other failure is
// reported, as a save that silently did not happen would look like a finished menu.
void Form1::SaveFinalCopy() {
  IgnoreErrors([&] { DuplicateDoc(kFinalMenuCopy); });
  try {
    SaveAsPSD(kFinalMenuCopy);
  } catch (const photoshop::AutomationError& error) {
    if (!error.Is(engine::ErrorCode::Cancelled))
      view_.MsgBox(std::string("\"") + kFinalMenuCopy + ".psd\" could not be saved:\r\n" + error.Description(),
                   MsgBoxButtons::OKOnly, "");
  }
  // The copy holds nothing the Final Menu lacks, so an unsaved copy is closed without asking.
  IgnoreErrors([&] {
    const Document copy = PhotoshopApp.Documents().Item(kFinalMenuCopy);
    copy.Close(photoshop::ps::DoNotSaveChanges);
  });
}

void Form1::FinalPSDDocument_Click() {
  view_.SetMousePointer(MousePointer::Hourglass);
  RecoveryStyle style = RecoveryStyle::Standard();
  style.defaultPointerOnLeave = true;
  ErrorRecovery onError(*this, std::move(style));
  SaveHistoryState(BuildingFinalDocument);
  if (!onError([&] {
        if (!CompletedMenuName.empty()) {
          BuildMenuDocument = PhotoshopApp.Documents().Item(CompletedMenuName);
        } else {
          BuildMenuDocument = PhotoshopApp.Documents().Item(kBuildMenu);
          TemplateDocument = PhotoshopApp.Documents().Item(kButtonTemplate);
          FinalMenuDocument = PhotoshopApp.Documents().Item(kFinalMenu);
        }
      }))
    return;
  view_.SetProgressValue(0);
  if (!AssembleFinalLayers(onError)) return;
  if (!SizeFinalAndAddColorTable(onError)) return;
  SaveHistoryState(BuiltFinalSaveNow);
  IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(Held(FinalMenuDocument)); });
  view_.SetMousePointer(MousePointer::Default);
  SaveFinalCopy();
  SaveOptionsToDocument(kBuildMenuCompleteMarker);
}

}  // namespace app
