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
  std::size_t i = 0;
  while (i < n) {
    // Length of the run of equal bytes starting here.
    std::size_t run = 1;
    while (i + run < n && run < 128 && row[i + run] == row[i]) ++run;
    if (run >= 3 || (run == 2 && i + run == n)) {
      out.push_back(std::uint8_t(1 - int(run)));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    // A literal stretch: up to the next run of three or more equal bytes.
    std::size_t j = i;
    while (j < n && j - i < 128) {
      if (j + 2 < n && row[j] == row[j + 1] && row[j] == row[j + 2]) break;
      ++j;
    }
    if (j == i) j = i + 1;
    out.push_back(std::uint8_t(j - i - 1));
    out.insert(out.end(), row.begin() + std::ptrdiff_t(i), row.begin() + std::ptrdiff_t(j));
    i = j;
  }
  return out.size() - start;
}

}  // namespace formats
