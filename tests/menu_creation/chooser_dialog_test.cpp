// The chooser's rules about names, and the chooser dialog under the offscreen platform, on a core
// with a program folder holding "Backgrounds" and "Button Templates", pictures and templates
// written by code.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/form_fixture.h"
#include "app/window/form1_window.h"
#include "file_tree/file_tree_control.h"
#include "menu_creation/dialog/chooser_dialog.h"
#include "menu_creation/dialog/chooser_rules.h"
#include "photoshop/photoshop_fixtures.h"
#include "widget_test_environment.h"

using app::MsgBoxButtons;
using app::MsgBoxResult;
using file_tree::FileTreeControl;
using namespace menu_creation;

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

// Remembers every rename prompt besides answering it.
class PromptingView : public app_test::ScriptedFormView {
 public:
  std::vector<std::string> inputPrompts;
  std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override {
    inputPrompts.push_back(title + "|" + prompt + "|" + defaultText);
    return ScriptedFormView::InputBox(prompt, title, defaultText);
  }
};

class ChooserTest : public app_test::FormTest {
 protected:
  ChooserTest() {
    QDir().mkpath(backgrounds());
    QDir().mkpath(templates());
    engine.calls().setEnabled(true);
  }

  QString program() const { return QString::fromStdString(programFolder()); }
  QString backgrounds() const { return program() + "/Backgrounds"; }
  QString templates() const { return program() + "/Button Templates"; }

  // A picture file of any format Qt writes, chosen by the name's extension unless given.
  void writePicture(const QString& path, const char* format = nullptr, QColor color = QColor(40, 90, 160)) const {
    QDir().mkpath(QFileInfo(path).path());
    QImage picture(360, 270, QImage::Format_RGB32);
    picture.fill(color);
    ASSERT_TRUE(picture.save(path, format)) << path.toStdString();
  }
  // A layered document saved by our own writer.
  void writeTemplate(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    photoshop::Document doc = addDocument("template");
    addLayer(doc, "Button Area");
    doc.Selection().SelectAll();
    doc.Selection().Fill(photoshop::SolidColor(200, 0, 0));
    doc.SaveAs(path.toStdString(), photoshop::PhotoshopSaveOptions{}, true);
    doc.Close(photoshop::ps::DoNotSaveChanges);
  }

  // The dialog, loaded for the program folder and owned by the core, as the window shows it.
  menu_creation::Dialog& dialog() {
    if (!dialog_) {
      dialog_ = std::make_unique<menu_creation::Dialog>(prompts, program());
      dialog_->OwnerForm = &loadedForm();
    }
    return *dialog_;
  }

  static QTreeWidgetItem* node(const FileTreeControl& tree, const QString& text) {
    const auto found = tree.TreeView1()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }
  // A click on the file node with this text, as the user makes it; or with the mouse, on a shown
  // tree: Qt is then still in its own click handling when the dialog rebuilds the tree under it.
  static void click(const FileTreeControl& tree, const QString& text, bool withTheMouse = false) {
    QTreeWidgetItem* item = node(tree, text);
    ASSERT_NE(item, nullptr) << text.toStdString();
    if (!withTheMouse) {
      emit tree.TreeView1()->itemClicked(item, 0);
      return;
    }
    tree.TreeView1()->expandAll();
    tree.TreeView1()->scrollToItem(item);
    const QPoint centre = tree.TreeView1()->visualItemRect(item).center();
    QTest::mouseClick(tree.TreeView1()->viewport(), Qt::LeftButton, {}, centre);
  }
  template <class T = QWidget>
  T* child(const char* name) {
    T* found = dialog().findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  FileTreeControl& backgroundsTree() { return *dialog().BackgroundsTree(); }
  FileTreeControl& templatesTree() { return *dialog().ButtonTemplatesTree(); }

  long opens() const { return std::ranges::count(engine.calls().calls(), std::string("Application.Open")); }
  static bool isJpeg(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(3) == QByteArray("\xFF\xD8\xFF", 3);
  }

  // What the dialog asks and tells; the core's own view is `view`.
  PromptingView prompts;

 private:
  std::unique_ptr<menu_creation::Dialog> dialog_;
};

}  // namespace

TEST_F(ChooserTest, EachTreeShowsItsThumbnailMadeOnceAt220By165) {
  writePicture(backgrounds() + "/Evening/sunset.bmp");
  writePicture(backgrounds() + "/xyz", "PNG");  // its thumbnail is named "jpg"; the save appends ".jpg"
  writeTemplate(templates() + "/Blue.PSD");
  QDir().mkpath(backgrounds() + "/Preview");
  dialog().Form_Activate();
  EXPECT_EQ(node(backgroundsTree(), "..\\Preview"), nullptr);
  click(templatesTree(), "Blue.PSD");  // an upper-case extension stays in the thumbnail's name
  EXPECT_EQ(dialog().ButtonTemplateFile, templates() + "/Blue.PSD");
  EXPECT_TRUE(isJpeg(templates() + "/Preview/Blue.PSD"));
  EXPECT_EQ(child<QLabel>("ButtonTemplatePic")->pixmap().size(), QSize(220, 165));
  EXPECT_TRUE(child("NoThumb2")->isHidden());
  EXPECT_FALSE(child("NoThumb1")->isHidden()) << "the other tree's label stays until its first click";

  click(backgroundsTree(), "sunset.bmp");
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/Evening/sunset.bmp");
  const QString thumb = backgrounds() + "/Preview/sunset.jpg";
  EXPECT_TRUE(isJpeg(thumb));
  EXPECT_EQ(QImage(thumb).size(), QSize(220, 165));
  EXPECT_EQ(child<QLabel>("BackgroundPic")->pixmap().size(), QSize(220, 165));
  EXPECT_TRUE(child("NoThumb1")->isHidden());
  EXPECT_EQ(opens(), 2);

  click(backgroundsTree(), "sunset.bmp");
  EXPECT_EQ(opens(), 2) << "an existing thumbnail is shown, not made again";
  EXPECT_EQ(engine.Documents().Count(), 0);

  // A thumbnail that cannot be found after making is made only once.
  click(backgroundsTree(), "xyz");
  EXPECT_EQ(opens(), 3);
  EXPECT_TRUE(QFile::exists(backgrounds() + "/Preview/jpg.jpg"));
  EXPECT_FALSE(child("NoThumb1")->isHidden());
  EXPECT_TRUE(child<QLabel>("BackgroundPic")->pixmap().isNull())
      << "the previous file's thumbnail is not shown for this one";
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/xyz");
}

TEST_F(ChooserTest, AFailingThumbnailIsReportedOnceClosesWhatItOpenedAndTheChoiceStands) {
  std::ofstream((backgrounds() + "/broken.png").toStdString()) << "not a picture";
  const std::string description =
      fixtures::errorOf([&] { engine.Open((backgrounds() + "/broken.png").toStdString()); }).Description();
  ASSERT_FALSE(description.empty());
  writeTemplate(templates() + "/Blue.psd");
  engine.calls().clear();

  dialog().Form_Activate();
  click(backgroundsTree(), "broken.png");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, description);
  EXPECT_EQ(prompts.messages[0].buttons, MsgBoxButtons::OKOnly);
  EXPECT_EQ(opens(), 1);
  EXPECT_FALSE(child("NoThumb1")->isHidden());
  EXPECT_EQ(engine.Documents().Count(), 0);

  click(templatesTree(), "Blue.psd");
  dialog().OKButton_Click();
  EXPECT_FALSE(dialog().DialogCanceled);
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/broken.png");

  // A thumbnail failing after the open closes the document and reaches the caller.
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

  // A thumbnail of a file the user has open neither flattens nor closes it.
  writeTemplate(templates() + "/Mine.psd");
  photoshop::Document mine = engine.Open((templates() + "/Mine.psd").toStdString());
  addLayer(mine, "Unsaved work");
  form.MakeThumbnail((templates() + "/Mine.psd").toStdString(), (templates() + "/Preview/Mine.jpg").toStdString());
  ASSERT_EQ(engine.Documents().Count(), 1);
  EXPECT_EQ(engine.Documents()(1).Name(), "Mine.psd");
  EXPECT_EQ(mine.Layers().Count(), 3);
  EXPECT_EQ(mine.Layers()(1).Name(), "Unsaved work");
  EXPECT_EQ(QImageReader(templates() + "/Preview/Mine.jpg").size(), QSize(220, 165));
}

// A duplicate keeps its name on No; renames out of the folder or onto another file are asked
// again, and Cancel keeps the name too. Renamed, it keeps its extension and gets its own thumbnail.
TEST_F(ChooserTest, ADuplicateKeepsItsNameOnNoOnRefusedRenamesAndOnCancelAndKeepsItsExtensionWhenRenamed) {
  writePicture(backgrounds() + "/One/a.jpg");
  writePicture(backgrounds() + "/Two/a.png");  // the same name but for the extension
  writePicture(backgrounds() + "/One/c.jpg");
  dialog().Form_Activate();
  EXPECT_EQ(FileTreeControl::NodeTag(node(backgroundsTree(), "a.jpg")), "Duplicate");
  prompts.answers = {MsgBoxResult::No};
  click(backgroundsTree(), "a.jpg");
  EXPECT_EQ(prompts.beeps, 1);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "This File Name is duplicated somewhere in the Backgrounds Tree. This will prevent\r\n"
            "a Thumbnail from displaying, all Backgrounds MUST have a unique File Name.\r\n\r\n"
            "Would you like to rename this file now?");
  EXPECT_EQ(prompts.messages[0].title, "Duplicate File Name Detected");
  EXPECT_EQ(prompts.messages[0].buttons, MsgBoxButtons::YesNo);
  EXPECT_TRUE(prompts.inputPrompts.empty());
  EXPECT_EQ(dialog().BackgroundFile, backgrounds() + "/One/a.jpg");
  EXPECT_TRUE(QFile::exists(backgrounds() + "/Preview/a.jpg"));

  prompts.messages.clear();
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

  // Yes with a free name renames it, by a click with the mouse on the shown tree.
  writePicture(backgrounds() + "/Preview/a.jpg", "JPEG", Qt::red);
  prompts.messages.clear();
  prompts.inputPrompts.clear();
  dialog().show();
  prompts.answers = {MsgBoxResult::Yes};
  prompts.inputs = {"b.png"};
  click(backgroundsTree(), "a.jpg", true);

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

TEST_F(ChooserTest, ATreeDisabledForAKeptDocumentStaysDisabledAndOkNeedsEachFileNotKept) {
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

  // OK needs each file that is not already kept; Cancel or closing leaves the dialog canceled even
  // after an earlier OK.
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

// The main window shows the chooser modally, placed below its top edge and centred across it,
// and keeps it with its selection until the core unloads it.
TEST_F(ChooserTest, ShownModallyBelowTheWindowTopCentredAcrossItAndKeptUntilUnloaded) {
  app::window::Form1Window window;
  app::Form1 core(window, settings(), [this] { return engine; }, programFolder());
  window.attach(core);
  window.show();
  window.move(300, 120);
  menu_creation::Dialog* seen = nullptr;
  // Shows the chooser; while it is up, `whileShown` runs on it.
  const auto show = [&](const app::ChooserRequest& request, std::function<void(menu_creation::Dialog&)> whileShown) {
    QTimer::singleShot(0, [&] {
      auto* shown = qobject_cast<menu_creation::Dialog*>(QApplication::activeModalWidget());
      EXPECT_NE(shown, nullptr);
      if (!shown) return;
      seen = shown;
      whileShown(*shown);
    });
    return window.ShowChooser(request);
  };
  writePicture(backgrounds() + "/sky.png");
  writePicture(backgrounds() + "/Preview/sky.jpg", "JPEG");
  QRect placed;
  bool modal = false;
  const app::ChooserResult chosen = show({false, true}, [&](menu_creation::Dialog& d) {
    placed = d.frameGeometry();
    modal = d.isModal() && d.parentWidget() == &window;
    EXPECT_EQ(d.OwnerForm, &core);
    EXPECT_FALSE(d.BuildMenuDoc);
    EXPECT_TRUE(d.ButtonTemplateDoc);
    click(*d.BackgroundsTree(), "sky.png");
    d.findChild<QPushButton*>("OKButton")->click();
  });
  EXPECT_TRUE(modal);
  const QRect main = window.frameGeometry();
  EXPECT_NEAR(placed.top(), main.top() + std::lround(200 * window.dotsPerInch() / 1440.0), 1);
  EXPECT_NEAR(placed.left(), main.left() + (main.width() - placed.width()) / 2, 1);
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
  const app::ChooserResult fresh = show({true, false}, [&](menu_creation::Dialog& d) {
    EXPECT_EQ(d.BackgroundFile, "");
    EXPECT_TRUE(d.BuildMenuDoc);
    d.findChild<QPushButton*>("CancelButton")->click();
  });
  EXPECT_TRUE(fresh.DialogCanceled);
  EXPECT_EQ(fresh.BackgroundFile, "");
  window.UnloadChooser();
}

TEST(ChooserRules, ThumbnailNamesReplaceTheExtensionWhereverItOccursAndRenamesKeepIt) {
  EXPECT_EQ(BackgroundThumbnailName("sunset.bmp"), "sunset.jpg");
  EXPECT_EQ(BackgroundThumbnailName("Sky.JPG"), "Sky.jpg");
  // The last three characters are replaced throughout the name, as the thumbnails were always named.
  EXPECT_EQ(BackgroundThumbnailName("motif.tif"), "mojpg.jpg");
  EXPECT_EQ(BackgroundThumbnailName("photo.jpeg"), "photo.jjpg");
  EXPECT_EQ(BackgroundThumbnailName("ab"), "jpg");

  EXPECT_EQ(TemplateThumbnailName("Blue.psd"), "Blue.jpg");
  EXPECT_EQ(TemplateThumbnailName("Blue.PSD"), "Blue.PSD");
  EXPECT_EQ(TemplateThumbnailName("psd art.psd"), "jpg art.jpg");

  // A rename keeps the old extension.
  EXPECT_EQ(RenamedFileName("b.png", "a.jpg"), "b.jpg");
  EXPECT_EQ(RenamedFileName("b", "a.jpg"), "b.jpg");
  EXPECT_EQ(RenamedFileName("b.jpg", "a.jpg"), "b.jpg");
  EXPECT_EQ(RenamedFileName("new sky.v2", "a.jpg"), "new sky.v2.jpg");
  // Longer extensions are kept whole rather than asked for again and again.
  EXPECT_EQ(RenamedFileName("b", "photo.jpeg"), "b.jpeg");
  EXPECT_EQ(RenamedFileName("b.JPEG", "photo.jpeg"), "b.jpeg");
  EXPECT_EQ(RenamedFileName("b", "README"), "b");
  // An empty answer is a cancelled prompt, not a file called ".jpg".
  EXPECT_EQ(RenamedFileName("", "a.jpg"), std::nullopt);
}

TEST(ChooserRules, NamesThatLeaveTheFolderHideTheFileOrReplaceAnotherAreRefused) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFile(folder.filePath("taken.jpg")).open(QIODevice::WriteOnly);
  QFile::link(folder.filePath("nowhere.jpg"), folder.filePath("dangling.jpg"));

  for (const QString& name :
       {QStringLiteral("../x.jpg"), QStringLiteral("a/b.jpg"), QStringLiteral("a\\b.jpg"), QStringLiteral("..jpg"),
        QStringLiteral("...."), QStringLiteral(".jpg"), QString::fromUtf16(u"a\0b.jpg", 7), QStringLiteral("x..y.jpg")})
    EXPECT_NE(RenameRefusal(folder.path(), name), "") << name.toStdString();
  EXPECT_EQ(RenameRefusal(folder.path(), "taken.jpg"), "A file named \"taken.jpg\" already exists in this folder.");
  EXPECT_NE(RenameRefusal(folder.path(), "dangling.jpg"), "") << "a link is a file of that name too";
  EXPECT_EQ(RenameRefusal(folder.path(), "fresh name.jpg"), "");
}
