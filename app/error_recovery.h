#pragma once
// The recovery routine the long commands share. A command runs each statement that talks to
// the image application through an ErrorRecovery; when the statement fails the routine offers
// a retry while the application is busy, quietly re-activates a working document when the
// statement needed another one to be active, or reports the failure. The statement's result
// says whether the command goes on or must be left at once:
//
//   ErrorRecovery onError(*this, RecoveryStyle::Standard());
//   if (!onError([&] { remembered = PhotoshopApp.ActiveDocument(); })) return;
//
// Statements that may fail without consequence use IgnoreErrors instead.

#include <functional>
#include <string>

#include "photoshop/automation_error.h"

namespace app {

class Form1;

inline constexpr const char* kBusyMessage =
    "Photoshop appears to be busy. This error can be caused if there are pending edits that have NOT been accepted.";
inline constexpr const char* kBusyMessageCreateMenu =
    "Photoshop appears to be busy. This error can be caused if there\r\n"
    "are pending edits that have NOT yet been accepted/rejected.";
inline constexpr const char* kDocumentsMissingMessage = "Build Menu, Button Template or Final Menu Document(s) is Missing.";
inline constexpr const char* kElementMissingSuffix = ". Photoshop Document/Element is missing.";

// A statement that keeps failing after this many re-activations is reported as missing documents.
inline constexpr int kMaxRetargets = 3;

// How one procedure words and frames the routine.
struct RecoveryStyle {
  std::string busyText = kBusyMessage;
  // Other errors show the description alone instead of "Error: ... is missing.".
  bool bareDescription = false;
  // The default pointer comes back before the missing-documents and other-error messages.
  bool defaultPointerBeforeMessages = false;
  // Every way out of the routine that ends the command restores the default pointer.
  bool defaultPointerOnLeave = false;
  // Retry after the busy message shows the hourglass again before the statement runs again.
  bool hourglassOnRetry = false;
  // Runs when the user cancels the busy message (start-up unloads the window).
  std::function<void()> onBusyCancel;
  // Runs after a working document was re-activated, before the statement runs again.
  std::function<void()> afterRetarget;

  static RecoveryStyle Standard();
  static RecoveryStyle SetUIState();
  static RecoveryStyle FormLoad(std::function<void()> unloadWindow);
  static RecoveryStyle CreateNewMenuDoc();
  static RecoveryStyle CloneButtons();
};

class ErrorRecovery {
 public:
  ErrorRecovery(Form1& form, RecoveryStyle style) : form_(form), style_(std::move(style)) {}

  // Runs the statement until it succeeds (true) or the routine ends the procedure (false).
  bool operator()(const std::function<void()>& statement);

  RecoveryStyle& Style() { return style_; }

 private:
  // Busy: Retry (true) or Cancel (false).
  bool askRetry(const photoshop::AutomationError& error);
  // Makes the next working document active; false when the active one is none of them.
  bool retarget();
  void leave();
  void report(const std::string& message);

  Form1& form_;
  RecoveryStyle style_;
};

// The numbers the routine treats as "the application is busy".
bool IsBusyError(const photoshop::AutomationError& error);

// Runs a statement whose failure is skipped; true when it succeeded.
template <class Statement>
bool IgnoreErrors(Statement&& statement) {
  try {
    statement();
    return true;
  } catch (const photoshop::AutomationError&) {
    return false;
  }
}

}  // namespace app
