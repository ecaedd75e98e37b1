#include "photoshop/session_store.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "formats/document_io.h"

namespace photoshop {

namespace fs = std::filesystem;

namespace {

constexpr const char* kManifest = "session.txt";
constexpr const char* kMagic = "quillary-session 1";
constexpr std::size_t kMaxLine = 64 * 1024;
constexpr int kMaxDocuments = 1000;

// Names and paths may hold any character; tabs, newlines and '%' are written as %XX.
std::string escape(const std::string& s) {
  std::string out;
  static const char* hex = "0123456789ABCDEF";
  for (unsigned char c : s) {
    if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += char(c);
    }
  }
  return out;
}

bool unescape(const std::string& s, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i + 2 >= s.size()) return false;
    const auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
    const int hi = digit(s[i + 1]), lo = digit(s[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += char(hi * 16 + lo);
    i += 2;
  }
  return true;
}

std::vector<std::string> split(const std::string& line, char sep) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(line);
  while (std::getline(in, part, sep)) parts.push_back(part);
  if (!line.empty() && line.back() == sep) parts.emplace_back();
  return parts;
}

bool toInt(const std::string& s, int lo, int hi, int& out) {
  if (s.empty() || s.size() > 9) return false;
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (*end || v < lo || v > hi) return false;
  out = int(v);
  return true;
}

// Index path of the active layer from the top of the document, "0/2/1".
std::string activePath(const engine::DocumentContent& c) {
  std::string path;
  const std::function<bool(const std::vector<engine::LayerNode>&)> walk = [&](const auto& layers) {
    for (std::size_t i = 0; i < layers.size(); ++i) {
      const std::string before = path;
      path += (path.empty() ? "" : "/") + std::to_string(i);
      if (layers[i].id == c.activeLayer || walk(layers[i].children)) return true;
      path = before;
    }
    return false;
  };
  return walk(c.layers) ? path : std::string();
}

engine::LayerId layerAtPath(const engine::DocumentContent& c, const std::string& path) {
  const std::vector<engine::LayerNode>* layers = &c.layers;
  engine::LayerId id = 0;
  for (const std::string& step : split(path, '/')) {
    int index = 0;
    if (!toInt(step, 0, 100000, index) || index >= int(layers->size())) return 0;
    id = (*layers)[std::size_t(index)].id;
    layers = &(*layers)[std::size_t(index)].children;
  }
  return id;
}

// The names the store gives the documents it writes, "document-<number>.psd".
bool isDocumentFileName(const std::string& file) {
  constexpr std::string_view prefix = "document-", suffix = ".psd";
  if (file.size() <= prefix.size() + suffix.size() || file.size() > 40 || !file.starts_with(prefix) ||
      !file.ends_with(suffix))
    return false;
  const std::string_view digits = std::string_view(file).substr(prefix.size(), file.size() - prefix.size() - suffix.size());
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string colorText(engine::Rgb c) { return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b); }

bool parseColor(const std::string& s, engine::Rgb& out) {
  const auto parts = split(s, ',');
  int v[3];
  if (parts.size() != 3) return false;
  for (int i = 0; i < 3; ++i)
    if (!toInt(parts[std::size_t(i)], 0, 255, v[i])) return false;
  out = {std::uint8_t(v[0]), std::uint8_t(v[1]), std::uint8_t(v[2])};
  return true;
}

}  // namespace

SessionStore::SessionStore(fs::path folder) : folder_(std::move(folder)) {}

fs::path SessionStore::defaultFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return fs::path(data) / "Quillary" / "session";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local/share/Quillary/session";
  return fs::temp_directory_path() / "Quillary-session";
}

void SessionStore::save(const engine::Engine& engine) {
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec) throw std::runtime_error("cannot create the session folder \"" + folder_.string() + "\": " + ec.message());

  std::ostringstream manifest;
  manifest << kMagic << "\n";
  const engine::Preferences& p = engine.preferences();
  manifest << "preferences\t" << p.rulerUnits << "\t" << p.numberOfHistoryStates << "\t" << p.interpolation << "\n";
  manifest << "colors\t" << colorText(engine.foreground) << "\t" << colorText(engine.background) << "\n";

  std::map<engine::DocumentId, Written> kept;
  for (const auto& doc : engine.documents()) {
    auto it = written_.find(doc->id());
    Written entry;
    if (it != written_.end() && it->second.content == doc->contentPtr() && fs::exists(folder_ / it->second.file)) {
      entry = it->second;
    } else {
      // A fresh name each time: the file the previous manifest names stays intact until the
      // new manifest replaces it.
      do entry.file = "document-" + std::to_string(nextFile_++) + ".psd";
      while (fs::exists(folder_ / entry.file));
      formats::writePsd(doc->content(), (folder_ / entry.file).string());
      entry.content = doc->contentPtr();
    }
    const bool active = engine.activeDocument() == doc;
    manifest << "document\t" << entry.file << "\t" << escape(doc->name()) << "\t" << escape(doc->filePath()) << "\t"
             << (doc->modified() ? 1 : 0) << "\t" << (active ? 1 : 0) << "\t" << activePath(doc->content()) << "\n";
    kept.emplace(doc->id(), entry);
  }

  const fs::path temp = folder_ / (std::string(kManifest) + ".tmp");
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << manifest.str();
    out.flush();
    if (!out) throw std::runtime_error("cannot write \"" + temp.string() + "\"");
  }
  fs::rename(temp, folder_ / kManifest, ec);
  if (ec) throw std::runtime_error("cannot replace \"" + (folder_ / kManifest).string() + "\": " + ec.message());

  // Documents that are no longer open leave with the manifest that named them.
  std::set<std::string> live;
  for (const auto& [id, w] : kept) live.insert(w.file);
  for (const auto& [id, w] : written_)
    if (!live.count(w.file)) fs::remove(folder_ / w.file, ec);
  written_ = std::move(kept);
}

SessionStore::Restored SessionStore::restore(engine::Engine& engine) {
  Restored result;
  std::ifstream in(folder_ / kManifest, std::ios::binary);
  if (!in) {
    // No manifest: the first save of a session was cut short, or there never was one.
    removeLeftovers({});
    return result;
  }
  std::set<std::string> referenced;
  const bool damaged = readManifest(in, engine, referenced, result);
  if (damaged)
    recoverUnreferenced(engine, referenced, result);
  else
    removeLeftovers(referenced);
  return result;
}

bool SessionStore::readManifest(std::istream& in, engine::Engine& engine, std::set<std::string>& referenced,
                                Restored& result) {
  std::string line;
  if (!std::getline(in, line) || line != kMagic) {
    result.problems.push_back("\"" + (folder_ / kManifest).string() + "\" is not a session file");
    return true;
  }
  bool damaged = false;
  const auto refuseLine = [&](int lineNo, const std::string& why) {
    result.problems.push_back("line " + std::to_string(lineNo) + " of the session file " + why);
    damaged = true;
  };
  engine::DocumentId activeId = 0;
  int lineNo = 1;
  while (std::getline(in, line)) {
    ++lineNo;
    if (line.size() > kMaxLine) {
      refuseLine(lineNo, "is too long");
      continue;
    }
    const auto f = split(line, '\t');
    if (f.empty()) continue;
    if (f[0] == "preferences" && f.size() == 4) {
      engine::Preferences prefs;
      if (toInt(f[1], 1, 7, prefs.rulerUnits) && toInt(f[2], 1, 1000, prefs.numberOfHistoryStates) &&
          toInt(f[3], 1, 9, prefs.interpolation))
        engine.setPreferences(prefs);
      else
        result.problems.push_back("the saved preferences are not valid");
    } else if (f[0] == "colors" && f.size() == 3) {
      engine::Rgb fg, bg;
      if (parseColor(f[1], fg) && parseColor(f[2], bg)) {
        engine.foreground = fg;
        engine.background = bg;
      }
    } else if (f[0] == "document" && f.size() == 7) {
      std::string name, path;
      if (!isDocumentFileName(f[1]) || !unescape(f[2], name) || !unescape(f[3], path) || name.empty() ||
          result.documents >= kMaxDocuments) {
        refuseLine(lineNo, "is not valid");
        continue;
      }
      referenced.insert(f[1]);
      const auto doc = reopen(engine, f[1], name, f[6], result);
      if (!doc) continue;
      doc->setFilePath(path);
      if (f[4] == "1") doc->markModified();
      if (f[5] == "1") activeId = doc->id();
    } else {
      refuseLine(lineNo, "is not valid");
    }
  }
  if (activeId) engine.activate(activeId);
  return damaged;
}

std::shared_ptr<engine::Document> SessionStore::reopen(engine::Engine& engine, const std::string& file,
                                                       const std::string& name, const std::string& activeLayerPath,
                                                       Restored& result) {
  try {
    formats::PsdFile psd = formats::readPsd((folder_ / file).string(), formats::MergedImage::SkipWhenLayered);
    const engine::LayerId active = layerAtPath(psd.content, activeLayerPath);
    if (active) psd.content.activeLayer = active;
    auto doc = engine.addDocument(name, std::move(psd.content), "Open");
    written_[doc->id()] = {doc->contentPtr(), file};
    ++result.documents;
    return doc;
  } catch (const std::exception& e) {
    // Kept under another name: the next save must not take it for a leftover and remove it.
    std::error_code ec;
    const fs::path kept = folder_ / ("damaged-" + file);
    fs::rename(folder_ / file, kept, ec);
    result.problems.push_back("the document \"" + name + "\" could not be reopened: " + e.what() +
                              (ec ? std::string() : "; its file is kept as \"" + kept.string() + "\""));
    return nullptr;
  }
}

std::vector<std::string> SessionStore::unreferencedDocuments(const std::set<std::string>& referenced) const {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_, ec)) {
    const std::string file = entry.path().filename().string();
    if (isDocumentFileName(file) && !referenced.count(file)) files.push_back(file);
  }
  // In the order they were written, which is the order of their numbers.
  std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  return files;
}

void SessionStore::recoverUnreferenced(engine::Engine& engine, const std::set<std::string>& referenced,
                                       Restored& result) {
  int recovered = 0;
  for (const std::string& file : unreferencedDocuments(referenced)) {
    if (result.documents >= kMaxDocuments) break;
    const std::string name = "Recovered " + std::to_string(recovered + 1);
    if (!reopen(engine, file, name, "", result)) continue;
    ++recovered;
    result.problems.push_back("the document file \"" + file + "\" that the session file no longer names was reopened as \"" +
                              name + "\"");
  }
}

void SessionStore::removeLeftovers(const std::set<std::string>& referenced) {
  std::error_code ec;
  for (const std::string& file : unreferencedDocuments(referenced)) fs::remove(folder_ / file, ec);
  // Temporary files of saves that never finished: the manifest's and those of the documents.
  std::vector<fs::path> temporary;
  for (const auto& entry : fs::directory_iterator(folder_, ec)) {
    const std::string file = entry.path().filename().string();
    const auto dot = file.find(".psd.");
    if (file == std::string(kManifest) + ".tmp" || (dot != std::string::npos && isDocumentFileName(file.substr(0, dot + 4))))
      temporary.push_back(entry.path());
  }
  for (const fs::path& path : temporary) fs::remove(path, ec);
}

}  // namespace photoshop
