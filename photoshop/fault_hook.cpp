#include "photoshop/fault_hook.h"

namespace photoshop {

namespace {
bool matches(const std::string& pattern, std::string_view member) {
  if (pattern.empty() || pattern == member) return true;
  const auto dot = member.find('.');
  return dot != std::string_view::npos && member.substr(dot + 1) == pattern;
}
}  // namespace

std::string defaultDescription(engine::ErrorCode code) {
  switch (code) {
    case engine::ErrorCode::Busy: return kBusyText;
    case engine::ErrorCode::CallRejected: return kCallRejectedText;
    case engine::ErrorCode::NotActiveDocument: return kNotActiveText;
    case engine::ErrorCode::NoSuchElement: return engine::kNoSuchElementText;
    default: return "General failure of the application.";
  }
}

void FaultHook::failCall(int k, engine::ErrorCode code, int times) {
  add({"", k - 1, times, static_cast<std::int32_t>(code), defaultDescription(code)});
}

void FaultHook::failMember(std::string member, engine::ErrorCode code, int times, int skip) {
  add({std::move(member), skip, times, static_cast<std::int32_t>(code), defaultDescription(code)});
}

bool FaultHook::idle() const {
  for (const Armed& a : rules_)
    if (a.seen < a.rule.skip + a.rule.times) return false;
  return true;
}

std::optional<AutomationError> FaultHook::check(std::string_view member) {
  std::optional<AutomationError> raised;
  for (Armed& a : rules_) {
    if (!matches(a.rule.member, member)) continue;
    const int index = a.seen++;
    if (!raised && index >= a.rule.skip && index < a.rule.skip + a.rule.times)
      raised.emplace(a.rule.number, a.rule.description, std::string(member));
  }
  return raised;
}

}  // namespace photoshop
