#pragma once
// What one quillary-build run is asked to do, read from its command line and checked before
// anything is built, so that bad input ends the run at once with a message and no output.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace build {

class RequestError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Arrange { Keep, Grid };

// An entry of the Options menu as a flag of the main window: its menu index, and whether the
// entry's mark is the flag's opposite ("Remove Hilite ..." marks clear "Keep...Hilite").
struct OptionFlag {
  const char* name;
  int menuIndex;
  bool markIsInverse;
};
const std::vector<OptionFlag>& optionFlags();

struct BuildRequest {
  std::string background;
  std::string buttonTemplate;
  std::string output;
  int buttons = 4;
  int width = 720;
  int height = 540;
  std::vector<std::pair<const OptionFlag*, bool>> options;  // in the order given
  Arrange arrange = Arrange::Grid;
  std::string pngDir;
  bool json = false;
  bool progress = false;
};

extern const char* const kUsage;

// The request of a command line (without the program name); RequestError says what is wrong.
BuildRequest parseArguments(const std::vector<std::string>& args);

// Refuses a request whose files cannot be read or whose output cannot be written, naming the
// file and the cause.
void checkFiles(const BuildRequest& request);

}  // namespace build
