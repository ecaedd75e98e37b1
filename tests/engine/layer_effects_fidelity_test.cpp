// Layer styles against Photoshop itself: each sample file with layer effects, merged by the
// engine, is compared with the merged image Photoshop stored in it. Prints, per file, the share
// of pixels within 2 and within 8 levels; each file holds the share it reached as its bar, so
// that a change that draws a style worse fails here. Skips when the sample folder is absent.
//   fidelity_tests   (QUILLARY_CORPUS_DIR may name the folder holding effects/)

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

#include "engine/composite.h"
#include "engine/layer_effects.h"
#include "formats/document_io.h"
#include "stored_image_closeness.h"

namespace {

namespace fs = std::filesystem;

bool drawsEffects(const std::vector<engine::LayerNode>& layers) {
  return std::any_of(layers.begin(), layers.end(), [](const engine::LayerNode& n) {
    return (n.visible && engine::drawnEffects(n)) || drawsEffects(n.children);
  });
}

struct Sample {
  const char* file;  // under the corpus folder
  double barTwo;     // the share within 2 levels the engine reaches, in percent
  double barEight;   // and within 8 levels
};

// The style families, each by the files that show it, with the figures reached.
struct Family {
  const char* name;
  std::vector<Sample> samples;
};

void PrintTo(const Family& f, std::ostream* os) { *os << f.name; }

const std::vector<Family>& families() {
  static const std::vector<Family> list = {
      {"ShadowsAndGlows", {{"effects/ag-psd__read__blend-mode__src.psd", 88.8, 94.9},
                           {"effects/ag-psd__read__group-drop-shadows__src.psd", 97.0, 99.9}}},
      {"AllEffects", {{"effects/ag-psd__read__effects__src.psd", 85.5, 93.4},
                      {"effects/psd-tools__layer_effects.psd", 86.2, 90.0}}},
      {"Strokes", {{"effects/ag-psd__multiple-strokes-test.psd", 98.5, 98.6},
                   {"psd/effects__stroke-effects.psd", 91.5, 92.4},
                   {"psd/effects__double-stroke-effects.psd", 100.0, 100.0},
                   {"psd/effects__stroke-effect-transparent-shape.psd", 100.0, 100.0},
                   {"psd/effect-stroke-gradient.psd", 77.0, 77.8},
                   {"psd/descriptors__stroke-color-descriptors-lab.psd", 94.0, 98.0},
                   {"psd/descriptors__stroke-color-descriptors-hsb-with-rgb-mode.psd", 100.0, 100.0}}},
      {"ShapeEffects", {{"psd/effects__shape-fx.psd", 100.0, 100.0}, {"psd/effects__shape-fx2.psd", 65.8, 78.0}}},
      {"PatternOverlay", {{"effects/ag-psd__read__pattern__src.psd", 83.7, 88.1}}},
  };
  return list;
}

class LayerEffectsFidelity : public testing::TestWithParam<Family> {};

TEST_P(LayerEffectsFidelity, EachFileHoldsItsBar) {
  const fs::path root = fixtures::corpusRoot();
  if (!fs::is_directory(root / "effects")) GTEST_SKIP() << "no sample files at " << root.string();
  for (const Sample& s : GetParam().samples) {
    const fs::path path = root / s.file;
    if (!fs::exists(path)) {
      std::cout << "  " << s.file << ": absent\n";
      continue;
    }
    const formats::PsdFile file = formats::readPsd(path.string());
    ASSERT_TRUE(file.storedCompositeIsReal) << s.file;
    const fixtures::Closeness c = fixtures::closenessToStored(engine::compositeDocument(file.content), file.storedComposite);
    std::cout << "  " << std::left << std::setw(66) << s.file << std::right << std::fixed << std::setprecision(2)
              << std::setw(7) << c.withinTwo * 100 << " % within 2, " << std::setw(7) << c.withinEight * 100
              << " % within 8" << (drawsEffects(file.content.layers) ? "" : "  (no effects drawn)") << "\n";
    // A hundredth of a percent of slack for rounding differences between compilers.
    EXPECT_GE(c.withinTwo * 100 + 0.01, s.barTwo) << s.file;
    EXPECT_GE(c.withinEight * 100 + 0.01, s.barEight) << s.file;
  }
}

INSTANTIATE_TEST_SUITE_P(StyleFamilies, LayerEffectsFidelity, testing::ValuesIn(families()),
                         [](const testing::TestParamInfo<Family>& p) { return std::string(p.param.name); });

}  // namespace
