// The engine's state kept from one run to the next.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "app/session_keeper.h"
#include "scripted_form_view.h"

TEST(SessionKeeper, TheNextStartFindsTheEngineAsItWasAndAFailureIsToldOnce) {
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.filePath("session").toStdString();
  app_test::ScriptedFormView view;
  photoshop::Application first;
  first.Preferences().SetRulerUnits(photoshop::ps::Pixels);
  first.Documents().Add(32, 24, 72, "Build Menu");
  app::SessionKeeper(first, folder).Save(view);

  photoshop::Application second;
  app::SessionKeeper(second, folder).Restore(view);
  EXPECT_EQ(second.Preferences().RulerUnits(), photoshop::ps::Pixels);
  ASSERT_EQ(second.Documents().Count(), 1);
  EXPECT_EQ(second.ActiveDocument().Name(), "Build Menu");
  EXPECT_TRUE(view.messages.empty());

  const std::filesystem::path blocked = dir.filePath("blocked").toStdString();
  std::ofstream(blocked) << "a file where the folder should be";
  app::SessionKeeper keeper(first, blocked);
  keeper.Save(view);
  keeper.Save(view);
  EXPECT_EQ(view.messages.size(), 1u);
}
