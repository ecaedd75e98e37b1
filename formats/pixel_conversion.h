#pragma once
// From the colour modes and depths a Photoshop file may use to the engine's 8-bit RGBA.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/raster.h"

namespace formats {

enum class ColorMode : int { Bitmap = 0, Grayscale = 1, Indexed = 2, Rgb = 3, Cmyk = 4, Multichannel = 7, Duotone = 8, Lab = 9 };

// The mode's name for messages ("RGB", "grayscale", "multichannel"...).
const char* colorModeName(int mode);

// How many channels hold the colour of one pixel in this mode.
int colorChannelCount(ColorMode mode);
// True for the modes the codec can convert to RGB.
bool isSupportedMode(int mode);

enum class SampleKind { Color, Coverage };  // coverage (alpha, masks) never gets a tone curve

// A colour a 32-bit document gives in linear light (0..255 per channel), in sRGB as the
// document's pixels are converted.
engine::Rgb linearColorToSrgb(engine::Rgb linear);

// One channel's samples (`count` of them, big-endian at 16 and 32 bits) as 8-bit values. 16-bit
// samples are scaled; 32-bit samples are linear light: colour gets the sRGB curve, coverage is
// clamped. Bitmap data (1 bit, rows padded to bytes) becomes white for 0 and black for 1.
std::vector<std::uint8_t> toEightBit(std::vector<std::uint8_t> raw, int depth, std::size_t count, int width,
                                     SampleKind kind);

// The bytes one channel of width x height takes at this depth, before compression.
std::uint64_t channelByteSize(std::uint64_t width, std::uint64_t height, int depth);
std::uint64_t rowByteSize(std::uint64_t width, int depth);

using Palette = std::array<engine::Rgb, 256>;

// Fills the colour of `out` (which covers the planes' area) from the colour planes of `mode`;
// alpha is left as it is.
void convertToRgb(ColorMode mode, const std::vector<const std::uint8_t*>& planes, const Palette* palette,
                  engine::Raster& out);

}  // namespace formats
