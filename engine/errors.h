#pragma once
// The one exception type of the engine; the automation layer turns it into AutomationError.

#include <stdexcept>
#include <string>

#include "engine/error_codes.h"

namespace engine {

class EngineError : public std::runtime_error {
 public:
  EngineError(ErrorCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
  ErrorCode code() const { return code_; }

 private:
  ErrorCode code_;
};

[[noreturn]] void fail(ErrorCode code, const std::string& message);
[[noreturn]] inline void failNoSuchElement() { fail(ErrorCode::NoSuchElement, kNoSuchElementText); }

// Largest side and area the engine accepts for documents and layers; checked before allocating.
inline constexpr int kMaxSide = 30000;
inline constexpr long long kMaxArea = 300LL * 1000 * 1000;
void checkPixelArea(long long width, long long height);

}  // namespace engine
