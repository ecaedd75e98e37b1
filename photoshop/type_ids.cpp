#include "photoshop/type_ids.h"

#include <stdexcept>

namespace photoshop {

namespace {
// String IDs that stand for a four-character code in Photoshop's terminology.
constexpr std::pair<const char*, const char*> kPairs[] = {
    {"null", "null"},        {"target", "Trgt"},     {"ordinal", "Ordn"},    {"first", "Frst"},
    {"layer", "Lyr "},       {"document", "Dcmn"},   {"name", "Nm  "},       {"to", "T   "},
    {"color", "Clr "},       {"red", "Rd  "},        {"green", "Grn "},      {"blue", "Bl  "},
    {"set", "setd"},        {"duplicate", "Dplc"},  {"imageSize", "ImgS"},
    {"width", "Wdth"},       {"height", "Hght"},     {"interpolation", "Intr"}, {"interpolationType", "Intp"},
    {"bicubic", "Bcbc"},     {"pixelsUnit", "#Pxl"}, {"RGBColor", "RGBC"},   {"save", "save"},
    {"as", "As  "},          {"in", "In  "},         {"photoshop35Format", "Pht3"}, {"yellowColor", "Ylw "},
    {"violet", "Vlt "},      {"orange", "Orng"},     {"gray", "Gry "},       {"none", "None"},
    {"nearestNeighbor", "Nrst"}, {"bilinear", "Blnr"}, {"documentID", "DcmI"}, {"layerID", "LyrI"},
};
}  // namespace

TypeIdRegistry::TypeIdRegistry() {
  for (const auto& [name, code] : kPairs) {
    byName_.emplace(name, charId(code));
  }
  // Fixed order keeps the numbers of the program's own string IDs the same on every run.
  for (const char* name : {"contentLayer", "solidColorLayer", "maximizeCompatibility", "disableLayerStyle"})
    stringId(name);
}

TypeID TypeIdRegistry::charId(std::string_view code) {
  if (code.size() != 4) throw std::invalid_argument("a four-character code must have exactly four characters");
  std::uint32_t v = 0;
  for (char c : code) v = (v << 8) | std::uint8_t(c);
  return static_cast<TypeID>(v);
}

TypeID TypeIdRegistry::stringId(std::string_view name) {
  if (name.empty()) throw std::invalid_argument("a string ID cannot be empty");
  if (auto it = byName_.find(name); it != byName_.end()) return it->second;
  const TypeID id = next_++;
  byName_.emplace(std::string(name), id);
  byId_.emplace(id, std::string(name));
  return id;
}

std::optional<std::string> TypeIdRegistry::charCode(TypeID id) {
  const auto v = static_cast<std::uint32_t>(id);
  std::string code(4, ' ');
  for (int i = 0; i < 4; ++i) {
    const auto c = char((v >> (8 * (3 - i))) & 0xFF);
    if (c < 0x20 || c > 0x7E) return std::nullopt;
    code[std::size_t(i)] = c;
  }
  return code;
}

std::optional<std::string> TypeIdRegistry::stringName(TypeID id) const {
  if (auto it = byId_.find(id); it != byId_.end()) return it->second;
  for (const auto& [name, value] : byName_)
    if (value == id) return name;
  return std::nullopt;
}

std::string TypeIdRegistry::describe(TypeID id) const {
  if (auto code = charCode(id)) return "'" + *code + "'";
  if (auto name = stringName(id)) return "\"" + *name + "\"";
  return std::to_string(id);
}

TypeIdRegistry& typeIds() {
  static TypeIdRegistry registry;
  return registry;
}

}  // namespace photoshop
