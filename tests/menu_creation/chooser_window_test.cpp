// The main window shows the chooser modally, placed below its top edge and centred across it,
// and keeps it with its selection until the core unloads it.

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "app/window/form1_window.h"
#include "chooser_fixture.h"
#include "widget_test_environment.h"

namespace {

class ChooserWindowTest : public chooser_test::ChooserTest {
 protected:
  ChooserWindowTest() {
    core = std::make_unique<app::Form1>(
        window, settings(), [this] { return engine; }, programFolder());
    window.attach(*core);
    window.show();
    window.move(300, 120);
  }
  ~ChooserWindowTest() override { window.UnloadChooser(); }

  // Shows the chooser; while it is up, `whileShown` runs on it.
  app::ChooserResult show(const app::ChooserRequest& request, std::function<void(menu_creation::Dialog&)> whileShown) {
    QTimer::singleShot(0, [&] {
      auto* shown = qobject_cast<menu_creation::Dialog*>(QApplication::activeModalWidget());
      EXPECT_NE(shown, nullptr);
      if (!shown) return;
      seen = shown;
      whileShown(*shown);
    });
    return window.ShowChooser(request);
  }
  int px(int twips) const { return int(std::lround(twips * window.dotsPerInch() / 1440.0)); }

  app::window::Form1Window window;
  std::unique_ptr<app::Form1> core;
  menu_creation::Dialog* seen = nullptr;
};

}  // namespace

TEST_F(ChooserWindowTest, ShownModallyBelowTheWindowTopAndCentredAcrossIt) {
  QRect placed;
  bool modal = false;
  const app::ChooserResult result = show({true, false}, [&](menu_creation::Dialog& d) {
    placed = d.frameGeometry();
    modal = d.isModal() && d.parentWidget() == &window;
    EXPECT_EQ(d.OwnerForm, core.get());
    EXPECT_TRUE(d.BuildMenuDoc);
    EXPECT_FALSE(d.ButtonTemplateDoc);
    d.findChild<QPushButton*>("CancelButton")->click();
  });
  EXPECT_TRUE(result.DialogCanceled);
  EXPECT_TRUE(modal);
  const QRect main = window.frameGeometry();
  EXPECT_NEAR(placed.top(), main.top() + px(200), 1);
  EXPECT_NEAR(placed.left(), main.left() + (main.width() - placed.width()) / 2, 1);
}

TEST_F(ChooserWindowTest, TheSelectionStaysUntilTheChooserIsUnloaded) {
  writePicture(backgrounds() + "/sky.png");
  writePicture(backgrounds() + "/Preview/sky.jpg", "JPEG");
  const app::ChooserResult chosen = show({false, true}, [&](menu_creation::Dialog& d) {
    click(*d.BackgroundsTree(), "sky.png");
    d.findChild<QPushButton*>("OKButton")->click();
  });
  EXPECT_FALSE(chosen.DialogCanceled);
  EXPECT_EQ(chosen.BackgroundFile, (backgrounds() + "/sky.png").toStdString());
  EXPECT_EQ(chosen.ButtonTemplateFile, "");

  menu_creation::Dialog* first = seen;
  const app::ChooserResult again = show({false, true}, [&](menu_creation::Dialog& d) {
    EXPECT_EQ(&d, first);
    d.findChild<QPushButton*>("OKButton")->click();
  });
  EXPECT_FALSE(again.DialogCanceled);
  EXPECT_EQ(again.BackgroundFile, chosen.BackgroundFile);

  window.UnloadChooser();
  const app::ChooserResult fresh = show({false, false}, [&](menu_creation::Dialog& d) {
    EXPECT_EQ(d.BackgroundFile, "");
    d.close();
  });
  EXPECT_TRUE(fresh.DialogCanceled);
  EXPECT_EQ(fresh.BackgroundFile, "");
}
