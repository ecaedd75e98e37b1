// Files on disk: reading a whole Photoshop file, saving one safely, and telling a Photoshop
// document from a picture by its contents.

#include "formats/document_io.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "formats/psd_writer.h"
#include "formats/safe_save.h"

namespace formats {

namespace {

// PSB files may be larger than 4 GB; the engine could not hold what such a file describes.
constexpr std::uint64_t kLargestFile = 4ULL << 30;

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw FormatError("cannot open \"" + path + "\": " + std::strerror(errno));
  const std::streamoff size = in.tellg();
  if (size < 0) throw FormatError("cannot open \"" + path + "\": its size cannot be determined");
  if (std::uint64_t(size) > kLargestFile) throw FormatError("cannot open \"" + path + "\": the file is larger than 4 GB");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
    throw FormatError("cannot open \"" + path + "\": reading it failed");
  return bytes;
}

bool startsLikePsd(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char signature[4] = {};
  return in.read(signature, 4) && std::memcmp(signature, "8BPS", 4) == 0;
}

}  // namespace

PsdFile readPsd(const std::string& path, MergedImage merged) {
  const std::vector<std::uint8_t> bytes = readWholeFile(path);
  return decodePsd(bytes, path, merged);
}

void writePsd(const engine::DocumentContent& content, const std::string& path) {
  EncodedPsd encoded;
  try {
    encoded = encodePsdForSaving(content);
  } catch (const FormatError& e) {
    throw FormatError("cannot save \"" + path + "\": " + e.what());
  }
  saveBytesAtomically(path, encoded.pieces);
}

engine::DocumentContent readDocumentFile(const std::string& path) {
  if (startsLikePsd(path)) return readPsd(path, MergedImage::SkipWhenLayered).content;
  return readPicture(path);
}

}  // namespace formats
