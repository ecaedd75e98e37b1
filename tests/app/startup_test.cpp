// Start-up and shutdown: the stored window position, the connection, the preferences and the
// engine's state kept from one run to the next.

#include "app/session_keeper.h"
#include "app/window_position.h"
#include "form_fixture.h"

using namespace app;
using app_test::FormTest;

// The first run opens at 2000 twips and writes them, a restart opens where the window was left,
// unless that is off the screen.
TEST_F(FormTest, FirstRunOpensAt2000TwipsAndARestartWhereTheWindowWas) {
  form().Form_Load();
  EXPECT_EQ(std::pair(view.left, view.top), std::pair(2000, 2000));
  EXPECT_EQ(settings().GetSetting("Settings", "MainLeft"), "2000");
  EXPECT_EQ(settings().GetSetting("Settings", "MainTop"), "2000");
  EXPECT_EQ(view.panels[0], "Status:");
  EXPECT_EQ(view.panels[1], "Create New Menu Docs");
  EXPECT_EQ(view.pointers.front(), MousePointer::Hourglass);
  EXPECT_EQ(view.pointers.back(), MousePointer::Default);
  EXPECT_TRUE(view.messages.empty());

  view.MoveWindow(3015, 4500);
  form().Form_Unload();
  app_test::ScriptedFormView second, third;
  newForm(second)->Form_Load();
  EXPECT_EQ(std::pair(second.left, second.top), std::pair(3015, 4500));
  settings().SaveSetting("Settings", "MainLeft", "28801");
  newForm(third)->Form_Load();
  EXPECT_EQ(std::pair(third.left, third.top), std::pair(2000, 2000));
  EXPECT_EQ(settings().GetSetting("Settings", "MainLeft"), "2000");
}

// A screen of 28800 x 16200 twips, a window 7800 wide with a 300-twip title bar. The screens
// together count: a title bar may straddle two screens, but the corner a smaller screen leaves
// uncovered is off the desktop.
TEST(WindowPosition, AStoredPositionIsKeptOnlyWithTheWholeTitleBarOnTheDesktop) {
  const std::pair<const char*, const char*> rejected[] = {
      {"28801", "100"}, {"-6901", "100"}, {"100", "16201"}, {"100", "-21"},    {"", "100"},
      {"left", "100"},  {"100", "1e99"},  {"28800", "16200"}, {"27901", "100"}, {"100", "15981"}};
  for (const auto& [left, top] : rejected)
    EXPECT_FALSE(AcceptStoredPosition(left, top, 7800, 300, {{0, 0, 28800, 16200}})) << left << ", " << top;

  const std::vector<ScreenArea> one{{0, 0, 28800, 16200}}, two{{0, 0, 28800, 16200}, {28800, 0, 19200, 10800}};
  const struct {
    const char *left, *top;
    int width;
    std::vector<ScreenArea> screens;
    std::optional<WindowPosition> kept;
    const char* why;
  } cases[] = {
      {"27900", "15900", 7800, one, WindowPosition{27900, 15900}, "the last position on the screen"},
      {"-6900", "-20", 7800, one, WindowPosition{-6900, -20}, "the first position on the screen"},
      {"40000.4", "", 7800, {{0, 0, 60000, 16200}}, WindowPosition{40000, 0}, "more than 16 bits of twips"},
      {" 2500 ", "2500.5", 7800, one, WindowPosition{2500, 2500}, "rounded half to even"},
      {"200", "100", 600, {{0, 0, 800, 16200}}, WindowPosition{200, 100}, "narrower than 900: the whole title bar"},
      {"28300", "100", 7800, two, WindowPosition{28300, 100}, "500 + 7300 twips on two screens"},
      {"40000", "10000", 7800, two, WindowPosition{40000, 10000}, "on the second screen"},
      {"30000", "12000", 7800, two, std::nullopt, "below the smaller screen"},
      {"28300", "16000", 7800, two, std::nullopt, "only 200 of the bar's 300 twips"},
      {"18700", "100", 7800, {{0, 0, 19200, 13500}, {0, 0, 19200, 13500}}, std::nullopt, "a mirror counts once"},
      {"19200", "13500", 7800, {{0, 0, 19200, 13500}}, std::nullopt, "the corner of 1280 x 900, lost for good"},
  };
  for (const auto& c : cases) EXPECT_EQ(AcceptStoredPosition(c.left, c.top, c.width, 300, c.screens), c.kept) << c.why;
}

// Busy at start-up retries the failed step; the preferences are the user's own again after exit.
// Cancel ends the program and gives back what was changed before the failure.
TEST_F(FormTest, BusyAtStartUpRetriesTheFailedStepOrCancelEndsTheProgramAndThePreferencesAreTheUsersOwnAgain) {
  engine.Preferences().SetRulerUnits(3);
  engine.Preferences().SetNumberOfHistoryStates(77);
  engine.Preferences().SetInterpolation(4);
  const auto prefs = [&] {
    return std::tuple(engine.Preferences().RulerUnits(), engine.Preferences().NumberOfHistoryStates(),
                      engine.Preferences().Interpolation());
  };
  engine.faults().failMember("Preferences.NumberOfHistoryStates=", engine::ErrorCode::Busy);
  view.answers = {MsgBoxResult::Retry};
  form().Form_Load();
  EXPECT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(prefs(), std::tuple(1, 500, 2));
  EXPECT_EQ(view.panels[1], "Create New Menu Docs");
  form().FileMenu_Click(0);
  EXPECT_TRUE(view.unloaded);
  EXPECT_EQ(prefs(), std::tuple(3, 77, 4));

  settings().SaveSetting("Settings", "MainLeft", "");
  engine.faults().failMember("Preferences.NumberOfHistoryStates", engine::ErrorCode::CallRejected);
  app_test::ScriptedFormView second;
  second.answers = {MsgBoxResult::Cancel};
  newForm(second)->Form_Load();
  EXPECT_TRUE(second.unloaded);
  EXPECT_EQ(settings().GetSetting("Settings", "MainLeft"), "2000");
  EXPECT_EQ(prefs(), std::tuple(3, 77, 4)) << "the ruler units given back, the history states never recorded";
}

TEST_F(FormTest, AFailedConnectionLeavesTheWindowAsDesigned) {
  app::Form1 failing(view, settings(), []() -> photoshop::Application {
    throw photoshop::AutomationError(429, "ActiveX component can't create object", "Quillary");
  }, programFolder());
  failing.Form_Load();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "ActiveX component can't create object");
  EXPECT_EQ(view.pointers.back(), MousePointer::Default);
  EXPECT_EQ(view.panels[1], "") << "no workflow state was applied";
  EXPECT_FALSE(failing.SavedRulerUnits);
  // Commands now fail and report instead of working on an engine nobody sees.
  view.messages.clear();
  failing.SaveHistoryState(2);
  ASSERT_EQ(view.messages.size(), 1u);
  failing.Form_Unload();
  EXPECT_EQ(engine.Preferences().RulerUnits(), 1) << "the user's application was never touched";
}

TEST_F(FormTest, TheSessionKeepersNextStartFindsTheEngineAsItWasAndAFailureIsToldOnce) {
  const std::filesystem::path folder = programFolder() + "/session";
  addDocument("Build Menu");  // in an engine with rulers in pixels
  app::SessionKeeper(engine, folder).Save(view);

  photoshop::Application second;
  app::SessionKeeper(second, folder).Restore(view);
  EXPECT_EQ(second.Preferences().RulerUnits(), photoshop::ps::Pixels);
  ASSERT_EQ(second.Documents().Count(), 1);
  EXPECT_EQ(second.ActiveDocument().Name(), "Build Menu");
  EXPECT_TRUE(view.messages.empty());

  const std::filesystem::path blocked = programFolder() + "/blocked";
  std::ofstream(blocked) << "a file where the folder should be";
  app::SessionKeeper keeper(engine, blocked);
  keeper.Save(view);
  keeper.Save(view);
  EXPECT_EQ(view.messages.size(), 1u);
}
