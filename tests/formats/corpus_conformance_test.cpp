// Every real Photoshop file of the corpus (QUILLARY_CORPUS_DIR/psd, optional) opens or is
// refused with a message naming it, never anything worse; whatever opens is written and read
// back unchanged.

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "document_compare.h"
#include "engine/stored_image_closeness.h"
#include "formats/document_io.h"

namespace {

std::filesystem::path corpusFolder() { return fixtures::corpusRoot() / "psd"; }

std::vector<std::filesystem::path> corpusFiles() {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(corpusFolder(), ec)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".psd" || ext == ".psb") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(CorpusConformance, EveryFileOpensOrIsRefusedClearlyAndSurvivesARoundTrip) {
  const auto files = corpusFiles();
  if (files.empty()) GTEST_SKIP() << "no corpus of Photoshop files at " << corpusFolder() << " (QUILLARY_CORPUS_DIR)";
  int opened = 0, refused = 0;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    formats::PsdFile file;
    try {
      file = formats::readPsd(path.string());
    } catch (const formats::FormatError& e) {
      ++refused;
      EXPECT_NE(std::string(e.what()).find("cannot open \"" + path.string() + "\": "), std::string::npos) << e.what();
      std::cout << "refused " << path.filename().string() << ": " << e.what() << "\n";
      continue;
    }
    ++opened;
    const engine::DocumentContent back =
        formats::decodePsd(formats::encodePsd(file.content), path.filename().string()).content;
    EXPECT_EQ(compare::documentsDiffer(file.content, back), "");
  }
  std::cout << files.size() << " corpus files: " << opened << " opened, " << refused << " refused\n";
}

}  // namespace
