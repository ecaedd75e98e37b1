#include "formats/descriptor.h"

#include <cmath>

#include "formats/byte_writer.h"
#include "formats/descriptor_tree.h"
#include "formats/text_encoding.h"

namespace formats {

namespace {

constexpr int kMaxNesting = 32;

std::string readId(ByteReader& r) {
  const std::uint32_t n = r.u32("a descriptor key length");
  auto bytes = r.take(n ? n : 4, "a descriptor key");
  return std::string(bytes.begin(), bytes.end());
}

std::string readType(ByteReader& r) {
  auto bytes = r.take(4, "a descriptor value type");
  return std::string(bytes.begin(), bytes.end());
}

bool skipValue(ByteReader& r, const std::string& type, int depth);

bool skipDescriptorBody(ByteReader& r, int depth) {
  if (depth > kMaxNesting) r.fail("descriptors are nested too deeply");
  readDescriptorUnicode(r);
  readId(r);
  const std::uint32_t count = r.u32("a descriptor item count");
  // Every item needs at least a key and a type.
  if (std::uint64_t(count) * 8 > r.remaining()) r.fail("a descriptor claims more items than its data holds");
  for (std::uint32_t i = 0; i < count; ++i) {
    readId(r);
    if (!skipValue(r, readType(r), depth + 1)) return false;
  }
  return true;
}

bool skipReference(ByteReader& r) {
  const std::uint32_t count = r.u32("a reference item count");
  if (std::uint64_t(count) * 4 > r.remaining()) r.fail("a reference claims more items than its data holds");
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string form = readType(r);
    if (form == "prop") {
      readDescriptorUnicode(r);
      readId(r);
      readId(r);
    } else if (form == "Clss") {
      readDescriptorUnicode(r);
      readId(r);
    } else if (form == "Enmr") {
      readDescriptorUnicode(r);
      readId(r);
      readId(r);
      readId(r);
    } else if (form == "rele") {
      readDescriptorUnicode(r);
      readId(r);
      r.skip(4, "a reference offset");
    } else if (form == "Idnt" || form == "indx") {
      r.skip(4, "a reference number");
    } else if (form == "name") {
      readDescriptorUnicode(r);
      readId(r);
      readDescriptorUnicode(r);
    } else {
      return false;
    }
  }
  return true;
}

bool skipValue(ByteReader& r, const std::string& type, int depth) {
  if (type == "Objc" || type == "GlbO") return skipDescriptorBody(r, depth);
  if (type == "obj ") return skipReference(r);
  if (type == "VlLs") {
    const std::uint32_t count = r.u32("a list length");
    if (std::uint64_t(count) * 4 > r.remaining()) r.fail("a descriptor list claims more items than its data holds");
    for (std::uint32_t i = 0; i < count; ++i)
      if (!skipValue(r, readType(r), depth + 1)) return false;
    return true;
  }
  if (type == "doub") return r.skip(8, "a double value"), true;
  if (type == "UntF") return r.skip(12, "a unit value"), true;
  if (type == "long") return r.skip(4, "an integer value"), true;
  if (type == "comp") return r.skip(8, "a large integer value"), true;
  if (type == "bool") return r.skip(1, "a boolean value"), true;
  if (type == "TEXT") return readDescriptorUnicode(r), true;
  if (type == "enum") {
    readId(r);
    readId(r);
    return true;
  }
  if (type == "type" || type == "GlbC") {
    readDescriptorUnicode(r);
    readId(r);
    return true;
  }
  if (type == "alis" || type == "tdta" || type == "Pth ") {
    r.skip(r.u32("a data length"), "raw descriptor data");
    return true;
  }
  if (type == "UnFl") {
    r.skip(4, "a unit");
    const std::uint32_t count = r.u32("a value count");
    r.skip(std::uint64_t(count) * 8, "unit values");
    return true;
  }
  return false;
}

void writeId(ByteWriter& w, const char* id) {
  w.u32(0);
  w.tag(id);
}

// Photoshop writes descriptor names as one NUL character.
void writeEmptyName(ByteWriter& w) {
  w.u32(1);
  w.u16(0);
}

}  // namespace

std::string readDescriptorUnicode(ByteReader& r) {
  const std::uint32_t count = r.u32("a text length");
  auto bytes = r.take(std::uint64_t(count) * 2, "text");
  std::vector<std::uint16_t> units(count);
  for (std::uint32_t i = 0; i < count; ++i) units[i] = loadU16(&bytes[2 * i]);
  return utf16ToUtf8(units);
}

bool walkDescriptor(ByteReader& r, const std::function<bool(const DescriptorItem&, ByteReader& value)>& visit) {
  readDescriptorUnicode(r);
  readId(r);
  const std::uint32_t count = r.u32("a descriptor item count");
  if (std::uint64_t(count) * 8 > r.remaining()) r.fail("a descriptor claims more items than its data holds");
  for (std::uint32_t i = 0; i < count; ++i) {
    DescriptorItem item;
    item.key = readId(r);
    item.type = readType(r);
    item.valueOffset = r.position();
    ByteReader value = r;
    if (!visit(item, value)) return true;
    if (!skipValue(r, item.type, 1)) return false;
  }
  return true;
}

std::optional<engine::Rgb> solidFillColor(std::span<const std::uint8_t> block, const std::string& name) {
  ByteReader r(block, name);
  r.skip(4, "the fill's descriptor version");
  return colorOf(readDescriptorTree(r).find("Clr "));
}

std::vector<std::uint8_t> solidFillBlock(engine::Rgb color) {
  ByteWriter w;
  w.u32(16);
  writeEmptyName(w);
  writeId(w, "null");
  w.u32(1);
  writeId(w, "Clr ");
  w.tag("Objc");
  writeEmptyName(w);
  writeId(w, "RGBC");
  w.u32(3);
  const std::pair<const char*, std::uint8_t> components[] = {{"Rd  ", color.r}, {"Grn ", color.g}, {"Bl  ", color.b}};
  for (const auto& [key, value] : components) {
    writeId(w, key);
    w.tag("doub");
    w.f64(value);
  }
  return std::move(w.buffer());
}

std::optional<std::string> typeLayerText(std::span<const std::uint8_t> block, const std::string& name) {
  ByteReader r(block, name);
  // Version, transform (six doubles), text version, descriptor version.
  r.skip(2 + 48 + 2 + 4, "the type layer's header");
  std::optional<std::string> text;
  walkDescriptor(r, [&](const DescriptorItem& item, ByteReader& v) {
    if (item.key != "Txt " || item.type != "TEXT") return true;
    std::string words = readDescriptorUnicode(v);
    for (char& c : words)
      if (c == '\r') c = '\n';
    text = std::move(words);
    return false;
  });
  return text;
}

std::optional<std::size_t> effectsSwitchOffset(std::span<const std::uint8_t> block, const std::string& name) {
  ByteReader r(block, name);
  r.skip(8, "the effects' versions");
  std::optional<std::size_t> at;
  walkDescriptor(r, [&](const DescriptorItem& item, ByteReader& v) {
    if (item.key != "masterFXSwitch") return true;
    if (item.type == "bool") at = v.position();
    return false;
  });
  return at;
}

}  // namespace formats
