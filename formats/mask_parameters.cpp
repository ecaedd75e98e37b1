#include "formats/mask_parameters.h"

#include <algorithm>
#include <cmath>

#include "engine/composite.h"

namespace formats {

namespace {

enum ParameterBits : std::uint8_t { kUserDensity = 0x01, kUserFeather = 0x02, kVectorDensity = 0x04, kVectorFeather = 0x08 };

double sanitisedFeather(double v) { return std::isfinite(v) && v > 0.0 ? std::min(v, engine::kMaxMaskFeather) : 0.0; }

}  // namespace

bool MaskParameters::any() const {
  return userDensity != 255 || userFeather != 0.0 || vectorDensity != 255 || vectorFeather != 0.0;
}

MaskParameters readMaskParameters(ByteReader& r) {
  MaskParameters p;
  if (r.remaining() < 1) return p;
  const std::uint8_t present = r.u8("the mask parameters");
  const auto density = [&](std::uint8_t& out) {
    if (r.remaining() >= 1) out = r.u8("a mask density");
  };
  const auto feather = [&](double& out) {
    if (r.remaining() >= 8) out = sanitisedFeather(r.f64("a mask feather"));
  };
  // The values follow in the order of their bits; one that is cut short ends the list.
  if (present & kUserDensity) density(p.userDensity);
  if (present & kUserFeather) feather(p.userFeather);
  if (present & kVectorDensity) density(p.vectorDensity);
  if (present & kVectorFeather) feather(p.vectorFeather);
  return p;
}

void writeMaskParameters(ByteWriter& w, const MaskParameters& p) {
  const std::uint8_t present = (p.userDensity != 255 ? kUserDensity : 0) | (p.userFeather != 0.0 ? kUserFeather : 0) |
                               (p.vectorDensity != 255 ? kVectorDensity : 0) |
                               (p.vectorFeather != 0.0 ? kVectorFeather : 0);
  w.u8(present);
  if (present & kUserDensity) w.u8(p.userDensity);
  if (present & kUserFeather) w.f64(p.userFeather);
  if (present & kVectorDensity) w.u8(p.vectorDensity);
  if (present & kVectorFeather) w.f64(p.vectorFeather);
}

MaskParameters maskParametersOf(const engine::LayerNode& node) {
  MaskParameters p;
  if (!node.mask.empty()) {
    p.userDensity = node.mask.density;
    p.userFeather = sanitisedFeather(node.mask.feather);
  }
  p.vectorDensity = node.vectorMaskDensity;
  p.vectorFeather = sanitisedFeather(node.vectorMaskFeather);
  return p;
}

void applyMaskParameters(const MaskParameters& p, engine::LayerNode& node) {
  if (!node.mask.empty()) {
    node.mask.density = p.userDensity;
    node.mask.feather = p.userFeather;
  }
  node.vectorMaskDensity = p.vectorDensity;
  node.vectorMaskFeather = p.vectorFeather;
}

}  // namespace formats
