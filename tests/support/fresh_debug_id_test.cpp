#include <gtest/gtest.h>

#include "support/parse_delimeted_str.h"

TEST(ParseDelimetedStr, FirstInstancesOfTheProgramAreNumberedFromOne) {
  const support::ParseDelimetedStr first, second, third;
  EXPECT_EQ(std::tuple(first.ClassDebugID(), second.ClassDebugID(), third.ClassDebugID()), std::tuple(1, 2, 3));
}
