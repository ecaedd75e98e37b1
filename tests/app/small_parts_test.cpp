// The button count's conversions, where the program finds its data, and the About box's key store
// reads and the start of the system information tool.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

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

TEST(ProgramFolder, BesideTheExecutableOrInTheInstalledDataDirectory) {
  QTemporaryDir dir;
  for (const char* path : {"build/app/Resources", "usr/bin", "usr/share/quillary/Resources", "elsewhere"})
    QDir(dir.path()).mkpath(path);
  const auto in = [&](const char* path) { return (dir.path() + path).toStdString(); };
  EXPECT_EQ(ProgramFolderFor(in("/build/app")), in("/build/app"));
  EXPECT_EQ(ProgramFolderFor(in("/usr/bin")), in("/usr/share/quillary"));
  EXPECT_EQ(ProgramFolderFor(in("/elsewhere")), in("/elsewhere"));
}

namespace {

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
