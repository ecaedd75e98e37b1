#pragma once
// Big-endian output into a growing buffer, with length fields that are filled in once the
// section they measure has been written.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "formats/document_io.h"

namespace formats {

class ByteWriter {
 public:
  std::vector<std::uint8_t>& buffer() { return out_; }
  std::size_t size() const { return out_.size(); }

  void u8(std::uint8_t v) { out_.push_back(v); }
  void u16(std::uint16_t v) {
    out_.push_back(std::uint8_t(v >> 8));
    out_.push_back(std::uint8_t(v));
  }
  void i16(std::int16_t v) { u16(std::uint16_t(v)); }
  void u32(std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out_.push_back(std::uint8_t(v >> shift));
  }
  void i32(std::int32_t v) { u32(std::uint32_t(v)); }
  void f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u32(std::uint32_t(bits >> 32));
    u32(std::uint32_t(bits));
  }
  void tag(const char* fourCharacters) { bytes(fourCharacters, 4); }
  void bytes(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    out_.insert(out_.end(), p, p + n);
  }
  void bytes(std::span<const std::uint8_t> data) { out_.insert(out_.end(), data.begin(), data.end()); }
  void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
  void padTo(std::size_t multiple, std::size_t from = 0) {
    while ((out_.size() - from) % multiple) out_.push_back(0);
  }

  // Reserves a 4-byte length and returns where it is; endLength() stores the bytes written since.
  std::size_t beginLength() {
    const std::size_t at = out_.size();
    u32(0);
    return at;
  }
  void endLength(std::size_t at) {
    const std::uint64_t n = out_.size() - at - 4;
    if (n > 0xFFFFFFFFu) throw FormatError("the document is too large for a Photoshop file: a section exceeds 4 GB");
    patch32(at, std::uint32_t(n));
  }
  void patch32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[at + i] = std::uint8_t(v >> (24 - 8 * i));
  }
  void patch16(std::size_t at, std::uint16_t v) {
    out_[at] = std::uint8_t(v >> 8);
    out_[at + 1] = std::uint8_t(v);
  }

 private:
  std::vector<std::uint8_t> out_;
};

}  // namespace formats
