#include "engine/composite.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#include "engine/adjustments.h"
#include "engine/layer_effects.h"
#include "engine/paint_span.h"
#include "engine/vector_mask.h"

namespace engine {

namespace {

using paint::Coverage;
using paint::div255;
using paint::Paint;

bool hasMask(const LayerNode& node) { return !node.mask.disabled && !node.mask.empty(); }

// A mask at less than full density: what it hides shows through in part.
void soften(Mask& mask, std::uint8_t density) {
  if (density == 255) return;
  const auto soft = [density](int v) { return std::uint8_t(255 - div255(density * (255 - v))); };
  if (std::uint8_t* m = mask.mutableData())
    for (std::int64_t i = 0, n = mask.bounds().area(); i < n; ++i) m[i] = soft(m[i]);
  mask.setOutside(soft(mask.outside()));
}

Rect grown(const Rect& r, int by) { return r.empty() ? r : Rect{r.left - by, r.top - by, r.right + by, r.bottom + by}; }

// Feathering blurs a mask with a Gaussian whose standard deviation is the feather radius.
// Wide feathers use three box blurs instead, which come as close to it and cost the same
// whatever the radius.
constexpr double kWidestExactSigma = 16.0;

double featherSigma(double radius) {
  return std::isfinite(radius) && radius > 0.0 ? std::min(radius, kMaxMaskFeather) : 0.0;
}

// The filters applied one after the other along a line: each weighs 2r + 1 neighbours.
struct LineFilter {
  int radius = 0;
  std::vector<float> weights;  // empty: all neighbours weigh the same
};

std::vector<LineFilter> featherFilters(double radius) {
  const double sigma = featherSigma(radius);
  if (sigma <= 0.0) return {};
  if (sigma <= kWidestExactSigma) {
    LineFilter g;
    g.radius = int(std::ceil(3.0 * sigma));
    double sum = 0.0;
    for (int i = -g.radius; i <= g.radius; ++i) {
      g.weights.push_back(float(std::exp(-0.5 * i * i / (sigma * sigma))));
      sum += g.weights.back();
    }
    for (float& w : g.weights) w = float(w / sum);
    return {g};
  }
  // Three boxes of odd widths whose variances add up to the Gaussian's.
  const double ideal = std::sqrt(12.0 * sigma * sigma / 3.0 + 1.0);
  int lower = int(ideal);
  if (lower % 2 == 0) --lower;
  const int lowerCount = int(std::lround((12.0 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9.0) / (-4.0 * lower - 4.0)));
  std::vector<LineFilter> boxes;
  for (int i = 0; i < 3; ++i) boxes.push_back({(i < lowerCount ? lower : lower + 2) / 2, {}});
  return boxes;
}

int filtersReach(const std::vector<LineFilter>& filters) {
  int reach = 0;
  for (const LineFilter& f : filters) reach += f.radius;
  return reach;
}

// Filters `line` in place; each filter leaves 2r fewer values, the first ones of the line.
std::size_t filterLine(std::vector<float>& line, std::size_t length, const std::vector<LineFilter>& filters) {
  for (const LineFilter& f : filters) {
    const std::size_t taps = std::size_t(2 * f.radius + 1);
    if (f.weights.empty()) {
      double sum = 0.0;
      for (std::size_t i = 0; i < taps; ++i) sum += line[i];
      for (std::size_t i = 0; i + taps <= length; ++i) {
        const float first = line[i];
        line[i] = float(sum / double(taps));
        if (i + taps < length) sum += line[i + taps] - first;
      }
    } else {
      for (std::size_t i = 0; i + taps <= length; ++i) {
        float v = 0.0f;
        for (std::size_t k = 0; k < taps; ++k) v += f.weights[k] * line[i + k];
        line[i] = v;
      }
    }
    length -= taps - 1;
  }
  return length;
}

// The mask feathered by `radius` pixels, over the part of `area` the blur reaches; beyond that
// it keeps its outside value.
Mask featherMask(const Mask& mask, double radius, const Rect& area) {
  const std::vector<LineFilter> filters = featherFilters(radius);
  const int reach = filtersReach(filters);
  const Rect out = area.intersected(grown(mask.bounds(), reach));
  if (reach == 0 || out.empty()) return out.empty() ? Mask(Rect{}, mask.outside()) : mask;
  // Rows first: only those of the mask's own, as the others hold nothing but its outside value.
  const int firstRow = std::max(out.top - reach, mask.bounds().top);
  const int endRow = std::min(out.bottom + reach, mask.bounds().bottom);
  const std::size_t width = std::size_t(out.width());
  std::vector<float> across(std::size_t(std::max(0, endRow - firstRow)) * width);
  std::vector<std::uint8_t> source(std::size_t(out.width() + 2 * reach));
  std::vector<float> line(source.size());
  for (int y = firstRow; y < endRow; ++y) {
    paint::maskRow(mask, y, out.left - reach, int(source.size()), source.data());
    std::copy(source.begin(), source.end(), line.begin());
    filterLine(line, source.size(), filters);
    std::copy_n(line.begin(), width, across.begin() + std::ptrdiff_t(std::size_t(y - firstRow) * width));
  }
  // Then the columns, a few at a time so that each row of the first pass is read in one go.
  constexpr std::size_t kColumnsAtOnce = 16;
  const int rows = out.height() + 2 * reach;
  std::vector<std::vector<float>> columns(kColumnsAtOnce, std::vector<float>(std::size_t(rows)));
  Mask result(out, mask.outside());
  std::uint8_t* values = result.mutableData();
  for (std::size_t x0 = 0; x0 < width; x0 += kColumnsAtOnce) {
    const std::size_t count = std::min(kColumnsAtOnce, width - x0);
    for (int r = 0; r < rows; ++r) {
      const int y = out.top - reach + r;
      const bool inside = y >= firstRow && y < endRow;
      const float* from = inside ? &across[std::size_t(y - firstRow) * width + x0] : nullptr;
      for (std::size_t k = 0; k < count; ++k) columns[k][std::size_t(r)] = inside ? from[k] : float(mask.outside());
    }
    for (std::size_t k = 0; k < count; ++k) {
      filterLine(columns[k], std::size_t(rows), filters);
      for (std::size_t y = 0; y < std::size_t(out.height()); ++y)
        values[y * width + x0 + k] = std::uint8_t(std::clamp(std::lround(columns[k][y]), 0L, 255L));
    }
  }
  return result;
}

bool isKnockout(const LayerNode& node) { return node.knockout; }

// `to` over `from` at strength t (0..255) into `out`, in premultiplied terms so that colours
// of transparent pixels do not bleed in.
void fadePremultiplied(const std::uint8_t* from, const std::uint8_t* to, int t, std::uint8_t* out) {
  const int a = div255(from[3] * (255 - t) + to[3] * t);
  if (!a) {
    out[0] = out[1] = out[2] = out[3] = 0;
    return;
  }
  for (int c = 0; c < 3; ++c) {
    const int premultiplied = div255(from[c] * from[3]) * (255 - t) + div255(to[c] * to[3]) * t;  // x 255
    out[c] = std::uint8_t(std::min(255, (premultiplied + a / 2) / a));
  }
  out[3] = std::uint8_t(a);
}

Raster copyArea(const Raster& surface, const Rect& area) {
  Raster out(area);
  for (int y = area.top; y < area.bottom; ++y)
    std::memcpy(out.mutablePixel(area.left, y), surface.pixel(area.left, y), std::size_t(area.width()) * 4);
  return out;
}

// Walks a layer tree bottom to top onto a surface. The canvas (the document's size) places
// vector masks and the colour of fill layers that carry no pixels; without it neither shows.
class Compositor {
 public:
  explicit Compositor(const Rect& canvas, ColorMixing mixing = ColorMixing::Rgb) : canvas_(canvas), mixing_(mixing) {}

  void drawStack(const std::vector<LayerNode>& layers, Raster& surface) const;
  Rect visibleBounds(const std::vector<LayerNode>& layers) const;

 private:
  // A fill layer that carries no pixels is drawn from what it paints: its colour, gradient or
  // pattern. So is a solid fill whose vector mask lets it show beyond the shape its pixels were
  // cut to.
  bool drawsFillContent(const LayerNode& node) const {
    if (node.isSet || canvas_.empty()) return false;
    if (node.kind == LayerKind::SolidFill)
      return node.pixels.empty() || (hasVectorMask(node) && softensVectorMask(node));
    return (node.kind == LayerKind::GradientFill || node.kind == LayerKind::PatternFill) && node.fillContent &&
           node.pixels.empty();
  }
  Raster fillContentIn(const LayerNode& node, const Rect& region) const;
  static bool softensVectorMask(const LayerNode& node) {
    return node.vectorMaskDensity != 255 || featherSigma(node.vectorMaskFeather) > 0.0;
  }
  Rect ownBounds(const LayerNode& node) const {
    if (node.artboard) {
      const Artboard& board = *node.artboard;
      return board.background ? board.rect : visibleBounds(node.children).intersected(board.rect);
    }
    if (node.isSet) return visibleBounds(node.children);
    return drawsFillContent(node) ? canvas_ : node.pixels.bounds();
  }
  // A layer's effects reach beyond its own pixels.
  Rect contentBounds(const LayerNode& node) const { return drawnBounds(node, ownBounds(node)); }
  bool appliesVectorMask(const LayerNode& node) const {
    return !canvas_.empty() && hasVectorMask(node) && (!pixelsShowVectorMask(node) || drawsFillContent(node));
  }
  Rect nodeRegion(const LayerNode& node, const Rect& within) const;
  Rect clippedRegion(const LayerNode& node, const Raster& surface, const Coverage* clip) const {
    const Rect region = nodeRegion(node, surface.bounds());
    return clip ? region.intersected(clip->area) : region;
  }
  void paintAs(const LayerNode& node, const Raster& source, const Rect& region, Raster& surface, const Coverage* clip) const;
  std::optional<Mask> maskOf(const LayerNode& node, const Rect& region) const;
  std::optional<Mask> masksOf(const LayerNode& node, const Rect& region, bool layerMask, bool vectorMask) const;
  void drawNode(const LayerNode& node, Raster& surface, const Coverage* clip) const;
  void drawNodeInAllChannels(const LayerNode& node, Raster& surface, const Coverage* clip) const;
  void drawStyled(const LayerNode& node, const LayerEffects& fx, Raster& surface, const Coverage* clip) const;
  std::unique_ptr<Mask> fillOutline(const LayerNode& node, const Rect& area, bool withLayerMask = true) const;
  void drawArtLayer(const LayerNode& node, Raster& surface, const Coverage* clip) const;
  void drawAdjustment(const LayerNode& node, const ColorAdjustment& adjust, Raster& surface, const Coverage* clip,
                      const std::vector<const LayerNode*>& clipped = {}) const;
  static bool isAdjustment(const LayerNode& node) {
    return !node.isSet && node.pixels.empty() && isAdjustmentKind(node.kind);
  }
  // Adjustment layers change whatever lies below them, wherever their masks let them.
  static bool reachesEverywhere(const std::vector<LayerNode>& layers) {
    return std::any_of(layers.begin(), layers.end(), [](const LayerNode& n) {
      return n.visible && (isAdjustment(n) || (passesThrough(n) && reachesEverywhere(n.children)));
    });
  }
  // Members of a pass-through set blend straight into what lies below; an artboard keeps its
  // members to its rectangle, so it is composited on its own.
  static bool passesThrough(const LayerNode& node) {
    return node.isSet && node.blendMode == BlendMode::PassThrough && !node.artboard;
  }
  void drawPassThrough(const LayerNode& set, Raster& surface) const;
  void drawIsolatedSet(const LayerNode& set, Raster& surface, const Coverage* clip) const;
  Raster isolatedContent(const LayerNode& node, const Rect& region) const;
  Coverage baseCoverage(const LayerNode& base, const Raster& pixels, const Rect& region) const;
  void drawClippingGroup(const LayerNode& base, const std::vector<const LayerNode*>& clipped, Raster& surface) const;
  void drawKnockout(const LayerNode& node, Raster& surface, const Raster& backdrop) const;

  // How the node's opacities and blend mode paint it, in the document's colour mixing.
  Paint paintFor(const LayerNode& node) const {
    Paint p = paint::paintOf(node);
    p.mixInLab = mixing_ == ColorMixing::Lab;
    return p;
  }

  Rect canvas_;
  ColorMixing mixing_;
};

Rect Compositor::visibleBounds(const std::vector<LayerNode>& layers) const {
  Rect r;
  for (const LayerNode& n : layers)
    if (n.visible) r = r.united(contentBounds(n));
  return r;
}

// The area a node can change: its visible content, cut by a mask that hides everything beyond
// its own bounds.
Rect Compositor::nodeRegion(const LayerNode& node, const Rect& within) const {
  Rect r = contentBounds(node).intersected(within);
  if (hasMask(node) && node.mask.pixels.outside() == 0 && node.mask.density == 255 && !appliesVectorMask(node))
    r = r.intersected(grown(node.mask.pixels.bounds(), filtersReach(featherFilters(node.mask.feather))));
  return r;
}

// The layer mask and the vector mask together, over `region`; nothing when there is neither.
std::optional<Mask> Compositor::maskOf(const LayerNode& node, const Rect& region) const {
  return masksOf(node, region, true, appliesVectorMask(node));
}

// Those of the layer mask and the vector mask that are asked for, together; nothing when none
// is. A shape's vector mask is drawn even where its pixels already show it.
std::optional<Mask> Compositor::masksOf(const LayerNode& node, const Rect& region, bool layerMask, bool vectorMask) const {
  std::optional<Mask> vector;
  if (vectorMask && !canvas_.empty() && hasVectorMask(node)) {
    const int reach = filtersReach(featherFilters(node.vectorMaskFeather));
    vector = renderVectorMask(node, canvas_, grown(region, reach));
    if (vector && reach) vector = featherMask(*vector, node.vectorMaskFeather, region);
    if (vector) soften(*vector, node.vectorMaskDensity);
  }
  if (!layerMask || !hasMask(node)) return vector;
  Mask user = featherSigma(node.mask.feather) > 0.0 ? featherMask(node.mask.pixels, node.mask.feather, region)
                                                    : node.mask.pixels;
  soften(user, node.mask.density);
  if (!vector) return user;
  std::vector<std::uint8_t> userRow(std::size_t(region.width()));
  for (int y = region.top; y < region.bottom; ++y) {
    paint::maskRow(user, y, region.left, region.width(), userRow.data());
    std::uint8_t* row = vector->mutableRow(y);
    for (int i = 0; i < region.width(); ++i) row[i] = std::uint8_t(div255(row[i] * userRow[std::size_t(i)]));
  }
  vector->setOutside(std::uint8_t(div255(vector->outside() * user.outside())));
  return vector;
}

// An adjustment layer paints the adjusted colours of what lies below onto it, as if the surface
// were opaque, and leaves the surface's coverage as it was.
// Layers clipped to an adjustment layer paint onto the adjusted colours before they are blended.
void Compositor::drawAdjustment(const LayerNode& node, const ColorAdjustment& adjust, Raster& surface,
                                const Coverage* clip, const std::vector<const LayerNode*>& clipped) const {
  Rect region = surface.bounds();
  if (clip) region = region.intersected(clip->area);
  const std::optional<Mask> mask = region.empty() ? std::nullopt : maskOf(node, region);
  if (mask && mask->outside() == 0) region = region.intersected(mask->bounds());
  if (region.empty()) return;
  Raster adjusted = copyArea(surface, region);
  const std::size_t n = std::size_t(region.area());
  std::vector<std::uint8_t> alpha(n);
  std::uint8_t* a = adjusted.mutableData();
  for (std::size_t i = 0; i < n; ++i) {
    alpha[i] = a[4 * i + 3];
    a[4 * i + 3] = 255;
  }
  if (adjust) adjust(a, n);
  for (const LayerNode* c : clipped) drawNode(*c, adjusted, nullptr);
  const auto setSurfaceAlpha = [&](bool restore) {
    for (int y = region.top; y < region.bottom; ++y) {
      std::uint8_t* d = surface.mutablePixel(region.left, y);
      const std::uint8_t* keep = alpha.data() + std::size_t(y - region.top) * region.width();
      for (int x = 0; x < region.width(); ++x) d[4 * x + 3] = restore ? keep[x] : 255;
    }
  };
  setSurfaceAlpha(false);
  Paint p = paintFor(node);
  p.mask = mask ? &*mask : nullptr;
  p.clip = clip;
  paint::paint(adjusted, surface, p);
  setSurfaceAlpha(true);
}

void Compositor::drawArtLayer(const LayerNode& node, Raster& surface, const Coverage* clip) const {
  if (isAdjustment(node)) {
    if (const ColorAdjustment adjust = adjustmentOf(node)) drawAdjustment(node, adjust, surface, clip);
    return;
  }
  if (const LayerEffects* fx = drawnEffects(node)) return drawStyled(node, *fx, surface, clip);
  const Rect region = clippedRegion(node, surface, clip);
  if (region.empty()) return;
  paintAs(node, drawsFillContent(node) ? fillContentIn(node, region) : node.pixels, region, surface, clip);
}

// A gradient aligned with the layer spans what shows of it: its vector mask's bounds, or its
// layer mask's where that hides everything beyond; otherwise the canvas.
Raster Compositor::fillContentIn(const LayerNode& node, const Rect& region) const {
  if (node.kind == LayerKind::SolidFill || !node.fillContent) return Raster::filled(region, node.fillColor);
  RectF box = canvas_;
  if (node.fillContent->alignWithLayer && hasVectorMask(node)) {
    box = vectorShapeBox(node, canvas_).value_or(canvas_);
  } else if (node.fillContent->alignWithLayer && hasMask(node) && node.mask.pixels.outside() == 0) {
    box = node.mask.pixels.coveredBounds();
  }
  return paintedFill(*node.fillContent, region, box.empty() ? RectF(canvas_) : box);
}

// Paints `source` with the node's blend mode, opacities and masks, within the clip.
void Compositor::paintAs(const LayerNode& node, const Raster& source, const Rect& region, Raster& surface,
                         const Coverage* clip) const {
  const std::optional<Mask> mask = maskOf(node, region);
  Paint p = paintFor(node);
  p.mask = mask ? &*mask : nullptr;
  p.clip = clip;
  paint::paint(source, surface, p);
}

// The layer's shape (its pixels or members, times its masks) is what its effects are drawn
// from; they reach beyond it by their sizes and distances.
void Compositor::drawStyled(const LayerNode& node, const LayerEffects& fx, Raster& surface, const Coverage* clip) const {
  // A mask that hides the effects cuts the layer as drawn, effects and all, instead of shaping
  // what they are drawn from. A fill layer's vector mask is its shape whatever the setting.
  const bool layerMaskHides = node.layerMaskHidesEffects && hasMask(node);
  const bool vectorMaskHides = node.vectorMaskHidesEffects && hasVectorMask(node) && !drawsFillContent(node) &&
                               node.kind != LayerKind::GradientFill && node.kind != LayerKind::PatternFill;
  Rect shapeArea = ownBounds(node).intersected(grown(surface.bounds(), fx.reach()));
  if (!layerMaskHides && hasMask(node) && node.mask.pixels.outside() == 0 && node.mask.density == 255 &&
      !appliesVectorMask(node))
    shapeArea = shapeArea.intersected(grown(node.mask.pixels.bounds(), filtersReach(featherFilters(node.mask.feather))));
  Rect region = grown(shapeArea, fx.reach()).intersected(surface.bounds());
  if (clip) region = region.intersected(clip->area);
  if (region.empty() || shapeArea.empty()) return;
  Raster shape = node.isSet ? isolatedContent(node, shapeArea)
                 : drawsFillContent(node) ? fillContentIn(node, shapeArea) : copyArea(node.pixels, shapeArea);
  if (const std::optional<Mask> mask =
          masksOf(node, shapeArea, !layerMaskHides, appliesVectorMask(node) && !vectorMaskHides)) {
    std::vector<std::uint8_t> m(std::size_t(shapeArea.width()));
    for (int y = shapeArea.top; y < shapeArea.bottom; ++y) {
      paint::maskRow(*mask, y, shapeArea.left, shapeArea.width(), m.data());
      std::uint8_t* p = shape.mutablePixel(shapeArea.left, y);
      for (int i = 0; i < shapeArea.width(); ++i) p[4 * i + 3] = std::uint8_t(div255(p[4 * i + 3] * m[std::size_t(i)]));
    }
  }
  const std::optional<Mask> hiding = masksOf(node, region, layerMaskHides, vectorMaskHides);
  std::vector<std::uint8_t> weights;
  if (clip || hiding) {
    weights.assign(std::size_t(region.area()), 255);
    std::vector<std::uint8_t> m(std::size_t(region.width()));
    for (int y = region.top; y < region.bottom; ++y) {
      std::uint8_t* w = weights.data() + std::size_t(y - region.top) * std::size_t(region.width());
      if (clip) std::copy_n(clip->row(y) + (region.left - clip->area.left), region.width(), w);
      if (!hiding) continue;
      paint::maskRow(*hiding, y, region.left, region.width(), m.data());
      for (int i = 0; i < region.width(); ++i) w[i] = std::uint8_t(div255(w[i] * m[std::size_t(i)]));
    }
  }
  drawStyledLayer(node, fx, shape, region, surface, weights.empty() ? nullptr : weights.data(), canvas_,
                  fillOutline(node, shapeArea, !layerMaskHides).get());
}

// A gradient or pattern fill layer's shape is its vector mask (and layer mask): what its fill
// shows inside it, a gradient fading out say, is its content, not its edge. A solid fill is
// opaque, so its pixels' coverage is its shape as Photoshop drew it.
std::unique_ptr<Mask> Compositor::fillOutline(const LayerNode& node, const Rect& area, bool withLayerMask) const {
  const bool fill = node.kind == LayerKind::GradientFill || node.kind == LayerKind::PatternFill;
  if (!fill || node.isSet || canvas_.empty() || !hasVectorMask(node)) return nullptr;
  std::optional<Mask> outline = renderVectorMask(node, canvas_, area);
  if (!outline) return nullptr;
  if (withLayerMask && hasMask(node)) {
    std::vector<std::uint8_t> user(std::size_t(area.width()));
    for (int y = area.top; y < area.bottom; ++y) {
      paint::maskRow(node.mask.pixels, y, area.left, area.width(), user.data());
      std::uint8_t* row = outline->mutableRow(y);
      for (int i = 0; i < area.width(); ++i) row[i] = std::uint8_t(div255(row[i] * user[std::size_t(i)]));
    }
  }
  return std::make_unique<Mask>(std::move(*outline));
}

// Members blend straight into what lies below; the set's opacity and mask then fade between
// the surface as it was and as the members left it.
void Compositor::drawPassThrough(const LayerNode& set, Raster& surface) const {
  const int strength = set.opacity;
  const Rect region = reachesEverywhere(set.children) ? surface.bounds()
                                                      : visibleBounds(set.children).intersected(surface.bounds());
  const std::optional<Mask> mask = region.empty() ? std::nullopt : maskOf(set, region);
  if (strength == 255 && !mask) {
    drawStack(set.children, surface);
    return;
  }
  if (region.empty()) return;
  const Raster before = copyArea(surface, region);
  drawStack(set.children, surface);
  std::vector<std::uint8_t> weights(std::size_t(region.width()), std::uint8_t(strength));
  for (int y = region.top; y < region.bottom; ++y) {
    if (mask) {
      paint::maskRow(*mask, y, region.left, region.width(), weights.data());
      for (std::uint8_t& w : weights) w = std::uint8_t(div255(w * strength));
    }
    const std::uint8_t* b = before.pixel(region.left, y);
    std::uint8_t* d = surface.mutablePixel(region.left, y);
    for (int i = 0; i < region.width(); ++i, b += 4, d += 4) {
      const int t = weights[std::size_t(i)];
      if (t != 255) fadePremultiplied(b, d, t, d);
    }
  }
}

Raster Compositor::isolatedContent(const LayerNode& node, const Rect& region) const {
  if (!node.artboard) {
    Raster isolated(region);
    drawStack(node.children, isolated);
    return isolated;
  }
  // An artboard: its background, then its members, cut to its rectangle.
  const Artboard& board = *node.artboard;
  const Rect inside = region.intersected(board.rect);
  Raster content = board.background ? Raster::filled(inside, *board.background) : Raster(inside);
  if (!inside.empty()) drawStack(node.children, content);
  if (inside == region) return content;
  Raster isolated(region);
  paint::paint(content, isolated, Paint{});
  return isolated;
}

void Compositor::drawIsolatedSet(const LayerNode& set, Raster& surface, const Coverage* clip) const {
  if (const LayerEffects* fx = drawnEffects(set)) return drawStyled(set, *fx, surface, clip);
  const Rect region = clippedRegion(set, surface, clip);
  if (!region.empty()) paintAs(set, isolatedContent(set, region), region, surface, clip);
}

void Compositor::drawNode(const LayerNode& node, Raster& surface, const Coverage* clip) const {
  if (node.keptChannels & 7) {
    // The layer blends into the other channels only: those it leaves keep what lay below.
    const Rect region = contentBounds(node).intersected(surface.bounds());
    const Raster before = copyArea(surface, region);
    drawNodeInAllChannels(node, surface, clip);
    for (int y = region.top; y < region.bottom; ++y) {
      const std::uint8_t* b = before.pixel(region.left, y);
      std::uint8_t* d = surface.mutablePixel(region.left, y);
      for (int i = 0; i < region.width(); ++i, b += 4, d += 4)
        for (int c = 0; c < 3; ++c)
          if ((node.keptChannels >> c & 1) && b[3] != 0) d[c] = b[c];
    }
    return;
  }
  drawNodeInAllChannels(node, surface, clip);
}

void Compositor::drawNodeInAllChannels(const LayerNode& node, Raster& surface, const Coverage* clip) const {
  if (!node.isSet) {
    drawArtLayer(node, surface, clip);
  } else if (passesThrough(node) && !clip && node.fillOpacity == 255 && !drawnEffects(node)) {
    drawPassThrough(node, surface);
  } else {
    drawIsolatedSet(node, surface, clip);
  }
}

// The base's shape: its pixels' (or members') alpha times its masks, without opacity or fill.
Coverage Compositor::baseCoverage(const LayerNode& base, const Raster& pixels, const Rect& region) const {
  Coverage cov(region);
  const std::optional<Mask> mask = maskOf(base, region);
  std::vector<std::uint8_t> m(std::size_t(region.width()), 255);
  for (int y = region.top; y < region.bottom; ++y) {
    if (mask) paint::maskRow(*mask, y, region.left, region.width(), m.data());
    std::uint8_t* out = cov.row(y);
    const std::uint8_t* p = pixels.pixel(region.left, y);
    for (int i = 0; i < region.width(); ++i) out[i] = std::uint8_t(div255(p[4 * i + 3] * m[std::size_t(i)]));
  }
  return cov;
}

// A base layer and the layers clipped to it. The clipped layers paint only where the base is
// and take on the base's blend mode and opacity: they are composited onto the base's colours
// (as if the base were opaque), the result gets the base's shape and then blends as the base.
// A pass-through set as base lets its members and the clipped layers reach what lies below.
void Compositor::drawClippingGroup(const LayerNode& base, const std::vector<const LayerNode*>& clipped,
                                   Raster& surface) const {
  if (isAdjustment(base)) {
    drawAdjustment(base, adjustmentOf(base), surface, nullptr, clipped);
    return;
  }
  const Rect region = nodeRegion(base, surface.bounds());
  if (region.empty()) return;
  if (passesThrough(base)) {
    const Coverage cov = baseCoverage(base, isolatedContent(base, region), region);
    drawPassThrough(base, surface);
    for (const LayerNode* c : clipped) drawNode(*c, surface, &cov);
    return;
  }
  Raster group;
  if (base.isSet) {
    group = isolatedContent(base, region);
  } else if (drawsFillContent(base)) {
    group = fillContentIn(base, region);
  } else {
    group = copyArea(base.pixels, region);
  }
  const Coverage cov = baseCoverage(base, group, region);
  const int fill = base.isSet ? 255 : base.fillOpacity;
  std::uint8_t* g = group.mutableData();
  const std::size_t n = std::size_t(region.area());
  for (std::size_t i = 0; i < n; ++i) g[4 * i + 3] = std::uint8_t(fill);
  for (const LayerNode* c : clipped) drawNode(*c, group, nullptr);
  for (std::size_t i = 0; i < n; ++i) g[4 * i + 3] = std::uint8_t(div255(g[4 * i + 3] * cov.values[i]));
  Paint p;
  p.mode = base.blendMode == BlendMode::PassThrough ? BlendMode::Normal : base.blendMode;
  p.alpha = base.opacity;
  p.mixInLab = mixing_ == ColorMixing::Lab;
  paint::paint(group, surface, p);
}

// A knockout layer is composited onto what lay below its whole stack (the set's backdrop) and
// replaces, as far as it covers, what the layers below it in the stack made.
void Compositor::drawKnockout(const LayerNode& node, Raster& surface, const Raster& backdrop) const {
  const Rect region = nodeRegion(node, surface.bounds()).intersected(backdrop.bounds());
  if (region.empty()) return;
  Raster through = copyArea(backdrop, region);
  drawNode(node, through, nullptr);
  Raster shape(region);
  drawNode(node, shape, nullptr);
  for (int y = region.top; y < region.bottom; ++y) {
    const std::uint8_t* k = through.pixel(region.left, y);
    const std::uint8_t* c = shape.pixel(region.left, y);
    std::uint8_t* d = surface.mutablePixel(region.left, y);
    for (int i = 0; i < region.width(); ++i, k += 4, c += 4, d += 4) {
      if (c[3]) fadePremultiplied(d, k, c[3], d);
    }
  }
}

void Compositor::drawStack(const std::vector<LayerNode>& layers, Raster& surface) const {
  // Bottom to top; a layer that is not clipped is the base of the clipped layers right above it.
  std::size_t i = layers.size();
  std::vector<const LayerNode*> clipped;
  std::optional<Raster> backdrop;
  if (std::any_of(layers.begin(), layers.end(), isKnockout))
    backdrop = copyArea(surface, visibleBounds(layers).intersected(surface.bounds()));
  while (i > 0) {
    --i;
    const LayerNode& base = layers[i];
    std::size_t top = i;
    while (top > 0 && layers[top - 1].clipping) --top;
    if (!base.visible) {
      i = top;
      continue;
    }
    if (top == i) {
      if (backdrop && isKnockout(base)) {
        drawKnockout(base, surface, *backdrop);
      } else {
        drawNode(base, surface, nullptr);
      }
      continue;
    }
    clipped.clear();
    for (std::size_t k = i; k > top; --k)
      if (layers[k - 1].visible) clipped.push_back(&layers[k - 1]);
    drawClippingGroup(base, clipped, surface);
    i = top;
  }
}

}  // namespace

Mask featheredMask(const Mask& mask, double radius, const Rect& area) { return featherMask(mask, radius, area); }

void paintPixel(BlendMode mode, std::uint8_t* rgba, Rgb color, float alpha, bool preserveTransparency, int x, int y) {
  if (alpha <= 0.0f) return;
  if (preserveTransparency && rgba[3] == 0) return;
  const int a = int(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f));
  if (!a) return;
  const std::uint8_t source[4] = {color.r, color.g, color.b, 255};
  const std::uint8_t keep = rgba[3];
  if (preserveTransparency) rgba[3] = 255;  // blend as if the pixel were opaque
  Paint p;
  p.mode = mode == BlendMode::PassThrough ? BlendMode::Normal : mode;
  p.alpha = a;
  paint::paintSpan(p, rgba, source, nullptr, 1, x, y);
  if (preserveTransparency) rgba[3] = keep;
}

Raster compositeLayers(const std::vector<LayerNode>& layers, const Rect& area, const Rect& canvas, ColorMixing mixing) {
  Raster out(area);
  if (!out.empty()) Compositor(canvas, mixing).drawStack(layers, out);
  return out;
}

Raster compositeDocument(const DocumentContent& content) {
  return compositeLayers(content.layers, content.canvas(), content.canvas(), content.mixing);
}

Raster mergeSetPixels(const LayerNode& set, const Rect& canvas) {
  const Compositor compositor(canvas);
  Raster out(compositor.visibleBounds(set.children));
  if (!out.empty()) compositor.drawStack(set.children, out);
  out.trim();
  return out;
}

}  // namespace engine
