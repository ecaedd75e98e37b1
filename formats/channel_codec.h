#pragma once
// Decoding and encoding of one channel's pixel data as Photoshop stores it: raw, PackBits per
// row, or zlib with or without prediction. Every claim the data makes (its size once decoded)
// is checked against what its compressed bytes could possibly hold before anything is allocated.

#include <cstdint>
#include <span>
#include <vector>

#include "formats/byte_reader.h"

namespace formats {

enum class Compression : int { Raw = 0, Rle = 1, Zip = 2, ZipPredicted = 3 };

struct ChannelShape {
  int width = 0;
  int height = 0;
  int depth = 8;       // bits per sample: 1, 8, 16 or 32
  bool wide = false;   // PSB: PackBits row sizes are 4 bytes
};

// Whether `payloadBytes` compressed this way can decode to `neededBytes` in `rows` rows.
bool claimFits(Compression compression, std::uint64_t payloadBytes, std::uint64_t neededBytes, std::uint64_t rows,
               bool wide);

// Refuses (through `r`) when `payloadBytes` of data compressed this way cannot decode to the
// shape's size: too short for raw data, or more expansion than the method allows.
void checkChannelClaim(const ByteReader& r, Compression compression, std::uint64_t payloadBytes,
                       const ChannelShape& shape, const char* what);

// The channel's samples at the file's depth, one row after another (rowByteSize x height), into
// `out` (resized; its memory is reused). `payload` is the data after the compression field.
void decodeChannel(const ByteReader& context, std::span<const std::uint8_t> payload, Compression compression,
                   const ChannelShape& shape, const char* what, std::vector<std::uint8_t>& out);

// PackBits rows whose sizes come from a separate table (the merged image keeps all sizes first).
void decodeRleRows(ByteReader& sizes, ByteReader& data, std::size_t rows, std::size_t rowBytes, bool wide,
                   std::uint8_t* out, const char* what);

}  // namespace formats
