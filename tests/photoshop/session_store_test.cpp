// The session folder: what the engine holds survives the program, and a damaged session is
// read as far as it goes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "photoshop/session_store.h"
#include "photoshop_fixtures.h"

using namespace photoshop;
namespace fs = std::filesystem;

namespace {

class SessionStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("quillary-session-test-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  // The folder's files, sorted; only the documents unless `all`.
  std::vector<std::string> psdFiles(bool all = false) const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
      if (all || e.path().extension() == ".psd") out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  fs::path folder;
  Application app = fixtures::pixelApplication();
};

}  // namespace

TEST_F(SessionStoreTest, DocumentsActiveLayerColoursAndPreferencesComeBack) {
  app.Preferences().SetNumberOfHistoryStates(500);
  app.SetForegroundColor(SolidColor(239, 253, 0));
  Document menu = app.Documents().Add(72, 54, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  fixtures::named(fixtures::named(menu.LayerSets().Add(), "Btn 1").ArtLayers().Add(), "Button Area");
  menu.Selection().Select(RectangleRegion(2, 3, 10, 8));
  menu.Selection().Fill(app.ForegroundColor());
  menu.Info().SetKeyWords({"Clone Buttons Complete", "1", "FTTTFFF"});
  app.Documents().Add(20, 20, 72, "Button\tTemplate 100%");
  app.SetActiveDocument(menu);
  SessionStore(folder).save(app.engine());

  Application next;
  const SessionStore::Restored restored = SessionStore(folder).restore(next.engine());
  EXPECT_EQ(restored.documents, 2);
  EXPECT_TRUE(restored.problems.empty());
  EXPECT_EQ(next.Documents().Count(), 2);
  EXPECT_EQ(next.Documents()(2).Name(), "Button\tTemplate 100%");
  Document back = next.ActiveDocument();
  EXPECT_EQ(back.Name(), "Build Menu");
  EXPECT_EQ(back.ActiveLayer().Name(), "Button Area");
  EXPECT_EQ(back.Info().KeyWords(), (std::vector<std::string>{"Clone Buttons Complete", "1", "FTTTFFF"}));
  EXPECT_EQ(fixtures::pixel(back, back.LayerSets()("Btn 1").ArtLayers()("Button Area"), 5, 5), (engine::Rgb{239, 253, 0}));
  EXPECT_EQ(next.Preferences().RulerUnits(), 1);
  EXPECT_EQ(next.Preferences().NumberOfHistoryStates(), 500);
  EXPECT_EQ(next.ForegroundColor().RGB().Green(), 253);
  EXPECT_FALSE(back.Saved()) << "unsaved work stays marked unsaved";
}

TEST_F(SessionStoreTest, OnlyChangedDocumentsAreWrittenAndClosedOnesAndLeftoversLeave) {
  Document a = app.Documents().Add(10, 10, 72, "a");
  Document b = app.Documents().Add(10, 10, 72, "b");
  SessionStore store(folder);
  store.save(app.engine());
  const auto first = psdFiles();
  ASSERT_EQ(first.size(), 2u);
  const auto written = fs::last_write_time(folder / first[0]);

  b.ArtLayers().Add();
  store.save(app.engine());
  const auto second = psdFiles();
  EXPECT_EQ(second.size(), 2u);
  EXPECT_TRUE(std::count(second.begin(), second.end(), first[0])) << "the unchanged document keeps its file";
  EXPECT_EQ(fs::last_write_time(folder / first[0]), written);

  a.Close(ps::DoNotSaveChanges);
  store.save(app.engine());
  ASSERT_EQ(psdFiles().size(), 1u);

  // A save killed part way leaves documents no manifest names and temporary files: the next
  // start removes them, and only them.
  const std::string kept = psdFiles().front();
  fs::copy_file(folder / kept, folder / "document-77.psd");
  for (const char* name : {"document-78.psd.Ab12Cd", "session.txt.tmp"}) std::ofstream(folder / name) << "partial";
  std::ofstream(folder / "notes.psd") << "not ours";
  Application next;
  EXPECT_EQ(SessionStore(folder).restore(next.engine()).documents, 1);
  EXPECT_EQ(psdFiles(true), (std::vector<std::string>{kept, "notes.psd", "session.txt"}));
}

TEST_F(SessionStoreTest, AMissingOrDamagedSessionRestoresWhatItCan) {
  Application empty;
  EXPECT_EQ(SessionStore(folder).restore(empty.engine()).documents, 0) << "no session yet";

  app.Documents().Add(10, 10, 72, "kept");
  app.Documents().Add(10, 10, 72, "lost");
  SessionStore(folder).save(app.engine());
  // One document's file is damaged, one line is garbage, one names a file outside the folder.
  std::ifstream in(folder / "session.txt");
  const std::string manifest((std::istreambuf_iterator<char>(in)), {});
  for (const auto& f : psdFiles())
    if (manifest.find(f + "\tlost") != std::string::npos) std::ofstream(folder / f, std::ios::trunc) << "not a psd";
  std::ofstream(folder / "session.txt", std::ios::app) << "document\t../../etc/passwd\tx\t\t0\t0\t\nrubbish\n";

  Application next;
  const SessionStore::Restored restored = SessionStore(folder).restore(next.engine());
  EXPECT_EQ(restored.documents, 1);
  EXPECT_EQ(restored.problems.size(), 3u);
  EXPECT_EQ(next.Documents()(1).Name(), "kept");

  const auto files = psdFiles();
  EXPECT_EQ(std::count_if(files.begin(), files.end(), [](const std::string& f) { return f.starts_with("damaged-"); }), 1)
      << "the unreadable document's file is kept aside";
}

// A manifest that cannot be read must not cost the documents beside it: they are reopened,
// said to be, and kept by the next save.
TEST_F(SessionStoreTest, ADamagedManifestRecoversTheDocumentFiles) {
  app.Documents().Add(10, 10, 72, "Build Menu");
  app.Documents().Add(12, 12, 72, "Button Template");
  SessionStore(folder).save(app.engine());
  std::ofstream(folder / "session.txt", std::ios::trunc) << "quillary-session 1\ndocu";

  Application next;
  SessionStore store(folder);
  const SessionStore::Restored restored = store.restore(next.engine());
  EXPECT_EQ(restored.documents, 2);
  ASSERT_EQ(next.Documents().Count(), 2);
  EXPECT_EQ(next.Documents()(1).Name(), "Recovered 1");
  EXPECT_EQ(next.Documents()(1).Width(), 10.0) << "in the order they were written";
  ASSERT_EQ(restored.problems.size(), 3u) << "the damaged line and each recovered document";
  EXPECT_NE(restored.problems[2].find("\"Recovered 2\""), std::string::npos) << restored.problems[2];
  store.save(next.engine());

  Application third;
  EXPECT_EQ(SessionStore(folder).restore(third.engine()).documents, 2);
  EXPECT_EQ(psdFiles().size(), 2u);
}
