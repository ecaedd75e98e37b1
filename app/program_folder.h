#pragma once
// The program folder: where the program's data ("Resources", "Backgrounds", "Button
// Templates") lives. Beside the executable in a build tree; the installed data directory when
// the program runs from an installed bin directory, or the user's copy of it when the user
// cannot write there.

#include <string>

namespace app {

// The program folder for an executable in `executableDir`.
std::string ProgramFolderFor(const std::string& executableDir);
// The folder to work in when the installed data folder `installed` cannot be written to (the
// chooser makes thumbnails and renames and deletes files there): the user's own folder `user`,
// filled from `installed` at the first start; later starts bring its instruction files up to
// date and leave the user's backgrounds and templates as the user left them. `installed` when
// `user` cannot be made.
std::string UserProgramFolder(const std::string& installed, const std::string& user);
// The program folder of the running program (needs a QCoreApplication).
std::string ProgramFolder();

}  // namespace app
