#include "formats/channel_codec.h"

#include <cstring>

#include "formats/packbits.h"
#include "formats/pixel_conversion.h"
#include "formats/zip_codec.h"

namespace formats {

bool claimFits(Compression compression, std::uint64_t payloadBytes, std::uint64_t neededBytes, std::uint64_t rows,
               bool wide) {
  if (neededBytes == 0) return true;
  switch (compression) {
    case Compression::Raw: return payloadBytes >= neededBytes;
    case Compression::Rle: {
      const std::uint64_t table = rows * (wide ? 4 : 2);
      return payloadBytes >= table && (payloadBytes - table) * kPackBitsMaxExpansion >= neededBytes;
    }
    case Compression::Zip:
    case Compression::ZipPredicted: return payloadBytes * kZipMaxExpansion >= neededBytes;
  }
  return false;
}

void checkChannelClaim(const ByteReader& r, Compression compression, std::uint64_t payloadBytes,
                       const ChannelShape& shape, const char* what) {
  const std::uint64_t w = std::uint64_t(shape.width), h = std::uint64_t(shape.height);
  if (!claimFits(compression, payloadBytes, channelByteSize(w, h, shape.depth), h, shape.wide))
    r.fail(std::string(what) + " claims " + std::to_string(w) + " x " + std::to_string(h) + " pixels but its " +
           std::to_string(payloadBytes) + " bytes of data cannot hold them");
}

void decodeRleRows(ByteReader& sizes, ByteReader& data, std::size_t rows, std::size_t rowBytes, bool wide,
                   std::uint8_t* out, const char* what) {
  for (std::size_t y = 0; y < rows; ++y) {
    const std::uint64_t n = wide ? sizes.u32("a row size") : sizes.u16("a row size");
    auto packed = data.take(n, what);
    if (!unpackBitsRow(packed, std::span(out + y * rowBytes, rowBytes)))
      data.fail(std::string(what) + " has a damaged run-length row (" + std::to_string(y) + ")");
  }
}

void decodeChannel(const ByteReader& context, std::span<const std::uint8_t> payload, Compression compression,
                   const ChannelShape& shape, const char* what, std::vector<std::uint8_t>& out) {
  checkChannelClaim(context, compression, payload.size(), shape, what);
  const std::size_t rowBytes = std::size_t(rowByteSize(std::uint64_t(shape.width), shape.depth));
  const std::size_t total = rowBytes * std::size_t(shape.height);
  out.resize(total);
  if (total == 0) return;
  switch (compression) {
    case Compression::Raw: std::memcpy(out.data(), payload.data(), total); break;
    case Compression::Rle: {
      ByteReader all(payload, context.name());
      ByteReader sizes = all.sub(std::uint64_t(shape.height) * (shape.wide ? 4 : 2), "run-length row sizes");
      decodeRleRows(sizes, all, std::size_t(shape.height), rowBytes, shape.wide, out.data(), what);
      break;
    }
    case Compression::Zip:
    case Compression::ZipPredicted:
      if (!inflateExactly(payload, out)) context.fail(std::string(what) + " has damaged zip data");
      if (compression == Compression::ZipPredicted) {
        if (shape.depth == 1) context.fail(std::string(what) + " uses prediction on 1-bit data");
        undoPrediction(out, shape.width, shape.height, shape.depth);
      }
      break;
  }
}

}  // namespace formats
