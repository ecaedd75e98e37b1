#pragma once
// A document: its content (what history restores) and its history of states.
//
// History rule: each recorded change makes a state that shares pixel buffers with its
// neighbours, or one state for a group of changes; visibility and active-layer changes are folded into the current state; a change
// after a rewind drops the later states; beyond the limit the oldest states are dropped.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/layer.h"
#include "engine/mask.h"

namespace engine {

using DocumentId = std::uint64_t;

// An image resource block of a PSD file that the engine does not interpret, kept verbatim.
struct ImageResource {
  std::uint16_t id = 0;
  std::string name;
  std::shared_ptr<const std::vector<std::uint8_t>> data;
};

// How a layer's partly covering pixels mix with what lies below them: in RGB, or in L*a*b*
// as Photoshop mixes the layers of a Lab document.
enum class ColorMixing : int { Rgb, Lab };

struct DocumentContent {
  int width = 0;
  int height = 0;
  double resolution = 72.0;     // pixels per inch
  std::vector<LayerNode> layers;  // topmost first
  Mask selection;                 // nothing selected when it covers nothing
  LayerId activeLayer = 0;
  std::vector<std::string> keywords;
  std::vector<ImageResource> resources;
  // Document-wide blocks of a PSD file's layer section the engine does not interpret (patterns,
  // embedded smart-object files...), kept verbatim so that the layers using them keep working.
  std::vector<TaggedBlock> extraBlocks;
  ColorMixing mixing = ColorMixing::Rgb;

  Rect canvas() const { return Rect::fromSize(width, height); }
  LayerNode* find(LayerId id) { return findLayer(layers, id); }
  const LayerNode* find(LayerId id) const { return findLayer(layers, id); }
  // The node or NoSuchElement.
  LayerNode& layer(LayerId id);
  const LayerNode& layer(LayerId id) const;
  LayerPath locate(LayerId id);
  bool hasSelection() const { return !selection.isEmpty(); }
};

using ContentPtr = std::shared_ptr<const DocumentContent>;

class History {
 public:
  struct State {
    std::uint64_t serial = 0;
    std::string name;
    ContentPtr content;
  };

  void reset(std::string name, ContentPtr content);
  void record(std::string name, ContentPtr content);
  // Replaces what the current state holds (changes that make no state of their own).
  void refreshCurrent(ContentPtr content);
  void setLimit(int limit);
  int limit() const { return limit_; }

  const State& current() const { return states_[current_]; }
  const State* find(std::uint64_t serial) const;
  std::size_t size() const { return states_.size(); }
  const std::deque<State>& states() const { return states_; }
  // Makes the state with that serial current; false when it is gone.
  bool rewind(std::uint64_t serial);
  // Bytes of distinct pixel buffers held by all states together.
  std::size_t pixelBytes() const;

 private:
  void enforceLimit();

  std::deque<State> states_;
  std::size_t current_ = 0;
  std::uint64_t nextSerial_ = 1;
  int limit_ = 50;
};

class Document {
 public:
  Document(std::string name, DocumentContent content, int historyLimit, std::string firstStateName = "Open");

  DocumentId id() const { return id_; }
  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  // The file the document was opened from or last saved to; empty for a new document.
  const std::string& filePath() const { return filePath_; }
  void setFilePath(std::string path) { filePath_ = std::move(path); }
  bool modified() const { return modified_; }
  void markSaved() { modified_ = false; }
  void markModified() { modified_ = true; }

  const DocumentContent& content() const { return *content_; }
  ContentPtr contentPtr() const { return content_; }

  // Runs `change` on a copy of the content; when it returns, the copy becomes the content and
  // a history state named `stateName`. When it throws, the document is left as it was.
  template <class F>
  decltype(auto) edit(std::string_view stateName, F&& change) {
    auto next = std::make_shared<DocumentContent>(*content_);
    if constexpr (std::is_void_v<std::invoke_result_t<F, DocumentContent&>>) {
      change(*next);
      commit(stateName, std::move(next), true);
    } else {
      auto result = change(*next);
      commit(stateName, std::move(next), true);
      return result;
    }
  }
  // As edit(), for changes that make no history state of their own (visibility, active layer).
  template <class F>
  void adjust(F&& change) {
    auto next = std::make_shared<DocumentContent>(*content_);
    change(*next);
    commit({}, std::move(next), false);
  }
  // Replaces the whole content as one history state (a reverted or reloaded document).
  void replaceContent(std::string_view stateName, DocumentContent content);

  const History& history() const { return history_; }
  std::uint64_t currentState() const { return history_.current().serial; }
  // Makes an earlier (or later, not yet dropped) state current again; HistoryStateGone otherwise.
  void rewindTo(std::uint64_t serial);
  void setHistoryLimit(int limit) { history_.setLimit(limit); }

  // Recorded changes made while a group is open make one history state, named after the
  // outermost group (Photoshop's suspended history): a step of several calls is one Undo.
  void beginHistoryGroup(std::string name);
  void endHistoryGroup();

 private:
  void commit(std::string_view stateName, std::shared_ptr<DocumentContent> next, bool recorded);

  DocumentId id_;
  std::string name_;
  std::string filePath_;
  bool modified_ = false;
  ContentPtr content_;
  bool unrecorded_ = false;  // content_ holds changes the current history state lacks
  int groupDepth_ = 0;
  std::string groupName_;
  std::uint64_t groupState_ = 0;  // the state the open group records into; 0 before its first change
  History history_;
};

}  // namespace engine
