#pragma once
// A FormView for tests: message boxes and input boxes are answered from queues, and what the
// core shows is kept (the messages in full, the rest as the state a window would have).

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/form_view.h"

namespace app_test {

struct ShownMessage {
  std::string text;
  app::MsgBoxButtons buttons;
  std::string title;
};

class ScriptedFormView : public app::FormView {
 public:
  // Answers for boxes with a choice; a box with only OK needs none.
  std::deque<app::MsgBoxResult> answers;
  std::deque<std::string> inputs;
  // Answers of the chooser dialog, one per showing; none left means the user cancels.
  std::deque<app::ChooserResult> chooserAnswers;
  std::vector<app::ChooserRequest> chooserRequests;
  std::string menuWidth = "720", menuHeight = "540";

  std::vector<ShownMessage> messages;
  std::vector<app::MousePointer> pointers;
  int beeps = 0, aboutBoxes = 0, chooserUnloads = 0, colorTableClears = 0;
  bool unloaded = false;

  std::array<bool, app::kWorkflowButtonCount> enabled{};
  std::array<std::int32_t, app::kWorkflowButtonCount> colors{};
  std::array<bool, app::kOptionCount> optionChecked{false, true, true, true, true, true, false};
  std::array<bool, app::kOptionCount> optionEnabled{true, true, true, true, true, true, true};
  std::array<std::string, 3> panels;
  double progress = 0;
  bool rtfVisible = false;
  std::string paneFile;
  std::set<std::string> lockedFiles;  // loading these fails as a file opened elsewhere
  std::vector<std::string> savedFiles;
  int left = 0, top = 0, width = 7800, height = 7800;
  int screenWidth = 28800, screenHeight = 16200;  // 1920 x 1080 at 15 twips per pixel

  app::MsgBoxResult MsgBox(const std::string& prompt, app::MsgBoxButtons buttons, const std::string& title) override {
    messages.push_back({prompt, buttons, title});
    if (buttons == app::MsgBoxButtons::OKOnly) return app::MsgBoxResult::OK;
    if (answers.empty()) ADD_FAILURE() << "no answer queued for: " << prompt;
    return next(answers, app::MsgBoxResult::Cancel);
  }
  std::string InputBox(const std::string&, const std::string&, const std::string&) override { return next(inputs, {}); }
  app::ChooserResult ShowChooser(const app::ChooserRequest& request) override {
    chooserRequests.push_back(request);
    return next(chooserAnswers, {});  // none left: cancelled
  }
  void UnloadChooser() override { ++chooserUnloads; }
  void ShowAboutBox() override { ++aboutBoxes; }
  void Beep() override { ++beeps; }
  void SetMousePointer(app::MousePointer pointer) override { pointers.push_back(pointer); }
  double ProgressValue() const override { return progress; }
  void SetProgressValue(double value) override { progress = value; }
  std::string StatusPanelText(int panel) const override { return panels.at(std::size_t(panel - 1)); }
  void SetStatusPanelText(int panel, const std::string& text) override { panels.at(std::size_t(panel - 1)) = text; }
  app::FileResult LoadInstructionFile(const std::string& path) override {
    if (lockedFiles.count(path)) return {75, "Path/File access error"};
    if (!std::filesystem::exists(path)) return {53, "File not found: " + path};
    paneFile = path;
    return {};
  }
  std::string InstructionFileName() const override { return paneFile; }
  app::FileResult SaveInstructionFile(const std::string& path) override {
    savedFiles.push_back(path);
    return {};
  }
  void ShowInstructionFromStart() override {}
  void SetButtonEnabled(app::WorkflowButton button, bool on) override { enabled[std::size_t(button)] = on; }
  void SetButtonColor(app::WorkflowButton button, std::int32_t color) override { colors[std::size_t(button)] = color; }
  bool OptionChecked(int index) const override { return optionChecked.at(std::size_t(index)); }
  void SetOptionChecked(int index, bool checked) override { optionChecked.at(std::size_t(index)) = checked; }
  void SetOptionEnabled(int index, bool on) override { optionEnabled.at(std::size_t(index)) = on; }
  std::string MenuWidthText() const override { return menuWidth; }
  std::string MenuHeightText() const override { return menuHeight; }
  bool RtfButtonsVisible() const override { return rtfVisible; }
  void SetRtfButtonsVisible(bool visible) override { rtfVisible = visible; }
  int WindowLeft() const override { return left; }
  int WindowTop() const override { return top; }
  int WindowWidth() const override { return width; }
  int WindowHeight() const override { return height; }
  void MoveWindow(int l, int t) override { std::tie(left, top) = std::pair(l, t); }
  int ScreenWidth() const override { return screenWidth; }
  int ScreenHeight() const override { return screenHeight; }
  void UnloadWindow() override { unloaded = true; }
  void ClearColorTable() override { ++colorTableClears; }

  bool isEnabled(app::WorkflowButton b) const { return enabled[std::size_t(b)]; }
  std::int32_t colorOf(app::WorkflowButton b) const { return colors[std::size_t(b)]; }

 private:
  // The first queued answer, taken off its queue, or `none`.
  template <class T>
  static T next(std::deque<T>& queue, T none) {
    if (queue.empty()) return none;
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
  }
};

}  // namespace app_test
