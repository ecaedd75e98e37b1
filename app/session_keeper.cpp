#include "app/session_keeper.h"

#include <stdexcept>

namespace app {

SessionKeeper::SessionKeeper(photoshop::Application application, std::filesystem::path folder)
    : application_(std::move(application)), store_(std::move(folder)) {}

void SessionKeeper::Restore(FormView& view) {
  const photoshop::SessionStore::Restored restored = store_.restore(application_.engine());
  if (restored.problems.empty()) return;
  std::string text = "Parts of the last session could not be reopened:";
  for (const std::string& problem : restored.problems) text += "\r\n" + problem;
  view.MsgBox(text, MsgBoxButtons::OKOnly, "");
}

void SessionKeeper::Save(FormView& view) {
  try {
    store_.save(application_.engine());
  } catch (const std::exception& error) {
    if (failureShown_) return;
    failureShown_ = true;
    view.MsgBox(std::string("The open documents could not be kept for the next start: ") + error.what(),
                MsgBoxButtons::OKOnly, "");
  }
}

}  // namespace app
