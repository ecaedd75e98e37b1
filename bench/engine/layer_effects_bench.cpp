// Speed of merging styled buttons: a "Button Image" set of ten buttons, each drawn with a drop
// shadow, a bevel and a stroke, merged as the final document's layer is made.

#include <benchmark/benchmark.h>

#include <memory>

#include "engine/composite.h"
#include "engine/layer_effects.h"

namespace {

std::shared_ptr<const engine::LayerEffects> buttonStyle() {
  auto fx = std::make_shared<engine::LayerEffects>();
  engine::ShadowEffect shadow;
  shadow.mode = engine::BlendMode::Multiply;
  shadow.opacity = 0.75;
  shadow.distance = 5;
  shadow.size = 5;
  fx->dropShadows.push_back(shadow);
  engine::BevelEffect bevel;
  bevel.size = 5;
  fx->bevels.push_back(bevel);
  engine::StrokeEffect stroke;
  stroke.size = 3;
  stroke.fill.color = {255, 255, 255};
  fx->strokes.push_back(stroke);
  return fx;
}

engine::LayerNode buttonImageSet(int w, int h, bool styled) {
  engine::LayerNode set = engine::LayerNode::layerSet("Button Image");
  const auto style = buttonStyle();
  for (int i = 0; i < 10; ++i) {
    engine::LayerNode button = engine::LayerNode::artLayer("Button " + std::to_string(i + 1));
    const int left = w / 8 + (i % 2) * w / 2, top = h / 12 + (i / 2) * h / 6;
    button.pixels = engine::Raster::filled({left, top, left + w / 4, top + h / 10}, {40, 90, 200});
    button.hasStyle = styled;
    button.effects = style;
    set.children.push_back(std::move(button));
  }
  return set;
}

void BM_MergeStyledButtonImage(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  const engine::LayerNode set = buttonImageSet(w, h, true);
  const engine::Rect canvas = engine::Rect::fromSize(w, h);
  for (auto _ : state) benchmark::DoNotOptimize(engine::mergeSetPixels(set, canvas));
}
BENCHMARK(BM_MergeStyledButtonImage)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// The same buttons without their style: what the effects add to the merge.
void BM_MergeUnstyledButtonImage(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  const engine::LayerNode set = buttonImageSet(w, h, false);
  const engine::Rect canvas = engine::Rect::fromSize(w, h);
  for (auto _ : state) benchmark::DoNotOptimize(engine::mergeSetPixels(set, canvas));
}
BENCHMARK(BM_MergeUnstyledButtonImage)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace
