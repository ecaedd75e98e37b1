#pragma once
// The program folder: where the program's data ("Resources", "Backgrounds", "Button
// Templates") lives. Beside the executable in a build tree; the installed data directory when
// the program runs from an installed bin directory.

#include <string>

namespace app {

// The program folder for an executable in `executableDir`.
std::string ProgramFolderFor(const std::string& executableDir);
// The program folder of the running program (needs a QCoreApplication).
std::string ProgramFolder();

}  // namespace app
