// A session save killed at any moment: the next start finds the session as it was before the
// save or as the save meant to leave it, whole, and no file the interrupted save left behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "photoshop/session_store.h"

namespace fs = std::filesystem;

namespace {

struct DocumentSpec {
  std::string name;
  std::uint8_t shade = 0;
  int layers = 1;
  auto operator<=>(const DocumentSpec&) const = default;
};
using SessionSpec = std::vector<DocumentSpec>;  // sorted

// "static" is the same in both sessions, so a save keeps its file; "shared" changes its pixels.
const SessionSpec kOld{{"old only", 40, 3}, {"shared", 90, 2}, {"static", 7, 2}};
const SessionSpec kNew{{"new 1", 160, 2}, {"new 2", 200, 3}, {"shared", 120, 2}, {"static", 7, 2}};

engine::DocumentContent contentOf(const DocumentSpec& spec) {
  engine::DocumentContent content;
  content.width = 320;
  content.height = 240;
  for (int i = 0; i < spec.layers; ++i) {
    engine::LayerNode layer = engine::LayerNode::artLayer("Layer " + std::to_string(i + 1));
    layer.pixels = engine::Raster(content.canvas());
    // Varied rows, so that the files are of some size and compress unevenly.
    for (int y = 0; y < content.height; ++y)
      for (int x = 0; x < content.width; ++x) {
        const std::uint8_t rgba[] = {spec.shade, std::uint8_t(x * y + i), std::uint8_t(x ^ y), 255};
        std::copy_n(rgba, 4, layer.pixels.mutablePixel(x, y));
      }
    content.layers.push_back(std::move(layer));
  }
  return content;
}

DocumentSpec specOf(const engine::Document& doc) {
  const engine::DocumentContent& c = doc.content();
  return {doc.name(), c.layers.empty() ? std::uint8_t(0) : c.layers[0].pixels.pixel(0, 0)[0], int(c.layers.size())};
}

SessionSpec specOf(const engine::Engine& engine) {
  SessionSpec spec;
  for (const auto& doc : engine.documents()) spec.push_back(specOf(*doc));
  std::sort(spec.begin(), spec.end());
  return spec;
}

// What a start of the program does: reopen, turn the session into `target`, save.
void startAndSave(const fs::path& folder, const SessionSpec& target) {
  engine::Engine engine;
  photoshop::SessionStore store(folder);
  store.restore(engine);
  for (const auto& doc : std::vector(engine.documents()))
    if (!std::count(target.begin(), target.end(), specOf(*doc))) engine.closeDocument(doc->id());
  const SessionSpec have = specOf(engine);
  for (const DocumentSpec& want : target)
    if (!std::count(have.begin(), have.end(), want)) engine.addDocument(want.name, contentOf(want));
  store.save(engine);
}

pid_t startChild(const fs::path& folder, const SessionSpec& target) {
  if (const pid_t child = fork(); child != 0) return child;
  try {
    startAndSave(folder, target);
  } catch (...) {
    _exit(2);
  }
  _exit(0);
}

}  // namespace

TEST(SessionSaveKilled, NextStartHasTheOldOrTheNewSessionWhole) {
  const fs::path folder = fs::temp_directory_path() / ("quillary-session-kill-" + std::to_string(getpid()));
  fs::remove_all(folder);
  startAndSave(folder, kOld);

  // How long a whole start and save takes here; the kills land anywhere in it.
  const auto begin = std::chrono::steady_clock::now();
  int status = 0;
  waitpid(startChild(folder, kNew), &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begin);
  startAndSave(folder, kOld);

  std::mt19937 random(17);
  std::uniform_int_distribution<long> delay(0, whole.count() * 6 / 5);
  SessionSpec current = kOld;
  int becameNew = 0, stayedOld = 0;
  for (int round = 0; round < 60; ++round) {
    const SessionSpec& target = current == kOld ? kNew : kOld;
    const pid_t child = startChild(folder, target);
    ASSERT_GT(child, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "round " << round << ": the save failed";

    engine::Engine next;
    photoshop::SessionStore store(folder);
    const photoshop::SessionStore::Restored restored = store.restore(next);
    EXPECT_TRUE(restored.problems.empty()) << "round " << round << ": " << restored.problems.front();
    const SessionSpec found = specOf(next);
    ASSERT_TRUE(found == current || found == target) << "round " << round << ": a session that was never saved";
    (found == current ? stayedOld : becameNew) += 1;
    current = found;
    const auto files = std::distance(fs::directory_iterator(folder), {}) - fs::exists(folder / "session.txt");
    EXPECT_EQ(std::size_t(files), current.size()) << "round " << round << ": leftovers of the killed save";
  }
  RecordProperty("stayed_old", stayedOld);
  RecordProperty("became_new", becameNew);
  fs::remove_all(folder);
}
