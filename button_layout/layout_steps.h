#pragma once
// What the button-layout commands share: a step of several calls kept as one history state of
// a document (so that a run of ten buttons stays far within the history limit and one Undo
// takes back one step), and the copy that a duplicate into a document leaves as its active layer.

#include <functional>
#include <string>

#include "app/error_recovery.h"
#include "app/held_reference.h"
#include "photoshop/object_model.h"

namespace app::layout {

// Runs `step`, whose statements go through the recovery routine themselves, as one history
// state of `doc`. False when the routine ended the command.
inline bool AsOneState(ErrorRecovery& onError, const photoshop::Document& doc, const std::string& name,
                       const std::function<bool()>& step) {
  bool completed = false;
  if (!onError([&] { Held(doc).SuspendHistory(name, [&] { completed = step(); }); })) return false;
  return completed;
}

// The layer a duplicate into `doc` has just made: the document's active layer, provided it
// carries the name the copy keeps. A copy that did not arrive fails as a missing element, so
// that no other layer is renamed or moved in its place.
inline photoshop::Layer ArrivedCopy(const photoshop::Document& doc, const std::string& name) {
  photoshop::Layer copy = Held(doc).ActiveLayer();
  if (copy.Name() != name)
    throw photoshop::AutomationError(engine::ErrorCode::NoSuchElement, engine::kNoSuchElementText, "Quillary");
  return copy;
}

// The button count as a loop bound: the whole number it holds, 0 when it holds none.
template <class Count>
int ButtonTotal(const Count& count) {
  const auto n = count.Int16();
  return n && *n > 0 ? *n : 0;
}

}  // namespace app::layout
