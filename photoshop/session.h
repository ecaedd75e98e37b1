#pragma once
// What every automation object shares: the embedded engine it drives, the fault hook, the call
// log and the action recorder. Each member call of the object model goes through call(), which
// counts and logs it, raises a fault a test asked for, refuses work while the workspace holds
// a pending edit, and turns engine and file errors into AutomationError.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "photoshop/automation_error.h"
#include "photoshop/fault_hook.h"

namespace photoshop {
class SolidColor;
}

namespace photoshop::detail {

// A colour of the object model as the engine paints it: each component rounded to 0..255.
engine::Rgb toRgb(const SolidColor& c);

struct Session {
  engine::Engine engine;
  FaultHook faults;
  CallLog calls;
  std::vector<std::string> recordedActions;  // every ExecuteAction, as text

  void enter(std::string_view member);
  [[noreturn]] static void translateCurrentException(std::string_view member);

  template <class F>
  decltype(auto) call(std::string_view member, F&& body) {
    enter(member);
    try {
      return body();
    } catch (...) {
      translateCurrentException(member);
    }
  }
};

using SessionPtr = std::shared_ptr<Session>;

// The engine document a handle stands for; fails when the handle was never set or the
// document has been closed.
std::shared_ptr<engine::Document> resolveDocument(const SessionPtr& session, const std::weak_ptr<engine::Document>& doc);

inline constexpr const char* kObjectNotSetText = "Object variable or With block variable not set";

// Every member call of a handle: a handle that was never set fails like any other call.
template <class F>
decltype(auto) call(const SessionPtr& session, std::string_view member, F&& body) {
  if (!session) throw AutomationError(engine::ErrorCode::ObjectNotSet, kObjectNotSetText, std::string(member));
  return session->call(member, std::forward<F>(body));
}

}  // namespace photoshop::detail
