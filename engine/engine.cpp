#include "engine/engine.h"

#include <algorithm>
#include <random>

#include "engine/errors.h"

namespace engine {

Engine::Engine() {
  nextSeed = [gen = std::mt19937(std::random_device{}())]() mutable { return std::uint32_t(gen()); };
}

std::shared_ptr<Document> Engine::findDocument(std::string_view name) const {
  for (const auto& d : documents_)
    if (d->name() == name) return d;
  return nullptr;
}

std::shared_ptr<Document> Engine::findDocument(DocumentId id) const {
  for (const auto& d : documents_)
    if (d->id() == id) return d;
  return nullptr;
}

std::shared_ptr<Document> Engine::addDocument(std::string name, DocumentContent content, std::string firstState) {
  checkPixelArea(content.width, content.height);
  if (content.width < 1 || content.height < 1) fail(ErrorCode::InvalidArgument, "a document needs at least one pixel each way");
  auto doc = std::make_shared<Document>(std::move(name), std::move(content), preferences_.numberOfHistoryStates,
                                        std::move(firstState));
  documents_.push_back(doc);
  activation_.push_back(doc->id());
  noteChange();
  return doc;
}

void Engine::closeDocument(DocumentId id) {
  const auto it = std::find_if(documents_.begin(), documents_.end(), [id](const auto& d) { return d->id() == id; });
  if (it == documents_.end()) failNoSuchElement();
  documents_.erase(it);
  std::erase(activation_, id);
  noteChange();
}

std::shared_ptr<Document> Engine::activeDocument() const {
  return activation_.empty() ? nullptr : findDocument(activation_.back());
}

void Engine::activate(DocumentId id) {
  if (!findDocument(id)) failNoSuchElement();
  std::erase(activation_, id);
  activation_.push_back(id);
  noteChange();
}

std::string Engine::untitledName() const {
  for (int n = 1;; ++n) {
    std::string name = "Untitled-" + std::to_string(n);
    if (!findDocument(name)) return name;
  }
}

void Engine::setPreferences(const Preferences& prefs) {
  if (prefs.rulerUnits < 1 || prefs.rulerUnits > 7) fail(ErrorCode::InvalidArgument, "ruler units must be 1 to 7");
  if (prefs.numberOfHistoryStates < 1 || prefs.numberOfHistoryStates > 1000)
    fail(ErrorCode::InvalidArgument, "the number of history states must be 1 to 1000");
  if (prefs.interpolation < 1 || prefs.interpolation > 9) fail(ErrorCode::InvalidArgument, "interpolation must be 1 to 9");
  preferences_ = prefs;
  for (const auto& d : documents_) d->setHistoryLimit(prefs.numberOfHistoryStates);
}

}  // namespace engine
