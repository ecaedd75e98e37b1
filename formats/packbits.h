#pragma once
// PackBits run-length coding, the "RLE" compression of Photoshop channel rows.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace formats {

// Decodes one row into exactly out.size() bytes; false when the data is damaged (a run beyond
// the row, or the input ending early).
bool unpackBitsRow(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// Packs one row into `out`, which has room for the worst case (packBitsBound); returns the
// bytes written. Runs of three or more equal bytes (or two at the row's end) become runs.
std::size_t packBitsRow(const std::uint8_t* in, std::size_t n, std::uint8_t* out);
constexpr std::size_t packBitsBound(std::size_t n) { return n + (n + 127) / 128; }

// The most bytes one compressed byte can stand for: a two-byte run gives 128.
inline constexpr std::uint64_t kPackBitsMaxExpansion = 64;

}  // namespace formats
