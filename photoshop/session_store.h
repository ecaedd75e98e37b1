#pragma once
// Photoshop outlives the program that drives it and keeps its documents open. The embedded
// engine keeps that promise through a session folder: the open documents (as PSD files), which
// one is active, the colours and the preferences, written after every workflow command and at
// exit, and read back at the next start.

#include <filesystem>
#include <iosfwd>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace photoshop {

class SessionStore {
 public:
  explicit SessionStore(std::filesystem::path folder);
  // $XDG_DATA_HOME/Quillary/session, or ~/.local/share/Quillary/session.
  static std::filesystem::path defaultFolder();
  const std::filesystem::path& folder() const { return folder_; }

  // Writes the engine's state; documents unchanged since the last save are not written again.
  // The previous session stays readable until the new one is complete. Throws
  // std::runtime_error (naming the file) when the folder cannot be written.
  void save(const engine::Engine& engine);

  struct Restored {
    int documents = 0;
    std::vector<std::string> problems;  // documents or lines that could not be read back
  };
  // Reopens the last saved session into an engine that has no documents yet. A missing
  // session restores nothing; damaged parts are skipped and named in `problems`. When the
  // manifest is damaged, the document files it does not name are reopened too, as "Recovered 1"
  // and on, and named in `problems`; when it is intact, such files are what a save that was cut
  // short left behind, and are removed with its temporary files.
  Restored restore(engine::Engine& engine);

 private:
  // Reads the manifest's lines into the engine; true when any of it is damaged.
  bool readManifest(std::istream& in, engine::Engine& engine, std::set<std::string>& referenced, Restored& result);
  std::shared_ptr<engine::Document> reopen(engine::Engine& engine, const std::string& file, const std::string& name,
                                           const std::string& activeLayerPath, Restored& result);
  std::vector<std::string> unreferencedDocuments(const std::set<std::string>& referenced) const;
  void recoverUnreferenced(engine::Engine& engine, const std::set<std::string>& referenced, Restored& result);
  void removeLeftovers(const std::set<std::string>& referenced);

  struct Written {
    engine::ContentPtr content;  // what was written, to skip unchanged documents
    std::string file;
  };
  std::filesystem::path folder_;
  std::map<engine::DocumentId, Written> written_;
  unsigned nextFile_ = 1;
};

}  // namespace photoshop
