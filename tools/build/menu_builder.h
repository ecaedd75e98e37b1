#pragma once
// One menu built from the command line with the procedures the main window runs: Create/Edit
// Menu, Clone Button Template, Build Composite Layers and Final PSD Document, in a fresh engine,
// behind a scripted view and host and with settings kept in memory.

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/build/build_request.h"

namespace build {

class BuildError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CommandTiming {
  std::string command;
  double seconds = 0;
};

struct LayerBounds {
  std::string name;
  std::array<int, 4> bounds{};  // left, top, right, bottom; all zero for an empty layer
};

struct ButtonPlace {
  std::string name;
  std::array<double, 4> inBuildMenu{};
  std::array<double, 4> inFinalMenu{};  // scaled as the final document is
};

struct BuildReport {
  int width = 0, height = 0;        // of the written document
  std::vector<LayerBounds> layers;  // bottom first, as the menu utility numbers them
  std::vector<ButtonPlace> buttons;
  std::vector<CommandTiming> timings;
  // Memory: the pixels of every layer and mask of the documents open at the end, counted once,
  // and the process's peak resident size.
  std::uint64_t documentPixelBytes = 0;
  std::uint64_t peakResidentBytes = 0;
};

// Progress: one call per command with its name and the share of the build done after it.
using ProgressReport = std::function<void(const std::string& command, int percent)>;

// Builds the menu and writes it to request.output (and the layer PNGs); throws RequestError or
// BuildError with the reason, and then leaves nothing at the output path. Questions the build
// answers by default, and every message it saw, go to `transcript`.
BuildReport buildMenu(const BuildRequest& request, std::ostream& transcript, const ProgressReport& progress);

}  // namespace build
