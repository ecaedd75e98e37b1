#pragma once
// Test support: make chosen automation calls fail, and keep a log of every call made.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "photoshop/automation_error.h"

namespace photoshop {

struct FaultRule {
  // "" matches every call; "ArtLayer.Name" matches that member; "Name" matches the member of
  // any object. Property assignments end in "=" ("ArtLayer.Visible=").
  std::string member;
  int skip = 0;   // matching calls let through before the first failure (k-th call: skip k-1)
  int times = 1;  // matching calls that fail after that
  std::int32_t number = static_cast<std::int32_t>(engine::ErrorCode::Busy);
  std::string description = kBusyText;
};

class FaultHook {
 public:
  void add(FaultRule rule) { rules_.push_back({std::move(rule), 0}); }
  // Shorthands: the k-th call (of any member, counted from now) fails `times` times.
  void failCall(int k, engine::ErrorCode code, int times = 1);
  void failMember(std::string member, engine::ErrorCode code, int times = 1, int skip = 0);
  void clear() { rules_.clear(); }
  bool idle() const;
  // The error a call of `member` must raise now, if any; counts the call.
  std::optional<AutomationError> check(std::string_view member);

 private:
  struct Armed {
    FaultRule rule;
    int seen = 0;  // matching calls so far
  };
  std::vector<Armed> rules_;
};

// The description the engine gives each of its numbers when a test asks for a fault.
std::string defaultDescription(engine::ErrorCode code);

class CallLog {
 public:
  void setEnabled(bool on) { enabled_ = on; }
  bool enabled() const { return enabled_; }
  void note(std::string_view member) {
    ++count_;
    if (enabled_) calls_.emplace_back(member);
  }
  const std::vector<std::string>& calls() const { return calls_; }
  std::uint64_t count() const { return count_; }
  void clear() { calls_.clear(); }

 private:
  bool enabled_ = false;
  std::uint64_t count_ = 0;
  std::vector<std::string> calls_;
};

}  // namespace photoshop
