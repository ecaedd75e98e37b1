#include "app/window/form1_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QTime>
#include <QTimer>

#include "app/form1.h"
#include "app/machine_keys.h"
#include "app/rtf/rtf_file.h"
#include "app/system_info.h"
#include "app/window/app_icon.h"
#include "app/window/frm_about.h"
#include "app/window/workflow_push_button.h"
#include "color_table/color_table_ctrl.h"
#include "menu_creation/dialog/chooser_dialog.h"
#include "support/caption_fit.h"
#include "support/screen_twips.h"

namespace app::window {

using support::screen::pixelsToTwips;
using support::screen::twipsRect;
using support::screen::twipsToPixels;

namespace {

const QColor kFormColor(192, 192, 184);
const QColor kNeutralColor(224, 224, 216);

QColor fromColorValue(std::int32_t value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

void paintBackground(QWidget* widget, const QColor& color) {
  widget->setAutoFillBackground(true);
  QPalette p = widget->palette();
  p.setColor(QPalette::Window, color);
  widget->setPalette(p);
}

QLabel* label(const QString& caption, QWidget* parent, const char* name, const QRect& rect) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setGeometry(rect);
  support::screen::fitLabelCaption(*l);
  return l;
}

// A plain coloured square that the user clicks to fill the selection with its colour.
QPushButton* swatch(QWidget* parent, const char* name, const QColor& color, const QRect& rect) {
  auto* s = new QPushButton(parent);
  s->setObjectName(QString::fromLatin1(name));
  s->setGeometry(rect);
  s->setFlat(true);
  s->setAutoFillBackground(true);
  QPalette p = s->palette();
  p.setColor(QPalette::Button, color);
  p.setColor(QPalette::Window, color);
  s->setPalette(p);
  return s;
}

// Key codes as the core expects them: letters and digits are their upper-case character codes.
int keyCodeOf(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    default: break;
  }
  return event.key() >= 0 && event.key() <= 0xFF ? event.key() : -1;
}

std::int16_t shiftStateOf(Qt::KeyboardModifiers modifiers) {
  std::int16_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::ControlModifier) shift |= 2;
  if (modifiers & Qt::AltModifier) shift |= 4;
  return shift;
}

QString displayText(const std::string& text) { return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

FileResult toFileResult(const rtf::FileStatus& status) { return {status.number, status.description.toStdString()}; }

}  // namespace

Form1Window::Form1Window(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromLatin1(kProgramTitle));
  setWindowIcon(quillaryIcon());
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  if (QScreen* s = screen()) dpi_ = s->logicalDotsPerInchX();

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("Client"));
  client->setFixedSize(twipsToPixels(kClientWidth, dpi_), twipsToPixels(kClientHeight, dpi_));
  paintBackground(client, kFormColor);
  // Captions are sized for the small dialog font the layout was made with.
  QFont small = client->font();
  small.setPointSizeF(8);
  client->setFont(small);
  setCentralWidget(client);

  buildColorTableGroup(client);
  buildSettingsGroup(client);
  buildWorkflowColumn(client);
  buildStatusBar(client);
  buildMenus();
  // The window keeps its size: the client area is fixed and the frame follows it.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  layout()->activate();
}

Form1Window::~Form1Window() {
  if (hourglass_) QApplication::restoreOverrideCursor();
}

QRect Form1Window::at(int left, int top, int width, int height) const { return twipsRect(left, top, width, height, dpi_); }

void Form1Window::buildColorTableGroup(QWidget* client) {
  colorTableSel_ = new QGroupBox(QStringLiteral("Color Table Sel"), client);
  colorTableSel_->setObjectName(QStringLiteral("ColorTableSel"));
  colorTableSel_->setGeometry(at(120, 60, 1755, 1935));
  paintBackground(colorTableSel_, kFormColor);

  colorTableCtrl_ = new color_table::ColorTableCtrl(colorTableSel_);
  colorTableCtrl_->setObjectName(QStringLiteral("ColorTableCtrl1"));
  colorTableCtrl_->SetDotsPerInch(dpi_);
  colorTableCtrl_->setGeometry(at(300, 240, 900, 1575));

  fillSwatches_ = {swatch(colorTableSel_, "FillBlack", Qt::black, at(1320, 480, 255, 255)),
                   swatch(colorTableSel_, "FillGray", QColor(128, 128, 128), at(1320, 780, 255, 255)),
                   swatch(colorTableSel_, "FillLtGray", QColor(200, 200, 200), at(1320, 1080, 255, 255)),
                   swatch(colorTableSel_, "FillWhite", Qt::white, at(1320, 1380, 255, 255))};
  label(QStringLiteral("Fill"), colorTableSel_, "Label3", at(1380, 240, 195, 195));
  QLabel* shiftKey = label(QStringLiteral("S h i  f t  K e y "), colorTableSel_, "Label2", at(120, 300, 105, 1530));
  QFont small = shiftKey->font();
  small.setPointSizeF(6);
  shiftKey->setFont(small);
  shiftKey->setWordWrap(true);
  shiftKey->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void Form1Window::buildSettingsGroup(QWidget* client) {
  auto* frame1 = new QGroupBox(QStringLiteral("Settings"), client);
  frame1->setObjectName(QStringLiteral("Frame1"));
  frame1->setGeometry(at(1980, 60, 5595, 1275));

  auto make = [&](WorkflowButton button, const char* name, const char* caption, const QRect& rect) {
    auto* b = new WorkflowPushButton(QString::fromLatin1(caption), frame1);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(rect);
    b->setFaceColor(kNeutralColor);
    workflowButtons_[std::size_t(button)] = b;
  };
  make(WorkflowButton::PreviewMenu, "PreviewMenu", "Preview Menu", at(180, 300, 1035, 795));
  make(WorkflowButton::AnotherRandomBkgnd, "AnotherRandomBkgnd", "Create A New Random  Background",
       at(1320, 300, 1155, 795));
  make(WorkflowButton::LinkBtnLyrs, "LinkBtnLyrs", " Re-Link Related Button Layers", at(2580, 300, 1335, 795));
  workflowButton(WorkflowButton::PreviewMenu)->setEnabled(false);
  workflowButton(WorkflowButton::LinkBtnLyrs)->setEnabled(false);

  menuWidth_ = new QLineEdit(QStringLiteral("720"), frame1);
  menuWidth_->setObjectName(QStringLiteral("MenuWidth"));
  menuWidth_->setGeometry(at(4140, 540, 495, 285));
  label(QStringLiteral(" X"), frame1, "Label1", at(4680, 555, 165, 255));
  menuHeight_ = new QLineEdit(QStringLiteral("540"), frame1);
  menuHeight_->setObjectName(QStringLiteral("MenuHeight"));
  menuHeight_->setGeometry(at(4920, 540, 495, 285));

  saveRtfFile_ = new QPushButton(QStringLiteral("Save RTF"), frame1);
  saveRtfFile_->setObjectName(QStringLiteral("SaveRTFFile"));
  saveRtfFile_->setGeometry(at(4140, 180, 1275, 315));
  saveRtfFile_->setVisible(false);
  loadRtf_ = new QPushButton(QStringLiteral("Load RTF"), frame1);
  loadRtf_->setObjectName(QStringLiteral("LoadRTF"));
  loadRtf_->setGeometry(at(4140, 840, 1275, 315));
  loadRtf_->setVisible(false);

  progressBar_ = new QProgressBar(client);
  progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
  progressBar_->setGeometry(at(1980, 1380, 5595, 195));
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  progressBar_->setTextVisible(false);

  display_ = new QTextEdit(client);
  display_->setObjectName(QStringLiteral("Display"));
  display_->setGeometry(at(1980, 1560, 5595, 4995));
  display_->setAcceptRichText(true);
}

void Form1Window::buildWorkflowColumn(QWidget* client) {
  // The line joining the four step buttons lies behind them.
  auto* line1 = new QFrame(client);
  line1->setObjectName(QStringLiteral("Line1"));
  line1->setGeometry(twipsToPixels(975, dpi_), twipsToPixels(2820, dpi_), 1, twipsToPixels(5580 - 2820, dpi_));
  paintBackground(line1, Qt::black);

  auto make = [&](WorkflowButton button, const char* name, const char* caption, const QRect& rect, bool enabled) {
    auto* b = new WorkflowPushButton(QString::fromLatin1(caption), client);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(rect);
    b->setFaceColor(kNeutralColor);
    b->setEnabled(enabled);
    workflowButtons_[std::size_t(button)] = b;
  };
  make(WorkflowButton::CreateNewMenuDoc, "CreateNewMenuDoc", "Create/Edit Menu", at(120, 2220, 1755, 795), true);
  make(WorkflowButton::CloneButtons, "CloneButtons", " Clone Button Template", at(120, 3180, 1755, 795), false);
  make(WorkflowButton::BuildCompositeLayers, "BuildCompositeLayers", " Build Composite Layers",
       at(120, 4140, 1755, 795), false);
  make(WorkflowButton::FinalPSDDocument, "FinalPSDDocument", "Final PSD Document", at(120, 5100, 1755, 795), false);
  make(WorkflowButton::Undo, "Undo", "Undo", at(120, 6180, 1755, 375), true);
}

void Form1Window::buildStatusBar(QWidget* client) {
  statusBar_ = new QStatusBar(client);
  statusBar_->setObjectName(QStringLiteral("StatusBar1"));
  statusBar_->setGeometry(at(0, 6600, 7665, 375));
  statusBar_->setSizeGripEnabled(false);
  for (std::size_t i = 0; i < statusPanels_.size(); ++i) {
    statusPanels_[i] = new QLabel(statusBar_);
    statusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
  }
  statusBar_->addWidget(statusPanels_[0]);
  statusBar_->addWidget(statusPanels_[1], 1);
  statusBar_->addPermanentWidget(statusPanels_[2]);
  clock_ = new QTimer(this);
  connect(clock_, &QTimer::timeout, this, &Form1Window::updateClock);
  clock_->start(1000);
  updateClock();
}

void Form1Window::buildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QAction* exit = file->addAction(QStringLiteral("E&xit"));
  exit->setObjectName(QStringLiteral("FileMenu0"));
  connect(exit, &QAction::triggered, this, [this] { command([](Form1& f) { f.FileMenu_Click(0); }); });

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  const char* editEntries[] = {"Cut", "Copy", "Paste"};
  for (int i = 0; i < 3; ++i) {
    QAction* entry = edit->addAction(QString::fromLatin1(editEntries[i]));
    entry->setObjectName(QStringLiteral("EditMenu%1").arg(i + 1));
    entry->setEnabled(false);
    connect(entry, &QAction::triggered, this,
            [this, i] { command([i](Form1& f) { f.EditMenu_Click(std::int16_t(i + 1)); }); });
  }

  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  const char* optionCaptions[kOptionCount] = {"Replace Background with 'Button Image Layer'",
                                              "Enable Next/Previous Buttons",
                                              "Include Default Menu Title Area",
                                              "Include Default Button Text Area",
                                              "Remove Hilite from Button Image Area",
                                              "Remove Hilite from Nxt/Prev Button Image Area",
                                              "Add Hilite to Thumbnail Mask Area"};
  for (int i = 0; i < kOptionCount; ++i) {
    QAction* entry = options->addAction(QString::fromLatin1(optionCaptions[i]));
    entry->setObjectName(QStringLiteral("OptionsMenu%1").arg(i));
    entry->setCheckable(true);
    entry->setChecked(kOptionsCheckedAtStart[i]);
    connect(entry, &QAction::triggered, this, [this, entry, i](bool checked) {
      // The core toggles the mark itself; undo the toggle Qt made on the way here.
      entry->setChecked(!checked);
      command([i](Form1& f) { f.OptionsMenu_Click(std::int16_t(i)); });
    });
    options_[std::size_t(i)] = entry;
  }

  QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
  QAction* workspace = window->addAction(QStringLiteral("Workspace"));
  workspace->setObjectName(QStringLiteral("WindowWorkspace"));
  connect(workspace, &QAction::triggered, this, [this] {
    if (openWorkspace_) openWorkspace_();
  });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  QAction* about = help->addAction(QStringLiteral("About Quillary"));
  about->setObjectName(QStringLiteral("HelpAbout"));
  connect(about, &QAction::triggered, this, [this] { command([](Form1& f) { f.HelpAbout_Click(); }); });
}

void Form1Window::attach(Form1& form) {
  form_ = &form;
  auto route = [this](WorkflowButton button, void (Form1::*handler)()) {
    connect(workflowButton(button), &QPushButton::clicked, this,
            [this, handler] { command([handler](Form1& f) { (f.*handler)(); }); });
  };
  route(WorkflowButton::CreateNewMenuDoc, &Form1::CreateNewMenuDoc_Click);
  route(WorkflowButton::CloneButtons, &Form1::CloneButtons_Click);
  route(WorkflowButton::BuildCompositeLayers, &Form1::BuildCompositeLayers_Click);
  route(WorkflowButton::FinalPSDDocument, &Form1::FinalPSDDocument_Click);
  route(WorkflowButton::Undo, &Form1::Undo_Click);
  route(WorkflowButton::PreviewMenu, &Form1::PreviewMenu_Click);
  route(WorkflowButton::AnotherRandomBkgnd, &Form1::AnotherRandomBkgnd_Click);
  route(WorkflowButton::LinkBtnLyrs, &Form1::LinkBtnLyrs_Click);
  void (Form1::*const fills[])() = {&Form1::FillBlack_Click, &Form1::FillGray_Click, &Form1::FillLtGray_Click,
                                    &Form1::FillWhite_Click};
  for (std::size_t i = 0; i < fillSwatches_.size(); ++i)
    connect(fillSwatches_[i], &QPushButton::clicked, this,
            [this, handler = fills[i]] { command([handler](Form1& f) { (f.*handler)(); }); });
  // Marking cells only changes the selection: no command has finished, nothing to keep yet.
  connect(colorTableCtrl_, &color_table::ColorTableCtrl::MouseDown, this,
          [this](qint16 button, qint16 shift, float x, float y, qint16 cx, qint16 cy, qint16 ct) {
            form_->ColorTableCtrl1_MouseDown(button, shift, x, y, cx, cy, ct);
          });
  connect(colorTableCtrl_, &color_table::ColorTableCtrl::MouseMove, this,
          [this](qint16 button, qint16 shift, float x, float y, qint16 cx, qint16 cy, qint16 ct) {
            form_->ColorTableCtrl1_MouseMove(button, shift, x, y, cx, cy, ct);
          });
  connect(saveRtfFile_, &QPushButton::clicked, this, [this] { command([](Form1& f) { f.SaveRTFFile_Click(); }); });
  connect(loadRtf_, &QPushButton::clicked, this, [this] { command([](Form1& f) { f.LoadRTF_Click(); }); });
  qApp->installEventFilter(this);
}

void Form1Window::command(const std::function<void(Form1&)>& run) {
  if (!form_) return;
  run(*form_);
  if (commandFinished_) commandFinished_();
}

WorkflowPushButton* Form1Window::workflowButton(WorkflowButton button) const {
  return workflowButtons_[std::size_t(button)];
}

void Form1Window::updateClock() {
  statusPanels_[2]->setText(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat));
}

bool Form1Window::eventFilter(QObject* watched, QEvent* event) {
  // Every key pressed anywhere in the window reaches the core once, from the widget that has
  // the focus, before that widget handles it.
  if (event->type() == QEvent::KeyPress && form_ && !unloaded_) {
    QWidget* focus = QApplication::focusWidget();
    QWidget* first = focus ? focus : this;
    if (watched == first && first->window() == this) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const int code = keyCodeOf(*key);
      if (code >= 0) form_->Form_KeyDown(std::int16_t(code), shiftStateOf(key->modifiers()));
    }
  }
  // A click on the colour table frame itself, outside its controls.
  if (event->type() == QEvent::MouseButtonPress && watched == colorTableSel_ && form_ && !unloaded_)
    form_->ColorTableSel_Click();
  return QMainWindow::eventFilter(watched, event);
}

void Form1Window::closeEvent(QCloseEvent* event) {
  if (form_) form_->Form_Unload();
  unloaded_ = true;
  event->accept();
}

MsgBoxResult Form1Window::MsgBox(const std::string& prompt, MsgBoxButtons buttons, const std::string& title) {
  QMessageBox box(this);
  // Modal to this window only: the user may go to the workspace (to finish a pending transform,
  // say) and then answer.
  box.setWindowModality(Qt::WindowModal);
  box.setWindowTitle(title.empty() ? QString::fromLatin1(kProgramTitle) : QString::fromStdString(title));
  box.setText(displayText(prompt));
  switch (buttons) {
    case MsgBoxButtons::OKOnly: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgBoxButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgBoxButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgBoxButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MsgBoxButtons::RetryCancel: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return MsgBoxResult::OK;
    case QMessageBox::Yes: return MsgBoxResult::Yes;
    case QMessageBox::No: return MsgBoxResult::No;
    case QMessageBox::Retry: return MsgBoxResult::Retry;
    default: return buttons == MsgBoxButtons::OKOnly ? MsgBoxResult::OK
                    : buttons == MsgBoxButtons::YesNo ? MsgBoxResult::No
                                                      : MsgBoxResult::Cancel;
  }
}

std::string Form1Window::InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
  bool ok = false;
  const QString answer =
      QInputDialog::getText(this, title.empty() ? QString::fromLatin1(kProgramTitle) : QString::fromStdString(title),
                            displayText(prompt), QLineEdit::Normal, QString::fromStdString(defaultText), &ok);
  return ok ? answer.toStdString() : std::string();
}

ChooserResult Form1Window::ShowChooser(const ChooserRequest& request) {
  if (!chooser_) {
    const QString programFolder = form_ ? QString::fromStdString(form_->ProgramFolder()) : QString();
    chooser_ = std::make_unique<menu_creation::Dialog>(*this, programFolder, this);
  }
  menu_creation::Dialog& dialog = *chooser_;
  dialog.OwnerForm = form_;
  dialog.BuildMenuDoc = request.BuildMenuDoc;
  dialog.ButtonTemplateDoc = request.ButtonTemplateDoc;
  // Centred across the main window, a little below its top edge. Before its first showing the
  // dialog has no frame yet; it will get one like the main window's.
  int dialogPixels = dialog.frameGeometry().width();
  if (dialogPixels == dialog.width()) dialogPixels += frameGeometry().width() - geometry().width();
  const int dialogWidth = pixelsToTwips(dialogPixels, dpi_);
  dialog.move(twipsToPixels(WindowLeft() + (WindowWidth() - dialogWidth) / 2, dpi_),
              twipsToPixels(WindowTop() + 200, dpi_));
  dialog.exec();
  return {dialog.DialogCanceled, dialog.BackgroundFile.toStdString(), dialog.ButtonTemplateFile.toStdString()};
}

void Form1Window::UnloadChooser() { chooser_.reset(); }

void Form1Window::ShowAboutBox() {
  frmAbout about(MachineKeyStore(), DefaultSystemInfoLauncher(), this);
  about.exec();
}

void Form1Window::Beep() { QApplication::beep(); }

void Form1Window::SetMousePointer(MousePointer pointer) {
  const bool wanted = pointer == MousePointer::Hourglass;
  if (wanted == hourglass_) return;
  hourglass_ = wanted;
  if (wanted)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

double Form1Window::ProgressValue() const { return progress_; }

void Form1Window::SetProgressValue(double value) {
  progress_ = std::clamp(value, 0.0, 100.0);
  progressBar_->setValue(int(std::lround(progress_)));
}

std::string Form1Window::StatusPanelText(int panel) const {
  if (panel < 1 || panel > 3) return {};
  return statusPanels_[std::size_t(panel - 1)]->text().toStdString();
}

void Form1Window::SetStatusPanelText(int panel, const std::string& text) {
  if (panel < 1 || panel > 2) return;
  statusPanels_[std::size_t(panel - 1)]->setText(QString::fromStdString(text));
}

FileResult Form1Window::LoadInstructionFile(const std::string& path) {
  const QString file = QString::fromStdString(path);
  const FileResult loaded = toFileResult(rtf::loadRtfFile(file, *display_->document()));
  // The pane's file is the one its text came from: after a failed load "Save RTF" writes the
  // text still shown back to its own file, never over the file that could not be read.
  if (loaded.ok()) displayFile_ = file;
  return loaded;
}

std::string Form1Window::InstructionFileName() const { return displayFile_.toStdString(); }

FileResult Form1Window::SaveInstructionFile(const std::string& path) {
  return toFileResult(rtf::saveRtfFile(QString::fromStdString(path), *display_->document()));
}

void Form1Window::ShowInstructionFromStart() {
  QTextCursor cursor = display_->textCursor();
  cursor.movePosition(QTextCursor::Start);
  display_->setTextCursor(cursor);
  display_->verticalScrollBar()->setValue(0);
}

void Form1Window::SetButtonEnabled(WorkflowButton button, bool enabled) { workflowButton(button)->setEnabled(enabled); }

void Form1Window::SetButtonColor(WorkflowButton button, std::int32_t color) {
  workflowButton(button)->setFaceColor(fromColorValue(color));
}

bool Form1Window::OptionChecked(int index) const {
  return index >= 0 && index < kOptionCount && options_[std::size_t(index)]->isChecked();
}

void Form1Window::SetOptionChecked(int index, bool checked) {
  if (index >= 0 && index < kOptionCount) options_[std::size_t(index)]->setChecked(checked);
}

void Form1Window::SetOptionEnabled(int index, bool enabled) {
  if (index >= 0 && index < kOptionCount) options_[std::size_t(index)]->setEnabled(enabled);
}

std::string Form1Window::MenuWidthText() const { return menuWidth_->text().toStdString(); }

std::string Form1Window::MenuHeightText() const { return menuHeight_->text().toStdString(); }

bool Form1Window::RtfButtonsVisible() const { return !saveRtfFile_->isHidden(); }

void Form1Window::SetRtfButtonsVisible(bool visible) {
  saveRtfFile_->setVisible(visible);
  loadRtf_->setVisible(visible);
}

int Form1Window::WindowLeft() const { return pixelsToTwips(frameGeometry().x(), dpi_); }

int Form1Window::WindowTop() const { return pixelsToTwips(frameGeometry().y(), dpi_); }

int Form1Window::WindowWidth() const { return pixelsToTwips(frameGeometry().width(), dpi_); }

int Form1Window::WindowHeight() const { return pixelsToTwips(frameGeometry().height(), dpi_); }

void Form1Window::MoveWindow(int left, int top) { move(twipsToPixels(left, dpi_), twipsToPixels(top, dpi_)); }

int Form1Window::ScreenWidth() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? pixelsToTwips(s->virtualSize().width(), dpi_) : 0;
}

int Form1Window::ScreenHeight() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? pixelsToTwips(s->virtualSize().height(), dpi_) : 0;
}

std::vector<ScreenArea> Form1Window::ScreenAreas() const {
  std::vector<ScreenArea> areas;
  for (const QScreen* s : QGuiApplication::screens()) {
    const QRect g = s->geometry();
    areas.push_back({pixelsToTwips(g.left(), dpi_), pixelsToTwips(g.top(), dpi_), pixelsToTwips(g.width(), dpi_),
                     pixelsToTwips(g.height(), dpi_)});
  }
  return areas;
}

int Form1Window::TitleBarHeight() const {
  // The frame is known once the window manager has decorated the window; before that, the
  // style's idea of a title bar stands in.
  const int framed = geometry().top() - frameGeometry().top();
  const int pixels = framed > 0 ? framed : style()->pixelMetric(QStyle::PM_TitleBarHeight);
  return pixelsToTwips(pixels, dpi_);
}

void Form1Window::UnloadWindow() {
  unloaded_ = true;
  close();
}

void Form1Window::ClearColorTable() { colorTableCtrl_->Clear(); }

}  // namespace app::window
