// Start-up and shutdown: the window's position, the connection to the image application and
// the three preferences the program relies on for the run.

#include <chrono>

#include "photoshop/color_operations.h"
#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/settings_store.h"
#include "app/window_position.h"

namespace app {

namespace {

inline constexpr int kHistoryStatesForTheRun = 500;

constexpr std::array<std::int32_t, 10> kButtonColors = {
    photoshop::RGBValue(239, 253, 0),  photoshop::RGBValue(249, 100, 4), photoshop::RGBValue(218, 0, 18),    photoshop::RGBValue(243, 0, 137),
    photoshop::RGBValue(85, 0, 169),   photoshop::RGBValue(0, 105, 0),   photoshop::RGBValue(84, 45, 2),     photoshop::RGBValue(250, 206, 151),
    photoshop::RGBValue(200, 155, 100), photoshop::RGBValue(33, 255, 146)};

}  // namespace

Form1::Form1(FormView& view, SettingsStore& settings, PhotoshopConnector connectPhotoshop, std::string programFolder)
    : view_(view),
      settings_(settings),
      connectPhotoshop_(std::move(connectPhotoshop)),
      programFolder_(std::move(programFolder)) {}

void Form1::Form_Load() {
  view_.SetMousePointer(MousePointer::Hourglass);
  CompletedMenuName.clear();
  AutoRandomBackground = true;
  ReplaceBackgroundWithButtonImage = false;
  EnableNextPrevButtons = true;
  IncludeMenuTitleArea = true;
  IncludeButtonTextArea = true;
  KeepButtonImageHilite = false;
  KeepNextPrevHilite = false;
  AddHiliteToThumbMask = false;

  auto position = AcceptStoredPosition(settings_.GetSetting(kSettingsSection, kMainLeftKey),
                                       settings_.GetSetting(kSettingsSection, kMainTopKey), view_.WindowWidth(),
                                       view_.TitleBarHeight(), view_.ScreenAreas());
  if (!position) {
    settings_.SaveSetting(kSettingsSection, kMainLeftKey, kFirstRunPosition);
    settings_.SaveSetting(kSettingsSection, kMainTopKey, kFirstRunPosition);
    position = ParseStoredPosition(settings_.GetSetting(kSettingsSection, kMainLeftKey),
                                   settings_.GetSetting(kSettingsSection, kMainTopKey));
    if (!position) position = WindowPosition{2000, 2000};  // a store that cannot be written
  }
  view_.MoveWindow(position->left, position->top);

  Randomize();
  WorkflowState = CreateMenuDocs;
  view_.SetStatusPanelText(1, "Status:");
  ButtonColors = kButtonColors;
  TitleAreaColor = photoshop::RGBValue(127, 127, 127);

  ErrorRecovery onError(*this, RecoveryStyle::FormLoad([this] { UnloadForm(); }));
  if (!onError([&] { PhotoshopApp = connectPhotoshop_(); })) return;
  if (!onError([&] { WorkSolidColor = photoshop::SolidColor(); })) return;
  if (!onError([&] { SavedRulerUnits = PhotoshopApp.Preferences().RulerUnits(); })) return;
  if (!onError([&] { PhotoshopApp.Preferences().SetRulerUnits(photoshop::ps::Pixels); })) return;
  if (!onError([&] { SavedHistoryStateCount = PhotoshopApp.Preferences().NumberOfHistoryStates(); })) return;
  if (!onError([&] { PhotoshopApp.Preferences().SetNumberOfHistoryStates(kHistoryStatesForTheRun); })) return;
  if (!onError([&] { SavedInterpolation = PhotoshopApp.Preferences().Interpolation(); })) return;
  if (!onError([&] { PhotoshopApp.Preferences().SetInterpolation(photoshop::ps::NearestNeighbor); })) return;
  SetUIState();
  view_.SetMousePointer(MousePointer::Default);
}

void Form1::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  settings_.SaveSetting(kSettingsSection, kMainLeftKey, std::to_string(view_.WindowLeft()));
  settings_.SaveSetting(kSettingsSection, kMainTopKey, std::to_string(view_.WindowTop()));
  // Only what was recorded goes back: a start-up that stopped half way leaves the rest alone.
  if (SavedRulerUnits) IgnoreErrors([&] { PhotoshopApp.Preferences().SetRulerUnits(*SavedRulerUnits); });
  if (SavedHistoryStateCount)
    IgnoreErrors([&] { PhotoshopApp.Preferences().SetNumberOfHistoryStates(*SavedHistoryStateCount); });
  if (SavedInterpolation) IgnoreErrors([&] { PhotoshopApp.Preferences().SetInterpolation(*SavedInterpolation); });
}

void Form1::UnloadForm() {
  Form_Unload();
  view_.UnloadWindow();
}

void Form1::Randomize() {
  // Nanoseconds, so that two reseeds in quick succession still differ.
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  random_.seed(static_cast<std::minstd_rand::result_type>((now ^ (now >> 31)) % 2147483646 + 1));
}

double Form1::Rnd() {
  const double span = double(std::minstd_rand::max() - std::minstd_rand::min()) + 1.0;
  return double(random_() - std::minstd_rand::min()) / span;
}

}  // namespace app
