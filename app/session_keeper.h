#pragma once
// The image engine outlives the program the way Photoshop does: its open documents and
// preferences are kept in a session folder, reopened at start-up and written after every
// command and at exit.

#include <filesystem>
#include <string>

#include "app/form_view.h"
#include "photoshop/object_model.h"
#include "photoshop/session_store.h"

namespace app {

class SessionKeeper {
 public:
  SessionKeeper(photoshop::Application application, std::filesystem::path folder);

  // Reopens the last session into the application; what could not be read back is told once.
  void Restore(FormView& view);
  // Writes the session. The first failure of a run is told; later ones would only repeat it.
  void Save(FormView& view);

 private:
  photoshop::Application application_;
  photoshop::SessionStore store_;
  bool failureShown_ = false;
};

}  // namespace app
