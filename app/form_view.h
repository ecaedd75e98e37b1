#pragma once
// FormView: everything the main window's core shows or asks goes through this interface, so
// the workflow runs the same behind the Qt window, a batch runner or a scripted test view.
// Geometry is in twips (1/1440 inch); colours are colour values (red + 256 * green +
// 65536 * blue). An empty message-box title stands for the program's name, "Quillary".

#include <cstdint>
#include <string>
#include <vector>

#include "app/window_position.h"

namespace app {

inline constexpr const char* kProgramTitle = "Quillary";

enum class MsgBoxButtons { OKOnly, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgBoxResult { OK, Cancel, Yes, No, Retry };

enum class MousePointer { Default, Hourglass };

// The eight buttons whose enabled state and colour follow the workflow state.
enum class WorkflowButton {
  PreviewMenu,
  AnotherRandomBkgnd,
  CreateNewMenuDoc,
  CloneButtons,
  LinkBtnLyrs,
  BuildCompositeLayers,
  FinalPSDDocument,
  Undo,
};
inline constexpr int kWorkflowButtonCount = 8;

inline constexpr int kOptionCount = 7;  // entries 0..6 of the Options menu
// The marks of the Options menu when the program starts, matching Form1's option fields.
inline constexpr bool kOptionsCheckedAtStart[kOptionCount] = {false, true, true, true, true, true, false};

// Outcome of a file operation of the instruction pane: number 0 is success; otherwise the
// run-time error number (53 file not found, 75 path/file access error, ...) and its text.
struct FileResult {
  int number = 0;
  std::string description;
  bool ok() const { return number == 0; }
};

// What the chooser dialog is told before it is shown, and what it answers.
struct ChooserRequest {
  bool BuildMenuDoc = false;       // a "Build Menu" is open and kept: no background needed
  bool ButtonTemplateDoc = false;  // a "Button Template" is open and kept
};
struct ChooserResult {
  bool DialogCanceled = true;
  std::string BackgroundFile;
  std::string ButtonTemplateFile;
};

class FormView {
 public:
  virtual ~FormView() = default;

  // Dialogs. Texts may hold "\r\n" line breaks.
  virtual MsgBoxResult MsgBox(const std::string& prompt, MsgBoxButtons buttons, const std::string& title) = 0;
  // The typed text, or "" when the user cancels.
  virtual std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) = 0;
  // Shows the chooser modally, owned by the main window; it keeps its selection between
  // showings until UnloadChooser.
  virtual ChooserResult ShowChooser(const ChooserRequest& request) = 0;
  virtual void UnloadChooser() = 0;
  virtual void ShowAboutBox() = 0;
  virtual void Beep() = 0;

  virtual void SetMousePointer(MousePointer pointer) = 0;

  // Progress bar, 0 to 100.
  virtual double ProgressValue() const = 0;
  virtual void SetProgressValue(double value) = 0;

  // Status bar panels 1 and 2 (panel 3 is the clock the window keeps itself).
  virtual std::string StatusPanelText(int panel) const = 0;
  virtual void SetStatusPanelText(int panel, const std::string& text) = 0;

  // Instruction pane. Loading names the pane's file and shows it; on failure the pane keeps
  // what it showed and the name of the file that came from.
  virtual FileResult LoadInstructionFile(const std::string& path) = 0;
  virtual std::string InstructionFileName() const = 0;
  virtual FileResult SaveInstructionFile(const std::string& path) = 0;
  // Caret to the start, nothing selected, scrolled to the top.
  virtual void ShowInstructionFromStart() = 0;

  // The workflow buttons.
  virtual void SetButtonEnabled(WorkflowButton button, bool enabled) = 0;
  virtual void SetButtonColor(WorkflowButton button, std::int32_t color) = 0;

  // Options menu entries 0..6.
  virtual bool OptionChecked(int index) const = 0;
  virtual void SetOptionChecked(int index, bool checked) = 0;
  virtual void SetOptionEnabled(int index, bool enabled) = 0;

  // The menu size text boxes.
  virtual std::string MenuWidthText() const = 0;
  virtual std::string MenuHeightText() const = 0;

  // The hidden "Save RTF" and "Load RTF" buttons.
  virtual bool RtfButtonsVisible() const = 0;
  virtual void SetRtfButtonsVisible(bool visible) = 0;

  // Window geometry in twips: the outer window and the screen it is on.
  virtual int WindowLeft() const = 0;
  virtual int WindowTop() const = 0;
  virtual int WindowWidth() const = 0;
  virtual int WindowHeight() const = 0;
  virtual void MoveWindow(int left, int top) = 0;
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  // Every screen of the desktop; by default the one above, at the origin.
  virtual std::vector<ScreenArea> ScreenAreas() const { return {{0, 0, ScreenWidth(), ScreenHeight()}}; }
  // The height of the window's title bar.
  virtual int TitleBarHeight() const { return 300; }

  // Closes the main window for good; the program ends with it.
  virtual void UnloadWindow() = 0;

  // The color table control: every cell back to unmarked.
  virtual void ClearColorTable() = 0;
};

}  // namespace app
