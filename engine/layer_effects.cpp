#include "engine/layer_effects.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/adjustments.h"
#include "engine/layer_effects_shape.h"

namespace engine {

namespace {

template <class List>
bool anyOn(const List& list) {
  return std::any_of(list.begin(), list.end(), [](const auto& e) { return e.enabled && e.opacity > 0.0; });
}

template <class List, class F>
double widest(const List& list, F&& extent) {
  double most = 0.0;
  for (const auto& e : list)
    if (e.enabled) most = std::max(most, extent(e));
  return most;
}

double lerp(double a, double b, double t) { return a + (b - a) * t; }

// Where `t` falls among stops sorted by location: the stops either side (the same one before
// the first and after the last) and the straight mix between them, which the midpoint moves.
struct StopSpan {
  std::size_t lo = 0, hi = 0;
  double f = 0.0;
};
template <class Stops>
StopSpan spanAt(const Stops& stops, double t) {
  const auto next = std::find_if(stops.begin(), stops.end(), [t](const auto& s) { return s.location >= t; });
  if (next == stops.begin()) return {};
  if (next == stops.end()) return {stops.size() - 1, stops.size() - 1, 0.0};
  const auto hi = std::size_t(next - stops.begin()), lo = hi - 1;
  const double span = stops[hi].location - stops[lo].location;
  if (!(span > 0)) return {lo, hi, 0.0};
  const double u = std::clamp((t - stops[lo].location) / span, 0.0, 1.0), m = std::clamp(stops[hi].midpoint, 0.01, 0.99);
  return {lo, hi, u < m ? 0.5 * u / m : 0.5 + 0.5 * (u - m) / (1.0 - m)};
}

// One channel of a span. Photoshop's smooth gradient runs through the stops on a Catmull-Rom
// curve over even steps from stop to stop, each channel on its own (the end stops repeat
// themselves), and never leaves the range of the span's two stops; smoothness blends that curve
// with the straight mix. Two stops ease in and out; more stops keep their pace across a stop.
template <class Stops, class Channel>
double spanValue(const Stops& stops, const StopSpan& at, double smoothness, Channel&& channel) {
  const double a = channel(stops[at.lo]), b = channel(stops[at.hi]);
  const double straight = lerp(a, b, at.f);
  if (!(smoothness > 0.0) || at.lo == at.hi) return straight;
  const double before = channel(stops[at.lo == 0 ? 0 : at.lo - 1]);
  const double after = channel(stops[std::min(at.hi + 1, stops.size() - 1)]);
  const double f = at.f, f2 = f * f, f3 = f2 * f;
  const double curve = (2 * f3 - 3 * f2 + 1) * a + (f3 - 2 * f2 + f) * 0.5 * (b - before) + (3 * f2 - 2 * f3) * b +
                       (f3 - f2) * 0.5 * (after - a);
  return straight + std::min(smoothness, 1.0) * (std::clamp(curve, std::min(a, b), std::max(a, b)) - straight);
}

}  // namespace

Contour::Contour(std::vector<ContourPoint> points) {
  for (ContourPoint& p : points) p.x = std::clamp(p.x, 0.0, 255.0), p.y = std::clamp(p.y, 0.0, 255.0);
  std::stable_sort(points.begin(), points.end(), [](const ContourPoint& a, const ContourPoint& b) { return a.x < b.x; });
  if (points.size() < 2) return;
  // The curve runs smooth through each run of points from one corner to the next (its ends
  // count as corners); before the first point and after the last it stays level.
  std::array<double, 256> curve{};
  std::size_t from = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    if (!points[i].corner && i + 1 < points.size()) continue;
    std::vector<std::pair<double, double>> run;
    for (std::size_t j = from; j <= i; ++j) run.emplace_back(points[j].x, points[j].y);
    const std::array<double, 256> piece = splineThrough(std::move(run));
    const int lo = from == 0 ? 0 : int(std::ceil(points[from].x)), hi = i + 1 == points.size() ? 255 : int(points[i].x);
    for (int v = lo; v <= hi; ++v) curve[std::size_t(v)] = piece[std::size_t(v)];
    from = i;
  }
  bool linear = true;
  for (std::size_t v = 0; v < 256 && linear; ++v) linear = std::fabs(curve[v] - double(v)) < 0.25;
  if (linear) return;
  table_.resize(256);
  for (std::size_t v = 0; v < 256; ++v) table_[v] = float(std::clamp(curve[v] / 255.0, 0.0, 1.0));
}

float Contour::operator()(float strength) const {
  if (table_.empty()) return strength;
  const float at = std::clamp(strength, 0.0f, 1.0f) * 255.0f;
  const int i = std::min(int(at), 254);
  return table_[std::size_t(i)] + (table_[std::size_t(i) + 1] - table_[std::size_t(i)]) * (at - float(i));
}

void Contour::apply(std::vector<float>& v) const {
  if (!table_.empty())
    for (float& x : v) x = (*this)(x);
}

void EffectGradient::sample(double t, double out[4]) const {
  t = std::clamp(std::isfinite(t) ? t : 0.0, 0.0, 1.0);
  out[0] = out[1] = out[2] = 0.0;
  if (!colors.empty()) {
    const StopSpan at = spanAt(colors, t);
    out[0] = spanValue(colors, at, smoothness, [](const ColorStop& s) { return s.color.r; });
    out[1] = spanValue(colors, at, smoothness, [](const ColorStop& s) { return s.color.g; });
    out[2] = spanValue(colors, at, smoothness, [](const ColorStop& s) { return s.color.b; });
  }
  double opacity = 1.0;
  if (!opacities.empty())
    opacity = spanValue(opacities, spanAt(opacities, t), smoothness, [](const OpacityStop& s) { return s.opacity; });
  out[3] = std::clamp(opacity, 0.0, 1.0) * 255.0;
}

void EffectGradient::sample(double t, std::uint8_t out[4]) const {
  double exact[4];
  sample(t, exact);
  for (int c = 0; c < 4; ++c) out[c] = std::uint8_t(std::lround(std::clamp(exact[c], 0.0, 255.0)));
}

bool LayerEffects::anyEnabled() const {
  return anyOn(dropShadows) || anyOn(innerShadows) || anyOn(outerGlows) || anyOn(innerGlows) || anyOn(satins) ||
         anyOn(colorOverlays) || anyOn(gradientOverlays) || anyOn(patternOverlays) || anyOn(strokes) ||
         std::any_of(bevels.begin(), bevels.end(), [](const BevelEffect& b) { return b.enabled; });
}

int LayerEffects::reach() const {
  const auto soft = [](double size) { return double(std::max(fx::blurReach(size), int(std::ceil(size)))); };
  double r = widest(dropShadows, [&](const ShadowEffect& s) { return s.distance + soft(s.size); });
  r = std::max(r, widest(outerGlows, [&](const GlowEffect& g) { return soft(g.size); }));
  r = std::max(r, widest(strokes, [](const StrokeEffect& s) {
    return s.position == StrokeEffect::Position::Inside ? 0.0 : s.size;
  }));
  r = std::max(r, widest(bevels, [&](const BevelEffect& b) {
    return b.style == BevelEffect::Style::InnerBevel ? 0.0 : b.size + soft(b.size / 2) + soft(b.soften);
  }));
  // Inner effects read the shape's surroundings as far as they reach inwards.
  r = std::max(r, widest(innerShadows, [&](const ShadowEffect& s) { return s.distance + soft(s.size); }));
  r = std::max(r, widest(innerGlows, [&](const GlowEffect& g) { return soft(g.size); }));
  r = std::max(r, widest(satins, [&](const SatinEffect& s) { return s.distance + soft(s.size); }));
  r = std::max(r, widest(strokes, [](const StrokeEffect& s) { return s.size; }));
  return int(std::ceil(std::min(r, 4000.0))) + 2;
}

const LayerEffects* drawnEffects(const LayerNode& node) {
  if (!node.hasStyle || !node.styleEnabled || !node.effects || !node.effects->anyEnabled()) return nullptr;
  return node.effects.get();
}

Rect drawnBounds(const LayerNode& node, const Rect& own) {
  const LayerEffects* fx = drawnEffects(node);
  if (!fx || own.empty()) return own;
  const int r = fx->reach();
  return {own.left - r, own.top - r, own.right + r, own.bottom + r};
}

}  // namespace engine
