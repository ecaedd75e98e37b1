#include "app/error_recovery.h"

#include "app/form1.h"
#include "app/held_reference.h"
#include "support/vocabulary.h"

namespace app {

using engine::ErrorCode;

bool IsBusyError(const photoshop::AutomationError& error) {
  return error.Is(ErrorCode::CallRejected) || error.Is(ErrorCode::Busy);
}

RecoveryStyle RecoveryStyle::Standard() { return {}; }

RecoveryStyle RecoveryStyle::SetUIState() {
  RecoveryStyle style;
  style.bareDescription = true;
  return style;
}

RecoveryStyle RecoveryStyle::FormLoad(std::function<void()> unloadWindow) {
  RecoveryStyle style;
  style.bareDescription = true;
  style.defaultPointerBeforeMessages = true;
  style.onBusyCancel = std::move(unloadWindow);
  return style;
}

RecoveryStyle RecoveryStyle::CreateNewMenuDoc() {
  RecoveryStyle style;
  style.busyText = kBusyMessageCreateMenu;
  style.bareDescription = true;
  style.defaultPointerBeforeMessages = true;
  style.defaultPointerOnLeave = true;
  return style;
}

RecoveryStyle RecoveryStyle::CloneButtons() {
  RecoveryStyle style;
  style.defaultPointerOnLeave = true;
  style.hourglassOnRetry = true;
  return style;
}

bool ErrorRecovery::operator()(const std::function<void()>& statement) {
  int retargets = 0;
  for (;;) {
    try {
      statement();
      return true;
    } catch (const photoshop::AutomationError& error) {
      if (IsBusyError(error)) {
        if (askRetry(error)) continue;
        if (style_.onBusyCancel) style_.onBusyCancel();
        leave();
        return false;
      }
      if (error.Is(ErrorCode::NotActiveDocument)) {
        if (retargets < kMaxRetargets && retarget()) {
          ++retargets;
          if (style_.afterRetarget) style_.afterRetarget();
          continue;
        }
        report(kDocumentsMissingMessage);
        return false;
      }
      report(style_.bareDescription ? error.Description()
                                    : "Error: " + error.Description() + kElementMissingSuffix);
      return false;
    }
  }
}

bool ErrorRecovery::askRetry(const photoshop::AutomationError& error) {
  const MsgBoxResult answer = form_.View().MsgBox(style_.busyText, MsgBoxButtons::RetryCancel, error.Description());
  if (answer != MsgBoxResult::Retry) return false;
  if (style_.hourglassOnRetry) form_.View().SetMousePointer(MousePointer::Hourglass);
  return true;
}

bool ErrorRecovery::retarget() {
  // Each name hands over to the next working document, so that within the bound every one of
  // the three has been the active document once.
  return IgnoreErrors([&] {
    const std::string active = form_.PhotoshopApp.ActiveDocument().Name();
    const photoshop::Document* next = nullptr;
    if (active == vocabulary::kBuildMenu)
      next = &form_.TemplateDocument;
    else if (active == vocabulary::kButtonTemplate)
      next = &form_.FinalMenuDocument;
    else if (active == vocabulary::kFinalMenu)
      next = &form_.BuildMenuDocument;
    if (!next) throw photoshop::AutomationError(ErrorCode::NoSuchElement, engine::kNoSuchElementText, "Quillary");
    form_.PhotoshopApp.SetActiveDocument(Held(*next));
  });
}

void ErrorRecovery::leave() {
  if (style_.defaultPointerOnLeave) form_.View().SetMousePointer(MousePointer::Default);
}

void ErrorRecovery::report(const std::string& message) {
  if (style_.defaultPointerBeforeMessages) form_.View().SetMousePointer(MousePointer::Default);
  form_.View().MsgBox(message, MsgBoxButtons::OKOnly, "");
  leave();
}

}  // namespace app
