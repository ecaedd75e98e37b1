#pragma once
// A cursor over big-endian bytes that checks every read against the end of its range first,
// so that a damaged or hostile file ends in a FormatError naming the file and never in a read
// beyond the buffer.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <utility>

#include "formats/document_io.h"

namespace formats {

[[noreturn]] void refuseFile(const std::string& name, const std::string& what);

// Big-endian values at `p`, for callers that have checked the bytes are there.
inline std::uint16_t loadU16(const std::uint8_t* p) { return std::uint16_t(p[0] << 8 | p[1]); }
inline std::uint32_t loadU32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}

class ByteReader {
 public:
  ByteReader(std::span<const std::uint8_t> bytes, std::string name) : bytes_(bytes), name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  std::size_t position() const { return pos_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t remaining() const { return bytes_.size() - pos_; }
  bool atEnd() const { return pos_ >= bytes_.size(); }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  [[noreturn]] void fail(const std::string& what) const { refuseFile(name_, what); }

  // Refuses unless `count` more bytes are there; `what` says what they were meant to be.
  void require(std::uint64_t count, const char* what) const {
    if (count > remaining())
      fail(std::string(what) + " needs " + std::to_string(count) + " bytes at offset " + std::to_string(pos_) +
           " but only " + std::to_string(remaining()) + " remain");
  }

  std::uint8_t u8(const char* what) {
    require(1, what);
    return bytes_[pos_++];
  }
  std::uint16_t u16(const char* what) {
    require(2, what);
    const std::uint16_t v = loadU16(bytes_.data() + pos_);
    pos_ += 2;
    return v;
  }
  std::int16_t i16(const char* what) { return std::int16_t(u16(what)); }
  std::uint32_t u32(const char* what) {
    require(4, what);
    const std::uint32_t v = loadU32(bytes_.data() + pos_);
    pos_ += 4;
    return v;
  }
  std::int32_t i32(const char* what) { return std::int32_t(u32(what)); }
  std::uint64_t u64(const char* what) {
    const std::uint64_t high = u32(what);
    return high << 32 | u32(what);
  }
  double f64(const char* what) {
    const std::uint64_t bits = u64(what);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  // A length field of 4 bytes, or 8 in a large-document (PSB) file where the format widens it.
  std::uint64_t length(bool wide, const char* what) { return wide ? u64(what) : u32(what); }

  std::span<const std::uint8_t> take(std::uint64_t count, const char* what) {
    require(count, what);
    auto out = bytes_.subspan(pos_, std::size_t(count));
    pos_ += std::size_t(count);
    return out;
  }
  void skip(std::uint64_t count, const char* what) { take(count, what); }
  bool startsWith(const char* tag) const {
    const std::size_t n = std::strlen(tag);
    return remaining() >= n && std::memcmp(bytes_.data() + pos_, tag, n) == 0;
  }
  void seek(std::size_t offset, const char* what) {
    if (offset > bytes_.size()) fail(std::string(what) + " lies beyond the end of the data");
    pos_ = offset;
  }

  // A sub-reader over the next `count` bytes; this reader moves past them.
  ByteReader sub(std::uint64_t count, const char* what) { return ByteReader(take(count, what), name_); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::string name_;  // owned: a reader may outlive the caller's copy of the file name
  std::size_t pos_ = 0;
};

}  // namespace formats
