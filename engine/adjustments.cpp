#include "engine/adjustments.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace engine {

namespace {

using Table = std::array<std::uint8_t, 256>;

const std::vector<std::uint8_t>* blockData(const LayerNode& node, std::string_view key) {
  for (const TaggedBlock& b : node.extraBlocks)
    if (b.data && std::string_view(b.key.data(), 4) == key) return b.data.get();
  return nullptr;
}

// Big-endian reads that never go past the block: a short block makes `ok` false.
class BlockReader {
 public:
  explicit BlockReader(const std::vector<std::uint8_t>& data, std::size_t at = 0) : data_(data), at_(at) {}
  bool ok() const { return ok_; }
  std::size_t remaining() const { return ok_ && at_ <= data_.size() ? data_.size() - at_ : 0; }
  std::uint32_t u(int bytes) {
    if (!ok_ || at_ > data_.size() || data_.size() - at_ < std::size_t(bytes)) {
      ok_ = false;
      return 0;
    }
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | data_[at_++];
    return v;
  }
  std::uint16_t u16() { return std::uint16_t(u(2)); }
  std::int16_t i16() { return std::int16_t(u(2)); }
  float f32() { return std::bit_cast<float>(u(4)); }
  void skip(std::size_t n) {
    if (remaining() < n) ok_ = false;
    else at_ += n;
  }

 private:
  const std::vector<std::uint8_t>& data_;
  std::size_t at_;
  bool ok_ = true;
};

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
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end(), [](auto& a, auto& b) { return a.first == b.first; }), points.end());
  const std::size_t n = points.size();
  if (n == 0) return identity();
  Table t{};
  if (n == 1) {
    t.fill(toByte(points[0].second));
    return t;
  }
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
    double out;
    if (v <= x.front()) {
      out = y.front();
    } else if (v >= x.back()) {
      out = y.back();
    } else {
      while (seg + 2 < n && v > x[seg + 1]) ++seg;
      const double h = x[seg + 1] - x[seg];
      const double a = (x[seg + 1] - v) / h, b = (v - x[seg]) / h;
      out = a * y[seg] + b * y[seg + 1] + ((a * a * a - a) * m[seg] + (b * b * b - b) * m[seg + 1]) * h * h / 6.0;
    }
    t[std::size_t(v)] = toByte(out);
  }
  return t;
}

std::optional<std::vector<std::pair<double, double>>> readCurve(BlockReader& r) {
  const int count = r.u16();
  if (!r.ok() || count < 1 || count > 64) return std::nullopt;
  std::vector<std::pair<double, double>> points;
  for (int i = 0; i < count; ++i) {
    const double out = r.u16(), in = r.u16();
    points.push_back({in, out});
  }
  if (!r.ok()) return std::nullopt;
  return points;
}

ColorAdjustment curves(const std::vector<std::uint8_t>& data) {
  // Channel 0 is the composite curve, applied after the red, green and blue curves.
  std::array<Table, 4> tables{identity(), identity(), identity(), identity()};
  BlockReader r(data);
  r.skip(1);
  r.u16();  // version
  const std::uint32_t channels = r.u(4);
  if (!r.ok()) return {};
  for (int c = 0; c < 32; ++c) {
    if (!(channels & (1u << c))) continue;
    const auto curve = readCurve(r);
    if (!curve) return {};
    if (c < 4) tables[std::size_t(c)] = splineTable(*curve);
  }
  // Newer files repeat the curves, with channel numbers, after a 'Crv ' signature.
  if (r.remaining() >= 10 && r.u(4) == 0x43727620u) {
    r.u16();
    const std::uint32_t count = r.u(4);
    for (std::uint32_t i = 0; i < count && r.ok(); ++i) {
      const int c = r.u16();
      const auto curve = readCurve(r);
      if (!curve) return {};
      if (c < 4) tables[std::size_t(c)] = splineTable(*curve);
    }
  }
  return byTables(chain(tables[1], tables[0]), chain(tables[2], tables[0]), chain(tables[3], tables[0]));
}

ColorAdjustment levels(const std::vector<std::uint8_t>& data) {
  BlockReader r(data);
  r.u16();  // version
  std::array<Table, 4> tables{};
  for (Table& t : tables) {
    const double inFloor = r.u16(), inCeiling = r.u16(), outFloor = r.u16(), outCeiling = r.u16(), gamma = r.u16() / 100.0;
    if (!r.ok() || inCeiling <= inFloor || gamma <= 0.0) return {};
    for (int v = 0; v < 256; ++v) {
      const double x = std::clamp((v - inFloor) / (inCeiling - inFloor), 0.0, 1.0);
      t[std::size_t(v)] = toByte(outFloor + std::pow(x, 1.0 / gamma) * (outCeiling - outFloor));
    }
  }
  return byTables(chain(tables[1], tables[0]), chain(tables[2], tables[0]), chain(tables[3], tables[0]));
}

ColorAdjustment posterize(const std::vector<std::uint8_t>& data) {
  BlockReader r(data);
  const int steps = r.u16();
  if (!r.ok() || steps < 2 || steps > 255) return {};
  Table t{};
  for (int v = 0; v < 256; ++v) t[std::size_t(v)] = toByte(std::min(steps - 1, v * steps / 256) * 255.0 / (steps - 1));
  return byTables(t, t, t);
}

ColorAdjustment threshold(const std::vector<std::uint8_t>& data) {
  BlockReader r(data);
  const int level = r.u16();
  if (!r.ok() || level < 1 || level > 255) return {};
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
ColorAdjustment exposure(const std::vector<std::uint8_t>& data) {
  BlockReader r(data);
  r.u16();  // version
  const double stops = r.f32(), offset = r.f32(), gamma = r.f32();
  if (!r.ok() || !std::isfinite(stops) || !std::isfinite(offset) || !std::isfinite(gamma) || gamma <= 0.0) return {};
  Table t{};
  for (int v = 0; v < 256; ++v) {
    const double linear = std::max(0.0, std::pow(v / 255.0, 2.2) * std::exp2(stops) + offset);
    t[std::size_t(v)] = toByte(std::pow(std::min(1.0, std::pow(linear, 1.0 / gamma)), 1.0 / 2.2) * 255.0);
  }
  return byTables(t, t, t);
}

// The legacy brightness/contrast: brightness adds, contrast stretches about the middle grey.
// Files of newer versions keep their settings in a descriptor for a different curve, which the
// engine does not apply.
ColorAdjustment brightnessContrast(const LayerNode& node) {
  const std::vector<std::uint8_t>* data = blockData(node, "brit");
  if (!data) return {};
  if (const std::vector<std::uint8_t>* modern = blockData(node, "CgEd")) {
    static constexpr std::string_view kLegacyFlag = "useLegacybool";
    const auto at = std::search(modern->begin(), modern->end(), kLegacyFlag.begin(), kLegacyFlag.end());
    if (at == modern->end() || std::distance(at, modern->end()) <= std::ptrdiff_t(kLegacyFlag.size()) ||
        *(at + std::ptrdiff_t(kLegacyFlag.size())) == 0)
      return {};
  }
  BlockReader r(*data);
  const int brightness = r.i16(), contrast = r.i16();
  if (!r.ok() || brightness < -150 || brightness > 150 || contrast < -100 || contrast > 100) return {};
  const double stretch = contrast >= 0 ? 1.0 / std::max(0.01, 1.0 - contrast / 100.0) : 1.0 + contrast / 100.0;
  Table t{};
  for (int v = 0; v < 256; ++v) t[std::size_t(v)] = toByte((v + brightness - 127.5) * stretch + 127.5);
  return byTables(t, t, t);
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

struct HueSaturationSettings {
  int hue = 0, saturation = 0, lightness = 0;  // -180..180, -100..100, -100..100
  bool valid() const {
    return std::abs(hue) <= 180 && std::abs(saturation) <= 100 && std::abs(lightness) <= 100;
  }
  bool changes() const { return hue || saturation || lightness; }
};

// A colour range: clockwise on the hue wheel, its settings ramp in from `start` to `fullStart`,
// apply fully up to `fullEnd` and ramp out by `end`.
struct ColourRange {
  double start = 0, fullStart = 0, fullEnd = 0, end = 0;
  HueSaturationSettings settings;

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

HueSaturationSettings readSettings(BlockReader& r) {
  HueSaturationSettings s;
  s.hue = r.i16();
  s.saturation = r.i16();
  s.lightness = r.i16();
  return s;
}

// The master settings and the colour ranges together on one pixel (channels 0..255). The ranges
// weigh in by the pixel's hue and add up: hue shifts, saturation gains, and a lightness that
// moves the channels towards the lowest (darker) or highest (lighter) of them, which keeps the
// hue. The master lightness then moves every channel towards black or white.
void adjustHueSaturation(std::uint8_t* p, const HueSaturationSettings& master, const std::vector<ColourRange>& ranges) {
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
ColorAdjustment hueSaturation(const std::vector<std::uint8_t>& data) {
  BlockReader r(data);
  r.u16();  // version
  const bool colorize = r.u(1) != 0;
  r.skip(1);
  const HueSaturationSettings colour = readSettings(r), master = readSettings(r);
  std::vector<ColourRange> ranges;
  bool valid = colour.valid() && master.valid();
  for (int i = 0; i < 6; ++i) {
    ColourRange range;
    for (double* at : {&range.start, &range.fullStart, &range.fullEnd, &range.end}) {
      const int degrees = r.i16();
      valid = valid && degrees >= -360 && degrees <= 720;
      *at = std::fmod(degrees + 720.0, 360.0);
    }
    range.settings = readSettings(r);
    valid = valid && range.settings.valid();
    if (range.settings.changes()) ranges.push_back(range);
  }
  if (!r.ok() || !valid) return {};
  if (colorize) {
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

}  // namespace

bool isAdjustmentKind(LayerKind kind) {
  const int k = int(kind);
  return (k >= int(LayerKind::Levels) && k <= int(LayerKind::Posterize)) || kind == LayerKind::PhotoFilter ||
         kind == LayerKind::Exposure || kind == LayerKind::BlackAndWhite || kind == LayerKind::Vibrance;
}

ColorAdjustment adjustmentOf(const LayerNode& node) {
  if (node.isSet || !isAdjustmentKind(node.kind)) return {};
  const auto with = [&](std::string_view key, ColorAdjustment (*make)(const std::vector<std::uint8_t>&)) {
    const std::vector<std::uint8_t>* data = blockData(node, key);
    return data ? make(*data) : ColorAdjustment{};
  };
  switch (node.kind) {
    case LayerKind::Curves: return with("curv", curves);
    case LayerKind::Levels: return with("levl", levels);
    case LayerKind::Posterize: return with("post", posterize);
    case LayerKind::Threshold: return with("thrs", threshold);
    case LayerKind::Exposure: return with("expA", exposure);
    case LayerKind::Inversion: return invert();
    case LayerKind::HueSaturation: return with("hue2", hueSaturation);
    case LayerKind::BrightnessContrast: return brightnessContrast(node);
    default: return {};
  }
}

}  // namespace engine
