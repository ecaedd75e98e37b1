// Raster pictures opened as a document and the merged image saved as one; the memory budget of a
// document, which refuses a picture from its header before any pixel is decoded.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>

#include "engine/composite.h"
#include "engine/engine_fixtures.h"
#include "format_errors.h"
#include "formats/document_io.h"
#include "formats/memory_budget.h"
#include "sample_documents.h"

namespace {

using fixtures::rgbAt;

// Blocks of one colour as large as JPEG's, so that even JPEG gives them back closely.
QImage testPicture() {
  QImage image(48, 32, QImage::Format_RGB32);
  const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x) image.setPixel(x, y, colours[(x / 16 + y / 16) % 4]);
  return image;
}

std::string save(const QTemporaryDir& dir, const QImage& image, const char* name, const char* format) {
  const QString path = dir.filePath(name);
  QImageWriter writer(path, format);
  EXPECT_TRUE(writer.write(image)) << name << ": " << writer.errorString().toStdString();
  return path.toStdString();
}

TEST(Pictures, EveryFormatOpensAsOneOpaqueBackgroundWhereTransparencyShowsWhite) {
  QTemporaryDir dir;
  const QImage picture = testPicture();
  for (const char* format : {"png", "jpg", "bmp", "tif"}) {
    SCOPED_TRACE(format);
    const std::string path = save(dir, picture, (std::string("picture.") + format).c_str(), format);
    const engine::DocumentContent doc = formats::readDocumentFile(path);
    EXPECT_EQ(doc.canvas(), (engine::Rect{0, 0, 48, 32}));
    ASSERT_EQ(doc.layers.size(), 1u);
    const engine::LayerNode& bg = doc.layers[0];
    EXPECT_EQ(bg.name, "Background");
    EXPECT_TRUE(bg.isBackground);
    EXPECT_EQ(bg.pixels.bounds(), doc.canvas());
    EXPECT_EQ(doc.activeLayer, bg.id);
    const bool lossy = std::string(format) == "jpg";
    const int tolerance = lossy ? 24 : 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 48; ++x) {
        // JPEG blurs colour across the edges of the blocks; their middles must be right.
        if (lossy && (x % 16 < 4 || x % 16 > 11 || y % 16 < 4 || y % 16 > 11)) continue;
        const std::uint8_t* got = bg.pixels.pixel(x, y);
        EXPECT_EQ(got[3], 255);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], (picture.pixel(x, y) >> (16 - 8 * c)) & 0xFF, tolerance);
      }
  }

  // Qt reads GIF but does not write it: a 4 x 2 picture of four palette colours, made elsewhere.
  const unsigned char gif[] = {
      0x47, 0x49, 0x46, 0x38, 0x37, 0x61, 0x04, 0x00, 0x02, 0x00, 0x81, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00,
      0xff, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff, 0xff, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x02, 0x00,
      0x00, 0x08, 0x0c, 0x00, 0x01, 0x04, 0x10, 0x30, 0x60, 0x80, 0x80, 0x00, 0x00, 0x02, 0x02, 0x00, 0x3b};
  const std::string path = dir.filePath("four.gif").toStdString();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(gif), sizeof gif);
  const engine::DocumentContent doc = formats::readDocumentFile(path);
  ASSERT_EQ(doc.layers.size(), 1u);
  EXPECT_TRUE(doc.layers[0].isBackground);
  const engine::Rgb expected[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(rgbAt(doc.layers[0].pixels, x, 0), expected[x]);
    EXPECT_EQ(rgbAt(doc.layers[0].pixels, 3 - x, 1), expected[x]);
  }

  // Transparency shows white; the resolution is kept.
  QImage image(2, 1, QImage::Format_RGBA8888);
  image.setPixel(0, 0, qRgba(0, 0, 0, 0));
  image.setPixel(1, 0, qRgba(0, 0, 255, 128));
  image.setDotsPerMeterX(11811);  // 300 pixels per inch
  image.setDotsPerMeterY(11811);
  const engine::DocumentContent clearDoc = formats::readPicture(save(dir, image, "clear.png", "png"));
  const std::uint8_t* clear = clearDoc.layers[0].pixels.pixel(0, 0);
  const std::uint8_t* half = clearDoc.layers[0].pixels.pixel(1, 0);
  EXPECT_EQ((std::vector<int>{clear[0], clear[1], clear[2], clear[3]}), (std::vector<int>{255, 255, 255, 255}));
  EXPECT_EQ((std::vector<int>{half[0], half[1], half[2], half[3]}), (std::vector<int>{127, 127, 255, 255}));
  EXPECT_NEAR(clearDoc.resolution, 300.0, 0.1);
}

TEST(Pictures, FilesThatAreNoPictureAndWritesThatRunOutOfSpaceAreRefusedByName) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("notes.png").toStdString();
  std::ofstream(path) << "these are not pixels";
  EXPECT_NE(formatErrorOf([&] { formats::readDocumentFile(path); }).find("cannot open \"" + path + "\""),
            std::string::npos);
  // A Photoshop document is known by its contents, whatever its name says.
  const std::string disguised = dir.filePath("menu.png").toStdString();
  formats::writePsd(samples::menuDocument(16, 8), disguised);
  EXPECT_EQ(formats::readDocumentFile(disguised).layers.size(), 9u);

  // A disk that fills up while a picture is written: the message names the file and why, and
  // nothing is left behind. A file size limit stands in for the full disk. Noise, so that the PNG
  // cannot be small.
  const std::string full = dir.filePath("full.png").toStdString();
  engine::DocumentContent doc = fixtures::blankDocument(300, 300);
  engine::Raster& noise = doc.layers[0].pixels = engine::Raster(doc.canvas());
  std::uint32_t state = 17;
  std::generate_n(noise.mutableData(), noise.byteSize(),
                  [&] { return std::uint8_t((state = state * 1664525u + 1013904223u) >> 24); });
  const std::string message = formatErrorOf([&] { formats::writePng(doc, full); }, 16 * 1024);
  EXPECT_NE(message.find("cannot save \"" + full + "\": File too large"), std::string::npos) << message;
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "nothing left but the two files read";
}


TEST(Pictures, TheMergedImageSavesAsBaselineJpegAtPhotoshopsQualityScaleAndAsPng) {
  QTemporaryDir dir;
  const engine::DocumentContent doc = samples::menuDocument(96, 64);
  const std::string low = dir.filePath("low.jpg").toStdString(), high = dir.filePath("high.jpg").toStdString();
  formats::writeJpeg(doc, low, {0});
  formats::writeJpeg(doc, high, {12});
  const std::vector<std::uint8_t> bytes = fileBytes(high);
  EXPECT_GT(bytes.size(), fileBytes(low).size());
  // Start of frame: baseline (FFC0), never progressive (FFC2).
  const auto holds = [&](std::uint8_t frame) {
    const std::uint8_t marker[2] = {0xFF, frame};
    return std::search(bytes.begin(), bytes.end(), marker, marker + 2) != bytes.end();
  };
  EXPECT_TRUE(holds(0xC0));
  EXPECT_FALSE(holds(0xC2));
  EXPECT_THROW(formats::writeJpeg(doc, high, {13}), formats::FormatError);
  EXPECT_EQ(fileBytes(high), bytes) << "a refused save leaves the file";

  // The highest quality comes close to the merged image.
  const engine::Raster merged = engine::compositeDocument(doc);
  const engine::DocumentContent back = formats::readPicture(high);
  double error = 0;
  for (std::size_t i = 0; i < merged.byteSize(); i += 4)
    for (int c = 0; c < 3; ++c) error += std::abs(merged.data()[i + c] - back.layers[0].pixels.data()[i + c]);
  EXPECT_LT(error / double(merged.byteSize() / 4 * 3), 6.0);

  // PNG keeps the merged image exactly, with its transparency.
  engine::DocumentContent clear = samples::largeDocument(4, 80, 60);
  clear.layers.pop_back();  // transparent where no button is
  const std::string path = dir.filePath("merged.png").toStdString();
  formats::writePng(clear, path);
  QImage png(QString::fromStdString(path));
  ASSERT_FALSE(png.isNull());
  png = png.convertToFormat(QImage::Format_RGBA8888);
  const engine::Raster clearMerged = engine::compositeDocument(clear);
  for (int y = 0; y < 60; ++y)
    ASSERT_EQ(std::memcmp(png.constScanLine(y), clearMerged.pixel(0, y), 80 * 4), 0) << "row " << y;
}

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
