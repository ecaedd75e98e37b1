#pragma once
// The embedded engine as a whole: what Photoshop holds for the program. Open documents in
// order, the active one, foreground and background colours, preferences, a clipboard, and the
// host that answers the engine's own dialogs.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/document.h"

namespace engine {

struct Preferences {
  int rulerUnits = 2;              // Photoshop's units numbering: 1 pixels, 2 inches, ...
  int numberOfHistoryStates = 50;  // 1..1000
  int interpolation = 4;           // Photoshop's resample-method numbering
};

enum class SaveChangesAnswer { Save, DontSave, Cancel };

// What the engine asks of the program that shows it (the workspace, or a batch runner).
class Host {
 public:
  virtual ~Host() = default;
  // A save with dialogs: the path the user chose, starting from `proposedName`; nothing when
  // the user cancelled.
  virtual std::optional<std::string> chooseSavePath(const std::string& proposedName) = 0;
  // Closing a modified document without saying what to do with its changes.
  virtual SaveChangesAnswer askSaveChanges(const std::string& documentName) = 0;
};

class Engine {
 public:
  Engine();

  const std::vector<std::shared_ptr<Document>>& documents() const { return documents_; }
  // Documents are found by exact name; the first of equal names wins.
  std::shared_ptr<Document> findDocument(std::string_view name) const;
  std::shared_ptr<Document> findDocument(DocumentId id) const;
  // Adds a document and makes it the active one.
  std::shared_ptr<Document> addDocument(std::string name, DocumentContent content, std::string firstState = "New");
  void closeDocument(DocumentId id);
  std::shared_ptr<Document> activeDocument() const;
  void activate(DocumentId id);
  // "Untitled-N" with the smallest N no open document uses.
  std::string untitledName() const;

  Rgb foreground{0, 0, 0};
  Rgb background{255, 255, 255};

  const Preferences& preferences() const { return preferences_; }
  void setPreferences(const Preferences& prefs);

  // Copy puts pixels here; Paste takes them.
  Raster clipboard;

  // Seeds for the cloud filters; replaceable so that tests get repeatable clouds.
  std::function<std::uint32_t()> nextSeed;

  // While the workspace holds an unaccepted edit, every automation call fails as busy.
  bool pendingEdit = false;

  // Asked before anything that needs the user's word; with none installed such an operation
  // refuses with ErrorCode::NoHostToAsk.
  Host* host = nullptr;

  // Bumped on every change the workspace may need to show.
  std::uint64_t changeCount() const { return changes_; }
  void noteChange() { ++changes_; }

 private:
  std::vector<std::shared_ptr<Document>> documents_;
  std::vector<DocumentId> activation_;  // most recently active last
  Preferences preferences_;
  std::uint64_t changes_ = 0;
};

// Installs a host on an engine for as long as it lives, and takes it away again (unless another
// host has been installed since).
class HostInstallation {
 public:
  HostInstallation(Engine& engine, Host& host) : engine_(engine), host_(host) { engine_.host = &host_; }
  ~HostInstallation() {
    if (engine_.host == &host_) engine_.host = nullptr;
  }
  HostInstallation(const HostInstallation&) = delete;
  HostInstallation& operator=(const HostInstallation&) = delete;

 private:
  Engine& engine_;
  Host& host_;
};

}  // namespace engine
