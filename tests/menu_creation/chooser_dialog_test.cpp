// The chooser dialog under the offscreen platform: thumbnails shown and made (and what stays open
// afterwards), duplicate names renamed, the OK and Cancel rules, and trees disabled for documents
// already kept.

#include <QImageReader>
#include <QLabel>
#include <QPushButton>

#include "app/window/form1_window.h"
#include "chooser_fixture.h"
#include "widget_test_environment.h"

using app::MsgBoxButtons;
using app::MsgBoxResult;
using chooser_test::ChooserTest;
using file_tree::FileTreeControl;

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

const char* const kBackgroundDuplicateText =
    "This File Name is duplicated somewhere in the Backgrounds Tree. This will prevent\r\n"
    "a Thumbnail from displaying, all Backgrounds MUST have a unique File Name.\r\n\r\n"
    "Would you like to rename this file now?";

class ChooserDialogTest : public ChooserTest {
 protected:
  FileTreeControl& backgroundsTree() { return *dialog().BackgroundsTree(); }
  FileTreeControl& templatesTree() { return *dialog().ButtonTemplatesTree(); }
  QLabel* noThumb1() { return child<QLabel>("NoThumb1"); }
  QPixmap backgroundPicture() { return child<QLabel>("BackgroundPic")->pixmap(); }

  // Two backgrounds whose names differ only in their extension, in two folders.
  void writeDuplicates() {
    writePicture(backgrounds() + "/One/a.jpg");
    writePicture(backgrounds() + "/Two/a.png");
  }
};

// The main window shows the chooser modally, placed below its top edge and centred across it,
// and keeps it with its selection until the core unloads it.
class ChooserWindowTest : public ChooserTest {
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

TEST_F(ChooserDialogTest, ABackgroundShowsItsThumbnailMadeOnceAt220By165) {
  writePicture(backgrounds() + "/Evening/sunset.bmp");
  QDir().mkpath(backgrounds() + "/Preview");
  activated();
  EXPECT_EQ(node(backgroundsTree(), "..\\Preview"), nullptr);

  click(backgroundsTree(), "sunset.bmp");
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/Evening/sunset.bmp");
  const QString thumb = backgrounds() + "/Preview/sunset.jpg";
  EXPECT_TRUE(isJpeg(thumb));
  EXPECT_EQ(QImage(thumb).size(), QSize(220, 165));
  EXPECT_EQ(backgroundPicture().size(), QSize(220, 165));
  EXPECT_TRUE(noThumb1()->isHidden());
  EXPECT_EQ(opens(), 1);

  click(backgroundsTree(), "sunset.bmp");
  EXPECT_EQ(opens(), 1) << "an existing thumbnail is shown, not made again";
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(engine.Documents().Count(), 0);
}

TEST_F(ChooserDialogTest, ATemplateWithAnUpperCaseExtensionKeepsItsNameForTheThumbnail) {
  writeTemplate(templates() + "/Blue.PSD");
  activated();
  click(templatesTree(), "Blue.PSD");
  EXPECT_EQ(dialog().ButtonTemplateFile, templates() + "/Blue.PSD");
  EXPECT_TRUE(isJpeg(templates() + "/Preview/Blue.PSD"));
  EXPECT_EQ(child<QLabel>("ButtonTemplatePic")->pixmap().size(), QSize(220, 165));
  EXPECT_TRUE(child("NoThumb2")->isHidden());
  EXPECT_FALSE(child("NoThumb1")->isHidden()) << "the other tree's label stays until its first click";
}

TEST_F(ChooserDialogTest, AThumbnailThatCannotBeFoundAfterMakingIsMadeOnlyOnce) {
  writePicture(backgrounds() + "/Sky/cloud.png");
  // No extension: the thumbnail name becomes "jpg", but the save appends ".jpg".
  writePicture(backgrounds() + "/xyz", "PNG");
  activated();
  click(backgroundsTree(), "cloud.png");
  ASSERT_FALSE(backgroundPicture().isNull());

  click(backgroundsTree(), "xyz");
  EXPECT_EQ(opens(), 2);
  EXPECT_TRUE(QFile::exists(backgrounds() + "/Preview/jpg.jpg"));
  EXPECT_FALSE(noThumb1()->isHidden());
  EXPECT_TRUE(backgroundPicture().isNull()) << "the previous file's thumbnail is not shown for this one";
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/xyz");
}

TEST_F(ChooserDialogTest, AFailingThumbnailIsReportedOnceAndTheChoiceStands) {
  std::ofstream((backgrounds() + "/broken.png").toStdString()) << "not a picture";
  std::string description;
  try {
    engine.Open((backgrounds() + "/broken.png").toStdString());
  } catch (const photoshop::AutomationError& e) {
    description = e.Description();
  }
  ASSERT_FALSE(description.empty());
  writeTemplate(templates() + "/Blue.psd");
  engine.calls().clear();

  activated();
  click(backgroundsTree(), "broken.png");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, description);
  EXPECT_EQ(prompts.messages[0].buttons, MsgBoxButtons::OKOnly);
  EXPECT_EQ(opens(), 1);
  EXPECT_FALSE(noThumb1()->isHidden());
  EXPECT_EQ(engine.Documents().Count(), 0);

  click(templatesTree(), "Blue.psd");
  dialog().OKButton_Click();
  EXPECT_FALSE(dialog().DialogCanceled);
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/broken.png");
}

TEST_F(ChooserDialogTest, ADuplicateNameAnsweredNoKeepsTheFile) {
  writeDuplicates();
  activated();
  EXPECT_EQ(FileTreeControl::NodeTag(node(backgroundsTree(), "a.jpg")), "Duplicate");
  prompts.answers = {MsgBoxResult::No};
  click(backgroundsTree(), "a.jpg");
  EXPECT_EQ(prompts.beeps, 1);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, kBackgroundDuplicateText);
  EXPECT_EQ(prompts.messages[0].title, "Duplicate File Name Detected");
  EXPECT_EQ(prompts.messages[0].buttons, MsgBoxButtons::YesNo);
  EXPECT_TRUE(prompts.inputPrompts.empty());
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/One/a.jpg");
  EXPECT_TRUE(QFile::exists(backgrounds() + "/Preview/a.jpg"));
}

TEST_F(ChooserDialogTest, ADuplicateRenamedKeepsItsExtensionAndGetsItsOwnThumbnail) {
  writeDuplicates();
  writePicture(backgrounds() + "/Preview/a.jpg", "JPEG", Qt::red);
  dialog().show();
  prompts.answers = {MsgBoxResult::Yes};
  prompts.inputs = {"b.png"};
  mouseClick(backgroundsTree(), "a.jpg");

  EXPECT_EQ(prompts.inputPrompts, std::vector<std::string>{"Rename File|Enter a new file name:|a.jpg"});
  EXPECT_FALSE(QFile::exists(backgrounds() + "/One/a.jpg"));
  EXPECT_TRUE(QFile::exists(backgrounds() + "/One/b.jpg"));
  EXPECT_FALSE(QFile::exists(backgrounds() + "/Preview/a.jpg")) << "the shared thumbnail is deleted";
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/One/b.jpg");
  EXPECT_EQ(QImage(backgrounds() + "/Preview/b.jpg").size(), QSize(220, 165));
  // The rebuilt tree has no duplicates left.
  EXPECT_EQ(FileTreeControl::NodeTag(node(backgroundsTree(), "b.jpg")), "");
  EXPECT_EQ(FileTreeControl::NodeTag(node(backgroundsTree(), "a.png")), "");
  EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(ChooserDialogTest, RenamesOutOfTheFolderOrOntoAnotherFileAreAskedAgainAndCancelKeepsTheName) {
  writeDuplicates();
  writePicture(backgrounds() + "/One/c.jpg");
  activated();
  prompts.answers = {MsgBoxResult::Yes};
  prompts.inputs = {"../x", "a/b", "c", ""};
  click(backgroundsTree(), "a.jpg");

  EXPECT_EQ(prompts.inputPrompts.size(), 4u);
  ASSERT_EQ(prompts.messages.size(), 4u);
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(prompts.messages[i].title, "Rename File");
    EXPECT_EQ(prompts.messages[i].buttons, MsgBoxButtons::OKOnly);
  }
  EXPECT_EQ(prompts.messages[3].text, "A file named \"c.jpg\" already exists in this folder.");
  EXPECT_TRUE(QFile::exists(backgrounds() + "/One/a.jpg"));
  EXPECT_TRUE(QFile::exists(backgrounds() + "/One/c.jpg"));
  EXPECT_FALSE(QFile::exists(backgrounds() + "/x.jpg"));
  EXPECT_FALSE(QDir(backgrounds() + "/One/a").exists());
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/One/a.jpg");
  EXPECT_EQ(FileTreeControl::NodeTag(node(backgroundsTree(), "a.jpg")), "Duplicate");
}

TEST_F(ChooserDialogTest, OkNeedsEachFileThatIsNotAlreadyKept) {
  menu_creation::Dialog& d = dialog();
  d.show();
  d.OKButton_Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "You must select a 'Background' image first.");
  EXPECT_EQ(prompts.messages[0].buttons, MsgBoxButtons::OKOnly);
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(d.DialogCanceled);

  d.BuildMenuDoc = true;  // a kept Build Menu needs no background
  d.OKButton_Click();
  EXPECT_EQ(prompts.messages.back().text, "You must select a 'Button Template' first.");
  EXPECT_TRUE(d.isVisible());

  d.ButtonTemplateDoc = true;
  d.OKButton_Click();
  EXPECT_FALSE(d.isVisible());
  EXPECT_FALSE(d.DialogCanceled);
  EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST_F(ChooserDialogTest, CancelOrClosingLeavesTheDialogCanceledEvenAfterAnEarlierOk) {
  menu_creation::Dialog& d = dialog();
  d.BuildMenuDoc = d.ButtonTemplateDoc = true;
  d.show();
  child<QPushButton>("CancelButton")->click();
  EXPECT_TRUE(d.DialogCanceled);
  EXPECT_FALSE(d.isVisible());

  d.show();
  child<QPushButton>("OKButton")->click();
  ASSERT_FALSE(d.DialogCanceled);
  d.show();
  d.close();
  EXPECT_TRUE(d.DialogCanceled);
  EXPECT_EQ(d.result(), QDialog::Rejected);
}

TEST_F(ChooserDialogTest, ATreeDisabledForAKeptDocumentStaysDisabledUntilUnloaded) {
  writePicture(backgrounds() + "/sky.png");
  menu_creation::Dialog& d = dialog();
  d.BuildMenuDoc = true;
  d.show();
  auto* label = child<QLabel>("BackgroundLabel");
  EXPECT_FALSE(backgroundsTree().Enabled());
  EXPECT_EQ(label->text(), "Already Loaded in Photoshop:");
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_TRUE(templatesTree().Enabled());
  EXPECT_EQ(child<QLabel>("ButtonLabel")->text(), "Select Button Template:");

  d.hide();
  d.BuildMenuDoc = false;
  d.show();
  EXPECT_FALSE(backgroundsTree().Enabled());
  EXPECT_EQ(label->text(), "Already Loaded in Photoshop:");
  EXPECT_NE(node(backgroundsTree(), "sky.png"), nullptr) << "the disabled tree still shows its files";
}

TEST_F(ChooserDialogTest, AThumbnailFailingAfterTheOpenClosesTheDocumentAndReachesTheCaller) {
  writePicture(backgrounds() + "/sky.png");
  app::Form1& form = loadedForm();
  for (const char* member : {"Document.Flatten", "Document.SaveAs"}) {
    engine.faults().failMember(member, engine::ErrorCode::Busy);
    EXPECT_THROW(form.MakeThumbnail((backgrounds() + "/sky.png").toStdString(),
                                    (backgrounds() + "/Preview/sky.jpg").toStdString()),
                 photoshop::AutomationError)
        << member;
    EXPECT_EQ(engine.Documents().Count(), 0) << member << " left the opened file in the engine";
  }
  EXPECT_FALSE(QFile::exists(backgrounds() + "/Preview/sky.jpg"));
}

TEST_F(ChooserDialogTest, AThumbnailOfAFileTheUserHasOpenNeitherFlattensNorClosesIt) {
  writeTemplate(templates() + "/Mine.psd");
  photoshop::Document mine = engine.Open((templates() + "/Mine.psd").toStdString());
  addLayer(mine, "Unsaved work");
  loadedForm().MakeThumbnail((templates() + "/Mine.psd").toStdString(), (templates() + "/Preview/Mine.jpg").toStdString());
  ASSERT_EQ(engine.Documents().Count(), 1);
  EXPECT_EQ(engine.Documents()(1).Name(), "Mine.psd");
  EXPECT_EQ(mine.Layers().Count(), 3);
  EXPECT_EQ(mine.Layers()(1).Name(), "Unsaved work");
  EXPECT_EQ(QImageReader(templates() + "/Preview/Mine.jpg").size(), QSize(220, 165));
}

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
