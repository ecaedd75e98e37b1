#include "tools/build/batch_view.h"

#include <algorithm>

namespace build {

namespace {

// Message texts use "\r\n" breaks; one line of the transcript each.
std::string oneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

app::MsgBoxResult defaultAnswer(app::MsgBoxButtons buttons) {
  switch (buttons) {
    case app::MsgBoxButtons::OKOnly:
    case app::MsgBoxButtons::OKCancel: return app::MsgBoxResult::OK;
    case app::MsgBoxButtons::YesNo:
    case app::MsgBoxButtons::YesNoCancel: return app::MsgBoxResult::Yes;
    case app::MsgBoxButtons::RetryCancel: return app::MsgBoxResult::Cancel;  // a retry could wait forever
  }
  return app::MsgBoxResult::OK;
}

const char* answerName(app::MsgBoxResult answer) {
  switch (answer) {
    case app::MsgBoxResult::OK: return "OK";
    case app::MsgBoxResult::Cancel: return "Cancel";
    case app::MsgBoxResult::Yes: return "Yes";
    case app::MsgBoxResult::No: return "No";
    case app::MsgBoxResult::Retry: return "Retry";
  }
  return "?";
}

}  // namespace

BatchView::BatchView(std::string background, std::string buttonTemplate, int menuWidth, int menuHeight,
                     int buttonCount, std::ostream& transcript)
    : background_(std::move(background)),
      template_(std::move(buttonTemplate)),
      menuWidth_(std::to_string(menuWidth)),
      menuHeight_(std::to_string(menuHeight)),
      buttonCount_(std::to_string(buttonCount)),
      transcript_(transcript) {
  std::copy(std::begin(app::kOptionsCheckedAtStart), std::end(app::kOptionsCheckedAtStart), checked_.begin());
  enabled_.fill(true);
}

std::vector<std::string> BatchView::takeMessages() { return std::exchange(messages_, {}); }

app::MsgBoxResult BatchView::MsgBox(const std::string& prompt, app::MsgBoxButtons buttons, const std::string& title) {
  const app::MsgBoxResult answer = defaultAnswer(buttons);
  messages_.push_back(oneLine(prompt));
  transcript_ << "quillary-build: " << (title.empty() ? app::kProgramTitle : title) << ": " << oneLine(prompt)
              << " [" << answerName(answer) << "]\n";
  return answer;
}

std::string BatchView::InputBox(const std::string& prompt, const std::string&, const std::string&) {
  // The count was checked before the build; asking again means the answer was refused.
  if (std::exchange(countAnswered_, true)) {
    transcript_ << "quillary-build: " << oneLine(prompt) << " [Cancel]\n";
    return {};
  }
  return buttonCount_;
}

app::ChooserResult BatchView::ShowChooser(const app::ChooserRequest&) {
  if (std::exchange(chooserAnswered_, true)) return {};  // the first choice failed: cancel
  return {false, background_, template_};
}

std::string BatchView::StatusPanelText(int panel) const {
  return panel >= 1 && panel <= 2 ? panels_[std::size_t(panel - 1)] : std::string();
}

void BatchView::SetStatusPanelText(int panel, const std::string& text) {
  if (panel >= 1 && panel <= 2) panels_[std::size_t(panel - 1)] = text;
}

// A batch build shows no instruction pane: every file "loads" without being read.
app::FileResult BatchView::LoadInstructionFile(const std::string& path) {
  instructionFile_ = path;
  return {};
}

app::FileResult BatchView::SaveInstructionFile(const std::string&) {
  return {75, "Path/File access error"};
}

bool BatchView::OptionChecked(int index) const {
  return index >= 0 && index < app::kOptionCount && checked_[std::size_t(index)];
}

void BatchView::SetOptionChecked(int index, bool checked) {
  if (index >= 0 && index < app::kOptionCount) checked_[std::size_t(index)] = checked;
}

bool BatchView::OptionEnabled(int index) const {
  return index >= 0 && index < app::kOptionCount && enabled_[std::size_t(index)];
}

void BatchView::SetOptionEnabled(int index, bool enabled) {
  if (index >= 0 && index < app::kOptionCount) enabled_[std::size_t(index)] = enabled;
}

std::optional<std::string> BatchHost::chooseSavePath(const std::string& proposedName) {
  if (std::exchange(answered_, true)) {
    transcript_ << "quillary-build: save \"" << proposedName << "\" [Cancel]\n";
    return std::nullopt;
  }
  return outputPath_;
}

engine::SaveChangesAnswer BatchHost::askSaveChanges(const std::string& documentName) {
  transcript_ << "quillary-build: Save changes to the document \"" << documentName << "\" before closing? [Discard]\n";
  return engine::SaveChangesAnswer::DontSave;
}

}  // namespace build
