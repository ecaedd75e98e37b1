#pragma once
// PackBits run-length coding, the "RLE" compression of Photoshop channel rows.

#include <cstdint>
#include <span>
#include <vector>

namespace formats {

// Decodes one row into exactly out.size() bytes; false when the data is damaged (a run beyond
// the row, or the input ending early).
bool unpackBitsRow(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// Appends the encoded row to `out` and returns the number of bytes appended.
std::size_t packBitsRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out);

// The most bytes one compressed byte can stand for: a two-byte run gives 128.
inline constexpr std::uint64_t kPackBitsMaxExpansion = 64;

}  // namespace formats
