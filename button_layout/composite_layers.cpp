// Build Composite Layers: gathers the pieces of all buttons into the seven composite sets that
// the final document merges. Each of the seven steps runs as one statement of the recovery
// routine. When a step fails because another document was active, the Build Menu is rewound to
// the history state it had before the step, so that the step's partial work is undone before it
// runs again; a busy Retry runs the step again on top of what it had done.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "support/vocabulary.h"

namespace app {

namespace {

using namespace vocabulary;

struct CompositeStep {
  void (*run)(Form1&);
  double progress;
};

const CompositeStep kCompositeSteps[] = {
    {[](Form1& f) { f.CompositAreaLayers(kButtonArea); }, 15},
    {[](Form1& f) { f.CompositAreaLayers(kTextArea); }, 30},
    {[](Form1& f) { f.CompositAreaLayers(kThumbArea); }, 45},
    {[](Form1& f) { f.CompositButtonMaskLayers(); }, 60},
    {[](Form1& f) { f.CompositThumbMaskLayers(); }, 75},
    {[](Form1& f) { f.CompositButtonImageLayers(); }, 90},
    {[](Form1& f) { f.CompositHiliteMaskLayers(); }, 100},
};

}  // namespace

void Form1::BuildCompositeLayers_Click() {
  view_.SetMousePointer(MousePointer::Hourglass);
  photoshop::HistoryState snapshot;
  RecoveryStyle style = RecoveryStyle::Standard();
  style.defaultPointerOnLeave = true;
  style.afterRetarget = [&] { IgnoreErrors([&] { Held(BuildMenuDocument).SetActiveHistoryState(snapshot); }); };
  ErrorRecovery onError(*this, std::move(style));

  SaveHistoryState(CompositingLayers);
  if (!onError([&] {
        BuildMenuDocument = PhotoshopApp.Documents().Item(kBuildMenu);
        TemplateDocument = PhotoshopApp.Documents().Item(kButtonTemplate);
        FinalMenuDocument = PhotoshopApp.Documents().Item(kFinalMenu);
        PhotoshopApp.SetActiveDocument(BuildMenuDocument);
      }))
    return;
  view_.SetProgressValue(0);
  for (const CompositeStep& step : kCompositeSteps) {
    if (!onError([&] { snapshot = Held(BuildMenuDocument).ActiveHistoryState(); })) return;
    if (!onError([&] { step.run(*this); })) return;
    view_.SetProgressValue(step.progress);
  }
  SaveHistoryState(BuildFinalDocument);
  ApplyOptionsToLayers();
  view_.SetMousePointer(MousePointer::Default);
  SaveOptionsToDocument(kBuildCompositeLayersComplete);
}

}  // namespace app
