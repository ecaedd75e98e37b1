#pragma once
// Settings a layer carries besides its pixels, as the engine uses them: the path of a vector
// mask and the settings of an adjustment layer. The codec fills them from a file and writes
// them back; bytes a setting holds that the engine does not use are kept with it (`kept`), so
// that settings the engine leaves alone go back to the file as they came.

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <variant>
#include <vector>

#include "engine/geometry.h"

namespace engine {

// Photoshop's layer kinds; kinds the engine cannot draw are kept as read, with their pixels.
enum class LayerKind : int {
  Normal = 1, Text = 2, SolidFill = 3, GradientFill = 4, PatternFill = 5, Levels = 6, Curves = 7,
  ColorBalance = 8, BrightnessContrast = 9, HueSaturation = 10, SelectiveColor = 11, ChannelMixer = 12,
  GradientMap = 13, Inversion = 14, Threshold = 15, Posterize = 16, SmartObject = 17, PhotoFilter = 18,
  Exposure = 19, Layer3D = 20, Video = 21, BlackAndWhite = 22, Vibrance = 23,
};

// One record of a path, in the order a file lists them. Coordinates are 8.24 fixed point,
// relative to the canvas's height (y) and width (x).
struct PathRecord {
  enum Type : std::uint16_t {
    ClosedLength = 0, ClosedLinked = 1, ClosedUnlinked = 2, OpenLength = 3, OpenLinked = 4, OpenUnlinked = 5,
    FillRule = 6, Clipboard = 7, InitialFill = 8,
  };
  std::uint16_t type = ClosedLength;
  std::uint16_t knotCount = 0;  // length records: the knots that follow
  std::int16_t operation = 1;   // length records: 0 exclude, 1 add, 2 subtract, 3 intersect; -1 (older files) excludes
  std::uint16_t initialFill = 0;  // initial-fill record: non-zero when the path starts from everything
  std::array<std::int32_t, 6> knot{};  // knots: before, anchor and after point, each as y then x
  std::array<std::uint8_t, 24> kept{};  // the record's bytes after its type, for what the fields leave out

  bool isKnot() const { return type == ClosedLinked || type == ClosedUnlinked || type == OpenLinked || type == OpenUnlinked; }
  bool isLength() const { return type == ClosedLength || type == OpenLength; }
  bool operator==(const PathRecord&) const = default;
};

struct VectorPath {
  static constexpr std::uint32_t kInverted = 1, kDisabled = 4;
  bool shapeSettings = false;  // stored as a shape's vector settings (newer files) rather than a plain mask
  std::uint32_t version = 3;
  std::uint32_t flags = 0;
  std::vector<PathRecord> records;
  std::vector<std::uint8_t> kept;  // bytes after the last whole record
  bool operator==(const VectorPath&) const = default;
};

// Adjustment settings. Curve points are (input, output) pairs, 0..255.
using CurvePoints = std::vector<std::pair<std::uint16_t, std::uint16_t>>;
struct CurveChannel {
  std::uint16_t channel = 0;  // 0 the composite, then red, green, blue
  CurvePoints points;
  bool operator==(const CurveChannel&) const = default;
};
struct CurvesSettings {
  static constexpr LayerKind kind = LayerKind::Curves;
  std::uint8_t lead = 0;
  std::uint16_t version = 1;
  std::vector<CurveChannel> curves;            // the first list, one curve per channel bit
  bool extended = false;                       // newer files repeat the curves with channel numbers
  std::uint16_t extendedVersion = 4;
  std::vector<CurveChannel> extendedCurves;
  std::vector<std::uint8_t> kept;
  bool operator==(const CurvesSettings&) const = default;
};
struct LevelsRecord {
  std::uint16_t inFloor = 0, inCeiling = 255, outFloor = 0, outCeiling = 255, gamma = 100;  // gamma x 100
  bool operator==(const LevelsRecord&) const = default;
};
struct LevelsSettings {
  static constexpr LayerKind kind = LayerKind::Levels;
  std::uint16_t version = 2;
  std::array<LevelsRecord, 4> records;  // the composite, then red, green, blue
  std::vector<std::uint8_t> kept;       // the records of further channels and what follows
  bool operator==(const LevelsSettings&) const = default;
};
struct PosterizeSettings {
  static constexpr LayerKind kind = LayerKind::Posterize;
  std::uint16_t levels = 4;
  std::vector<std::uint8_t> kept;
  bool operator==(const PosterizeSettings&) const = default;
};
struct ThresholdSettings {
  static constexpr LayerKind kind = LayerKind::Threshold;
  std::uint16_t level = 128;
  std::vector<std::uint8_t> kept;
  bool operator==(const ThresholdSettings&) const = default;
};
struct ExposureSettings {
  static constexpr LayerKind kind = LayerKind::Exposure;
  std::uint16_t version = 1;
  float exposure = 0.0f, offset = 0.0f, gamma = 1.0f;
  std::vector<std::uint8_t> kept;
  // The tone curve exposure works through to reach linear light: the document's colour space
  // (2.2 for RGB; a grey document's from its profile). How the settings render where they were
  // read, not part of them: a file keeps no such field, so equality leaves it out.
  double toneGamma = 2.2;
  bool operator==(const ExposureSettings& o) const {
    return version == o.version && exposure == o.exposure && offset == o.offset && gamma == o.gamma && kept == o.kept;
  }
};
struct HueSaturationValues {
  std::int16_t hue = 0, saturation = 0, lightness = 0;  // -180..180, -100..100, -100..100
  bool operator==(const HueSaturationValues&) const = default;
};
struct HueRange {
  std::array<std::int16_t, 4> degrees{};  // start, full start, full end, end
  HueSaturationValues values;
  bool operator==(const HueRange&) const = default;
};
struct HueSaturationSettings {
  static constexpr LayerKind kind = LayerKind::HueSaturation;
  // Photoshop 4 stored the same fields under another key, with the colorize hue -100..100.
  bool photoshop4 = false;
  std::uint16_t version = 2;
  std::uint8_t colorize = 0;
  std::uint8_t padding = 0;
  HueSaturationValues colorizeValues, master;
  std::array<HueRange, 6> ranges;
  std::vector<std::uint8_t> kept;
  bool operator==(const HueSaturationSettings&) const = default;
};
// The legacy brightness/contrast; newer files that use another curve carry no settings here.
struct BrightnessContrastSettings {
  static constexpr LayerKind kind = LayerKind::BrightnessContrast;
  std::int16_t brightness = 0, contrast = 0;
  std::vector<std::uint8_t> kept;
  bool operator==(const BrightnessContrastSettings&) const = default;
};
struct ChannelMixerSettings {
  static constexpr LayerKind kind = LayerKind::ChannelMixer;
  std::uint16_t version = 1;
  std::uint16_t monochrome = 0;  // non-zero: the first output's mix gives a grey
  // For each output channel (red, green, blue, and black in CMYK): the shares of red, green,
  // blue and black in percent (-200..200), then a constant in percent of white (-200..200).
  std::array<std::array<std::int16_t, 5>, 4> outputs{};
  std::vector<std::uint8_t> kept;
  bool operator==(const ChannelMixerSettings&) const = default;
};
struct EffectGradient;
// A gradient map: each pixel's luminance picks its colour along the gradient. The block is
// kept whole for writing back; the gradient is what the engine reads of it.
struct GradientMapSettings {
  static constexpr LayerKind kind = LayerKind::GradientMap;
  // How the stops mix: Photoshop's classic and smooth methods in sRGB, perceptual in L*a*b*,
  // linear in linear light.
  enum class Method : int { Classic, Perceptual, Linear, Smooth } method = Method::Classic;
  bool reverse = false;
  std::shared_ptr<const EffectGradient> gradient;
  std::vector<std::uint8_t> kept;
  bool operator==(const GradientMapSettings& o) const { return kept == o.kept; }
};
// Black & white: a grey from each pixel's lightest channel, its two-channel mix and its darkest,
// weighed by how much the six primary and secondary colours count; optionally tinted.
struct BlackAndWhiteSettings {
  static constexpr LayerKind kind = LayerKind::BlackAndWhite;
  // Percent, as Photoshop's sliders: reds, yellows, greens, cyans, blues, magentas.
  std::array<double, 6> weights{40, 60, 40, 60, 20, 80};
  bool useTint = false;
  Rgb tint{};
  std::vector<std::uint8_t> kept;  // the whole block, written back as read
  bool operator==(const BlackAndWhiteSettings& o) const { return kept == o.kept; }
};

using AdjustmentSettings = std::variant<CurvesSettings, LevelsSettings, PosterizeSettings, ThresholdSettings,
                                        ExposureSettings, HueSaturationSettings, BrightnessContrastSettings,
                                        ChannelMixerSettings, GradientMapSettings, BlackAndWhiteSettings>;

}  // namespace engine
