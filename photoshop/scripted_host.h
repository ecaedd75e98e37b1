#pragma once
// The host of runs with nobody at the screen (tests, batch runs). Each question the engine asks
// takes the next scripted answer; a question with no answer left is answered as a cancel, so
// that a run without a script never discards a document nor writes a file nobody chose. Every
// question is kept, in order, for the run's transcript.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace photoshop {

class ScriptedHost : public engine::Host {
 public:
  std::deque<engine::SaveChangesAnswer> saveChangesAnswers;
  std::deque<std::string> savePaths;  // an empty path is a cancelled save dialog
  // "save changes: <document>" and "save as: <proposed name>".
  std::vector<std::string> questions;

  std::optional<std::string> chooseSavePath(const std::string& proposedName) override {
    questions.push_back("save as: " + proposedName);
    if (savePaths.empty()) return std::nullopt;
    std::string path = savePaths.front();
    savePaths.pop_front();
    if (path.empty()) return std::nullopt;
    return path;
  }

  engine::SaveChangesAnswer askSaveChanges(const std::string& documentName) override {
    questions.push_back("save changes: " + documentName);
    if (saveChangesAnswers.empty()) return engine::SaveChangesAnswer::Cancel;
    const engine::SaveChangesAnswer answer = saveChangesAnswers.front();
    saveChangesAnswers.pop_front();
    return answer;
  }
};

}  // namespace photoshop
