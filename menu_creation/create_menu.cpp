// Create/Edit Menu: brings the working documents into the state every later step expects. It
// reopens a finished menu for editing, keeps documents already open, or builds "Build Menu" and
// "Button Template" from the files chosen in the chooser dialog; then supplies what they lack
// (colour table, title-safe guides, background) and makes an empty "Final Menu".
//
// Until the first history state is saved a failing call is skipped and the next step runs;
// from then on failures go to the recovery routine.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "support/vocabulary.h"

namespace app {

namespace {

using namespace vocabulary;

bool documentOpen(const photoshop::Application& app, const std::string& name) {
  std::string found;
  IgnoreErrors([&] { found = app.Documents().Item(name).Name(); });
  return found == name;
}

bool hasArtLayer(const photoshop::Document& doc, const std::string& name) {
  std::string found;
  IgnoreErrors([&] { found = Held(doc).ArtLayers().Item(name).Name(); });
  return found == name;
}

std::string keepQuestion(const std::string& name) {
  return "'" + name + "' is already opened in Photoshop, do you want to continue with this\r\n"
         "document? 'No' will close this document in Photoshop.";
}

}  // namespace

void Form1::CreateNewMenuDoc_Click() {
  ErrorRecovery onError(*this, RecoveryStyle::CreateNewMenuDoc());
  const auto pointer = [&](MousePointer p) { view_.SetMousePointer(p); };
  const auto progress = [&](double v) { view_.SetProgressValue(v); };
  const auto menuSize = [&](const std::string& name) {
    return PhotoshopApp.Documents().Add(LeadingNumber(view_.MenuWidthText()), LeadingNumber(view_.MenuHeightText()), 72,
                                        name, photoshop::ps::NewRGB, photoshop::ps::FillTransparent);
  };

  // Phase A: a finished menu among the open documents is offered for editing.
  progress(0);
  int count = 0;
  if (!onError([&] { count = PhotoshopApp.Documents().Count(); })) return;
  photoshop::Document finished;
  for (int index = 1; index <= count && finished.IsNothing(); ++index) {
    progress(0);
    photoshop::Document doc;
    if (!IgnoreErrors([&] { doc = PhotoshopApp.Documents().Item(index); })) continue;
    IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(doc); });
    DocumentKeywords.clear();  // a document whose keywords cannot be read has none
    IgnoreErrors([&] { DocumentKeywords = doc.Info().KeyWords(); });
    if (DocumentKeywords.empty() || DocumentKeywords[0] != kBuildMenuCompleteMarker) continue;
    std::string name;
    IgnoreErrors([&] { name = doc.Name(); });
    if (view_.MsgBox("Edit Existing Build Menu: '" + name + "'?", MsgBoxButtons::YesNo, "Edit Build Menu") ==
        MsgBoxResult::Yes)
      finished = doc;
    else
      CompletedMenuName.clear();
  }

  if (!finished.IsNothing()) {
    // Phase E: edit a copy of the finished menu, straight at the final-document step.
    pointer(MousePointer::Hourglass);
    CompletedMenuName = kBuildMenuComplete;
    BuildMenuDocument = finished;
    IgnoreErrors([&] { DuplicateDoc(CompletedMenuName); });
    progress(10);
    IgnoreErrors([&] { finished.Close(photoshop::ps::DoNotSaveChanges); });
    IgnoreErrors([&] { BuildMenuDocument = PhotoshopApp.Documents().Item(CompletedMenuName); });
    progress(20);
    LoadOptionsFromDocument();
    progress(50);
    if (IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(kFinalMenu)); }))
      IgnoreErrors([&] { FinalMenuDocument = PhotoshopApp.Documents().Item(kFinalMenu); });
    else
      IgnoreErrors([&] { FinalMenuDocument = menuSize(kFinalMenu); });
    progress(70);
    SaveHistoryState(BuildFinalDocument);
    pointer(MousePointer::Default);
    progress(100);
    return;
  }

  for (;;) {
    // Phase B: documents already open.
    bool buildOpen = documentOpen(PhotoshopApp, kBuildMenu);
    bool templateOpen = documentOpen(PhotoshopApp, kButtonTemplate);
    const auto close = [&](const char* name) { IgnoreErrors([&] { PhotoshopApp.Documents().Item(name).Close(); }); };
    if (buildOpen && templateOpen) {
      if (view_.MsgBox("'Build Menu' and 'Button Template' are already opened in Photoshop,\r\n"
                       "do you want to continue with these documents?",
                       MsgBoxButtons::YesNo, "Documents Found") == MsgBoxResult::Yes) {
        break;
      }
      buildOpen = templateOpen = false;
      close(kButtonTemplate);
      close(kBuildMenu);
    } else if (templateOpen) {
      if (view_.MsgBox(keepQuestion(kButtonTemplate), MsgBoxButtons::YesNo, "Document Found") != MsgBoxResult::Yes) {
        templateOpen = false;
        close(kButtonTemplate);
      }
    } else if (buildOpen) {
      if (view_.MsgBox(keepQuestion(kBuildMenu), MsgBoxButtons::YesNo, "Document Found") != MsgBoxResult::Yes) {
        buildOpen = false;
        close(kBuildMenu);
      }
    }

    // Phase C: choose and check the source files.
    const ChooserResult chosen = view_.ShowChooser({buildOpen, templateOpen});
    if (chosen.DialogCanceled) {
      view_.UnloadChooser();
      return;
    }
    pointer(MousePointer::Hourglass);
    progress(10);

    // Opens a source file and makes it active; a file that cannot be opened is reported under
    // the structure message's title (it must not fall back on a document held from before).
    const auto openSource = [&](const std::string& file, photoshop::Document& held, const char* title) {
      try {
        held = PhotoshopApp.Open(file);
        PhotoshopApp.SetActiveDocument(held);
        return true;
      } catch (const photoshop::AutomationError& error) {
        pointer(MousePointer::Default);
        view_.MsgBox(error.Description(), MsgBoxButtons::OKOnly, title);
        return false;
      }
    };

    if (!buildOpen) {
      if (!openSource(chosen.BackgroundFile, BuildMenuDocument, "Error: Background File Structure")) continue;
      const photoshop::Document opened = BuildMenuDocument;
      if (!hasArtLayer(opened, kBackground)) {
        pointer(MousePointer::Default);
        view_.MsgBox("Background Layer Missing in Background Document.", MsgBoxButtons::OKOnly,
                     "Error: Background File Structure");
        IgnoreErrors([&] { opened.Close(); });
        continue;
      }
      IgnoreErrors([&] { DuplicateDoc(kBuildMenu); });
      IgnoreErrors([&] { opened.Close(); });
    }
    progress(20);
    if (!templateOpen) {
      if (!openSource(chosen.ButtonTemplateFile, TemplateDocument, "Error: Button Template File Structure")) continue;
      const photoshop::Document opened = TemplateDocument;
      std::int16_t missing = 0;
      const std::string report = CheckButtonTemplateLayers(missing);
      if (!report.empty()) {
        pointer(MousePointer::Default);
        view_.MsgBox(report, MsgBoxButtons::OKOnly, "Error: Button Template File Structure");
        IgnoreErrors([&] { opened.Close(); });
        continue;
      }
      IgnoreErrors([&] { DuplicateDoc(kButtonTemplate); });
      IgnoreErrors([&] { opened.Close(); });
    }
    view_.UnloadChooser();
    break;
  }

  // Phase D: assemble the working documents.
  pointer(MousePointer::Hourglass);
  progress(30);
  const auto adoptOrCreate = [&](const char* name, photoshop::Document& held) {
    if (IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(name)); }))
      IgnoreErrors([&] { held = PhotoshopApp.Documents().Item(name); });
    else
      IgnoreErrors([&] { held = menuSize(name); });
  };
  adoptOrCreate(kBuildMenu, BuildMenuDocument);
  progress(40);
  adoptOrCreate(kButtonTemplate, TemplateDocument);
  progress(50);
  adoptOrCreate(kFinalMenu, FinalMenuDocument);
  progress(60);
  IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(Held(TemplateDocument)); });
  const bool hasColorTable = hasArtLayer(TemplateDocument, kColorTable);
  IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(Held(BuildMenuDocument)); });
  const bool hasTitleSafe = hasArtLayer(BuildMenuDocument, kTitleSafeZones);
  const bool hasBackground = hasArtLayer(BuildMenuDocument, kBackground);

  SaveHistoryState(CreateMenuDocs);
  if (!onError([&] { PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(kBuildMenu)); })) return;
  progress(70);
  if (!(hasColorTable && hasBackground && hasTitleSafe)) {
    if (!hasColorTable) MakeColorTableLayer();
    progress(80);
    if (!hasTitleSafe) {
      if (!onError([&] { SetTitleSafeGuides(); })) return;
      if (!onError([&] { Held(BuildMenuDocument).ArtLayers().Item(kTitleSafeZones).SetVisible(true); })) return;
    }
    progress(90);
    if (!hasBackground && AutoRandomBackground) MakeBackground();
  }

  // The background carries the blue label; labelling Photoshop's locked background layer
  // turns it into "Layer 0", which gets its name back.
  if (!onError([&] { PhotoshopApp.SetActiveDocument(Held(BuildMenuDocument)); })) return;
  if (!onError([&] { BuildMenuDocument.SetActiveLayer(BuildMenuDocument.ArtLayers().Item(kBackground)); })) return;
  bool lockedBackground = false;
  if (!onError([&] { lockedBackground = BuildMenuDocument.ActiveLayer().IsBackgroundLayer(); })) return;
  if (!onError([&] { SetLayerColorLabel("Bl  "); })) return;
  if (lockedBackground && !onError([&] { BuildMenuDocument.ArtLayers().Item(kLayer0).SetName(kBackground); })) return;

  if (!onError([&] { PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(kButtonTemplate)); })) return;
  progress(100);
  SaveHistoryState(EditButtonTemplate);
  pointer(MousePointer::Default);
}

}  // namespace app
