// Fuzz target for the session manifest: any session.txt is read or refused line by line, never
// a crash, a sanitizer report or a hang, and never more documents than it names. The folder
// holds no document files, so every document line fails to open and is named as a problem.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "photoshop/session_store.h"

namespace {

std::filesystem::path folder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("TMPDIR");
  folder = std::filesystem::path(base && *base ? base : "/tmp") / ("quillary-manifest-fuzz-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(folder / "session.txt", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
  }
  engine::Engine engine;
  photoshop::SessionStore store(folder);
  const photoshop::SessionStore::Restored restored = store.restore(engine);
  if (restored.documents != 0 || !engine.documents().empty()) std::abort();
  const engine::Preferences& p = engine.preferences();
  if (p.rulerUnits < 1 || p.rulerUnits > 7 || p.numberOfHistoryStates < 1 || p.numberOfHistoryStates > 1000 ||
      p.interpolation < 1 || p.interpolation > 9)
    std::abort();
  // What is restored saves again, and the saved manifest reads back without a problem.
  store.save(engine);
  engine::Engine again;
  if (!photoshop::SessionStore(folder).restore(again).problems.empty()) std::abort();
  return 0;
}
