// Raster pictures through QtGui's image I/O: any format it reads opens as a document with one
// background layer; the merged image saves as JPEG or PNG.

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/composite.h"
#include "engine/errors.h"
#include "formats/document_io.h"
#include "formats/memory_budget.h"
#include "formats/safe_save.h"

namespace formats {

namespace {

constexpr double kInchesPerMeter = 0.0254;

[[noreturn]] void refuseOpen(const std::string& path, const std::string& why) {
  throw FormatError("cannot open \"" + path + "\": " + why);
}

// QImage gives every image it makes a resolution; one the file did not set is that default.
bool hasOwnResolution(const QImage& image) {
  static const int defaultDpm = QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX();
  return image.dotsPerMeterX() > 0 && image.dotsPerMeterX() != defaultDpm;
}

// The merged image over white: JPEG has no transparency, and neither has a background.
QImage opaqueImage(const engine::Raster& merged) {
  const engine::Rect b = merged.bounds();
  QImage image(b.width(), b.height(), QImage::Format_RGB888);
  for (int y = 0; y < b.height(); ++y) {
    uchar* out = image.scanLine(y);
    const std::uint8_t* in = merged.pixel(b.left, b.top + y);
    for (int x = 0; x < b.width(); ++x, in += 4, out += 3) {
      const int a = in[3];
      for (int c = 0; c < 3; ++c) out[c] = uchar((in[c] * a + 255 * (255 - a) + 127) / 255);
    }
  }
  return image;
}

QImage mergedImage(const engine::DocumentContent& content, const std::string& path, bool keepAlpha) {
  if (content.width <= 0 || content.height <= 0)
    throw FormatError("cannot save \"" + path + "\": the document has no pixels");
  const engine::Raster merged = engine::compositeDocument(content);
  QImage image;
  if (keepAlpha) {
    image = QImage(content.width, content.height, QImage::Format_RGBA8888);
    for (int y = 0; y < content.height; ++y)
      std::memcpy(image.scanLine(y), merged.pixel(0, y), std::size_t(content.width) * 4);
  } else {
    image = opaqueImage(merged);
  }
  const int dpm = int(std::lround(content.resolution / kInchesPerMeter));
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  return image;
}

void saveImage(const QImage& image, const std::string& path, const char* format, int quality) {
  // Encoded in memory first: an encoder that meets a full disk only says "Unknown error", while
  // a plain write of the bytes gets the system's reason.
  QBuffer encoded;
  encoded.open(QIODevice::WriteOnly);
  QImageWriter writer(&encoded, format);
  if (quality >= 0) writer.setQuality(quality);
  writer.setOptimizedWrite(false);
  writer.setProgressiveScanWrite(false);  // baseline, which every reader shows
  if (!writer.write(image))
    throw FormatError("cannot save \"" + path + "\": " + writer.errorString().toStdString());
  const QByteArray& bytes = encoded.data();
  saveBytesAtomically(path, {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
}

}  // namespace

engine::DocumentContent readPicture(const std::string& path) {
  QImageReader reader(QString::fromStdString(path));
  reader.setAutoTransform(true);
  if (!reader.canRead()) {
    const std::string why = reader.error() == QImageReader::FileNotFoundError
                                ? "the file does not exist"
                                : "it is not a picture Quillary can read (" + reader.errorString().toStdString() + ")";
    refuseOpen(path, why);
  }
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > engine::kMaxSide || size.height() > engine::kMaxSide ||
                         std::int64_t(size.width()) * size.height() > engine::kMaxArea))
    refuseOpen(path, "it is " + std::to_string(size.width()) + " x " + std::to_string(size.height()) +
                         " pixels, larger than Quillary can open (" + std::to_string(engine::kMaxSide) + " per side)");
  if (size.isValid()) checkMemoryBudget(path, std::uint64_t(size.width()), std::uint64_t(size.height()));
  // A format that does not tell its size before decoding is held to the budget by Qt's own cap
  // on one decoded picture, which is half of what opening takes.
  QImageReader::setAllocationLimit(int(std::max<std::uint64_t>(documentMemoryBudget() / 2 / (1024 * 1024), 1)));
  QImage image = reader.read();
  if (image.isNull()) refuseOpen(path, "it could not be decoded (" + reader.errorString().toStdString() + ")");
  if (image.width() > engine::kMaxSide || image.height() > engine::kMaxSide ||
      std::int64_t(image.width()) * image.height() > engine::kMaxArea)
    refuseOpen(path, "it is larger than Quillary can open");
  checkMemoryBudget(path, std::uint64_t(image.width()), std::uint64_t(image.height()));

  const bool ownResolution = hasOwnResolution(image);
  const double resolution = image.dotsPerMeterX() * kInchesPerMeter;
  // Converted in place where the format allows, so that the picture is not held twice.
  const QImage rgba = std::move(image).convertToFormat(QImage::Format_RGBA8888);
  engine::DocumentContent content;
  content.width = rgba.width();
  content.height = rgba.height();
  if (ownResolution) content.resolution = resolution;
  engine::LayerNode background = engine::LayerNode::artLayer("Background");
  background.isBackground = true;
  background.pixels = engine::Raster(content.canvas());
  for (int y = 0; y < content.height; ++y) {
    const uchar* in = rgba.constScanLine(y);
    std::uint8_t* out = background.pixels.mutablePixel(0, y);
    for (int x = 0; x < content.width; ++x, in += 4, out += 4) {
      // A background is opaque: transparent parts of the picture show white, as on a new canvas.
      const int a = in[3];
      for (int c = 0; c < 3; ++c) out[c] = std::uint8_t((in[c] * a + 255 * (255 - a) + 127) / 255);
      out[3] = 255;
    }
  }
  content.activeLayer = background.id;
  content.layers.push_back(std::move(background));
  return content;
}

void writeJpeg(const engine::DocumentContent& content, const std::string& path, const JpegOptions& options) {
  if (options.quality < 0 || options.quality > 12)
    throw FormatError("cannot save \"" + path + "\": JPEG quality " + std::to_string(options.quality) +
                      " is outside 0 to 12");
  // Photoshop's 0..12 spread over the codec's scale: 0 is 40, 8 is 80, 12 is 100.
  saveImage(mergedImage(content, path, false), path, "jpeg", 40 + 5 * options.quality);
}

void writePng(const engine::DocumentContent& content, const std::string& path) {
  saveImage(mergedImage(content, path, true), path, "png", -1);
}

}  // namespace formats
