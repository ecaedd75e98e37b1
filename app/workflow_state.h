#pragma once
// The steps of the workflow, in the order the user goes through them. `WorkflowState` holds one.

#include <cstdint>

namespace app {

enum WorkflowStates : std::int16_t {
  CreateMenuDocs = 1,
  EditButtonTemplate = 2,
  ReEditButtonTemplate = 3,
  EditClonedLayout = 4,
  CompositingLayers = 5,
  BuildFinalDocument = 6,
  BuildingFinalDocument = 7,
  BuiltFinalSaveNow = 8,
  BuiltSaveFinal = 9,
};

}  // namespace app
