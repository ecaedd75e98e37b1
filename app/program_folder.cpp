#include "app/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace app {

std::string ProgramFolderFor(const std::string& executableDir) {
  const QDir exe(QString::fromStdString(executableDir));
  if (exe.exists(QStringLiteral("Resources"))) return exe.absolutePath().toStdString();
  // Installed: <prefix>/<bindir>/quillary with the data in <prefix>/<datadir>/quillary.
  const QString bindir = QStringLiteral(QUILLARY_INSTALL_BINDIR);
  const QString datadir = QStringLiteral(QUILLARY_INSTALL_DATADIR);
  QString prefix = exe.absolutePath();
  if (QDir::isRelativePath(bindir) && prefix.endsWith('/' + QDir::cleanPath(bindir))) {
    prefix.chop(QDir::cleanPath(bindir).size() + 1);
    const QString data = QDir::isRelativePath(datadir) ? prefix + '/' + datadir : datadir;
    const QFileInfo installed(data + QStringLiteral("/quillary"));
    if (installed.isDir()) return QDir::cleanPath(installed.absoluteFilePath()).toStdString();
  }
  return exe.absolutePath().toStdString();
}

namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The installed instruction files that are missing from `user` or differ from its copies (a
// newer version of the program brings new ones).
void refreshResources(const fs::path& installed, const fs::path& user) {
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(installed / "Resources", ec)) {
    const fs::path target = user / "Resources" / e.path().filename();
    std::error_code ignored;
    if (!e.is_regular_file(ignored) || contentsOf(e.path()) == contentsOf(target)) continue;
    fs::copy_file(e.path(), target, fs::copy_options::overwrite_existing, ignored);
  }
}

}  // namespace

std::string UserProgramFolder(const std::string& installed, const std::string& user) {
  const fs::path from(installed), to(user);
  std::error_code ec;
  if (!fs::exists(to, ec)) {
    // Copied whole into a fresh folder first, so that a start cut short leaves no half copy
    // that later starts would take for the real one.
    const fs::path partial = to.string() + ".partial";
    fs::remove_all(partial, ec);
    fs::create_directories(partial.parent_path(), ec);
    fs::copy(from, partial, fs::copy_options::recursive, ec);
    if (!ec) fs::rename(partial, to, ec);
    if (ec) {
      fs::remove_all(partial, ec);
      return installed;
    }
  } else if (!fs::is_directory(to / "Resources", ec)) {
    // Something of the user's is there already: only what is missing is added.
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
    if (ec) return installed;
  }
  refreshResources(from, to);
  return user;
}

std::string ProgramFolder() {
  const std::string folder = ProgramFolderFor(QCoreApplication::applicationDirPath().toStdString());
  if (QFileInfo(QString::fromStdString(folder)).isWritable()) return folder;
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return data.isEmpty() ? folder : UserProgramFolder(folder, (data + QStringLiteral("/quillary")).toStdString());
}

}  // namespace app
