#include "formats/packbits.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace formats {

bool unpackBitsRow(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
  std::size_t i = 0, o = 0;
  while (o < out.size()) {
    if (i >= in.size()) return false;
    const int header = std::int8_t(in[i++]);
    if (header >= 0) {
      const std::size_t n = std::size_t(header) + 1;
      if (n > in.size() - i || n > out.size() - o) return false;
      std::memcpy(out.data() + o, in.data() + i, n);
      i += n;
      o += n;
    } else if (header != -128) {
      const std::size_t n = std::size_t(1 - header);
      if (i >= in.size() || n > out.size() - o) return false;
      std::memset(out.data() + o, in[i++], n);
      o += n;
    }
    // -128 is a no-op by definition.
  }
  return true;
}

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

std::uint64_t load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

// Index of the first zero byte of `v` (8 when none). Bytes above the first zero may be
// misreported, which never matters because only the first one is used.
unsigned firstZeroByte(std::uint64_t v) {
  const std::uint64_t found = (v - kOnes) & ~v & kHighs;
  return found ? unsigned(std::countr_zero(found)) / 8 : 8;
}

// Length of the run of bytes equal to p[0], at most `limit`.
std::size_t runLength(const std::uint8_t* p, std::size_t limit) {
  const std::uint64_t pattern = kOnes * p[0];
  std::size_t run = 1;
  while (run + 8 <= limit) {
    const std::uint64_t differs = load64(p + run) ^ pattern;
    if (differs) return run + std::size_t(std::countr_zero(differs)) / 8;
    run += 8;
  }
  while (run < limit && p[run] == p[0]) ++run;
  return run;
}

// Where the literal stretch starting at `i` ends: the next place where three equal bytes start,
// at most 128 bytes on, or the row's end.
std::size_t literalEnd(const std::uint8_t* in, std::size_t i, std::size_t n) {
  const std::size_t limit = std::min(n, i + 128);
  std::size_t j = i + 1;
  while (j + 10 <= n && j < limit) {
    const std::uint64_t x = load64(in + j), y = load64(in + j + 1), z = load64(in + j + 2);
    const unsigned k = firstZeroByte((x ^ y) | (x ^ z));
    if (k < 8) return std::min(j + k, limit);
    j += 8;
  }
  while (j < limit && !(j + 2 < n && in[j] == in[j + 1] && in[j] == in[j + 2])) ++j;
  return std::min(j, limit);
}

}  // namespace

std::size_t packBitsRow(const std::uint8_t* in, std::size_t n, std::uint8_t* out) {
  std::uint8_t* o = out;
  std::size_t i = 0;
  while (i < n) {
    const std::size_t run = runLength(in + i, std::min<std::size_t>(128, n - i));
    if (run >= 3 || (run == 2 && i + run == n)) {
      *o++ = std::uint8_t(1 - int(run));
      *o++ = in[i];
      i += run;
      continue;
    }
    const std::size_t j = literalEnd(in, i, n);
    *o++ = std::uint8_t(j - i - 1);
    std::memcpy(o, in + i, j - i);
    o += j - i;
    i = j;
  }
  return std::size_t(o - out);
}

}  // namespace formats
