#pragma once
// Serial numbers that tell parser instances apart while debugging.

#include <cstdint>

namespace support::modClassIDGenerator {

// The number and description the platform gives an arithmetic overflow.
inline constexpr std::int32_t kOverflowErrorNumber = 6;

// One counter; GetNextClassDebugID uses the program-wide instance, tests make their own.
class DebugIDCounter {
 public:
  explicit DebugIDCounter(std::int32_t last = 0) : last_(last) {}
  // Adds one and returns the new value; raises the overflow error, and keeps the counter, when
  // the value would pass the largest 32-bit integer.
  std::int32_t Next();

 private:
  std::int32_t last_;
};

// Next serial number for the whole program: 1 for the first call.
std::int32_t GetNextClassDebugID();

}  // namespace support::modClassIDGenerator
