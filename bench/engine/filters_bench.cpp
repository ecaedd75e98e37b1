// Speed of the engine's pixel work on its own: resampling a menu page and rendering clouds.

#include <benchmark/benchmark.h>

#include "engine/filters.h"
#include "engine/operations.h"

namespace {

// A full-page layer with some structure, so the resampler sees edges and not a flat colour.
engine::DocumentContent pageDocument(int w, int h) {
  engine::DocumentContent c;
  c.width = w;
  c.height = h;
  engine::LayerNode page = engine::LayerNode::artLayer("Background");
  page.isBackground = true;
  page.pixels = engine::renderClouds(c.canvas(), {240, 200, 40}, {20, 40, 120}, 7);
  c.activeLayer = page.id;
  c.layers.push_back(std::move(page));
  return c;
}

void BM_ResampleBicubic(benchmark::State& state) {
  const engine::DocumentContent page = pageDocument(int(state.range(0)), int(state.range(1)));
  for (auto _ : state) {
    engine::DocumentContent work = page;
    engine::resizeImage(work, int(state.range(2)), int(state.range(3)), engine::ResampleMethod::Bicubic);
    benchmark::DoNotOptimize(work.layers.front().pixels.data());
  }
}
BENCHMARK(BM_ResampleBicubic)->Args({720, 540, 720, 480})->Unit(benchmark::kMillisecond);

void BM_Clouds(benchmark::State& state) {
  const engine::Rect area = engine::Rect::fromSize(int(state.range(0)), int(state.range(1)));
  std::uint32_t seed = 1;
  for (auto _ : state) {
    const engine::Raster clouds = engine::renderClouds(area, {255, 120, 30}, {255, 255, 255}, seed++);
    benchmark::DoNotOptimize(clouds.data());
  }
}
BENCHMARK(BM_Clouds)->Args({1920, 1080})->Args({720, 540})->Unit(benchmark::kMillisecond);

}  // namespace
