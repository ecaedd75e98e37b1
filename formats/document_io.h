#pragma once
// Reading and writing documents as files: Photoshop documents (our own codec) and raster
// pictures. Every reader checks bounds before it reads and refuses bad input with a
// FormatError that names the file and what is wrong; writers replace their target only once
// the new file is complete.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/document.h"

namespace formats {

class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a Photoshop file holds besides the engine's document.
struct PsdFile {
  engine::DocumentContent content;
  engine::Raster storedComposite;  // the merged image the file carries (canvas-sized), may be empty
  // False when the file says its merged image is a blank stand-in (Photoshop's "maximize
  // compatibility" off). The document keeps no such note: what the writer saves is always real.
  bool storedCompositeIsReal = true;
  int version = 1;                 // 1 PSD, 2 PSB
  int colorMode = 3;               // the file's colour mode as stored (3 = RGB)
  int depth = 8;                   // bits per channel as stored
};

// Whether to decode the merged image. Opening a document needs it only when the file has no
// layers (it is then the background); decoding a Full HD one costs as much as sixty layers.
enum class MergedImage {
  Read,
  SkipWhenLayered,  // `storedComposite` stays empty when the file has layers
};

PsdFile readPsd(const std::string& path, MergedImage merged = MergedImage::Read);
PsdFile decodePsd(std::span<const std::uint8_t> bytes, const std::string& nameForMessages,
                  MergedImage merged = MergedImage::Read);
void writePsd(const engine::DocumentContent& content, const std::string& path);
std::vector<std::uint8_t> encodePsd(const engine::DocumentContent& content);

// A picture (PNG, JPEG, BMP, GIF, TIFF) as a document with one background layer "Background".
engine::DocumentContent readPicture(const std::string& path);

// Opens a file by its contents: a Photoshop document (its merged image read only when it has no
// layers), or else a picture.
engine::DocumentContent readDocumentFile(const std::string& path);

struct JpegOptions {
  int quality = 8;  // Photoshop's 0..12, 12 the highest
};
void writeJpeg(const engine::DocumentContent& content, const std::string& path, const JpegOptions& options);
void writePng(const engine::DocumentContent& content, const std::string& path);

}  // namespace formats
