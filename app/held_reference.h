#pragma once
// The main window holds document and layer references that may never have been set. Using an
// unset one is a run-time error like any other failed call, so that the statement's own error
// handling (skip, recover or report) applies instead of a crash.

#include "photoshop/object_model.h"

namespace app {

inline constexpr std::int32_t kObjectNotSet = static_cast<std::int32_t>(engine::ErrorCode::ObjectNotSet);
using photoshop::detail::kObjectNotSetText;

template <class Handle>
const Handle& Held(const Handle& handle) {
  if (handle.IsNothing()) throw photoshop::AutomationError(kObjectNotSet, kObjectNotSetText, "Quillary");
  return handle;
}

}  // namespace app
