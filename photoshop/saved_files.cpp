#include "photoshop/saved_files.h"

#include <cctype>
#include <filesystem>

#include "engine/errors.h"

namespace photoshop::detail {

std::string withExtension(const std::string& path, const char* extension, bool upperCase) {
  if (std::filesystem::path(path).has_extension()) return path;
  std::string ext = extension;
  if (upperCase)
    for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
  return path + ext;
}

void adoptSavedFile(engine::Document& doc, const std::string& path) {
  std::error_code ec;
  const std::string canonical = std::filesystem::weakly_canonical(path, ec).string();
  doc.setFilePath(canonical.empty() ? path : canonical);
  doc.setName(std::filesystem::path(path).filename().string());
  doc.markSaved();
}

engine::Host& hostToAsk(const engine::Engine& engine, const std::string& question) {
  if (!engine.host) engine::fail(engine::ErrorCode::NoHostToAsk, "there is no host to ask " + question);
  return *engine.host;
}

}  // namespace photoshop::detail
