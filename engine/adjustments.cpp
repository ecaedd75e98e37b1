#include "engine/adjustments.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

#include "engine/composite.h"
#include "engine/layer_effects.h"

namespace engine {

namespace {

using Table = std::array<std::uint8_t, 256>;

Table identity() {
  Table t{};
  for (int i = 0; i < 256; ++i) t[std::size_t(i)] = std::uint8_t(i);
  return t;
}

// `then` applied after `first`.
Table chain(const Table& first, const Table& then) {
  Table t{};
  for (std::size_t i = 0; i < 256; ++i) t[i] = then[first[i]];
  return t;
}

std::uint8_t toByte(double v) { return std::uint8_t(std::lround(std::clamp(v, 0.0, 255.0))); }

ColorAdjustment byTables(const Table& r, const Table& g, const Table& b) {
  return [r, g, b](std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, p += 4) {
      p[0] = r[p[0]];
      p[1] = g[p[1]];
      p[2] = b[p[2]];
    }
  };
}

// Curves: a natural cubic spline through the points, flat beyond the first and last ones.
Table splineTable(std::vector<std::pair<double, double>> points) {
  if (points.empty()) return identity();
  const std::array<double, 256> curve = splineThrough(std::move(points));
  Table t{};
  for (std::size_t v = 0; v < 256; ++v) t[v] = toByte(curve[v]);
  return t;
}

Table splineTable(const CurvePoints& stored) {
  std::vector<std::pair<double, double>> points;
  for (const auto& [in, out] : stored) points.push_back({double(in), double(out)});
  return splineTable(std::move(points));
}

ColorAdjustment curves(const CurvesSettings& settings) {
  // Channel 0 is the composite curve, applied after the red, green and blue curves; the
  // numbered list of newer files has the last word.
  std::array<Table, 4> tables{identity(), identity(), identity(), identity()};
  for (const auto* list : {&settings.curves, &settings.extendedCurves})
    for (const CurveChannel& c : *list)
      if (c.channel < 4) tables[c.channel] = splineTable(c.points);
  return byTables(chain(tables[1], tables[0]), chain(tables[2], tables[0]), chain(tables[3], tables[0]));
}

// Levels' gamma at `x` (0..1 of the input range), drawn as Photoshop draws it: straight between
// its values at every sixteenth of the range. Near black, where a gamma above 1 is steepest,
// the line rises more slowly than the power would.
double segmentedGamma(double x, double gamma) {
  constexpr double kSegments = 16.0;
  const double a = std::min(std::floor(x * kSegments), kSegments - 1.0) / kSegments;
  const double from = std::pow(a, 1.0 / gamma), to = std::pow(a + 1.0 / kSegments, 1.0 / gamma);
  return from + (to - from) * (x - a) * kSegments;
}

ColorAdjustment levels(const LevelsSettings& settings) {
  std::array<Table, 4> tables{};
  for (std::size_t c = 0; c < 4; ++c) {
    const LevelsRecord& l = settings.records[c];
    const double inFloor = l.inFloor, inCeiling = l.inCeiling, gamma = l.gamma / 100.0;
    if (inCeiling <= inFloor || gamma <= 0.0) return {};
    for (int v = 0; v < 256; ++v) {
      const double x = std::clamp((v - inFloor) / (inCeiling - inFloor), 0.0, 1.0);
      tables[c][std::size_t(v)] = toByte(l.outFloor + segmentedGamma(x, gamma) * (l.outCeiling - l.outFloor));
    }
  }
  return byTables(chain(tables[1], tables[0]), chain(tables[2], tables[0]), chain(tables[3], tables[0]));
}

ColorAdjustment posterize(const PosterizeSettings& settings) {
  const int steps = settings.levels;
  if (steps < 2 || steps > 255) return {};
  Table t{};
  for (int v = 0; v < 256; ++v) t[std::size_t(v)] = toByte(std::min(steps - 1, v * steps / 256) * 255.0 / (steps - 1));
  return byTables(t, t, t);
}

ColorAdjustment threshold(const ThresholdSettings& settings) {
  const int level = settings.level;
  if (level < 1 || level > 255) return {};
  return [level](std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, p += 4) {
      const int lum = (p[0] * 299 + p[1] * 587 + p[2] * 114 + 500) / 1000;
      p[0] = p[1] = p[2] = lum >= level ? 255 : 0;
    }
  };
}

ColorAdjustment invert() {
  Table t{};
  for (int v = 0; v < 256; ++v) t[std::size_t(v)] = std::uint8_t(255 - v);
  return byTables(t, t, t);
}

// Exposure works on linear light (a 2.2 power law): scale by 2^exposure, add the offset, then
// the gamma.
ColorAdjustment exposure(const ExposureSettings& settings) {
  const double stops = settings.exposure, offset = settings.offset, gamma = settings.gamma, tone = settings.toneGamma;
  if (!std::isfinite(stops) || !std::isfinite(offset) || !std::isfinite(gamma) || gamma <= 0.0) return {};
  if (!(tone >= 1.0 && tone <= 3.0)) return {};
  Table t{};
  for (int v = 0; v < 256; ++v) {
    const double linear = std::max(0.0, std::pow(v / 255.0, tone) * std::exp2(stops) + offset);
    t[std::size_t(v)] = toByte(std::pow(std::min(1.0, std::pow(linear, 1.0 / gamma)), 1.0 / tone) * 255.0);
  }
  return byTables(t, t, t);
}

// The legacy brightness/contrast: brightness adds, contrast stretches about the middle grey.
ColorAdjustment brightnessContrast(const BrightnessContrastSettings& settings) {
  const int brightness = settings.brightness, contrast = settings.contrast;
  if (brightness < -150 || brightness > 150 || contrast < -100 || contrast > 100) return {};
  const double stretch = contrast >= 0 ? 1.0 / std::max(0.01, 1.0 - contrast / 100.0) : 1.0 + contrast / 100.0;
  Table t{};
  for (int v = 0; v < 256; ++v) t[std::size_t(v)] = toByte((v + brightness - 127.5) * stretch + 127.5);
  return byTables(t, t, t);
}

// Each output channel is its mix of the input channels plus a constant; a monochrome mix gives
// every channel the first output's grey.
ColorAdjustment channelMixer(const ChannelMixerSettings& settings) {
  std::array<std::array<double, 4>, 3> mix{};  // red, green, blue shares and the constant, as fractions
  for (std::size_t c = 0; c < 3; ++c) {
    const auto& output = settings.outputs[settings.monochrome ? 0 : c];
    for (std::size_t i = 0; i < 3; ++i) mix[c][i] = std::clamp<int>(output[i], -200, 200) / 100.0;
    mix[c][3] = std::clamp<int>(output[4], -200, 200) / 100.0 * 255.0;
  }
  return [mix](std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, p += 4) {
      const double r = p[0], g = p[1], b = p[2];
      for (std::size_t c = 0; c < 3; ++c) p[c] = toByte(mix[c][0] * r + mix[c][1] * g + mix[c][2] * b + mix[c][3]);
    }
  };
}

// Each pixel's luminance picks its colour along the gradient, mixed as the map's method mixes.
ColorAdjustment gradientMap(const GradientMapSettings& settings) {
  if (!settings.gradient || settings.gradient->colors.empty()) return {};
  using Method = GradientMapSettings::Method;
  EffectGradient gradient = *settings.gradient;
  const Method method = settings.method;
  for (ColorStop& stop : gradient.colors) {
    const std::uint8_t rgb[3] = {toByte(stop.color.r), toByte(stop.color.g), toByte(stop.color.b)};
    if (method == Method::Perceptual) stop.color = srgbToLab(rgb);
    if (method == Method::Linear)
      for (double* c : {&stop.color.r, &stop.color.g, &stop.color.b}) *c = 255.0 * srgbToLinear(*c / 255.0);
  }
  std::array<std::array<std::uint8_t, 3>, 256> table{};
  for (int v = 0; v < 256; ++v) {
    double c[4];
    gradient.sample(settings.reverse ? 1.0 - v / 255.0 : v / 255.0, c);
    if (method == Method::Linear) {
      table[std::size_t(v)] = {srgbByte(float(c[0] / 255.0)), srgbByte(float(c[1] / 255.0)), srgbByte(float(c[2] / 255.0))};
      continue;
    }
    const ColorF out = method == Method::Perceptual ? labToSrgb(c[0], c[1], c[2]) : ColorF{c[0], c[1], c[2]};
    table[std::size_t(v)] = {toByte(out.r), toByte(out.g), toByte(out.b)};
  }
  return [table](std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, p += 4) {
      const auto& c = table[std::size_t((p[0] * 299 + p[1] * 587 + p[2] * 114 + 500) / 1000)];
      p[0] = c[0], p[1] = c[1], p[2] = c[2];
    }
  };
}

// The grey is the darkest channel, plus the step to the middle one weighed by the secondary
// colour the two lightest channels make, plus the step to the lightest weighed by its primary.
// A neutral grey stays as it is. The tint colours the grey as the Color blend mode would.
ColorAdjustment blackAndWhite(const BlackAndWhiteSettings& settings) {
  enum { Red, Yellow, Green, Cyan, Blue, Magenta };
  std::array<double, 6> w{};
  for (std::size_t i = 0; i < 6; ++i) w[i] = settings.weights[i] / 100.0;
  const std::optional<Rgb> tint = settings.useTint ? std::optional<Rgb>(settings.tint) : std::nullopt;
  return [w, tint](std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, p += 4) {
      const int r = p[0], g = p[1], b = p[2];
      const int hi = std::max({r, g, b}), lo = std::min({r, g, b}), mid = r + g + b - hi - lo;
      // Where two channels tie, the step between them is nothing, whichever colour weighs it.
      const int primary = hi == r ? Red : hi == g ? Green : Blue;
      const int secondary = lo == b ? Yellow : lo == r ? Cyan : Magenta;  // what the other two make
      const std::uint8_t grey = toByte(lo + (mid - lo) * w[std::size_t(secondary)] + (hi - mid) * w[std::size_t(primary)]);
      p[0] = p[1] = p[2] = grey;
      if (tint) {
        const float backdrop[3] = {grey / 255.0f, grey / 255.0f, grey / 255.0f};
        const float source[3] = {tint->r / 255.0f, tint->g / 255.0f, tint->b / 255.0f};
        float out[3];
        blendColor(BlendMode::Color, backdrop, source, out);
        for (int c = 0; c < 3; ++c) p[c] = toByte(out[c] * 255.0);
      }
    }
  };
}

struct Hsl {
  double h, s, l;  // hue in degrees, saturation and lightness 0..1
};

Hsl toHsl(double r, double g, double b) {
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b}), l = (mx + mn) / 2.0;
  if (mx == mn) return {0.0, 0.0, l};
  const double d = mx - mn, s = d / (1.0 - std::fabs(2.0 * l - 1.0));
  double h = mx == r ? std::fmod((g - b) / d + 6.0, 6.0) : mx == g ? (b - r) / d + 2.0 : (r - g) / d + 4.0;
  return {h * 60.0, s, l};
}

// Channels 0..255 of an HSL colour.
std::array<double, 3> rgbOfHsl(const Hsl& c) {
  const double chroma = (1.0 - std::fabs(2.0 * c.l - 1.0)) * c.s;
  const double h = std::fmod(std::fmod(c.h, 360.0) + 360.0, 360.0) / 60.0;
  const double x = chroma * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0)), m = c.l - chroma / 2.0;
  const double table[6][3] = {{chroma, x, 0}, {x, chroma, 0}, {0, chroma, x}, {0, x, chroma}, {x, 0, chroma}, {chroma, 0, x}};
  const double* rgb = table[std::min(5, int(h))];
  return {(rgb[0] + m) * 255.0, (rgb[1] + m) * 255.0, (rgb[2] + m) * 255.0};
}

void fromHsl(const Hsl& c, std::uint8_t* out) {
  const std::array<double, 3> rgb = rgbOfHsl(c);
  for (int i = 0; i < 3; ++i) out[i] = toByte(rgb[std::size_t(i)]);
}

double adjustLightness(double l, double amount) { return amount < 0.0 ? l * (1.0 + amount) : l + (1.0 - l) * amount; }

bool valid(const HueSaturationValues& v) {
  return std::abs(v.hue) <= 180 && std::abs(v.saturation) <= 100 && std::abs(v.lightness) <= 100;
}
bool changes(const HueSaturationValues& v) { return v.hue || v.saturation || v.lightness; }

// A colour range: clockwise on the hue wheel, its settings ramp in from `start` to `fullStart`,
// apply fully up to `fullEnd` and ramp out by `end`.
struct ColourRange {
  double start = 0, fullStart = 0, fullEnd = 0, end = 0;
  HueSaturationValues settings;

  double weight(double hue) const {
    const auto along = [this](double to) { return std::fmod(to - start + 720.0, 360.0); };
    const double at = along(hue), rampIn = along(fullStart), full = along(fullEnd), out = along(end);
    if (at < rampIn) return at / rampIn;
    if (at <= full) return 1.0;
    return at < out ? (out - at) / (out - full) : 0.0;
  }
};

// Photoshop's ranges fall half a degree further round the wheel than the hue angle of HSL.
constexpr double kRangeHueOffset = 0.5;
// Raising saturation divides by what is left to full saturation, which +100 nearly takes away.
constexpr double kFullSaturationMargin = 0.003;

// How much a saturation setting scales a colour's saturation, less one.
double saturationGain(int setting) {
  const double s = setting / 100.0;
  return s <= 0.0 ? s : s / (1.0 - s + kFullSaturationMargin);
}

// The master settings and the colour ranges together on one pixel (channels 0..255). The ranges
// weigh in by the pixel's hue and add up: hue shifts, saturation gains, and a lightness that
// moves the channels towards the lowest (darker) or highest (lighter) of them, which keeps the
// hue. The master lightness then moves every channel towards black or white.
void adjustHueSaturation(std::uint8_t* p, const HueSaturationValues& master, const std::vector<ColourRange>& ranges) {
  Hsl c = toHsl(p[0] / 255.0, p[1] / 255.0, p[2] / 255.0);
  double shift = master.hue, gain = saturationGain(master.saturation), lift = 0.0;
  for (const ColourRange& range : ranges) {
    const double w = range.weight(c.h - kRangeHueOffset);
    shift += w * range.settings.hue;
    gain += w * saturationGain(range.settings.saturation);
    lift += w * range.settings.lightness / 100.0;
  }
  c.h += shift;
  c.s = std::min(1.0, c.s * std::max(0.0, 1.0 + gain));
  std::array<double, 3> v = rgbOfHsl(c);
  lift = std::clamp(lift, -1.0, 1.0);
  const double lowest = std::min({v[0], v[1], v[2]}), highest = std::max({v[0], v[1], v[2]});
  const double lightness = master.lightness / 100.0;
  for (std::size_t i = 0; i < 3; ++i) {
    double x = lift < 0.0 ? lowest + (v[i] - lowest) * (1.0 + lift) : v[i] + (highest - v[i]) * lift;
    x = lightness < 0.0 ? x * (1.0 + lightness) : x + (255.0 - x) * lightness;
    p[i] = toByte(x);
  }
}

// Hue/saturation: in colorize mode every pixel takes one hue and saturation and keeps its
// lightness; otherwise the master settings and the six colour ranges apply.
ColorAdjustment hueSaturation(const HueSaturationSettings& settings) {
  HueSaturationValues colour = settings.colorizeValues;
  const HueSaturationValues master = settings.master;
  if (settings.photoshop4) colour.hue = std::int16_t(std::lround(std::clamp(int(colour.hue), -100, 100) * 1.8));
  std::vector<ColourRange> ranges;
  bool ok = valid(colour) && valid(master);
  for (const HueRange& stored : settings.ranges) {
    ColourRange range;
    double* at[] = {&range.start, &range.fullStart, &range.fullEnd, &range.end};
    for (std::size_t i = 0; i < 4; ++i) {
      const int degrees = stored.degrees[i];
      ok = ok && degrees >= -360 && degrees <= 720;
      *at[i] = std::fmod(degrees + 720.0, 360.0);
    }
    range.settings = stored.values;
    ok = ok && valid(range.settings);
    if (changes(range.settings)) ranges.push_back(range);
  }
  if (!ok) return {};
  if (settings.colorize) {
    return [=](std::uint8_t* p, std::size_t n) {
      for (std::size_t i = 0; i < n; ++i, p += 4) {
        const Hsl c = toHsl(p[0] / 255.0, p[1] / 255.0, p[2] / 255.0);
        fromHsl({double(colour.hue), colour.saturation / 100.0, adjustLightness(c.l, colour.lightness / 100.0)}, p);
      }
    };
  }
  return [=](std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, p += 4) adjustHueSaturation(p, master, ranges);
  };
}

// The change each layer setting makes.
ColorAdjustment adjustment(const CurvesSettings& s) { return curves(s); }
ColorAdjustment adjustment(const LevelsSettings& s) { return levels(s); }
ColorAdjustment adjustment(const PosterizeSettings& s) { return posterize(s); }
ColorAdjustment adjustment(const ThresholdSettings& s) { return threshold(s); }
ColorAdjustment adjustment(const ExposureSettings& s) { return exposure(s); }
ColorAdjustment adjustment(const HueSaturationSettings& s) { return hueSaturation(s); }
ColorAdjustment adjustment(const BrightnessContrastSettings& s) { return brightnessContrast(s); }
ColorAdjustment adjustment(const ChannelMixerSettings& s) { return channelMixer(s); }
ColorAdjustment adjustment(const GradientMapSettings& s) { return gradientMap(s); }
ColorAdjustment adjustment(const BlackAndWhiteSettings& s) { return blackAndWhite(s); }

}  // namespace

std::array<double, 256> splineThrough(std::vector<std::pair<double, double>> points) {
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end(), [](auto& a, auto& b) { return a.first == b.first; }), points.end());
  std::array<double, 256> out{};
  const std::size_t n = points.size();
  if (n == 0) return out;
  std::vector<double> x(n), y(n), m(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) std::tie(x[i], y[i]) = points[i];
  if (n > 2) {
    // Second derivatives from the tridiagonal system, ends free (zero curvature).
    std::vector<double> c(n, 0.0), d(n, 0.0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
      const double h0 = x[i] - x[i - 1], h1 = x[i + 1] - x[i];
      const double a = h0 / 6.0, b = (h0 + h1) / 3.0, cc = h1 / 6.0;
      const double r = (y[i + 1] - y[i]) / h1 - (y[i] - y[i - 1]) / h0;
      const double denom = b - a * c[i - 1];
      c[i] = cc / denom;
      d[i] = (r - a * d[i - 1]) / denom;
    }
    for (std::size_t i = n - 2; i >= 1; --i) m[i] = d[i] - c[i] * m[i + 1];
  }
  std::size_t seg = 0;
  for (int v = 0; v < 256; ++v) {
    double value;
    if (n == 1 || v <= x.front()) {
      value = y.front();
    } else if (v >= x.back()) {
      value = y.back();
    } else {
      while (seg + 2 < n && v > x[seg + 1]) ++seg;
      const double h = x[seg + 1] - x[seg];
      const double a = (x[seg + 1] - v) / h, b = (v - x[seg]) / h;
      value = a * y[seg] + b * y[seg + 1] + ((a * a * a - a) * m[seg] + (b * b * b - b) * m[seg + 1]) * h * h / 6.0;
    }
    out[std::size_t(v)] = value;
  }
  return out;
}

bool isAdjustmentKind(LayerKind kind) {
  const int k = int(kind);
  return (k >= int(LayerKind::Levels) && k <= int(LayerKind::Posterize)) || kind == LayerKind::PhotoFilter ||
         kind == LayerKind::Exposure || kind == LayerKind::BlackAndWhite || kind == LayerKind::Vibrance;
}

ColorAdjustment adjustmentOf(const LayerNode& node) {
  if (node.isSet || !isAdjustmentKind(node.kind)) return {};
  if (node.kind == LayerKind::Inversion) return invert();
  if (!node.adjustment) return {};
  return std::visit([&](const auto& settings) { return node.kind == std::decay_t<decltype(settings)>::kind ? adjustment(settings) : nullptr; },
                    *node.adjustment);
}

}  // namespace engine
