#include "engine/document.h"

#include <atomic>
#include <unordered_set>

#include "engine/errors.h"

namespace engine {

namespace {
DocumentId newDocumentId() {
  static std::atomic<DocumentId> next{1};
  return next++;
}
}  // namespace

LayerNode& DocumentContent::layer(LayerId id) {
  LayerNode* n = find(id);
  if (!n) failNoSuchElement();
  return *n;
}

const LayerNode& DocumentContent::layer(LayerId id) const {
  const LayerNode* n = find(id);
  if (!n) failNoSuchElement();
  return *n;
}

LayerPath DocumentContent::locate(LayerId id) {
  LayerPath path;
  if (!locateLayer(layers, id, path)) failNoSuchElement();
  return path;
}

void History::reset(std::string name, ContentPtr content) {
  states_.clear();
  states_.push_back({nextSerial_++, std::move(name), std::move(content)});
  current_ = 0;
}

void History::record(std::string name, ContentPtr content) {
  states_.erase(states_.begin() + std::ptrdiff_t(current_) + 1, states_.end());
  states_.push_back({nextSerial_++, std::move(name), std::move(content)});
  current_ = states_.size() - 1;
  enforceLimit();
}

void History::refreshCurrent(ContentPtr content) { states_[current_].content = std::move(content); }

void History::setLimit(int limit) {
  if (limit < 1 || limit > 1000) fail(ErrorCode::InvalidArgument, "the number of history states must be 1 to 1000");
  limit_ = limit;
  enforceLimit();
}

void History::enforceLimit() {
  while (states_.size() > std::size_t(limit_)) {
    if (current_ > 0) {
      states_.pop_front();
      --current_;
    } else {
      states_.pop_back();  // the current state is never dropped
    }
  }
}

const History::State* History::find(std::uint64_t serial) const {
  for (const State& s : states_)
    if (s.serial == serial) return &s;
  return nullptr;
}

bool History::rewind(std::uint64_t serial) {
  for (std::size_t i = 0; i < states_.size(); ++i) {
    if (states_[i].serial == serial) {
      current_ = i;
      return true;
    }
  }
  return false;
}

std::size_t History::pixelBytes() const {
  std::unordered_set<const void*> seen;
  std::size_t bytes = 0;
  for (const State& s : states_) {
    forEachLayer(s.content->layers, [&](const LayerNode& n) {
      if (n.pixels.empty() || !seen.insert(n.pixels.bufferIdentity()).second) return;
      bytes += n.pixels.byteSize();
    });
  }
  return bytes;
}

Document::Document(std::string name, DocumentContent content, int historyLimit, std::string firstStateName)
    : id_(newDocumentId()), name_(std::move(name)), content_(std::make_shared<DocumentContent>(std::move(content))) {
  history_.setLimit(historyLimit);
  history_.reset(std::move(firstStateName), content_);
}

void Document::beginHistoryGroup(std::string name) {
  if (groupDepth_++ == 0) {
    groupName_ = std::move(name);
    groupState_ = 0;
  }
}

void Document::endHistoryGroup() {
  if (groupDepth_ > 0) --groupDepth_;
}

void Document::commit(std::string_view stateName, std::shared_ptr<DocumentContent> next, bool recorded) {
  if (recorded && groupDepth_ > 0 && groupState_ == history_.current().serial) {
    content_ = std::move(next);
    history_.refreshCurrent(content_);
    unrecorded_ = false;
    modified_ = true;
    return;
  }
  if (recorded && groupDepth_ > 0) stateName = groupName_;
  if (recorded) {
    // The current state takes in the unrecorded changes made since it was recorded, so that
    // a later rewind to it shows the document as it stood just before this change.
    if (unrecorded_) history_.refreshCurrent(content_);
    content_ = std::move(next);
    history_.record(std::string(stateName), content_);
    if (groupDepth_ > 0) groupState_ = history_.current().serial;
    unrecorded_ = false;
    modified_ = true;
  } else {
    content_ = std::move(next);
    unrecorded_ = true;
  }
}

void Document::replaceContent(std::string_view stateName, DocumentContent content) {
  commit(stateName, std::make_shared<DocumentContent>(std::move(content)), true);
}

void Document::rewindTo(std::uint64_t serial) {
  if (unrecorded_) history_.refreshCurrent(content_);
  if (!history_.rewind(serial)) fail(ErrorCode::HistoryStateGone, "the history state is no longer available");
  content_ = history_.current().content;
  unrecorded_ = false;
  modified_ = true;
}

}  // namespace engine
