// Closing and saving never lose a document for want of someone to ask: with no host installed
// the engine refuses with its own error, which is not the user's cancel.

#include <gtest/gtest.h>

#include <functional>

#include "photoshop/action_operations.h"
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
