#pragma once
// How the main window reaches the image application, and what it holds before it has.

#include <functional>

#include "photoshop/object_model.h"

namespace app {

// Creates (or attaches to) the application; may throw AutomationError.
using PhotoshopConnector = std::function<photoshop::Application()>;

inline constexpr std::int32_t kCannotCreateObject = 429;

// An application on which every call fails, as the program's reference behaves before the
// connection is made or after it failed: commands then report the failure instead of working
// on an engine nobody sees.
photoshop::Application DisconnectedApplication();

}  // namespace app
