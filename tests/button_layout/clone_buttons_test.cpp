// Clone Button Template on the real engine: the copies' names, places, colours, labels and link
// groups; the button count question; fill and text layers; vector masks moving with the copies.
// Build Composite Layers: the seven sets and their members beside the user's own "Set 1", the
// silhouettes and the derived masks, and the recovery from a failure that needed another document.

#include "engine/vector_mask.h"
#include "engine/layer_blocks_fixtures.h"
#include "workflow_fixture.h"

using namespace layout_test;

namespace {

int offset(int n) { return ((n - 1) * 40) % 300; }

// The number of buttons, and whether one step meets a fault the command gets over.
class Runs : public WorkflowTest, public ::testing::WithParamInterface<std::pair<int, bool>> {};
class CloneCount : public Runs {};
class CompositeCount : public Runs {};

// The cases' names: "Buttons3", and `fault` after it for the run with the fault.
auto runName(const char* fault) {
  return [fault](const auto& p) { return "Buttons" + std::to_string(p.param.first) + (p.param.second ? fault : ""); };
}

}  // namespace

// A selection the user left in the Build Menu (x < 120) does not limit the recolouring. Busy, a
// copy is retried with the hourglass and no button is lost.
TEST_P(CloneCount, EachButtonIsPlacedColouredLabelledAndLinked) {
  const auto [count, busyCopy] = GetParam();
  createMenu();
  const Document menu = doc("Build Menu");
  engine.SetActiveDocument(menu);
  menu.Selection().Select(photoshop::RectangleRegion(0, 0, 120, 540));
  view.pointers.clear();
  if (busyCopy) {  // the fourth action: the second button's copy, after the colour table's and the first button's
    engine.faults().failMember("Application.ExecuteAction", engine::ErrorCode::Busy, 1, 3);
    view.answers.push_back(app::MsgBoxResult::Retry);
  }
  clone(count);
  ASSERT_EQ(view.messages.size(), busyCopy ? 1u : 0u) << transcript();
  for (const auto& m : view.messages) EXPECT_EQ(m.buttons, app::MsgBoxButtons::RetryCancel);
  EXPECT_TRUE(engine.faults().idle());
  EXPECT_EQ(std::ranges::count(view.pointers, app::MousePointer::Hourglass), busyCopy ? 3 : 2)
      << "at the start, on Retry, and while the options are applied";
  app::Form1& f = form();
  // Each copy lands above the active "Background", at the top level, in the order it was made.
  std::vector<std::string> expected{"Title Safe Zones", "Color Table"};
  for (int n = 1; n <= count; ++n) expected.push_back("Btn " + std::to_string(n));
  expected.insert(expected.end(), {"Btn Next", "Btn Prev", "Title Area", "Background"});
  EXPECT_EQ(topLevel(menu), expected);
  EXPECT_FALSE(menu.ArtLayers()("Color Table").Visible());

  for (int n = 1; n <= count; ++n) {
    const std::string set = "Btn " + std::to_string(n);
    const engine::Rgb color = colorValue(f.ButtonColors[std::size_t(n - 1)]);
    EXPECT_EQ(member(menu, set, "Button Area").pixels.bounds(),
              (engine::Rect{100, 100, 300, 140}.translated(0, offset(n))))
        << set;
    for (const auto& [layer, x] :
         {std::pair{"Button Area", 110}, {"Button Area", 250}, {"Thumb Area", 350}, {"Text Area", 450}})
      EXPECT_EQ(rgb(member(menu, set, layer), x, 120 + offset(n)), color) << set << "/" << layer << " at " << x;
    EXPECT_EQ(rgb(member(menu, set, "Button Image"), 150, 120 + offset(n)), kTemplateColor) << "not recoloured";
    EXPECT_EQ(node(menu.LayerSets()(set), menu).colorLabel, engine::ColorLabel::Green) << set;
  }
  for (const char* set : {"Btn Next", "Btn Prev"})
    EXPECT_EQ(node(menu.LayerSets()(set), menu).colorLabel, engine::ColorLabel::Violet) << set;
  EXPECT_EQ(member(menu, "Btn Next", "Button Area").pixels.bounds(), (engine::Rect{600, 400, 660, 430})) << "not moved";
  EXPECT_EQ(rgb(node(menu.ArtLayers()("Title Area"), menu), 300, 40), (engine::Rgb{127, 127, 127}));

  // One button's layers move together, and no other button's.
  const std::string moved = "Btn " + std::to_string(count);
  menu.LayerSets()(moved).ArtLayers()("Thumb Area").Translate(7, 0);
  for (const Place& p : kTemplatePlaces) {
    if (std::string(p.set) != "Btn Tmpl") continue;
    EXPECT_EQ(member(menu, moved, p.layer).pixels.bounds().left, p.rect.left + 7) << p.layer;
  }
  EXPECT_EQ(member(menu, "Btn 1", "Thumb Area").pixels.bounds().left, count > 1 ? 320 : 327);

  EXPECT_EQ(f.WorkflowState, app::EditClonedLayout);
  EXPECT_EQ(menu.Info().KeyWords().at(0), "Clone Buttons Complete");
  EXPECT_EQ(view.pointers.back(), app::MousePointer::Default);
}

INSTANTIATE_TEST_SUITE_P(Runs, CloneCount,
                         ::testing::Values(std::pair{1, false}, std::pair{3, false}, std::pair{3, true},
                                           std::pair{10, false}),
                         runName("AfterABusyCopy"));

// Each answer out of range is asked again; an empty one cancels. A cloned layout is undone
// before the next answers.
TEST_F(WorkflowTest, TheButtonCountQuestionTakesOnlyAWholeNumberFromOneToTen) {
  const struct {
    std::vector<std::string> typed;
    int outOfRange;     // "Button Count Out of Range 1..10." shown this often
    int clonedButtons;  // 0: cancelled, and "Cloning Canceled" shown
  } runs[] = {{{}, 0, 0}, {{"12"}, 1, 0}, {{"0", "11", "4"}, 2, 4}, {{"abc", "3"}, 1, 3}, {{"3.5", "2"}, 1, 2}};
  createMenu();
  for (const auto& run : runs) {
    SCOPED_TRACE(::testing::PrintToString(run.typed));
    view.inputs.assign(run.typed.begin(), run.typed.end());
    view.messages.clear();
    form().CloneButtons_Click();
    std::string shown;
    for (int i = 0; i < run.outOfRange; ++i) shown += "[] Button Count Out of Range 1..10.\n";
    if (run.clonedButtons == 0) shown += "[] Cloning Canceled\n";
    EXPECT_EQ(transcript(), shown);
    const auto sets = std::ranges::count_if(topLevel(doc("Build Menu")), [](auto& n) { return n.starts_with("Btn "); });
    EXPECT_EQ(view.pointers.back(), app::MousePointer::Default);
    if (run.clonedButtons == 0) {
      EXPECT_EQ(form().WorkflowState, app::ReEditButtonTemplate);
      EXPECT_EQ(sets, 0);
    } else {
      EXPECT_EQ(sets, run.clonedButtons + 2);
      EXPECT_EQ(form().ButtonCount.Text(), run.typed.back()) << "the answer typed last is kept";
      form().Undo_Click();
      ASSERT_EQ(form().WorkflowState, app::ReEditButtonTemplate);
    }
  }
}

TEST_F(WorkflowTest, AFillLayerTakesItsColourThroughItsFillATextLayerKeepsItsOwnAndMasksMove) {
  createMenu([](engine::DocumentContent& c) {
    for (engine::LayerNode& m : std::ranges::find(c.layers, "Btn Tmpl", &engine::LayerNode::name)->children) {
      if (m.name == "Text Area") m.kind = engine::LayerKind::Text;
      if (m.name != "Button Area") continue;
      m.kind = engine::LayerKind::SolidFill;
      m.fillColor = kTemplateColor;
      fixtures::addBlock(m, "vmsk", fixtures::vectorMask({{1, fixtures::rectPath(100, 100, 300, 140)}}, 720, 540));
    }
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

// The user's own set, named as the engine names new ones, keeps its name and stays empty. A fill
// that needs the Build Menu active is undone and run again.
TEST_P(CompositeCount, EachSetHoldsItsMembersAndTheMasksAreDrawnFromTheImages) {
  const auto [count, refusedFill] = GetParam();
  createMenu();
  clone(count);
  const Document menu = doc("Build Menu");
  engine.SetActiveDocument(menu);
  const Layer own = menu.LayerSets().Add();
  ASSERT_EQ(own.Name(), "Set 1");
  // Steps 1 to 3 fill one base each, step 4 its base and then one silhouette per button: the
  // sixth fill is the second silhouette's.
  if (refusedFill) engine.faults().failMember("Selection.Fill", engine::ErrorCode::NotActiveDocument, 1, 5);
  composite();
  EXPECT_TRUE(view.messages.empty()) << transcript();
  EXPECT_TRUE(engine.faults().idle()) << "the fault was met";
  EXPECT_EQ(std::ranges::count(topLevel(menu), "Button Mask"), 1);
  EXPECT_EQ(own.Name(), "Set 1");
  EXPECT_EQ(node(own, menu).children.size(), 0u);
  // Top to bottom: the members above the numbered buttons', theirs from the last, and the base.
  const struct {
    const char* set;
    std::vector<std::string> above;
    const char* base;
  } sets[] = {
      {"Button Area", {"Button Area Prev", "Button Area Next"}, "White Background"},
      {"Text Area", {"Title Area"}, "White Background"},
      {"Thumb Area", {}, "White Background"},
      {"Button Mask", {"Button Mask Prev", "Button Mask Next"}, "Black Background"},
      {"Thumb Mask", {}, "Black Background"},
      {"Button Image", {"Button Image Prev", "Button Image Next"}, "Background copy"},
      {"Hilite Mask",
       {"Comp Thumb Mask", "Comp NxtPrv Button Mask", "Comp Button Mask", "Hilite Mask Prev", "Hilite Mask Next"},
       "Black Background"},
  };
  for (const auto& s : sets) {
    std::vector<std::string> members = s.above;
    for (int n = count; n >= 1; --n) members.push_back(std::string(s.set) + " " + std::to_string(n));
    members.push_back(s.base);
    EXPECT_EQ(fixtures::layerNames(node(menu.LayerSets()(s.set), menu).children), members) << s.set;
  }
  for (const char* set : {"Button Area", "Text Area", "Thumb Area"})
    EXPECT_EQ(node(menu.LayerSets()(set), menu).colorLabel, engine::ColorLabel::Yellow) << set;
  EXPECT_EQ(node(menu.LayerSets()("Button Mask"), menu).colorLabel, engine::ColorLabel::None);
  EXPECT_EQ(menu.Info().KeyWords().at(0), "Build Composite Layers Complete");

  // The last button's silhouette is white where its image is; the derived masks follow the options.
  const int y = 120 + offset(count);
  const engine::Rgb white{255, 255, 255}, black{0, 0, 0};
  const engine::LayerNode& silhouette = member(menu, "Button Mask", "Button Mask " + std::to_string(count));
  EXPECT_EQ(rgb(silhouette, 150, y), white);
  EXPECT_EQ(silhouette.pixels.alphaAt(150, y), 255);
  EXPECT_EQ(silhouette.pixels.alphaAt(105, y - 18), 0) << "outside the button image";
  const engine::LayerNode& comp = member(menu, "Hilite Mask", "Comp Button Mask");
  const engine::LayerNode& nextPrev = member(menu, "Hilite Mask", "Comp NxtPrv Button Mask");
  const engine::LayerNode& thumbs = member(menu, "Hilite Mask", "Comp Thumb Mask");
  EXPECT_EQ(rgb(comp, 150, y), black) << "inverted: a numbered button's image is black";
  EXPECT_EQ(rgb(comp, 630, 415), white) << "Next is not in it";
  EXPECT_EQ(rgb(nextPrev, 630, 415), black);
  EXPECT_EQ(rgb(nextPrev, 150, y), white);
  EXPECT_EQ(rgb(thumbs, 350, 120), kTemplateColor) << "not inverted";
  EXPECT_EQ(rgb(thumbs, 5, 5), black);
  EXPECT_EQ(std::pair(comp.blendMode, comp.visible), std::pair(engine::BlendMode::Darken, true));
  EXPECT_EQ(std::pair(nextPrev.blendMode, nextPrev.visible), std::pair(engine::BlendMode::Darken, true));
  EXPECT_EQ(std::pair(thumbs.blendMode, thumbs.visible), std::pair(engine::BlendMode::Lighten, false))
      << "the start-up options leave the thumbnail masks out";
}

INSTANTIATE_TEST_SUITE_P(Runs, CompositeCount,
                         ::testing::Values(std::pair{1, false}, std::pair{3, false}, std::pair{3, true}),
                         runName("AfterARefusedFill"));
