// Reading and writing PSD files of the two sizes the program meets: the nine-layer 720 x 480
// menu it produces, and a 60-layer 1920 x 1080 document. Files go to the temporary folder.
// Compare with psd-tools: bench/formats/psd_tools_compare.py.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "engine/composite.h"
#include "formats/document_io.h"
#include "formats/psd_writer.h"
#include "sample_documents.h"

namespace {

const engine::DocumentContent& document(int which) {
  static const engine::DocumentContent menu = samples::menuDocument(720, 480);
  static const engine::DocumentContent large = samples::largeDocument(60, 1920, 1080);
  return which == 0 ? menu : large;
}

std::string pathFor(int which) {
  return (std::filesystem::temp_directory_path() / (which == 0 ? "quillary-bench-menu.psd" : "quillary-bench-large.psd"))
      .string();
}

void label(benchmark::State& state) { state.SetLabel(state.range(0) == 0 ? "9 layers 720x480" : "60 layers 1920x1080"); }

void BM_WritePsd(benchmark::State& state) {
  const int which = int(state.range(0));
  for (auto _ : state) formats::writePsd(document(which), pathFor(which));
  label(state);
}

// The same without the file: what the encoder itself costs, the merged image included, as a
// save encodes (the pieces are written as they are, never joined).
void BM_EncodePsd(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(formats::encodePsdForSaving(document(int(state.range(0)))));
  label(state);
}

void BM_ReadPsd(benchmark::State& state) {
  const int which = int(state.range(0));
  formats::writePsd(document(which), pathFor(which));
  for (auto _ : state) benchmark::DoNotOptimize(formats::readPsd(pathFor(which)));
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(std::filesystem::file_size(pathFor(which))));
  label(state);
}

// The part of writing that is the engine's: the merged image every save stores.
void BM_MergedImage(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(engine::compositeDocument(document(int(state.range(0)))));
  label(state);
}

BENCHMARK(BM_WritePsd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodePsd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MergedImage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPsd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
