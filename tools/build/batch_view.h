#pragma once
// What a batch build shows and answers in place of the main window. The chooser answers with
// the two files once (a second showing means the first choice failed, and is cancelled, so the
// command cannot loop); the input box answers with the button count; every other question gets
// its default button. Everything a user would have seen is written to the transcript stream.

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/form_view.h"
#include "engine/engine.h"

namespace build {

class BatchView : public app::FormView {
 public:
  BatchView(std::string background, std::string buttonTemplate, int menuWidth, int menuHeight, int buttonCount,
            std::ostream& transcript);

  // The message-box texts shown since the last call, oldest first.
  std::vector<std::string> takeMessages();

  app::MsgBoxResult MsgBox(const std::string& prompt, app::MsgBoxButtons buttons, const std::string& title) override;
  std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override;
  app::ChooserResult ShowChooser(const app::ChooserRequest& request) override;
  void UnloadChooser() override {}
  void ShowAboutBox() override {}
  void Beep() override {}
  void SetMousePointer(app::MousePointer) override {}
  double ProgressValue() const override { return progress_; }
  void SetProgressValue(double value) override { progress_ = value; }
  std::string StatusPanelText(int panel) const override;
  void SetStatusPanelText(int panel, const std::string& text) override;
  app::FileResult LoadInstructionFile(const std::string& path) override;
  std::string InstructionFileName() const override { return instructionFile_; }
  app::FileResult SaveInstructionFile(const std::string& path) override;
  void ShowInstructionFromStart() override {}
  void SetButtonEnabled(app::WorkflowButton, bool) override {}
  void SetButtonColor(app::WorkflowButton, std::int32_t) override {}
  bool OptionChecked(int index) const override;
  void SetOptionChecked(int index, bool checked) override;
  bool OptionEnabled(int index) const;
  void SetOptionEnabled(int index, bool enabled) override;
  std::string MenuWidthText() const override { return menuWidth_; }
  std::string MenuHeightText() const override { return menuHeight_; }
  bool RtfButtonsVisible() const override { return false; }
  void SetRtfButtonsVisible(bool) override {}
  int WindowLeft() const override { return 0; }
  int WindowTop() const override { return 0; }
  int WindowWidth() const override { return 7785; }
  int WindowHeight() const override { return 7800; }
  void MoveWindow(int, int) override {}
  int ScreenWidth() const override { return 28800; }
  int ScreenHeight() const override { return 16200; }
  void UnloadWindow() override {}
  void ClearColorTable() override {}

 private:
  std::string background_, template_, menuWidth_, menuHeight_, buttonCount_;
  std::ostream& transcript_;
  bool chooserAnswered_ = false;
  bool countAnswered_ = false;
  double progress_ = 0;
  std::array<std::string, 2> panels_;
  std::string instructionFile_;
  std::array<bool, app::kOptionCount> checked_{};
  std::array<bool, app::kOptionCount> enabled_{};
  std::vector<std::string> messages_;
};

// The engine's own dialogs in a batch build: the first save dialog is answered with the output
// path, any later one is cancelled; a prompt to save changes on closing is answered "don't
// save", since a batch build keeps nothing but its output.
class BatchHost : public engine::Host {
 public:
  BatchHost(std::string outputPath, std::ostream& transcript)
      : outputPath_(std::move(outputPath)), transcript_(transcript) {}

  std::optional<std::string> chooseSavePath(const std::string& proposedName) override;
  engine::SaveChangesAnswer askSaveChanges(const std::string& documentName) override;
  bool saved() const { return answered_; }

 private:
  std::string outputPath_;
  std::ostream& transcript_;
  bool answered_ = false;
};

}  // namespace build
