#include "support/twips.h"

#include <gtest/gtest.h>

namespace {

TEST(Twips, FifteenTwipsPerPixelAtNinetySixDpi) {
  EXPECT_DOUBLE_EQ(support::pixelsToTwips(60, 96), 900);
  EXPECT_DOUBLE_EQ(support::twipsToPixels(1575, 96), 105);
  EXPECT_DOUBLE_EQ(support::pixelsToTwips(10, 144), 100);
  EXPECT_DOUBLE_EQ(support::twipsToPixels(support::pixelsToTwips(37, 120), 120), 37);
}

}  // namespace
