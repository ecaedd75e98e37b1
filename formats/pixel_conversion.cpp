#include "formats/pixel_conversion.h"

#include "formats/byte_reader.h"

#include <algorithm>
#include <cmath>
#include <bit>
#include <cstring>

namespace formats {

const char* colorModeName(int mode) {
  switch (mode) {
    case 0: return "bitmap";
    case 1: return "grayscale";
    case 2: return "indexed";
    case 3: return "RGB";
    case 4: return "CMYK";
    case 7: return "multichannel";
    case 8: return "duotone";
    case 9: return "Lab";
    default: return "unknown";
  }
}

int colorChannelCount(ColorMode mode) {
  switch (mode) {
    case ColorMode::Rgb:
    case ColorMode::Lab: return 3;
    case ColorMode::Cmyk: return 4;
    default: return 1;
  }
}

bool isSupportedMode(int mode) {
  switch (ColorMode(mode)) {
    case ColorMode::Bitmap:
    case ColorMode::Grayscale:
    case ColorMode::Indexed:
    case ColorMode::Rgb:
    case ColorMode::Cmyk:
    case ColorMode::Duotone:
    case ColorMode::Lab: return true;
    default: return false;
  }
}

std::uint64_t rowByteSize(std::uint64_t width, int depth) {
  return depth == 1 ? (width + 7) / 8 : width * std::uint64_t(depth / 8);
}

std::uint64_t channelByteSize(std::uint64_t width, std::uint64_t height, int depth) {
  return rowByteSize(width, depth) * height;
}

namespace {

std::uint8_t clampUnit(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 1.0f) return 255;
  return std::uint8_t(std::lround(v * 255.0f));
}

void labToRgb(std::uint8_t l8, std::uint8_t a8, std::uint8_t b8, std::uint8_t* rgb) {
  const engine::ColorF c = engine::labToSrgb(l8 * 100.0 / 255.0, a8 - 128.0, b8 - 128.0);
  rgb[0] = std::uint8_t(std::lround(c.r));
  rgb[1] = std::uint8_t(std::lround(c.g));
  rgb[2] = std::uint8_t(std::lround(c.b));
}

}  // namespace

engine::Rgb linearColorToSrgb(engine::Rgb c) {
  return {engine::srgbByte(c.r / 255.0f), engine::srgbByte(c.g / 255.0f), engine::srgbByte(c.b / 255.0f)};
}

std::vector<std::uint8_t> toEightBit(std::vector<std::uint8_t> raw, int depth, std::size_t count, int width,
                                     SampleKind kind) {
  if (depth == 8) {
    raw.resize(count);
    return raw;
  }
  std::vector<std::uint8_t> out(count);
  switch (depth) {
    case 16:
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t v = loadU16(&raw[2 * i]);
        out[i] = std::uint8_t((v * 255 + 32767) / 65535);
      }
      break;
    case 32:
      for (std::size_t i = 0; i < count; ++i) {
        const float v = std::bit_cast<float>(loadU32(&raw[4 * i]));
        out[i] = kind == SampleKind::Color ? engine::srgbByte(v) : clampUnit(v);
      }
      break;
    case 1: {
      const std::size_t w = std::size_t(width), rowBytes = (w + 7) / 8;
      for (std::size_t i = 0; i < count; ++i) {
        const std::size_t y = i / w, x = i % w;
        const bool black = raw[y * rowBytes + x / 8] & (0x80 >> (x % 8));
        out[i] = black ? 0 : 255;
      }
      break;
    }
    default: break;
  }
  return out;
}

void convertToRgb(ColorMode mode, const std::vector<const std::uint8_t*>& planes, const Palette* palette,
                  engine::Raster& out) {
  const std::size_t n = std::size_t(out.bounds().area());
  std::uint8_t* px = out.mutableData();
  switch (mode) {
    case ColorMode::Rgb:
      for (std::size_t i = 0; i < n; ++i, px += 4) {
        px[0] = planes[0][i];
        px[1] = planes[1][i];
        px[2] = planes[2][i];
      }
      break;
    case ColorMode::Indexed:
      for (std::size_t i = 0; i < n; ++i, px += 4) {
        const engine::Rgb c = (*palette)[planes[0][i]];
        px[0] = c.r;
        px[1] = c.g;
        px[2] = c.b;
      }
      break;
    case ColorMode::Cmyk:
      // Stored inverted: 255 is no ink. A plain conversion without a profile.
      for (std::size_t i = 0; i < n; ++i, px += 4) {
        const int k = planes[3][i];
        px[0] = std::uint8_t(planes[0][i] * k / 255);
        px[1] = std::uint8_t(planes[1][i] * k / 255);
        px[2] = std::uint8_t(planes[2][i] * k / 255);
      }
      break;
    case ColorMode::Lab:
      for (std::size_t i = 0; i < n; ++i, px += 4) labToRgb(planes[0][i], planes[1][i], planes[2][i], px);
      break;
    default:
      for (std::size_t i = 0; i < n; ++i, px += 4) px[0] = px[1] = px[2] = planes[0][i];
      break;
  }
}

}  // namespace formats
