// Colour values, the foreground and background colour procedures, and colour table selections.

#include <gtest/gtest.h>

#include "photoshop/color_operations.h"
#include "photoshop_fixtures.h"

using namespace photoshop;
using fixtures::pixelApplication;

TEST(ColorValues, SplitIntoBytesIgnoringTheTopByte) {
  EXPECT_EQ(RGBValue(239, 253, 0), 239 + 256 * 253);
  EXPECT_EQ(RGBValue(300, -4, 255), RGBValue(255, 0, 255));
  for (const std::int32_t v : {RGBValue(128, 128, 128), RGBValue(1, 2, 3), 16777215, 0}) {
    const ColorComponents c = SplitColorValue(v);
    EXPECT_EQ(RGBValue(c.Red, c.Green, c.Blue), v);
    const ColorComponents high = SplitColorValue(std::int32_t(0xAB000000u | std::uint32_t(v)));
    EXPECT_EQ(std::tie(high.Red, high.Green, high.Blue), std::tie(c.Red, c.Green, c.Blue));
  }
  const ColorComponents grey = SplitColorValue(RGBValue(128, 128, 128));
  EXPECT_EQ(std::tie(grey.Red, grey.Green, grey.Blue), std::make_tuple(128, 128, 128));
}

TEST(SetPSColors, SetTheApplicationColourAndLeaveItInWorkSolidColor) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(10, 10);
  SolidColor work;
  SetPSForegroundColor(app, work, std::int32_t(0x7F000000u | std::uint32_t(RGBValue(10, 20, 30))));
  EXPECT_EQ(app.ForegroundColor().RGB().Blue(), 30);
  EXPECT_EQ(work.RGB().Green(), 20);
  SetPSBackgroundColor(app, work, 16777215);
  EXPECT_EQ(app.BackgroundColor().RGB().Red(), 255);
  EXPECT_EQ(app.ForegroundColor().RGB().Red(), 10) << "only the background changed";

  // A fill with WorkSolidColor now paints the colour set last, whichever colour that was.
  SetPSBackgroundColor(app, work, RGBValue(0, 0, 200));
  doc.Selection().Fill(work);
  EXPECT_EQ(fixtures::pixel(doc, doc.ArtLayers()(1), 5, 5), (engine::Rgb{0, 0, 200}));

  app.faults().failMember("ForegroundColor=", engine::ErrorCode::Busy);
  EXPECT_THROW(SetPSForegroundColor(app, work, 0), AutomationError);
}

// Replacing and adding cells are checked through the colour table control's presses.
TEST(SelectColorTableCells, ADegenerateRegionSelectsNothingAndACoordinateBeyondSixteenBitsOverflowsBeforeAnyCall) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(200, 200);
  SelectColorTableCells(app, 0, 0, 1, 7, ps::ReplaceSelection);
  SelectColorTableCells(app, 2, 2, 2, 5, ps::ReplaceSelection);
  EXPECT_FALSE(doc.Selection().Solid());

  app.calls().setEnabled(true);
  for (const auto& cells : {std::array<std::int16_t, 4>{1635, 0, 1, 1}, std::array<std::int16_t, 4>{0, 1639, 1, 1},
                            std::array<std::int16_t, 4>{0, 0, -1700, 1}}) {
    const AutomationError e = fixtures::errorOf(
        [&] { SelectColorTableCells(app, cells[0], cells[1], cells[2], cells[3], ps::ReplaceSelection); });
    EXPECT_EQ(e.Number(), kOverflowErrorNumber);
    EXPECT_EQ(e.Description(), "Overflow");
  }
  EXPECT_TRUE(app.calls().calls().empty());
  SelectColorTableCells(app, 1634, 1637, 0, 0, ps::ReplaceSelection);  // 32750, 32760: still in range
}
