#pragma once
// A descriptor read whole into a tree of values, for the blocks whose meaning lies in many
// nested items (layer effects). Unknown value types end the read with a FormatError.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/geometry.h"
#include "formats/byte_reader.h"

namespace formats {

struct DescValue {
  enum class Type { Number, Bool, Text, Enum, Object, List, Other } type = Type::Other;
  double number = 0.0;
  std::string unit;      // numbers with a unit: "#Prc", "#Ang", "#Pxl"...
  bool boolean = false;
  std::string text;      // texts; enumerations: their value; objects: their class
  std::map<std::string, DescValue> items;  // objects
  std::vector<DescValue> list;             // lists

  const DescValue* find(const std::string& key) const;
  double numberOr(const std::string& key, double fallback) const;
  bool boolOr(const std::string& key, bool fallback) const;
  std::string enumOr(const std::string& key, const std::string& fallback) const;
};

// Reads the descriptor at the reader's position (its name, class and items).
DescValue readDescriptorTree(ByteReader& r);

// A colour object (RGB, grey, HSB, Lab or CMYK) as sRGB; nothing, or `fallback`, for anything
// else. The exact form keeps the fractions a descriptor holds (a 32-bit document's colours are
// linear light, whose dark end bytes round away).
std::optional<engine::ColorF> exactColorOf(const DescValue* c);
// Hue in degrees, saturation and brightness 0..1, as sRGB on the 0..255 scale.
engine::ColorF hsbToRgb(double h, double s, double b);
std::optional<engine::Rgb> colorOf(const DescValue* c);
engine::Rgb colorOf(const DescValue* c, engine::Rgb fallback);

}  // namespace formats
