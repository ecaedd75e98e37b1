#include "photoshop/action_interpreter.h"

#include "engine/errors.h"
#include "photoshop/object_model.h"

namespace photoshop {

ActionDescriptor executeAction(Application&, TypeID event, const ActionDescriptor&, int) {
  engine::fail(engine::ErrorCode::UnsupportedAction,
               "the action event " + typeIds().describe(event) + " is not supported by the engine");
}

}  // namespace photoshop
