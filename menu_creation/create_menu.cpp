// Create/Edit Menu: brings the working documents into the state every later step expects. It
// reopens a finished menu for editing, keeps documents already open, or builds "Build Menu" and
// "Button Template" from the files chosen in the chooser dialog; then supplies what they lack
// (colour table, title-safe guides, background) and makes an empty "Final Menu".
//
// Until the first history state is saved a failing call is skipped and the next step runs;
// from then on failures go to the recovery routine. Documents of the user's are never closed
// unasked: a working document the user declines is closed through the application's prompt,
// and a source file the user already has open is used through a copy.

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

inline constexpr const char* kBackgroundFileTitle = "Error: Background File Structure";
inline constexpr const char* kTemplateFileTitle = "Error: Button Template File Structure";

// Where a phase hands the command on to.
enum class Next { ChooseFiles, AskAgain, Assemble, End };

// Which of the layers every later step needs the working documents already hold.
struct PresentLayers {
  bool colorTable = false;
  bool titleSafe = false;
  bool background = false;
};

// One run of the command: its phases, and the state they share.
class CreateMenuRun {
 public:
  explicit CreateMenuRun(Form1& form)
      : form_(form), view_(form.View()), onError_(form, RecoveryStyle::CreateNewMenuDoc()) {}

  void Run();

 private:
  photoshop::Application& app() { return form_.PhotoshopApp; }
  void pointer(MousePointer p) { view_.SetMousePointer(p); }
  void progress(double value) { view_.SetProgressValue(value); }
  photoshop::Document newMenuSized(const char* name);

  photoshop::Document FindFinishedMenu(int count);
  void EditFinishedMenu(const photoshop::Document& finished);
  Next ReviewOpenDocuments();
  bool CloseDeclinedDocument(const char* name);
  Next ChooseSourceFiles();
  photoshop::Document OpenOwnCopy(const std::string& file, const char* title);
  bool TakeBackground(const std::string& file);
  bool TakeTemplate(const std::string& file);
  void AssembleWorkingDocuments();
  void AdoptOrCreate(const char* name, photoshop::Document& held);
  bool SupplyMissingLayers(const PresentLayers& present);
  bool LabelBackground();

  Form1& form_;
  FormView& view_;
  ErrorRecovery onError_;
  bool buildOpen_ = false;     // a "Build Menu" is open and the user keeps it
  bool templateOpen_ = false;  // a "Button Template" is open and the user keeps it
  bool chooserLoaded_ = false;
};

void CreateMenuRun::Run() {
  progress(0);
  int count = 0;
  if (!onError_([&] { count = app().Documents().Count(); })) return;
  if (const photoshop::Document finished = FindFinishedMenu(count); !finished.IsNothing()) {
    EditFinishedMenu(finished);
    return;
  }
  Next next = Next::AskAgain;
  while (next == Next::AskAgain) {
    next = ReviewOpenDocuments();
    if (next == Next::ChooseFiles) next = ChooseSourceFiles();
  }
  if (next == Next::Assemble) AssembleWorkingDocuments();
}

photoshop::Document CreateMenuRun::newMenuSized(const char* name) {
  return app().Documents().Add(LeadingNumber(view_.MenuWidthText()), LeadingNumber(view_.MenuHeightText()), 72, name,
                               photoshop::ps::NewRGB, photoshop::ps::FillTransparent);
}

// Phase A: a finished menu among the open documents is offered for editing.
photoshop::Document CreateMenuRun::FindFinishedMenu(int count) {
  for (int index = 1; index <= count; ++index) {
    progress(0);
    photoshop::Document doc;
    if (!IgnoreErrors([&] { doc = app().Documents().Item(index); })) continue;
    IgnoreErrors([&] { app().SetActiveDocument(doc); });
    form_.DocumentKeywords.clear();  // a document whose keywords cannot be read has none
    IgnoreErrors([&] { form_.DocumentKeywords = doc.Info().KeyWords(); });
    if (form_.DocumentKeywords.empty() || form_.DocumentKeywords[0] != kBuildMenuCompleteMarker) continue;
    std::string name;
    IgnoreErrors([&] { name = doc.Name(); });
    if (view_.MsgBox("Edit Existing Build Menu: '" + name + "'?", MsgBoxButtons::YesNo, "Edit Build Menu") ==
        MsgBoxResult::Yes)
      return doc;
    form_.CompletedMenuName.clear();
  }
  return {};
}

// Phase E: edit a copy of the finished menu, straight at the final-document step.
void CreateMenuRun::EditFinishedMenu(const photoshop::Document& finished) {
  pointer(MousePointer::Hourglass);
  form_.CompletedMenuName = kBuildMenuComplete;
  form_.BuildMenuDocument = finished;
  IgnoreErrors([&] { form_.DuplicateDoc(form_.CompletedMenuName); });
  progress(10);
  IgnoreErrors([&] { finished.Close(photoshop::ps::DoNotSaveChanges); });
  IgnoreErrors([&] { form_.BuildMenuDocument = app().Documents().Item(form_.CompletedMenuName); });
  progress(20);
  form_.LoadOptionsFromDocument();
  progress(50);
  if (IgnoreErrors([&] { app().SetActiveDocument(app().Documents().Item(kFinalMenu)); }))
    IgnoreErrors([&] { form_.FinalMenuDocument = app().Documents().Item(kFinalMenu); });
  else
    IgnoreErrors([&] { form_.FinalMenuDocument = newMenuSized(kFinalMenu); });
  progress(70);
  form_.SaveHistoryState(BuildFinalDocument);
  pointer(MousePointer::Default);
  progress(100);
}

// Phase B: documents already open are kept or closed, as the user says.
Next CreateMenuRun::ReviewOpenDocuments() {
  buildOpen_ = documentOpen(app(), kBuildMenu);
  templateOpen_ = documentOpen(app(), kButtonTemplate);
  if (buildOpen_ && templateOpen_) {
    if (view_.MsgBox("'Build Menu' and 'Button Template' are already opened in Photoshop,\r\n"
                     "do you want to continue with these documents?",
                     MsgBoxButtons::YesNo, "Documents Found") == MsgBoxResult::Yes)
      return Next::Assemble;
    buildOpen_ = templateOpen_ = false;
    return CloseDeclinedDocument(kButtonTemplate) && CloseDeclinedDocument(kBuildMenu) ? Next::ChooseFiles : Next::End;
  }
  const char* single = templateOpen_ ? kButtonTemplate : buildOpen_ ? kBuildMenu : nullptr;
  if (single && view_.MsgBox(keepQuestion(single), MsgBoxButtons::YesNo, "Document Found") != MsgBoxResult::Yes) {
    if (single == kButtonTemplate)
      templateOpen_ = false;
    else
      buildOpen_ = false;
    if (!CloseDeclinedDocument(single)) return Next::End;
  }
  return Next::ChooseFiles;
}

// Closes a working document the user declined; the application asks whether to save its
// changes. When that is cancelled or cannot be asked, the document stays and the command ends
// before anything else changes (going on would build a second document of the same name).
bool CreateMenuRun::CloseDeclinedDocument(const char* name) {
  try {
    app().Documents().Item(name).Close();
    return true;
  } catch (const photoshop::AutomationError& error) {
    if (!documentOpen(app(), name)) return true;
    pointer(MousePointer::Default);
    if (!error.Is(engine::ErrorCode::Cancelled)) view_.MsgBox(error.Description(), MsgBoxButtons::OKOnly, "");
    if (chooserLoaded_) view_.UnloadChooser();
    return false;
  }
}

// Phase C: choose and check the source files.
Next CreateMenuRun::ChooseSourceFiles() {
  const ChooserResult chosen = view_.ShowChooser({buildOpen_, templateOpen_});
  chooserLoaded_ = true;
  if (chosen.DialogCanceled) {
    view_.UnloadChooser();
    return Next::End;
  }
  pointer(MousePointer::Hourglass);
  progress(10);
  if (!buildOpen_ && !TakeBackground(chosen.BackgroundFile)) return Next::AskAgain;
  progress(20);
  if (!templateOpen_ && !TakeTemplate(chosen.ButtonTemplateFile)) return Next::AskAgain;
  view_.UnloadChooser();
  return Next::Assemble;
}

// The chosen file as a document of the command's own, made active: the file opened, or, when
// the user has it open already (opening it again only hands that document back), a copy of the
// user's document, which stays open as it is. A file that cannot be opened is reported under
// the structure message's title; the result is then nothing, never a document held from before.
photoshop::Document CreateMenuRun::OpenOwnCopy(const std::string& file, const char* title) {
  try {
    const int openBefore = app().Documents().Count();
    photoshop::Document own = app().Open(file);
    if (app().Documents().Count() == openBefore) {
      app().SetActiveDocument(own);
      form_.DuplicateDoc(own.Name() + " copy");
      own = app().ActiveDocument();
    }
    app().SetActiveDocument(own);
    return own;
  } catch (const photoshop::AutomationError& error) {
    pointer(MousePointer::Default);
    view_.MsgBox(error.Description(), MsgBoxButtons::OKOnly, title);
    return {};
  }
}

// Closes a document of the command's own; it holds nothing of the user's.
void closeOwn(const photoshop::Document& own) {
  IgnoreErrors([&] { own.Close(photoshop::ps::DoNotSaveChanges); });
}

// The Build Menu is duplicated from the chosen background; false when the file is rejected.
bool CreateMenuRun::TakeBackground(const std::string& file) {
  const photoshop::Document source = OpenOwnCopy(file, kBackgroundFileTitle);
  if (source.IsNothing()) return false;
  form_.BuildMenuDocument = source;
  const bool usable = hasArtLayer(source, kBackground);
  if (usable) {
    IgnoreErrors([&] { form_.DuplicateDoc(kBuildMenu); });
  } else {
    pointer(MousePointer::Default);
    view_.MsgBox("Background Layer Missing in Background Document.", MsgBoxButtons::OKOnly, kBackgroundFileTitle);
  }
  closeOwn(source);
  return usable;
}

// The Button Template is duplicated from the chosen template; false when the file is rejected.
bool CreateMenuRun::TakeTemplate(const std::string& file) {
  const photoshop::Document source = OpenOwnCopy(file, kTemplateFileTitle);
  if (source.IsNothing()) return false;
  form_.TemplateDocument = source;
  std::int16_t missing = 0;
  const std::string report = form_.CheckButtonTemplateLayers(missing);
  if (report.empty()) {
    IgnoreErrors([&] { form_.DuplicateDoc(kButtonTemplate); });
  } else {
    pointer(MousePointer::Default);
    view_.MsgBox(report, MsgBoxButtons::OKOnly, kTemplateFileTitle);
  }
  closeOwn(source);
  return report.empty();
}

// Phase D: assemble the working documents.
void CreateMenuRun::AssembleWorkingDocuments() {
  pointer(MousePointer::Hourglass);
  progress(30);
  AdoptOrCreate(kBuildMenu, form_.BuildMenuDocument);
  progress(40);
  AdoptOrCreate(kButtonTemplate, form_.TemplateDocument);
  progress(50);
  AdoptOrCreate(kFinalMenu, form_.FinalMenuDocument);
  progress(60);
  PresentLayers present;
  IgnoreErrors([&] { app().SetActiveDocument(Held(form_.TemplateDocument)); });
  present.colorTable = hasArtLayer(form_.TemplateDocument, kColorTable);
  IgnoreErrors([&] { app().SetActiveDocument(Held(form_.BuildMenuDocument)); });
  present.titleSafe = hasArtLayer(form_.BuildMenuDocument, kTitleSafeZones);
  present.background = hasArtLayer(form_.BuildMenuDocument, kBackground);

  form_.SaveHistoryState(CreateMenuDocs);
  if (!onError_([&] { app().SetActiveDocument(app().Documents().Item(kBuildMenu)); })) return;
  progress(70);
  if (!SupplyMissingLayers(present) || !LabelBackground()) return;
  if (!onError_([&] { app().SetActiveDocument(app().Documents().Item(kButtonTemplate)); })) return;
  progress(100);
  form_.SaveHistoryState(EditButtonTemplate);
  pointer(MousePointer::Default);
}

void CreateMenuRun::AdoptOrCreate(const char* name, photoshop::Document& held) {
  if (IgnoreErrors([&] { app().SetActiveDocument(app().Documents().Item(name)); }))
    IgnoreErrors([&] { held = app().Documents().Item(name); });
  else
    IgnoreErrors([&] { held = newMenuSized(name); });
}

// The colour table, guides and background the documents lack; false when the recovery
// routine ended the command.
bool CreateMenuRun::SupplyMissingLayers(const PresentLayers& present) {
  if (present.colorTable && present.background && present.titleSafe) return true;
  if (!present.colorTable) form_.MakeColorTableLayer();
  progress(80);
  if (!present.titleSafe && !onError_([&] { form_.SetTitleSafeGuides(); })) return false;
  // The guides are shown by every run that gets here, whether they were just made or not.
  if (!onError_([&] { Held(form_.BuildMenuDocument).ArtLayers().Item(kTitleSafeZones).SetVisible(true); })) return false;
  progress(90);
  if (!present.background && form_.AutoRandomBackground) form_.MakeBackground();
  return true;
}

// The background carries the blue label; labelling the application's locked
// background layer turns it into "Layer 0", which gets its name back.
bool CreateMenuRun::LabelBackground() {
  photoshop::Document& menu = form_.BuildMenuDocument;
  if (!onError_([&] { app().SetActiveDocument(Held(menu)); })) return false;
  if (!onError_([&] { menu.SetActiveLayer(menu.ArtLayers().Item(kBackground)); })) return false;
  bool lockedBackground = false;
  if (!onError_([&] { lockedBackground = menu.ActiveLayer().IsBackgroundLayer(); })) return false;
  if (!onError_([&] { form_.SetLayerColorLabel("Bl  "); })) return false;
  return !lockedBackground || onError_([&] { menu.ArtLayers().Item(kLayer0).SetName(kBackground); });
}

}  // namespace

void Form1::CreateNewMenuDoc_Click() { CreateMenuRun(*this).Run(); }

}  // namespace app
