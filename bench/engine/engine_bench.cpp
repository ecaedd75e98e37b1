// Speed of the engine on menu-sized work, through the automation layer as the program uses it.
// Sizes: 720 x 540 and 1920 x 1080.

#include <benchmark/benchmark.h>

#include "photoshop/object_model.h"

using namespace photoshop;

namespace {

Application makeApp() {
  Application app;
  app.Preferences().SetRulerUnits(ps::Pixels);
  app.Preferences().SetNumberOfHistoryStates(500);
  return app;
}

// A set of twelve button-sized layers spread over the page, as a composite set holds them.
Layer twelveMemberSet(Document& doc, int w, int h) {
  Layer set = doc.LayerSets().Add();
  for (int i = 0; i < 12; ++i) {
    Layer layer = set.ArtLayers().Add();
    const double x = (i % 3) * w / 3.0 + 10, y = (i / 3) * h / 4.0 + 10;
    doc.Selection().Select(RectangleRegion(x, y, x + w / 4.0, y + h / 6.0));
    doc.Selection().Fill(SolidColor(20 * i, 255 - 20 * i, 128));
    if (i % 4 == 1) layer.SetBlendMode(5);
    if (i % 4 == 2) layer.SetOpacity(60);
  }
  doc.Selection().Deselect();
  return set;
}

void BM_FillWholeLayer(benchmark::State& state) {
  Application app = makeApp();
  const int w = int(state.range(0)), h = int(state.range(1));
  Document doc = app.Documents().Add(w, h, 72, "doc", ps::NewRGB, ps::FillTransparent);
  int i = 0;
  for (auto _ : state) doc.Selection().Fill(SolidColor(i++ & 255, 0, 0));
  state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_FillWholeLayer)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_DuplicateButtonSet(benchmark::State& state) {
  Application app = makeApp();
  const int w = int(state.range(0)), h = int(state.range(1));
  Document doc = app.Documents().Add(w, h, 72, "doc", ps::NewRGB, ps::FillTransparent);
  Layer set = twelveMemberSet(doc, w, h);
  for (auto _ : state) {
    Layer copy = set.Duplicate();
    state.PauseTiming();
    copy.Remove();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DuplicateButtonSet)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

void BM_MergeTwelveMemberSet(benchmark::State& state) {
  Application app = makeApp();
  const int w = int(state.range(0)), h = int(state.range(1));
  Document doc = app.Documents().Add(w, h, 72, "doc", ps::NewRGB, ps::FillTransparent);
  Layer set = twelveMemberSet(doc, w, h);
  const HistoryState built = doc.ActiveHistoryState();
  for (auto _ : state) {
    set.Merge();
    state.PauseTiming();
    doc.SetActiveHistoryState(built);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MergeTwelveMemberSet)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// 500 history states of small edits on a document of full-page layers; reports the pixel memory
// that all states hold together, per state.
void BM_FiveHundredHistoryStates(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  double bytesPerState = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Application app = makeApp();
    Document doc = app.Documents().Add(w, h, 72, "doc", ps::NewRGB, ps::FillWhite);
    for (int i = 0; i < 8; ++i) doc.ArtLayers().Add();
    doc.Selection().SelectAll();
    for (int i = 1; i <= 8; ++i) {
      doc.SetActiveLayer(doc.ArtLayers()(i));
      doc.Selection().Fill(SolidColor(i * 30, 0, 0), ps::NormalBlend, 50);
    }
    doc.Selection().Deselect();
    Layer button = doc.ArtLayers().Add();
    const std::size_t before = doc.engineDocument()->history().pixelBytes();
    state.ResumeTiming();
    for (int i = 0; i < 250; ++i) {
      doc.Selection().Select(RectangleRegion(10 + i % 50, 10, 110 + i % 50, 50));
      doc.Selection().Fill(SolidColor(i & 255, 100, 0));
    }
    state.PauseTiming();
    const auto& history = doc.engineDocument()->history();
    bytesPerState = double(history.pixelBytes() - before) / 500.0;
    benchmark::DoNotOptimize(button);
    state.ResumeTiming();
  }
  state.counters["pixel_bytes_per_state"] = bytesPerState;
}
BENCHMARK(BM_FiveHundredHistoryStates)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace
