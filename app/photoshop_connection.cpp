#include "app/photoshop_connection.h"

#include <limits>

namespace app {

photoshop::Application DisconnectedApplication() {
  photoshop::Application app;
  photoshop::FaultRule everyCall;
  everyCall.times = std::numeric_limits<int>::max();
  everyCall.number = kCannotCreateObject;
  everyCall.description = "The image application is not connected";
  app.faults().add(everyCall);
  return app;
}

}  // namespace app
