#pragma once
// What each workflow state shows: its status text, its step button (green) and the other
// buttons the user may press in it (light cyan). Every other workflow button is disabled and
// neutral.

#include <cstdint>
#include <optional>
#include <span>

#include "photoshop/color_operations.h"
#include "app/form_view.h"

namespace app {

inline constexpr std::int32_t kNeutralButtonColor = photoshop::RGBValue(224, 224, 216);
inline constexpr std::int32_t kStepButtonColor = photoshop::RGBValue(208, 255, 208);
inline constexpr std::int32_t kAvailableButtonColor = photoshop::RGBValue(208, 255, 255);

struct WorkflowStateInfo {
  const char* statusText;
  std::span<const WorkflowButton> enabled;  // the step button first, when there is one
  bool hasStepButton;
};

// States 1 to 9; nothing for any other value.
std::optional<WorkflowStateInfo> WorkflowStateFor(int state);

// The order in which the buttons are disabled when a state is applied.
std::span<const WorkflowButton> AllWorkflowButtons();

}  // namespace app
