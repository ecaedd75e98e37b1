#include "formats/descriptor_tree.h"

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

}  // namespace formats
