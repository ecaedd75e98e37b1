#pragma once
// The main window on the screen. It lays out the controls at their twips positions, shows
// what the core asks through FormView with real dialogs, and hands every click, menu choice
// and key press to the core (Form1): the widgets hold no workflow logic.

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

#include "app/form_view.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QTimer;

namespace app {
class Form1;
}
namespace color_table {
class ColorTableCtrl;
}
namespace menu_creation {
class Dialog;
}

namespace app::window {

class WorkflowPushButton;

class Form1Window : public QMainWindow, public FormView {
  Q_OBJECT

 public:
  // Outer geometry of the client area, in twips.
  static constexpr int kClientWidth = 7665;
  static constexpr int kClientHeight = 6975;

  explicit Form1Window(QWidget* parent = nullptr);
  ~Form1Window() override;

  // From now on the window's events go to this core.
  void attach(Form1& form);
  // Runs after every command the user gives through a button or a menu.
  void setCommandFinished(std::function<void()> hook) { commandFinished_ = std::move(hook); }
  // What Window > Workspace does: brings the document window back.
  void setWorkspaceOpener(std::function<void()> open) { openWorkspace_ = std::move(open); }
  bool isUnloaded() const { return unloaded_; }
  double dotsPerInch() const { return dpi_; }

  // FormView
  MsgBoxResult MsgBox(const std::string& prompt, MsgBoxButtons buttons, const std::string& title) override;
  std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override;
  ChooserResult ShowChooser(const ChooserRequest& request) override;
  void UnloadChooser() override;
  void ShowAboutBox() override;
  void Beep() override;
  void SetMousePointer(MousePointer pointer) override;
  double ProgressValue() const override;
  void SetProgressValue(double value) override;
  std::string StatusPanelText(int panel) const override;
  void SetStatusPanelText(int panel, const std::string& text) override;
  FileResult LoadInstructionFile(const std::string& path) override;
  std::string InstructionFileName() const override;
  FileResult SaveInstructionFile(const std::string& path) override;
  void ShowInstructionFromStart() override;
  void SetButtonEnabled(WorkflowButton button, bool enabled) override;
  void SetButtonColor(WorkflowButton button, std::int32_t color) override;
  bool OptionChecked(int index) const override;
  void SetOptionChecked(int index, bool checked) override;
  void SetOptionEnabled(int index, bool enabled) override;
  std::string MenuWidthText() const override;
  std::string MenuHeightText() const override;
  bool RtfButtonsVisible() const override;
  void SetRtfButtonsVisible(bool visible) override;
  int WindowLeft() const override;
  int WindowTop() const override;
  int WindowWidth() const override;
  int WindowHeight() const override;
  void MoveWindow(int left, int top) override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;
  std::vector<ScreenArea> ScreenAreas() const override;
  int TitleBarHeight() const override;
  void UnloadWindow() override;
  void ClearColorTable() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QRect at(int left, int top, int width, int height) const;
  void buildColorTableGroup(QWidget* client);
  void buildSettingsGroup(QWidget* client);
  void buildWorkflowColumn(QWidget* client);
  void buildStatusBar(QWidget* client);
  void buildMenus();
  WorkflowPushButton* workflowButton(WorkflowButton button) const;
  void updateClock();
  // Runs one command of the core, then the hook.
  void command(const std::function<void(Form1&)>& run);

  Form1* form_ = nullptr;
  std::function<void()> commandFinished_;
  std::function<void()> openWorkspace_;
  double dpi_ = 96.0;
  bool unloaded_ = false;
  bool hourglass_ = false;
  double progress_ = 0;

  std::array<WorkflowPushButton*, kWorkflowButtonCount> workflowButtons_{};
  std::array<QAction*, kOptionCount> options_{};
  QGroupBox* colorTableSel_ = nullptr;
  std::array<QPushButton*, 4> fillSwatches_{};  // black, grey, light grey, white
  color_table::ColorTableCtrl* colorTableCtrl_ = nullptr;
  QLineEdit* menuWidth_ = nullptr;
  QLineEdit* menuHeight_ = nullptr;
  QPushButton* saveRtfFile_ = nullptr;
  QPushButton* loadRtf_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QTextEdit* display_ = nullptr;
  QString displayFile_;
  QStatusBar* statusBar_ = nullptr;
  std::array<QLabel*, 3> statusPanels_{};
  QTimer* clock_ = nullptr;
  // The chooser, kept with its selection from its first showing until it is unloaded.
  std::unique_ptr<menu_creation::Dialog> chooser_;
};

}  // namespace app::window
