// The PackBits encoder finds runs and run starts a word at a time; these rows put runs, run
// starts and row ends at every position around those words.

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "formats/packbits.h"

namespace {

std::vector<std::uint8_t> pack(const std::vector<std::uint8_t>& row) {
  std::vector<std::uint8_t> out(formats::packBitsBound(row.size()));
  out.resize(formats::packBitsRow(row.data(), row.size(), out.data()));
  return out;
}

void expectRoundTrip(const std::vector<std::uint8_t>& row, const std::string& what) {
  const std::vector<std::uint8_t> packed = pack(row);
  std::vector<std::uint8_t> back(row.size());
  ASSERT_TRUE(formats::unpackBitsRow(packed, back)) << what;
  EXPECT_EQ(back, row) << what;
}

// No two neighbours equal.
std::vector<std::uint8_t> distinct(std::size_t n) {
  std::vector<std::uint8_t> row(n);
  for (std::size_t i = 0; i < n; ++i) row[i] = std::uint8_t(i * 7 % 251 + 1);
  return row;
}

TEST(PackBits, UniformRowsBecomeRunsOf128AndRunsAreFoundAtEveryOffset) {
  for (std::size_t n : {1u, 2u, 3u, 8u, 9u, 127u, 128u, 129u, 256u, 1000u}) {
    const std::vector<std::uint8_t> row(n, 0x5A);
    expectRoundTrip(row, "uniform " + std::to_string(n));
    // One byte alone is a literal of one: two bytes as well.
    EXPECT_EQ(pack(row).size(), 2 * ((n + 127) / 128)) << n;
  }
  for (std::size_t at = 1; at < 40; ++at) {
    std::vector<std::uint8_t> row = distinct(60);
    for (std::size_t i = at; i < at + 4; ++i) row[i] = 0;
    expectRoundTrip(row, "run of four at " + std::to_string(at));
    // A literal up to the run, the run, and the rest as another literal.
    EXPECT_EQ(pack(row).size(), (1 + at) + 2 + (1 + 60 - at - 4)) << at;
  }
}

TEST(PackBits, RunsAndLiteralsAtTheirLimits) {
  std::vector<std::uint8_t> pairEnd = distinct(20);
  pairEnd[19] = pairEnd[18];
  std::vector<std::uint8_t> mixed;
  for (int block = 0; block < 40; ++block) {
    const std::vector<std::uint8_t> literal = distinct(std::size_t(block * 13 % 150 + 1));
    mixed.insert(mixed.end(), literal.begin(), literal.end());
    mixed.insert(mixed.end(), std::size_t(block * 29 % 140 + 1), std::uint8_t(block));
  }
  expectRoundTrip(distinct(300), "literals longer than 128");
  expectRoundTrip(pairEnd, "two equal bytes at the end");
  expectRoundTrip(mixed, "runs and literals of many lengths");
  EXPECT_LE(pack(distinct(300)).size(), formats::packBitsBound(300));
}

}  // namespace
