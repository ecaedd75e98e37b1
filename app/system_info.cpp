#include "app/system_info.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace app {

SystemInfoLauncher DefaultSystemInfoLauncher() {
  SystemInfoLauncher launcher;
  launcher.start = [](const std::string& program) {
    return QProcess::startDetached(QString::fromStdString(program), {});
  };
  launcher.fileExists = [](const std::string& path) { return QFileInfo(QString::fromStdString(path)).isFile(); };
  launcher.findProgram = [](const std::string& name) {
    return QStandardPaths::findExecutable(QString::fromStdString(name)).toStdString();
  };
  for (const QString& tool : QString(QUILLARY_SYSTEM_INFO_TOOLS).split(':', Qt::SkipEmptyParts))
    launcher.packagedTools.push_back(tool.toStdString());
  return launcher;
}

bool StartSysInfo(const MachineKeyStore& store, const SystemInfoLauncher& launcher) {
  std::string path;
  // The named program is started without checking that it exists; a failed start is reported.
  if (GetKeyValue(store, HKEY_LOCAL_MACHINE, kMsInfoKey, "PATH", path)) return launcher.start(path);
  std::string folder;
  if (GetKeyValue(store, HKEY_LOCAL_MACHINE, kMsInfoLocationKey, "MSINFO", folder)) {
    const std::string program = folder + "/" + kMsInfoProgramName;
    if (launcher.fileExists(program)) return launcher.start(program);
  }
  for (const std::string& tool : launcher.packagedTools) {
    const std::string found = launcher.findProgram(tool);
    if (!found.empty()) return launcher.start(found);
  }
  return false;
}

}  // namespace app
