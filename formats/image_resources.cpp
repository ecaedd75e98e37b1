#include "formats/image_resources.h"

#include <algorithm>
#include <cmath>

namespace formats {

std::shared_ptr<const std::vector<std::uint8_t>> shareBytes(std::vector<std::uint8_t> bytes) {
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

std::vector<engine::ImageResource> parseImageResources(ByteReader r) {
  std::vector<engine::ImageResource> out;
  while (r.remaining() > 0) {
    // Some writers pad the section; a block needs at least its 12-byte head.
    if (r.remaining() < 12) break;
    auto signature = r.take(4, "an image resource signature");
    if (std::string(signature.begin(), signature.end()) != "8BIM" &&
        std::string(signature.begin(), signature.end()) != "MeSa")
      r.fail("an image resource block lacks its signature at offset " + std::to_string(r.position() - 4));
    engine::ImageResource block;
    block.id = r.u16("an image resource id");
    const std::uint8_t nameLength = r.u8("an image resource name");
    auto name = r.take(nameLength, "an image resource name");
    block.name.assign(name.begin(), name.end());
    if ((nameLength + 1) % 2) r.skip(1, "an image resource name's padding");
    const std::uint32_t size = r.u32("an image resource size");
    auto data = r.take(size, "an image resource");
    block.data = shareBytes(std::vector<std::uint8_t>(data.begin(), data.end()));
    if (size % 2 && r.remaining() > 0) r.skip(1, "an image resource's padding");
    out.push_back(std::move(block));
  }
  return out;
}

void writeImageResource(ByteWriter& w, std::uint16_t id, const std::string& name, std::span<const std::uint8_t> data) {
  w.tag("8BIM");
  w.u16(id);
  const std::size_t nameLength = std::min<std::size_t>(name.size(), 255);
  w.u8(std::uint8_t(nameLength));
  w.bytes(name.data(), nameLength);
  if ((nameLength + 1) % 2) w.u8(0);
  w.u32(std::uint32_t(data.size()));
  w.bytes(data);
  if (data.size() % 2) w.u8(0);
}

std::optional<double> resolutionOf(std::span<const std::uint8_t> data) {
  if (data.size() < 16) return std::nullopt;
  const std::uint32_t fixed = loadU32(data.data());
  const double ppi = fixed / 65536.0;
  if (!(ppi > 0.0)) return std::nullopt;
  return ppi;
}

namespace {
std::uint32_t toFixed(double v) {
  if (!(v > 0.0)) v = 72.0;
  return std::uint32_t(std::lround(std::fmin(v, 65535.0) * 65536.0));
}
void putFixed(std::vector<std::uint8_t>& data, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) data[at + i] = std::uint8_t(v >> (24 - 8 * i));
}
}  // namespace

std::vector<std::uint8_t> resolutionResource(double pixelsPerInch) {
  // Horizontal then vertical: resolution, its display unit (1 = pixels per inch), the unit of
  // width or height (2 = inches).
  std::vector<std::uint8_t> data = {0, 0, 0, 0, 0, 1, 0, 2, 0, 0, 0, 0, 0, 1, 0, 2};
  putFixed(data, 0, toFixed(pixelsPerInch));
  putFixed(data, 8, toFixed(pixelsPerInch));
  return data;
}

std::vector<std::uint8_t> withResolution(std::span<const std::uint8_t> data, double pixelsPerInch) {
  if (data.size() < 16) return resolutionResource(pixelsPerInch);
  std::vector<std::uint8_t> out(data.begin(), data.end());
  putFixed(out, 0, toFixed(pixelsPerInch));
  putFixed(out, 8, toFixed(pixelsPerInch));
  return out;
}

}  // namespace formats
