// The memory budget of one document: a picture that would need more is refused from its
// header, before any pixel is decoded, with a message that names the file, its size in pixels
// and the memory it would need.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "format_errors.h"
#include "formats/document_io.h"
#include "formats/memory_budget.h"
#include "sample_documents.h"

namespace {

class MemoryBudget : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { formats::setDocumentMemoryBudget(1024 * 1024); }
  void TearDown() override { formats::setDocumentMemoryBudget(0); }

  // A square picture of `side` pixels in the format under test.
  std::string picture(int side) const {
    const std::string path = dir.filePath(QString("picture-%1.%2").arg(side).arg(GetParam())).toStdString();
    if (std::string(GetParam()) == "psd") {
      formats::writePsd(samples::menuDocument(side, side), path);
    } else {
      QImage image(side, side, QImage::Format_RGB32);
      image.fill(Qt::darkCyan);
      EXPECT_TRUE(image.save(QString::fromStdString(path), GetParam()));
    }
    return path;
  }
  QTemporaryDir dir;
};

TEST_P(MemoryBudget, APictureBeyondTheBudgetIsRefusedByNameSizeAndNeed) {
  const std::string path = picture(400);  // 400 x 400 x 4 bytes, twice: 1.22 MB
  const std::string message = formatErrorOf([&] { formats::readDocumentFile(path); });
  EXPECT_NE(message.find("\"" + path + "\""), std::string::npos) << message;
  EXPECT_NE(message.find("400 x 400 pixels"), std::string::npos) << message;
  EXPECT_NE(message.find("would need 2 MB of memory, more than the 1 MB"), std::string::npos) << message;
  EXPECT_EQ(formats::readDocumentFile(picture(250)).width, 250) << "250 x 250 x 4 bytes, twice, fit";
}

INSTANTIATE_TEST_SUITE_P(Formats, MemoryBudget, ::testing::Values("psd", "png", "jpg", "bmp"),
                         [](const auto& test) { return std::string(test.param); });

TEST(MemoryBudgetDefault, AQuarterOfTheMachineAtMostOneGigabyte) {
  formats::setDocumentMemoryBudget(0);
  EXPECT_GT(formats::documentMemoryBudget(), 0u);
  EXPECT_LE(formats::documentMemoryBudget(), 1ULL << 30);
  EXPECT_EQ(formats::memoryToOpen(11585, 11585) <= (1ULL << 30), true) << "the largest square a 1 GB budget takes";
  EXPECT_EQ(formats::memoryToOpen(11586, 11586) <= (1ULL << 30), false);
}

}  // namespace
