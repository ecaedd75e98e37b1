#include <gtest/gtest.h>

#include "support/parse_delimeted_str.h"

namespace {

TEST(ParseDelimetedStr, FirstInstancesOfTheProgramAreNumberedFromOne) {
  support::ParseDelimetedStr first;
  support::ParseDelimetedStr second;
  support::ParseDelimetedStr third;
  EXPECT_EQ(first.ClassDebugID(), 1);
  EXPECT_EQ(second.ClassDebugID(), 2);
  EXPECT_EQ(third.ClassDebugID(), 3);
}

}  // namespace
