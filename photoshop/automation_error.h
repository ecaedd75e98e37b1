#pragma once
// AutomationError: how every failed call of the automation layer reaches the program, with
// the number, description and source that Photoshop's automation reports.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "engine/error_codes.h"

namespace photoshop {

class AutomationError : public std::runtime_error {
 public:
  AutomationError(std::int32_t number, std::string description, std::string source);
  AutomationError(engine::ErrorCode code, std::string description, std::string source)
      : AutomationError(static_cast<std::int32_t>(code), std::move(description), std::move(source)) {}

  std::int32_t Number() const { return number_; }
  const std::string& Description() const { return description_; }
  const std::string& Source() const { return source_; }
  bool Is(engine::ErrorCode code) const { return number_ == static_cast<std::int32_t>(code); }

 private:
  std::int32_t number_;
  std::string description_;
  std::string source_;
};

// The texts of the engine's own errors where no more specific description applies.
inline constexpr const char* kBusyText =
    "The application is busy: an edit in the workspace has not been accepted or cancelled.";
inline constexpr const char* kCallRejectedText = "The call was rejected by the application because it is busy.";
inline constexpr const char* kNotActiveText =
    "The requested action requires that the target document is the frontmost document.";

}  // namespace photoshop
