#include "formats/descriptor_tree.h"

#include <algorithm>
#include <cmath>

#include "engine/raster.h"
#include "formats/descriptor.h"

namespace formats {

namespace {

constexpr int kMaxNesting = 32;

std::string readKey(ByteReader& r) {
  const std::uint32_t n = r.u32("a descriptor key length");
  auto bytes = r.take(n ? n : 4, "a descriptor key");
  return std::string(bytes.begin(), bytes.end());
}

std::string readTag(ByteReader& r) {
  auto bytes = r.take(4, "a descriptor value type");
  return std::string(bytes.begin(), bytes.end());
}

DescValue readValue(ByteReader& r, const std::string& type, int depth);

DescValue readObject(ByteReader& r, int depth) {
  if (depth > kMaxNesting) r.fail("descriptors are nested too deeply");
  DescValue v;
  v.type = DescValue::Type::Object;
  readDescriptorUnicode(r);
  v.text = readKey(r);
  const std::uint32_t count = r.u32("a descriptor item count");
  if (std::uint64_t(count) * 8 > r.remaining()) r.fail("a descriptor claims more items than its data holds");
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string key = readKey(r);
    const std::string type = readTag(r);
    v.items[std::move(key)] = readValue(r, type, depth + 1);
  }
  return v;
}

DescValue readList(ByteReader& r, int depth) {
  DescValue v;
  v.type = DescValue::Type::List;
  const std::uint32_t count = r.u32("a list length");
  if (std::uint64_t(count) * 4 > r.remaining()) r.fail("a descriptor list claims more items than its data holds");
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string type = readTag(r);
    v.list.push_back(readValue(r, type, depth + 1));
  }
  return v;
}

DescValue number(double n, std::string unit = {}) {
  DescValue v;
  v.type = DescValue::Type::Number;
  v.number = n;
  v.unit = std::move(unit);
  return v;
}

DescValue readValue(ByteReader& r, const std::string& type, int depth) {
  if (type == "Objc" || type == "GlbO") return readObject(r, depth);
  if (type == "VlLs") return readList(r, depth);
  if (type == "doub") return number(r.f64("a number"));
  if (type == "UntF") {
    std::string unit = readTag(r);
    return number(r.f64("a number with a unit"), std::move(unit));
  }
  if (type == "long") return number(r.i32("an integer"));
  if (type == "comp") return number(double(std::int64_t(r.u64("a large integer"))));
  DescValue v;
  if (type == "bool") {
    v.type = DescValue::Type::Bool;
    v.boolean = r.u8("a boolean") != 0;
  } else if (type == "TEXT") {
    v.type = DescValue::Type::Text;
    v.text = readDescriptorUnicode(r);
  } else if (type == "enum") {
    v.type = DescValue::Type::Enum;
    readKey(r);
    v.text = readKey(r);
  } else if (type == "type" || type == "GlbC") {
    readDescriptorUnicode(r);
    v.text = readKey(r);
  } else if (type == "tdta" || type == "alis" || type == "Pth ") {
    r.skip(r.u32("a data length"), "raw descriptor data");
  } else if (type == "UnFl") {
    r.skip(4, "a unit");
    r.skip(std::uint64_t(r.u32("a value count")) * 8, "unit values");
  } else {
    r.fail("a descriptor holds a value of the unknown type '" + type + "'");
  }
  return v;
}

}  // namespace

const DescValue* DescValue::find(const std::string& key) const {
  const auto it = items.find(key);
  return it == items.end() ? nullptr : &it->second;
}

double DescValue::numberOr(const std::string& key, double fallback) const {
  const DescValue* v = find(key);
  return v && v->type == Type::Number ? v->number : fallback;
}

bool DescValue::boolOr(const std::string& key, bool fallback) const {
  const DescValue* v = find(key);
  return v && v->type == Type::Bool ? v->boolean : fallback;
}

std::string DescValue::enumOr(const std::string& key, const std::string& fallback) const {
  const DescValue* v = find(key);
  return v && v->type == Type::Enum ? v->text : fallback;
}

DescValue readDescriptorTree(ByteReader& r) { return readObject(r, 0); }

namespace {

std::uint8_t toByte(double v) { return std::isfinite(v) ? std::uint8_t(std::lround(std::clamp(v, 0.0, 255.0))) : 0; }



}  // namespace

engine::ColorF hsbToRgb(double h, double s, double b) {
  const double hue = std::isfinite(h) ? std::fmod(std::fmod(h, 360.0) + 360.0, 360.0) / 60.0 : 0.0;
  const double c = b * s, x = c * (1 - std::fabs(std::fmod(hue, 2.0) - 1)), m = b - c;
  static const int order[6][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}, {2, 1, 0}, {1, 2, 0}, {0, 2, 1}};
  const double parts[3] = {c, x, 0.0};
  const int* o = order[std::min(5, std::max(0, int(hue)))];
  return {(parts[o[0]] + m) * 255, (parts[o[1]] + m) * 255, (parts[o[2]] + m) * 255};
}

std::optional<engine::ColorF> exactColorOf(const DescValue* c) {
  if (!c || c->type != DescValue::Type::Object) return std::nullopt;
  const auto finite = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 255.0) : 0.0; };
  const auto percent = [&](const char* key) { return std::clamp(finite(c->numberOr(key, 0)) / 100, 0.0, 1.0); };
  std::optional<engine::ColorF> out;
  if (c->text == "RGBC") {
    if (c->find("redFloat"))
      out = engine::ColorF{c->numberOr("redFloat", 0) * 255, c->numberOr("greenFloat", 0) * 255, c->numberOr("blueFloat", 0) * 255};
    else
      out = engine::ColorF{c->numberOr("Rd  ", 0), c->numberOr("Grn ", 0), c->numberOr("Bl  ", 0)};
  } else if (c->text == "Grsc") {
    const double v = 255 * (1 - percent("Gry "));  // ink coverage in percent
    out = engine::ColorF{v, v, v};
  } else if (c->text == "HSBC") {
    out = hsbToRgb(c->numberOr("H   ", 0), percent("Strt"), percent("Brgh"));
  } else if (c->text == "LbCl") {
    out = engine::labToSrgb(c->numberOr("Lmnc", 0), c->numberOr("A   ", 0), c->numberOr("B   ", 0));
  } else if (c->text == "CMYC") {
    // Inks in percent, converted as a CMYK document's pixels are: without a profile.
    const double keep = 255 * (1 - percent("Blck"));
    out = engine::ColorF{(1 - percent("Cyn ")) * keep, (1 - percent("Mgnt")) * keep, (1 - percent("Ylw ")) * keep};
  }
  if (out) *out = {finite(out->r), finite(out->g), finite(out->b)};
  return out;
}

std::optional<engine::Rgb> colorOf(const DescValue* c) {
  const std::optional<engine::ColorF> exact = exactColorOf(c);
  if (!exact) return std::nullopt;
  return engine::Rgb{toByte(exact->r), toByte(exact->g), toByte(exact->b)};
}

engine::Rgb colorOf(const DescValue* c, engine::Rgb fallback) { return colorOf(c).value_or(fallback); }


}  // namespace formats
