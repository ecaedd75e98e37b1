// The button count's conversions, where the program finds its data (and the user's own copy of a
// read-only one), and the About box's key store reads and the start of the system information tool.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/machine_keys.h"
#include "app/program_folder.h"
#include "app/system_info.h"
#include "app/typed_number.h"

using namespace app;

TEST(TypedNumber, KeepsTheTypedTextAndConvertsWhereALoopNeedsIt) {
  TypedNumber count;
  EXPECT_TRUE(count.IsEmpty());
  EXPECT_EQ(std::tuple(count.Text(), count.Number(), count.Int16()), std::tuple("", std::nullopt, std::nullopt));
  // Whole numbers are rounded half to even.
  const struct {
    const char* text;
    std::optional<double> number;
    std::optional<std::int16_t> int16;
  } typed[] = {{" 6 ", 6, 6}, {"2.5", 2.5, 2}, {"3.5", 3.5, 4}, {"6 buttons", {}, {}}, {"99999", 99999, {}}};
  for (const auto& t : typed) {
    count = std::string(t.text);
    EXPECT_EQ(std::tuple(count.Text(), count.Number(), count.Int16()), std::tuple(t.text, t.number, t.int16)) << t.text;
  }
  count = 10.0;
  EXPECT_EQ(count.Text(), "10");

  for (const auto& [text, number] : std::initializer_list<std::pair<const char*, double>>{
           {"10", 10}, {"  -7.5e1x", -75}, {"720 px", 720}, {"px720", 0}, {"", 0}, {"1e999", 0}, {"5e", 5}})
    EXPECT_EQ(LeadingNumber(text), number) << "the leading number of " << text;
}

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

// An installed program whose data folder is read-only, and the user's folder for it.
class UserProgramFolderTest : public ::testing::Test {
 protected:
  UserProgramFolderTest() {
    for (const auto& [path, text] : installedFiles) write(installed / path, text);
  }
  static void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  // Every file in the user's folder, by its path there, with its text.
  Files userFiles() const {
    Files out;
    for (const auto& entry : fs::recursive_directory_iterator(user)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      out[fs::relative(entry.path(), user).string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return out;
  }
  std::string place() { return UserProgramFolder(installed.string(), user.string()); }

  const Files installedFiles{{"Resources/StateInfo1.rtf", "step one"},
                             {"Backgrounds/Nature/Sky.png", "sky"},
                             {"Button Templates/Round.psd", "round"}};
  QTemporaryDir dir;
  const fs::path root{dir.path().toStdString()}, installed{root / "usr/share/quillary"},
      user{root / "home/.local/share/quillary"};
};

class KeyStoreTest : public ::testing::Test {
 protected:
  MachineKeyStore store(const std::string& content) {
    const std::string path = dir_.filePath("machine-keys.conf").toStdString();
    std::ofstream(path, std::ios::binary) << content;
    return MachineKeyStore(path);
  }
  std::string folder() const { return dir_.path().toStdString(); }

  // Records what would have been started; "missing" programs fail to start.
  SystemInfoLauncher launcher() {
    SystemInfoLauncher l;
    l.start = [this](const std::string& program) {
      started.push_back(program);
      return program.find("missing") == std::string::npos;
    };
    l.fileExists = [](const std::string& path) { return std::ifstream(path).good(); };
    l.findProgram = [](const std::string& name) { return name == "sysinfo-tool" ? "/usr/bin/sysinfo-tool" : ""; };
    return l;
  }
  std::vector<std::string> started;

 private:
  QTemporaryDir dir_;
};

}  // namespace

TEST_F(UserProgramFolderTest, TheProgramFolderIsBesideTheExecutableOrInTheInstalledDataDirectory) {
  for (const char* path : {"build/app/Resources", "usr/bin", "elsewhere"}) fs::create_directories(root / path);
  const auto in = [&](const char* path) { return (root / path).string(); };
  EXPECT_EQ(ProgramFolderFor(in("build/app")), in("build/app"));
  EXPECT_EQ(ProgramFolderFor(in("usr/bin")), installed.string());
  EXPECT_EQ(ProgramFolderFor(in("elsewhere")), in("elsewhere"));
}

TEST_F(UserProgramFolderTest, TheFirstStartCopiesEverythingAndLaterStartsKeepTheUsersChanges) {
  ASSERT_EQ(place(), user.string());
  EXPECT_EQ(userFiles(), installedFiles);
  EXPECT_FALSE(fs::exists(user.string() + ".partial"));

  // The user deletes a background, renames a template and a thumbnail is made.
  fs::remove(user / "Backgrounds/Nature/Sky.png");
  fs::rename(user / "Button Templates/Round.psd", user / "Button Templates/Mine.psd");
  write(user / "Backgrounds/Preview/Sky.jpg", "thumb");
  // A newer version of the program brings a changed and a new instruction file.
  write(installed / "Resources/StateInfo1.rtf", "step one, reworded");
  write(installed / "Resources/StateInfo2.rtf", "step two");
  ASSERT_EQ(place(), user.string());
  EXPECT_EQ(userFiles(), (Files{{"Button Templates/Mine.psd", "round"}, {"Backgrounds/Preview/Sky.jpg", "thumb"},
                                {"Resources/StateInfo1.rtf", "step one, reworded"},
                                {"Resources/StateInfo2.rtf", "step two"}}));
}

TEST_F(UserProgramFolderTest, AUserFolderWithoutInstructionsGetsWhatIsMissingAndKeepsWhatIsThere) {
  write(user / "Backgrounds/Own.png", "own");
  write(user / "Button Templates/Round.psd", "edited");
  ASSERT_EQ(place(), user.string());
  EXPECT_EQ(userFiles(), (Files{{"Backgrounds/Own.png", "own"}, {"Button Templates/Round.psd", "edited"},
                                {"Backgrounds/Nature/Sky.png", "sky"}, {"Resources/StateInfo1.rtf", "step one"}}));
}

TEST_F(UserProgramFolderTest, AUserFolderThatCannotBeMadeLeavesTheInstalledOne) {
  write(root / "home/.local/share", "a file where the folder should be");
  EXPECT_EQ(place(), installed.string());
  EXPECT_FALSE(fs::exists(user.string() + ".partial"));
}

TEST_F(KeyStoreTest, TextValuesLoseOneTrailingZeroCharacter) {
  const MachineKeyStore keys = store(
      "# system information\n"
      "[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
      "PATH=\"/opt/info/run\\0\"\n"
      "Plain = /opt/info/plain  \n"
      "Quoted=\"two\\0\\0\"\n"
      "Number=dword:0000002a\n"
      "Empty=\"\"\n"
      "Long=\"" + std::string(1025, 'x') + "\"\n"
      "Fits=\"" + std::string(1023, 'y') + "\\0\"\n"
      "Bad=\"no end\n"
      "[Other]\n"
      "Name=other\n");
  std::string value = "previous";
  EXPECT_TRUE(GetKeyValue(keys, HKEY_LOCAL_MACHINE, "software\\microsoft\\shared tools\\msinfo", "path", value));
  EXPECT_EQ(value, "/opt/info/run");
  for (const auto& [name, expected] : {std::pair("Plain", std::string("/opt/info/plain")),
                                       std::pair("Quoted", std::string("two\0", 4)),  // only one zero character is cut
                                       std::pair("Fits", std::string(1023, 'y'))}) {
    EXPECT_TRUE(GetKeyValue(keys, HKEY_LOCAL_MACHINE, kMsInfoKey, name, value));
    EXPECT_EQ(value, expected) << name;
  }

  for (const char* failing : {"Number", "Empty", "Long", "Bad", "Name", "Absent"}) {
    value = "previous";
    EXPECT_FALSE(GetKeyValue(keys, HKEY_LOCAL_MACHINE, kMsInfoKey, failing, value)) << failing;
    EXPECT_EQ(value, "") << failing;
  }
  EXPECT_FALSE(GetKeyValue(keys, 0x80000001, kMsInfoKey, "PATH", value)) << "only the machine-wide root exists";
  EXPECT_FALSE(GetKeyValue(MachineKeyStore(folder() + "/none.conf"), HKEY_LOCAL_MACHINE, kMsInfoKey, "PATH", value));
}

TEST_F(KeyStoreTest, SystemInfoIsTheNamedProgramElseTheOneInTheNamedFolderElseThePackagedTool) {
  // The named program wins and is started without looking for it.
  EXPECT_TRUE(StartSysInfo(store("[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=/nowhere/info\n"
                                 "[SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=" + folder() + "\n"),
                           launcher()));
  EXPECT_EQ(started, std::vector<std::string>{"/nowhere/info"});
  EXPECT_FALSE(StartSysInfo(store("[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=/missing\n"), launcher()))
      << "a program that does not start is reported";

  // The folder is used only when it holds the program.
  started.clear();
  const MachineKeyStore keys = store("[SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=" + folder() + "\n");
  SystemInfoLauncher noFallback = launcher();
  noFallback.packagedTools.clear();
  EXPECT_FALSE(StartSysInfo(keys, noFallback));
  EXPECT_TRUE(started.empty());
  std::ofstream(folder() + "/MSINFO32.EXE") << "#!/bin/sh\n";
  EXPECT_TRUE(StartSysInfo(keys, noFallback));
  EXPECT_EQ(started, std::vector<std::string>{folder() + "/MSINFO32.EXE"});

  // Without keys the packaged tool is tried.
  started.clear();
  SystemInfoLauncher l = launcher();
  l.packagedTools = {"not-installed", "sysinfo-tool"};
  EXPECT_TRUE(StartSysInfo(store(""), l));
  EXPECT_EQ(started, std::vector<std::string>{"/usr/bin/sysinfo-tool"});
  l.packagedTools = {"not-installed"};
  EXPECT_FALSE(StartSysInfo(store(""), l));
}
