// A menu made by Create/Edit Menu, saved, and read back by an independent reader (psd-tools).

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include "menu_creation_fixture.h"

using namespace menu_test;

namespace {

// The layer tree of a document as list_layers.py prints it.
std::string engineListing(const photoshop::Document& doc) {
  std::string out = "size|" + std::to_string(int(doc.Width())) + "|" + std::to_string(int(doc.Height())) + "\n";
  const std::function<void(const std::vector<engine::LayerNode>&, int)> walk = [&](const auto& layers, int depth) {
    for (const engine::LayerNode& n : layers) {
      out += std::to_string(depth) + "|" + (n.isSet ? "set" : "layer") + "|" + n.name + "|" + (n.visible ? "1" : "0") + "\n";
      walk(n.children, depth + 1);
    }
  };
  walk(doc.engineDocument()->content().layers, 0);
  return out;
}

// psd-tools' listing of a file; nothing when psd-tools is not installed.
std::optional<std::string> psdToolsListing(const std::string& file) {
  const std::string command =
      "/usr/bin/python3 '" QUILLARY_SOURCE_DIR "/tests/menu_creation/list_layers.py' '" + file + "' 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return std::nullopt;
  std::string out;
  std::array<char, 4096> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe.get())) out += buffer.data();
  const int status = pclose(pipe.release());
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) return std::nullopt;
  return out;
}

class PsdToolsTest : public MenuCreationTest {};

}  // namespace

TEST_F(PsdToolsTest, TheFinishedBuildMenuAndButtonTemplateReadTheSameInPsdTools) {
  writePicture(sourceFile("sunset.png"));
  writeTemplate(sourceFile("Blue.psd"));
  loadedForm();
  choose(sourceFile("sunset.png"), sourceFile("Blue.psd"));
  form().CreateNewMenuDoc_Click();
  ASSERT_EQ(form().WorkflowState, app::EditButtonTemplate);

  for (const char* name : {"Build Menu", "Button Template"}) {
    photoshop::Document doc = engine.Documents()(name);
    const std::string file = sourceFile(std::string(name) + ".psd");
    doc.SaveAs(file, photoshop::PhotoshopSaveOptions{}, true);
    const std::optional<std::string> listing = psdToolsListing(file);
    if (!listing) GTEST_SKIP() << "psd-tools is not installed (Debian package python3-psd-tools)";
    EXPECT_EQ(*listing, engineListing(doc)) << name;
  }
}
