// A whole menu from the command line's builder, as quillary-build makes it: Create/Edit Menu,
// Clone Button Template with 10 buttons, Build Composite Layers and Final PSD Document with its
// save, at 720 x 540 and 1920 x 1080, on the bundled sample background and template. Every
// iteration is a fresh engine, so the iterations are menus made one after another in one process.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <filesystem>
#include <sstream>

#include "tools/build/menu_builder.h"

namespace {

void BM_BuildMenu(benchmark::State& state) {
  const std::filesystem::path data = QUILLARY_SAMPLE_DATA;
  build::BuildRequest request;
  request.width = int(state.range(0));
  request.height = int(state.range(1));
  // The background of the menu's size, as a user would pick it.
  request.background =
      (data / (request.width == 1920 ? "Backgrounds/Full HD/Sunset Clouds 1920x1080.png" : "Backgrounds/Skies/Sunset Clouds.png"))
          .string();
  request.buttonTemplate = (data / "Button Templates/Compact Silver.psd").string();
  request.output = (std::filesystem::temp_directory_path() / "quillary-bench-build.psd").string();
  request.buttons = 10;
  request.arrange = build::Arrange::Keep;
  std::vector<double> seconds(4);
  for (auto _ : state) {
    std::ostringstream transcript;
    const build::BuildReport report = build::buildMenu(request, transcript, [](const std::string&, int) {});
    for (std::size_t i = 0; i < report.timings.size() && i < seconds.size(); ++i) seconds[i] += report.timings[i].seconds;
  }
  const char* names[] = {"create_ms", "clone_ms", "composites_ms", "final_ms"};
  for (std::size_t i = 0; i < seconds.size(); ++i)
    state.counters[names[i]] = benchmark::Counter(seconds[i] * 1000.0 / double(state.iterations()));
}

// Twenty menus in a row in one process for each figure, so that a leak or a slowdown shows.
BENCHMARK(BM_BuildMenu)->Args({720, 540})->Args({1920, 1080})->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
