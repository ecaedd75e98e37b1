#pragma once
// Photoshop outlives the program that drives it and keeps its documents open. The embedded
// engine keeps that promise through a session folder: the open documents (as PSD files), which
// one is active, the colours and the preferences, written after every workflow command and at
// exit, and read back at the next start.

#include <filesystem>
#include <map>
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
  // session restores nothing; damaged parts are skipped and named in `problems`.
  Restored restore(engine::Engine& engine);

 private:
  struct Written {
    engine::ContentPtr content;  // what was written, to skip unchanged documents
    std::string file;
  };
  std::filesystem::path folder_;
  std::map<engine::DocumentId, Written> written_;
  unsigned nextFile_ = 1;
};

}  // namespace photoshop
