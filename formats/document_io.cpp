#include "formats/document_io.h"

namespace formats {

namespace {
[[noreturn]] void unavailable(const std::string& path, const char* what) {
  throw FormatError("cannot " + std::string(what) + " \"" + path + "\": this file format is not supported yet");
}
}  // namespace

PsdFile readPsd(const std::string& path) { unavailable(path, "read"); }
PsdFile decodePsd(std::span<const std::uint8_t>, const std::string& name) { unavailable(name, "read"); }
void writePsd(const engine::DocumentContent&, const std::string& path) { unavailable(path, "write"); }
std::vector<std::uint8_t> encodePsd(const engine::DocumentContent&) { unavailable("memory", "write"); }
engine::DocumentContent readPicture(const std::string& path) { unavailable(path, "read"); }
engine::DocumentContent readDocumentFile(const std::string& path) { unavailable(path, "read"); }
void writeJpeg(const engine::DocumentContent&, const std::string& path, const JpegOptions&) { unavailable(path, "write"); }
void writePng(const engine::DocumentContent&, const std::string& path) { unavailable(path, "write"); }

}  // namespace formats
