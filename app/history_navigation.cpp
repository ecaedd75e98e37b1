// Recording each working document's history state when a workflow state is entered, and Undo,
// which steps back one workflow state and rewinds the documents to what was recorded for it.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "support/vocabulary.h"

namespace app {

namespace {

inline constexpr std::int16_t kLowestEditingState = BuildFinalDocument;

// The table entry of a workflow state; a state outside the tables is an error of its own.
photoshop::HistoryState& entryFor(HistoryTable& table, std::int16_t state) {
  if (state < 1 || state > kHistoryTableSize)
    throw photoshop::AutomationError(engine::ErrorCode::InvalidArgument,
                                     "workflow state " + std::to_string(state) + " is outside the history tables",
                                     "Quillary");
  return table[static_cast<std::size_t>(state - 1)];
}

}  // namespace

void Form1::SaveHistoryState(std::int16_t SetState) {
  WorkflowState = SetState;
  ErrorRecovery onError(*this, RecoveryStyle::Standard());
  photoshop::Document remembered;
  if (!onError([&] { remembered = PhotoshopApp.ActiveDocument(); })) return;

  auto record = [&](const std::string& name, HistoryTable& table) {
    return onError([&] { PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(name)); }) &&
           onError([&] { entryFor(table, WorkflowState) = PhotoshopApp.ActiveDocument().ActiveHistoryState(); });
  };
  if (!CompletedMenuName.empty()) {
    if (!record(CompletedMenuName, BuildMenuHistory)) return;
  } else {
    if (!record(vocabulary::kButtonTemplate, TemplateHistory)) return;
    if (!record(vocabulary::kBuildMenu, BuildMenuHistory)) return;
    if (!record(vocabulary::kFinalMenu, FinalMenuHistory)) return;
  }
  SetUIState();
  onError([&] { PhotoshopApp.SetActiveDocument(remembered); });
}

void Form1::PreviousHistoryState() {
  ErrorRecovery onError(*this, RecoveryStyle::Standard());
  photoshop::Document remembered;
  if (!onError([&] { remembered = PhotoshopApp.ActiveDocument(); })) return;

  auto rewind = [&](const std::string& name, HistoryTable& table) {
    return onError([&] { PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(name)); }) &&
           onError([&] { PhotoshopApp.ActiveDocument().SetActiveHistoryState(entryFor(table, WorkflowState)); });
  };
  if (!CompletedMenuName.empty()) {
    // A finished menu being edited never goes back behind the state it was reopened in.
    if (WorkflowState > kLowestEditingState) --WorkflowState;
    if (!rewind(CompletedMenuName, BuildMenuHistory)) return;
  } else {
    if (WorkflowState > CreateMenuDocs) --WorkflowState;
    if (!rewind(vocabulary::kButtonTemplate, TemplateHistory)) return;
    if (!rewind(vocabulary::kBuildMenu, BuildMenuHistory)) return;
    if (!rewind(vocabulary::kFinalMenu, FinalMenuHistory)) return;
  }
  // The options were applied after the state was recorded, and a rewind may bring back the
  // visibility they had before: apply them again so the next final document follows them.
  ApplyOptionsToLayers();
  SetUIState();
  onError([&] { PhotoshopApp.SetActiveDocument(remembered); });
}

void Form1::Undo_Click() { PreviousHistoryState(); }

}  // namespace app
