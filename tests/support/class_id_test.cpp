#include <gtest/gtest.h>

#include <limits>

#include "support/mod_class_id_generator.h"
#include "support/mod_error_handling.h"
#include "support/raised_error.h"

namespace {

using support::RaisedError;
using support::modClassIDGenerator::DebugIDCounter;

TEST(DebugIDCounter, OverflowRaisesAndKeepsTheCounter) {
  constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
  DebugIDCounter counter(largest - 1);
  EXPECT_EQ(counter.Next(), largest);
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      counter.Next();
      FAIL() << "no overflow was raised";
    } catch (const RaisedError& error) {
      EXPECT_EQ(error.Number(), 6);
      EXPECT_EQ(error.Description(), "Overflow");
    }
  }
}

TEST(ModErrorHandling, RaisesInTheApplicationRange) {
  using namespace support::modErrorHandling;
  EXPECT_EQ(GetErrorText(9999), "An unknown error has occurred!");
  EXPECT_EQ(GetErrorText(0), "An unknown error has occurred!");
  try {
    RaiseError(9999, "Somewhere");
  } catch (const RaisedError& error) {
    EXPECT_EQ(error.Number(), -2147211505);
    EXPECT_EQ(error.Source(), "Somewhere");
    EXPECT_EQ(error.Description(), "An unknown error has occurred!");
    return;
  }
  FAIL() << "no error was raised";
}

}  // namespace
