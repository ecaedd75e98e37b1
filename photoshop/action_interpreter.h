#pragma once
// The action events ExecuteAction understands, run on the embedded engine.

#include "photoshop/action_descriptor.h"

namespace photoshop {

class Application;

// Runs one event with its descriptor; an event the engine does not implement fails with
// UnsupportedAction naming the event. Dialog mode 1 lets the event ask the host (a save asks
// for the file name).
ActionDescriptor executeAction(const Application& app, TypeID event, const ActionDescriptor& descriptor, int dialogMode);

}  // namespace photoshop
