// quillary-build's own parts: its command line and the grid it arranges the buttons in.

#include <gtest/gtest.h>

#include "tools/build/build_request.h"
#include "tools/build/button_grid.h"

using namespace build;

// Whatever the count and the size, the buttons lie inside the area, apart from one another,
// in reading order, with the same gap between neighbours across a row and down a column.
TEST(Grid, ButtonsStayInsideTheAreaApartAndEvenlySpacedOrSayHowManyWouldFit) {
  const struct {
    const char* name;
    Box area;
    double width, height;
    int count;
  } menus[] = {{"one button", {72, 120, 648, 486}, 160, 40, 1},
               {"four in a row", {72, 120, 648, 486}, 120, 40, 4},
               {"ten in three columns", {72, 120, 648, 486}, 160, 60, 10},
               {"ten exactly filling", {0, 0, 500, 100}, 100, 50, 10},
               {"ten on full HD", {192, 200, 1728, 972}, 300, 120, 10}};
  for (const auto& c : menus) {
    SCOPED_TRACE(c.name);
    const GridPlan plan = planGrid(c.area, c.width, c.height, c.count);
    ASSERT_EQ(plan.places.size(), std::size_t(c.count)) << plan.fits << " fit";
    EXPECT_GE(plan.fits, c.count);
    for (std::size_t i = 0; i < plan.places.size(); ++i) {
      const Box& b = plan.places[i];
      EXPECT_TRUE(b.left >= c.area.left - 0.5 && b.top >= c.area.top - 0.5 && b.right <= c.area.right + 0.5 &&
                  b.bottom <= c.area.bottom + 0.5)
          << "button " << i + 1 << " leaves the area";
      EXPECT_DOUBLE_EQ(b.width(), c.width);
      for (std::size_t j = 0; j < i; ++j) {
        const Box& a = plan.places[j];
        const bool apart = a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
        EXPECT_TRUE(apart) << "buttons " << j + 1 << " and " << i + 1 << " overlap";
        EXPECT_TRUE(a.top < b.top || (a.top == b.top && a.left < b.left)) << "reading order";
      }
    }
    if (plan.places.size() >= 3 && plan.places[2].top == plan.places[0].top) {
      EXPECT_NEAR(plan.places[1].left - plan.places[0].right, plan.places[2].left - plan.places[1].right, 1.0);
    }
  }

  // Buttons that do not fit say how many would.
  const GridPlan plan = planGrid({72, 120, 648, 486}, 300, 100, 10);
  EXPECT_TRUE(plan.places.empty());
  EXPECT_EQ(plan.fits, 3);  // one column of 300 pixels in 576, three rows of 100 in 366
  EXPECT_TRUE(planGrid({0, 0, 100, 100}, 120, 10, 1).places.empty()) << "wider than the area";
  EXPECT_TRUE(planGrid({0, 200, 100, 100}, 10, 10, 1).places.empty()) << "an area turned inside out";
}

static std::vector<std::string> withFiles(std::vector<std::string> more) {
  std::vector<std::string> args{"--background", "b.png", "--template", "t.psd", "--output", "o.psd"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(CommandLine, BadLinesAreRefusedWithTheirReasonAndOptionNamesAreCaseInsensitive) {
  const std::pair<std::vector<std::string>, const char*> refused[] = {
      {withFiles({"--buttons", "0"}), "from 1 to 10"},
      {withFiles({"--buttons", "11"}), "from 1 to 10"},
      {withFiles({"--buttons", "3.5"}), "whole number"},
      {withFiles({"--buttons", "abc"}), "whole number"},
      {withFiles({"--option", "Sparkle=on"}), "unknown option"},
      {withFiles({"--option", "IncludeMenuTitleArea"}), "=on or =off"},
      {withFiles({"--width", "1920"}), "go together"},
      {withFiles({"--colour"}), "unknown argument"},
      {withFiles({"--buttons"}), "needs a value"},
      {{"--background", "b.png", "--template", "t.psd"}, "required"},
      {{"--background", "b", "--template", "t", "--output", "o.png"}, ".psd"},
      {withFiles({"--arrange", "circle"}), "keep or grid"}};
  for (const auto& [args, says] : refused) {
    SCOPED_TRACE(args[args.size() - 2] + " " + args.back());
    try {
      parseArguments(args);
      ADD_FAILURE() << "accepted";
    } catch (const RequestError& error) {
      EXPECT_NE(std::string(error.what()).find(says), std::string::npos) << error.what();
    }
  }

  // Option names are case-insensitive and keep their order.
  const BuildRequest r = parseArguments(
      withFiles({"--option", "enablenextprevbuttons=off", "--option", "KEEPBUTTONIMAGEHILITE=On", "--buttons", "10",
                 "--width", "1920", "--height", "1080", "--arrange", "keep"}));
  ASSERT_EQ(r.options.size(), 2u);
  EXPECT_STREQ(r.options[0].first->name, "EnableNextPrevButtons");
  EXPECT_FALSE(r.options[0].second);
  EXPECT_TRUE(r.options[1].first->markIsInverse);
  EXPECT_TRUE(r.options[1].second);
  EXPECT_EQ(r.buttons, 10);
  EXPECT_EQ(r.width, 1920);
  EXPECT_EQ(r.arrange, Arrange::Keep);
}
