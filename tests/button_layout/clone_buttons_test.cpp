// Clone Button Template on the real engine: the copies' names, places, colours, labels and link
// groups; the button count question; fill and text layers; vector masks moving with the copies.

#include "engine/vector_mask.h"
#include "engine/layer_blocks_fixtures.h"
#include "workflow_fixture.h"

using namespace layout_test;
using app::MsgBoxResult;

namespace {

int offset(int n) { return ((n - 1) * 40) % 300; }

class CloneCount : public WorkflowTest, public ::testing::WithParamInterface<int> {};

}  // namespace

TEST_P(CloneCount, EachButtonIsPlacedColouredLabelledAndLinked) {
  const int count = GetParam();
  createMenu();
  clone(count);
  app::Form1& f = form();
  const Document menu = doc("Build Menu");
  // Each copy lands above the active "Background", at the top level, in the order it was made.
  std::vector<std::string> expected{"Color Table"};
  for (int n = 1; n <= count; ++n) expected.push_back("Btn " + std::to_string(n));
  expected.insert(expected.end(), {"Btn Next", "Btn Prev", "Title Area", "Background"});
  std::vector<std::string> top;
  for (const std::string& name : topLevel(menu))
    if (name != "Title Safe Zones") top.push_back(name);
  EXPECT_EQ(top, expected);
  EXPECT_FALSE(menu.ArtLayers()("Color Table").Visible());

  for (int n = 1; n <= count; ++n) {
    const std::string set = "Btn " + std::to_string(n);
    const engine::Rgb color = colorValue(f.ButtonColors[std::size_t(n - 1)]);
    EXPECT_EQ(member(menu, set, "Button Area").pixels.bounds(), (engine::Rect{100, 100, 300, 140}.translated(0, offset(n))))
        << set;
    EXPECT_EQ(rgb(member(menu, set, "Button Area"), 150, 120 + offset(n)), color) << set;
    EXPECT_EQ(rgb(member(menu, set, "Thumb Area"), 350, 120 + offset(n)), color) << set;
    EXPECT_EQ(rgb(member(menu, set, "Text Area"), 450, 120 + offset(n)), color) << set;
    EXPECT_EQ(rgb(member(menu, set, "Button Image"), 150, 120 + offset(n)), kTemplateColor) << "not recoloured";
    EXPECT_EQ(node(menu.LayerSets()(set), menu).colorLabel, engine::ColorLabel::Green) << set;
  }
  EXPECT_EQ(node(menu.LayerSets()("Btn Next"), menu).colorLabel, engine::ColorLabel::Violet);
  EXPECT_EQ(node(menu.LayerSets()("Btn Prev"), menu).colorLabel, engine::ColorLabel::Violet);
  EXPECT_EQ(member(menu, "Btn Next", "Button Area").pixels.bounds(), (engine::Rect{600, 400, 660, 430})) << "not moved";
  EXPECT_EQ(rgb(node(menu.ArtLayers()("Title Area"), menu), 300, 40), (engine::Rgb{127, 127, 127}));

  // One button's layers move together, and no other button's.
  const std::string moved = count > 1 ? "Btn 2" : "Btn 1";
  const char* const partners[] = {"Button Image", "Button Area", "Thumb Mask", "Hilite Mask", "Text Area"};
  std::vector<int> before;
  for (const char* layer : partners) before.push_back(member(menu, moved, layer).pixels.bounds().left);
  engine.SetActiveDocument(menu);
  menu.LayerSets()(moved).ArtLayers()("Thumb Area").Translate(7, 0);
  for (std::size_t i = 0; i < std::size(partners); ++i)
    EXPECT_EQ(member(menu, moved, partners[i]).pixels.bounds().left, before[i] + 7) << partners[i];
  if (count > 1) {
    EXPECT_EQ(member(menu, "Btn 1", "Thumb Area").pixels.bounds().left, 320);
  }

  EXPECT_EQ(f.WorkflowState, app::EditClonedLayout);
  EXPECT_EQ(menu.Info().KeyWords().at(0), "Clone Buttons Complete");
  EXPECT_EQ(view.pointers.back(), app::MousePointer::Default);
}

INSTANTIATE_TEST_SUITE_P(Buttons, CloneCount, ::testing::Values(1, 3, 10),
                         [](const auto& row) { return "Buttons" + std::to_string(row.param); });

namespace {

struct CountAnswers {
  const char* name;
  std::vector<std::string> typed;
  int outOfRange;       // "Button Count Out of Range 1..10." shown this often
  int clonedButtons;    // 0: cancelled
};

void PrintTo(const CountAnswers& c, std::ostream* os) { *os << c.name; }

class CountQuestion : public WorkflowTest, public ::testing::WithParamInterface<CountAnswers> {};

}  // namespace

TEST_P(CountQuestion, OnlyAWholeNumberFromOneToTenIsTaken) {
  createMenu();
  for (const std::string& answer : GetParam().typed) view.inputs.push_back(answer);
  view.messages.clear();
  form().CloneButtons_Click();
  int outOfRange = 0, canceled = 0;
  for (const auto& m : view.messages) {
    outOfRange += m.text == "Button Count Out of Range 1..10.";
    canceled += m.text == "Cloning Canceled";
  }
  EXPECT_EQ(outOfRange, GetParam().outOfRange) << transcript();
  const Document menu = doc("Build Menu");
  int sets = 0;
  for (const std::string& name : topLevel(menu)) sets += name.rfind("Btn ", 0) == 0;
  if (GetParam().clonedButtons == 0) {
    EXPECT_EQ(canceled, 1);
    EXPECT_EQ(form().WorkflowState, app::ReEditButtonTemplate);
    EXPECT_EQ(sets, 0);
  } else {
    EXPECT_EQ(sets, GetParam().clonedButtons + 2);
    EXPECT_EQ(form().ButtonCount.Text(), GetParam().typed.back()) << "the answer typed last is kept";
  }
  EXPECT_EQ(view.pointers.back(), app::MousePointer::Default);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CountQuestion,
    ::testing::Values(CountAnswers{"ZeroElevenThenFour", {"0", "11", "4"}, 2, 4},
                      CountAnswers{"LettersThenThree", {"abc", "3"}, 1, 3},
                      CountAnswers{"FractionThenTwo", {"3.5", "2"}, 1, 2},
                      CountAnswers{"Cancel", {}, 0, 0}, CountAnswers{"OutOfRangeThenCancel", {"12"}, 1, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(WorkflowTest, AFillLayerTakesItsColourThroughItsFillATextLayerKeepsItsOwnAndMasksMove) {
  const auto pathOf = [](engine::LayerNode& n) {
    fixtures::addBlock(n, "vmsk", fixtures::vectorMask({{1, fixtures::rectPath(100, 100, 300, 140)}}, 720, 540));
  };
  createMenu([&](engine::DocumentContent& c) {
    engine::forEachLayer(c.layers, [&](engine::LayerNode& n) {
      if (n.name == "Btn Tmpl") {
        for (engine::LayerNode& m : n.children) {
          if (m.name == "Button Area") {
            m.kind = engine::LayerKind::SolidFill;
            m.fillColor = kTemplateColor;
            pathOf(m);
          }
          if (m.name == "Text Area") m.kind = engine::LayerKind::Text;
        }
      }
    });
  });
  clone(3);
  const Document menu = doc("Build Menu");
  for (int n = 1; n <= 3; ++n) {
    const std::string set = "Btn " + std::to_string(n);
    const engine::LayerNode& area = member(menu, set, "Button Area");
    EXPECT_EQ(area.fillColor, colorValue(form().ButtonColors[std::size_t(n - 1)])) << set;
    EXPECT_EQ(rgb(member(menu, set, "Text Area"), 450, 120 + offset(n)), kTemplateColor) << set;
    const std::optional<engine::Mask> mask = engine::renderVectorMask(area, {0, 0, 720, 540}, {0, 0, 720, 540});
    ASSERT_TRUE(mask) << set;
    EXPECT_EQ(mask->at(150, 101 + offset(n)), 255) << set << ": the mask moved with the copy";
    EXPECT_EQ(mask->at(150, 141 + offset(n)), 0) << set;
  }
}

TEST_F(WorkflowTest, ABusyCopyIsRetriedWithTheHourglassAndNoButtonIsLost) {
  createMenu();
  // The fourth action is the second button's copy, after the colour table's copy and the first
  // button's copy and label.
  engine.faults().failMember("Application.ExecuteAction", engine::ErrorCode::Busy, 1, 3);
  view.answers.push_back(app::MsgBoxResult::Retry);
  view.pointers.clear();
  clone(3);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].buttons, app::MsgBoxButtons::RetryCancel);
  EXPECT_TRUE(engine.faults().idle());
  std::vector<std::string> sets;
  for (const std::string& name : topLevel(doc("Build Menu")))
    if (name.rfind("Btn ", 0) == 0) sets.push_back(name);
  EXPECT_EQ(sets, (std::vector<std::string>{"Btn 1", "Btn 2", "Btn 3", "Btn Next", "Btn Prev"}));
  EXPECT_EQ(std::count(view.pointers.begin(), view.pointers.end(), app::MousePointer::Hourglass), 3)
      << "at the start, on Retry, and while the options are applied";
}

TEST_F(WorkflowTest, ASelectionLeftInTheBuildMenuDoesNotLimitTheRecolouring) {
  createMenu();
  const Document menu = doc("Build Menu");
  engine.SetActiveDocument(menu);
  menu.Selection().Select(photoshop::RectangleRegion(0, 0, 120, 540));
  clone(1);
  const engine::Rgb color = colorValue(form().ButtonColors[0]);
  EXPECT_EQ(rgb(member(menu, "Btn 1", "Button Area"), 110, 120), color);
  EXPECT_EQ(rgb(member(menu, "Btn 1", "Button Area"), 250, 120), color) << "outside the old selection too";
}
