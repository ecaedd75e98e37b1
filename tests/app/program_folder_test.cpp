// The user's own program folder, for an installed program whose data folder is read-only.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "app/program_folder.h"

namespace {

namespace fs = std::filesystem;

void write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class UserProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("quillary-user-folder-" + std::to_string(::getpid()));
    installed_ = root_ / "usr/share/quillary";
    user_ = root_ / "home/.local/share/quillary";
    fs::remove_all(root_);
    write(installed_ / "Resources/StateInfo1.rtf", "step one");
    write(installed_ / "Backgrounds/Nature/Sky.png", "sky");
    write(installed_ / "Button Templates/Round.psd", "round");
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string place() { return app::UserProgramFolder(installed_.string(), user_.string()); }

  fs::path root_, installed_, user_;
};

TEST_F(UserProgramFolderTest, TheFirstStartCopiesEverythingAndLaterStartsKeepTheUsersChanges) {
  ASSERT_EQ(place(), user_.string());
  EXPECT_EQ(read(user_ / "Resources/StateInfo1.rtf"), "step one");
  EXPECT_EQ(read(user_ / "Backgrounds/Nature/Sky.png"), "sky");
  EXPECT_EQ(read(user_ / "Button Templates/Round.psd"), "round");
  EXPECT_FALSE(fs::exists(user_.string() + ".partial"));

  // The user deletes a background, renames a template and a thumbnail is made.
  fs::remove(user_ / "Backgrounds/Nature/Sky.png");
  fs::rename(user_ / "Button Templates/Round.psd", user_ / "Button Templates/Mine.psd");
  write(user_ / "Backgrounds/Preview/Sky.jpg", "thumb");
  // A newer version of the program brings a changed and a new instruction file.
  write(installed_ / "Resources/StateInfo1.rtf", "step one, reworded");
  write(installed_ / "Resources/StateInfo2.rtf", "step two");

  ASSERT_EQ(place(), user_.string());
  EXPECT_FALSE(fs::exists(user_ / "Backgrounds/Nature/Sky.png"));
  EXPECT_FALSE(fs::exists(user_ / "Button Templates/Round.psd"));
  EXPECT_EQ(read(user_ / "Button Templates/Mine.psd"), "round");
  EXPECT_EQ(read(user_ / "Backgrounds/Preview/Sky.jpg"), "thumb");
  EXPECT_EQ(read(user_ / "Resources/StateInfo1.rtf"), "step one, reworded");
  EXPECT_EQ(read(user_ / "Resources/StateInfo2.rtf"), "step two");
}

TEST_F(UserProgramFolderTest, AUserFolderWithoutInstructionsGetsWhatIsMissingAndKeepsWhatIsThere) {
  write(user_ / "Backgrounds/Own.png", "own");
  write(user_ / "Button Templates/Round.psd", "edited");
  ASSERT_EQ(place(), user_.string());
  EXPECT_EQ(read(user_ / "Backgrounds/Own.png"), "own");
  EXPECT_EQ(read(user_ / "Button Templates/Round.psd"), "edited");
  EXPECT_EQ(read(user_ / "Backgrounds/Nature/Sky.png"), "sky");
  EXPECT_EQ(read(user_ / "Resources/StateInfo1.rtf"), "step one");
}

TEST_F(UserProgramFolderTest, AUserFolderThatCannotBeMadeLeavesTheInstalledOne) {
  write(root_ / "home/.local/share", "a file where the folder should be");
  EXPECT_EQ(place(), installed_.string());
  EXPECT_FALSE(fs::exists(user_.string() + ".partial"));
}

}  // namespace
