// Applying a workflow state to the window, the instruction pane and the key sequence that
// reveals the pane's file buttons.

#include <algorithm>
#include <cctype>

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "app/workflow_state_table.h"
#include "support/vocabulary.h"

namespace app {

namespace {

inline constexpr int kFileLockedError = 75;
inline constexpr const char* kFileLockedMessage = "Error: Help file is opened with another application.";

}  // namespace

std::string Form1::StateInfoFile(int state) const {
  return programFolder_ + "/Resources/StateInfo" + std::to_string(state) + ".rtf";
}

void Form1::SetUIState() {
  ErrorRecovery onError(*this, RecoveryStyle::SetUIState());
  int documentCount = 0;
  if (!onError([&] { documentCount = PhotoshopApp.Documents().Count(); })) return;
  if (documentCount > 0 && !onError([&] { SavedActiveDocument = PhotoshopApp.ActiveDocument(); })) return;

  for (WorkflowButton button : AllWorkflowButtons()) view_.SetButtonEnabled(button, false);
  for (WorkflowButton button : AllWorkflowButtons()) view_.SetButtonColor(button, kNeutralButtonColor);
  ClearStatusDisplay();

  // Keep the two marker layers on top of the Build Menu's stack. Any failure here (no document,
  // no marker layer) ends the reordering silently.
  IgnoreErrors([&] {
    SavedActiveDocument = PhotoshopApp.ActiveDocument();
    SavedActiveLayer = SavedActiveDocument.ActiveLayer();
    PhotoshopApp.SetActiveDocument(Held(BuildMenuDocument));
    BuildMenuDocument.ArtLayers().Item(vocabulary::kColorTable).MoveToBeginning(BuildMenuDocument);
    BuildMenuDocument.ArtLayers().Item(vocabulary::kTitleSafeZones).MoveToBeginning(BuildMenuDocument);
    PhotoshopApp.SetActiveDocument(SavedActiveDocument);
    PhotoshopApp.ActiveDocument().SetActiveLayer(SavedActiveLayer);
  });

  if (!onError([&] { DisplayStateInfo(StateInfoFile(WorkflowState)); })) return;

  const auto state = WorkflowStateFor(WorkflowState);
  if (!state) return;
  view_.SetProgressValue(0);
  for (std::size_t i = 0; i < state->enabled.size(); ++i) {
    view_.SetButtonEnabled(state->enabled[i], true);
    view_.SetButtonColor(state->enabled[i],
                         i == 0 && state->hasStepButton ? kStepButtonColor : kAvailableButtonColor);
  }
  DisplayStatusInfo(state->statusText);
}

void Form1::DisplayStateInfo(const std::string& StateFile) {
  const FileResult loaded = view_.LoadInstructionFile(StateFile);
  view_.ShowInstructionFromStart();
  if (loaded.ok()) return;
  view_.MsgBox(loaded.number == kFileLockedError ? kFileLockedMessage : loaded.description, MsgBoxButtons::OKOnly, "");
}

void Form1::ClearStatusDisplay() { view_.SetStatusPanelText(2, ""); }

void Form1::DisplayStatusInfo(const std::string& s) { view_.SetStatusPanelText(2, s); }

void Form1::Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift) {
  if (KeyCode < 0 || KeyCode > 255) return;  // keys without a character of their own
  KeyBuffer.push_back(static_cast<char>(KeyCode));
  if (KeyBuffer.size() > 3) KeyBuffer.erase(0, KeyBuffer.size() - 3);
  std::string upper = KeyBuffer;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  if (upper == "QXJ" && (Shift & 2) != 0) {
    view_.Beep();
    view_.SetRtfButtonsVisible(!view_.RtfButtonsVisible());
  }
}

void Form1::LoadRTF_Click() {
  // A file that cannot be read again is reported the same way as when a state shows it.
  const std::string file = view_.InstructionFileName();
  if (!file.empty()) DisplayStateInfo(file);
}

void Form1::SaveRTFFile_Click() {
  const std::string file = view_.InstructionFileName();
  if (file.empty()) return;
  const FileResult saved = view_.SaveInstructionFile(file);
  if (!saved.ok()) view_.MsgBox(saved.description, MsgBoxButtons::OKOnly, "");
}

}  // namespace app
