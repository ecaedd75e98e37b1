#include "formats/packbits.h"

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

std::size_t packBitsRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out) {
  const std::size_t start = out.size();
  const std::size_t n = row.size();
  // At worst every 128 bytes take one header byte more.
  out.resize(start + n + n / 128 + 1);
  std::uint8_t* o = out.data() + start;
  const std::uint8_t* in = row.data();
  std::size_t i = 0;
  while (i < n) {
    // Length of the run of equal bytes starting here.
    std::size_t run = 1;
    while (i + run < n && run < 128 && in[i + run] == in[i]) ++run;
    if (run >= 3 || (run == 2 && i + run == n)) {
      *o++ = std::uint8_t(1 - int(run));
      *o++ = in[i];
      i += run;
      continue;
    }
    // A literal stretch: up to the next run of three or more equal bytes.
    std::size_t j = i + 1;
    while (j < n && j - i < 128 && !(j + 2 < n && in[j] == in[j + 1] && in[j] == in[j + 2])) ++j;
    *o++ = std::uint8_t(j - i - 1);
    std::memcpy(o, in + i, j - i);
    o += j - i;
    i = j;
  }
  out.resize(std::size_t(o - out.data()));
  return out.size() - start;
}

}  // namespace formats
