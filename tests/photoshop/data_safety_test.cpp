// Closing and saving never lose a document for want of someone to ask: with no host installed
// the engine refuses with its own error, which is not the user's cancel.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>

#include "photoshop/action_operations.h"
#include "photoshop/scripted_host.h"
#include "photoshop_fixtures.h"

using namespace photoshop;
using engine::ErrorCode;
using fixtures::errorOf;

namespace {

// A document with a change since it was made: a second layer.
Document modifiedDocument(const Application& app, const std::string& name) {
  Document doc = app.Documents().Add(40, 30, 72, name, ps::NewRGB, ps::FillTransparent);
  doc.ArtLayers().Add().SetName("Work");
  return doc;
}

}  // namespace

TEST(DataSafety, ClosingAModifiedDocumentWithNoHostRefusesWithItsOwnNumberAndKeepsIt) {
  Application app = fixtures::pixelApplication();
  Document doc = modifiedDocument(app, "Build Menu");
  for (const auto& [how, close] : std::vector<std::pair<const char*, std::function<void()>>>{
           {"prompt", [&] { doc.Close(); }},
           {"save a never-saved document", [&] { doc.Close(ps::SaveChanges); }}}) {
    SCOPED_TRACE(how);
    const AutomationError error = errorOf(close);
    EXPECT_TRUE(error.Is(ErrorCode::NoHostToAsk)) << error.Number() << " " << error.Description();
    EXPECT_FALSE(error.Is(ErrorCode::Cancelled));
    ASSERT_EQ(app.Documents().Count(), 1) << "the document is still open";
    EXPECT_EQ(doc.Layers().Count(), 2);
  }
  doc.Close(ps::DoNotSaveChanges);  // said explicitly, it needs nobody
  EXPECT_EQ(app.Documents().Count(), 0);
}

TEST(DataSafety, ASaveWithDialogsAndNoHostIsNotTakenForACancel) {
  Application app = fixtures::pixelApplication();
  app.Documents().Add(100, 100, 72, "Final MenuCopy");
  const AutomationError error = errorOf([&] { SaveAsPSD(app, "Final MenuCopy"); });
  EXPECT_TRUE(error.Is(ErrorCode::NoHostToAsk)) << error.Description();
}

TEST(ClosingDocuments, TheHostsAnswerDecidesAndACancelKeepsTheDocument) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("quillary-close-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  Application app = fixtures::pixelApplication();
  ScriptedHost host;
  engine::HostInstallation installed(app.engine(), host);
  Document doc = modifiedDocument(app, "Build Menu");

  host.saveChangesAnswers = {engine::SaveChangesAnswer::Cancel};
  EXPECT_TRUE(errorOf([&] { doc.Close(); }).Is(ErrorCode::Cancelled));
  EXPECT_EQ(app.Documents().Count(), 1);

  // Save on a document without a file asks where, proposing its name as a PSD file.
  host.saveChangesAnswers = {engine::SaveChangesAnswer::Save};
  host.savePaths = {(folder / "Build Menu.psd").string()};
  doc.Close();
  EXPECT_EQ(app.Documents().Count(), 0);
  EXPECT_TRUE(std::filesystem::exists(folder / "Build Menu.psd"));
  EXPECT_EQ(host.questions, (std::vector<std::string>{"save changes: Build Menu", "save changes: Build Menu",
                                                      "save as: Build Menu.psd"}));
  std::filesystem::remove_all(folder);
}
