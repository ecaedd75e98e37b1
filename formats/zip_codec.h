#pragma once
// zlib ("ZIP") channel data of Photoshop files, with and without the row prediction that
// Photoshop applies before compressing.

#include <cstdint>
#include <span>
#include <vector>

namespace formats {

// Inflates `in` into exactly out.size() bytes; false when the stream is damaged or too short.
bool inflateExactly(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// Undoes Photoshop's prediction on `rows` rows of `width` samples of `depth` bits, in place.
// 8 and 16 bits: each sample is stored as the difference from the one to its left; 32 bits:
// each row's bytes are regrouped by significance first and then differenced byte by byte.
void undoPrediction(std::span<std::uint8_t> data, int width, int rows, int depth);

// The 8-bit prediction, for writing: each byte becomes the difference from the one to its left.
void applyPrediction(std::span<std::uint8_t> data, int width, int rows);

std::vector<std::uint8_t> deflateBytes(std::span<const std::uint8_t> in);

// zlib never expands beyond about 1032 to one; claims of more are damaged or hostile.
inline constexpr std::uint64_t kZipMaxExpansion = 1032;

}  // namespace formats
