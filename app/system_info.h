#pragma once
// Starting the system information tool from the About box: the program the machine key store
// names, else MSINFO32.EXE in the folder it names, else a tool the package was built to use.

#include <functional>
#include <string>
#include <vector>

#include "app/machine_keys.h"

namespace app {

inline constexpr const char* kSysInfoUnavailableMessage = "System Information Is Unavailable At This Time";
inline constexpr const char* kMsInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* kMsInfoLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr const char* kMsInfoProgramName = "MSINFO32.EXE";

struct SystemInfoLauncher {
  // Starts a program detached, in a window of its own; false when it could not be started.
  std::function<bool(const std::string& program)> start;
  std::function<bool(const std::string& path)> fileExists;
  // The full path of a program found on the search path, or "".
  std::function<std::string(const std::string& name)> findProgram;
  // Tools to try when the key store names none, in order.
  std::vector<std::string> packagedTools;
};

// The tools the package was configured with, and the real process start and file tests.
SystemInfoLauncher DefaultSystemInfoLauncher();

// True when a tool was started; the caller reports kSysInfoUnavailableMessage otherwise.
bool StartSysInfo(const MachineKeyStore& store, const SystemInfoLauncher& launcher);

}  // namespace app
