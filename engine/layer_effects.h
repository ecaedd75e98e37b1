#pragma once
// Layer effects (a layer style) as typed parameters, and drawing a styled layer. The reader
// turns a file's effects into these; the compositor draws them around and over the layer's
// shape. Angles are in degrees (the light comes from that direction), sizes in pixels,
// opacities 0..1.

#include <memory>
#include <vector>

#include "engine/layer.h"
#include "engine/raster.h"

namespace engine {

// A stop's midpoint is where, between it and the stop before, the two mix evenly (0..1 of
// the way).
struct ColorStop {
  double location = 0.0;  // 0..1 along the gradient
  ColorF color{};
  double midpoint = 0.5;
};
struct OpacityStop {
  double location = 0.0;
  double opacity = 1.0;
  double midpoint = 0.5;
};
struct EffectGradient {
  std::vector<ColorStop> colors;      // sorted by location
  std::vector<OpacityStop> opacities;  // sorted by location
  double smoothness = 0.0;             // 0 mixes stops linearly; 1 (Photoshop's 100 %) eases in and out
  // Colour and opacity at `t` (0..1), straight: unrounded, the colour on its stops' own scale
  // and opacity on 0..255; or RGBA bytes.
  void sample(double t, double out[4]) const;
  void sample(double t, std::uint8_t out[4]) const;
};

enum class GradientStyle : int { Linear, Radial, Angle, Reflected, Diamond };

// How a fill covers a shape: one colour, a gradient, or a pattern.
struct EffectFill {
  enum class Kind : int { Color, Gradient, Pattern } kind = Kind::Color;
  Rgb color{};
  EffectGradient gradient;
  GradientStyle style = GradientStyle::Linear;
  double angle = 90.0;
  double scale = 1.0;  // gradients and patterns: 1 is 100 %
  bool reverse = false;
  bool alignWithLayer = true;
  double offsetX = 0.0, offsetY = 0.0;  // gradients: percent of the size; patterns: pixels
  Raster pattern;                       // patterns: one tile at (0, 0)
  // Where a fill layer's colours are given and mix: sRGB, linear light (32-bit documents), or
  // L*a*b* (Lab documents: the stops hold L 0..100, a and b).
  enum class Mixing : int { Srgb, LinearLight, Lab } mixing = Mixing::Srgb;
};

// What `fill` paints over `area`: a gradient spans `box`, a pattern is tiled from the
// document's origin.
Raster paintedFill(const EffectFill& fill, const Rect& area, const RectF& box);

// A contour shapes how an effect fades: it maps the effect's strength (0 where it has faded out,
// 1 at its full) to the opacity it is painted with, as a curve of points on a 0..255 grid drawn
// smooth through them except at corners. Linear, the default, changes nothing.
struct ContourPoint {
  double x = 0.0, y = 0.0;  // 0..255
  bool corner = false;
};
class Contour {
 public:
  Contour() = default;
  explicit Contour(std::vector<ContourPoint> points);
  bool isLinear() const { return table_.empty(); }
  float operator()(float strength) const;
  // Maps every value of `v` (0..1).
  void apply(std::vector<float>& v) const;

 private:
  std::vector<float> table_;  // 256 outputs 0..1; empty when linear
};

struct EffectBase {
  bool enabled = true;
  BlendMode mode = BlendMode::Normal;
  double opacity = 1.0;
};

// Drop shadow and inner shadow.
struct ShadowEffect : EffectBase {
  Rgb color{};
  double angle = 120.0;
  double distance = 0.0;
  double spread = 0.0;  // 0..1: drop shadow's spread, inner shadow's choke
  double size = 0.0;
  bool knocksOut = true;  // drop shadow: hidden beneath the layer's own pixels
  Contour contour;
};

// Outer glow and inner glow.
struct GlowEffect : EffectBase {
  EffectFill fill;      // a colour or a gradient running outwards from the edge
  double spread = 0.0;  // 0..1: spread or choke
  double size = 0.0;
  bool fromCenter = false;  // inner glow: glows from the centre instead of the edge
  // Softer blurs the edge; Precise fades in a straight line with the distance from it, keeping
  // the shape's corners and thin parts.
  enum class Technique : int { Softer, Precise } technique = Technique::Softer;
  double range = 0.5;       // the share of the blurred edge the glow's full strength is spread over
  Contour contour;          // over the range
};

struct StrokeEffect : EffectBase {
  enum class Position : int { Outside, Inside, Center } position = Position::Outside;
  double size = 1.0;
  EffectFill fill;
};

// Colour, gradient and pattern overlays.
struct OverlayEffect : EffectBase {
  EffectFill fill;
};

struct BevelEffect : EffectBase {
  enum class Style : int { OuterBevel, InnerBevel, Emboss, PillowEmboss, StrokeEmboss } style = Style::InnerBevel;
  enum class Technique : int { Smooth, ChiselHard, ChiselSoft } technique = Technique::Smooth;
  double depth = 1.0;  // 1 is 100 %
  bool up = true;
  double size = 5.0;
  double soften = 0.0;
  double angle = 120.0;
  double altitude = 30.0;
  BlendMode highlightMode = BlendMode::Screen;
  Rgb highlightColor{255, 255, 255};
  double highlightOpacity = 0.75;
  BlendMode shadowMode = BlendMode::Multiply;
  Rgb shadowColor{};
  double shadowOpacity = 0.75;
  Contour profile;  // the bevel's own contour: its height across the rise (0 the foot, 1 the top)
  Contour gloss;    // the light a surface takes, from none (0) to facing the light (1)
};

struct SatinEffect : EffectBase {
  Rgb color{};
  double angle = 19.0;
  double distance = 11.0;
  double size = 14.0;
  bool invert = true;
  Contour contour;
};

struct LayerEffects {
  std::vector<ShadowEffect> dropShadows;  // lists: the first is drawn on top
  std::vector<ShadowEffect> innerShadows;
  std::vector<GlowEffect> outerGlows;
  std::vector<GlowEffect> innerGlows;
  std::vector<BevelEffect> bevels;
  std::vector<SatinEffect> satins;
  std::vector<OverlayEffect> colorOverlays;
  std::vector<OverlayEffect> gradientOverlays;
  std::vector<OverlayEffect> patternOverlays;
  std::vector<StrokeEffect> strokes;

  bool anyEnabled() const;
  // How far beyond the layer's pixels the effects can reach, in pixels.
  int reach() const;
};

// The effects a compositor draws for a node: none when it has no style or it is switched off.
const LayerEffects* drawnEffects(const LayerNode& node);

// `own` (the node's own bounds) grown by as far as its drawn effects reach.
Rect drawnBounds(const LayerNode& node, const Rect& own);

// Draws `source` (the layer's pixels, its masks already applied) with its effects onto
// `surface`, within `region`: the effects behind and over the shape, the pixels with the
// node's blend mode and fill opacity, all of it faded by the node's opacity and `weights`
// (the coverage of a clipping base and of the masks that hide the effects over `region`, or
// null).
// Gradients and patterns not aligned with the layer span `canvas`. The effects follow the
// source's coverage, or `outline` where given (a fill layer's shape, whatever its fill shows).
void drawStyledLayer(const LayerNode& node, const LayerEffects& fx, const Raster& source, const Rect& region,
                     Raster& surface, const std::uint8_t* weights, const Rect& canvas, const Mask* outline = nullptr);

}  // namespace engine
