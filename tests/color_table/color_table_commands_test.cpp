// The colour table layer and the commands around the colour table control, through a scripted
// view and the real engine.

#include <gtest/gtest.h>

#include "form_fixture.h"
#include "photoshop/photoshop_fixtures.h"

using app::MsgBoxButtons;

namespace {

class ColorTableCommandsTest : public app_test::FormTest {
 protected:
  void SetUp() override { loadedForm(); }

  engine::Rgb cellColor(const photoshop::Document& doc, int column, int row) {
    return fixtures::pixel(doc, doc.ArtLayers()("Color Table"), 70 + 20 * column + 10, 20 + 20 * row + 10);
  }
  engine::Rect selected(const photoshop::Document& doc) {
    return doc.engineDocument()->content().selection.coveredBounds();
  }
};

TEST_F(ColorTableCommandsTest, TheLayerIsBuiltCellForCellAtTheBottomWithARedLabelAndNeverRebuilt) {
  photoshop::Document tmpl = addDocument("Button Template", 200, 200);
  addLayer(tmpl, "Title Area");
  form().TemplateDocument = tmpl;
  form().MakeColorTableLayer();

  const engine::DocumentContent& c = tmpl.engineDocument()->content();
  ASSERT_EQ(c.layers.back().name, "Color Table");
  EXPECT_EQ(c.layers.back().colorLabel, engine::ColorLabel::Red);
  EXPECT_EQ(c.layers[1].name, "Layer 1") << "the template's own \"Layer 1\" keeps its name";
  EXPECT_FALSE(c.hasSelection());
  const engine::Rgb black{0, 0, 0}, white{255, 255, 255}, pink{243, 0, 137}, yellow{239, 253, 0}, red{218, 0, 18},
      grey{128, 128, 128}, blue{6, 62, 246}, light{200, 200, 200};
  const engine::Rgb expected[7][4] = {{black, white, pink, yellow}, {black, white, pink, yellow},
                                      {black, black, black, black}, {black, red, white, white},
                                      {black, grey, grey, grey},    {black, blue, white, white},
                                      {black, light, light, light}};
  for (int row = 0; row < 7; ++row)
    for (int column = 0; column < 4; ++column)
      EXPECT_EQ(cellColor(tmpl, column, row), expected[row][column]) << "cell " << column << "," << row;
  const engine::Raster& px = c.layers.back().pixels;
  EXPECT_EQ(px.bounds(), (engine::Rect{0, 0, 200, 200}));
  EXPECT_EQ(fixtures::pixel(tmpl, tmpl.ArtLayers()("Color Table"), 5, 190), white);
  EXPECT_EQ(px.pixel(70, 20)[0], 0) << "the grid starts at (70, 20)";
  EXPECT_EQ(px.pixel(69, 20)[0], 255);

  // An existing layer is never rebuilt.
  engine.SetActiveDocument(addDocument("other"));
  const auto state = tmpl.engineDocument()->currentState();
  form().MakeColorTableLayer();
  EXPECT_EQ(tmpl.engineDocument()->currentState(), state) << "nothing added, painted, moved or labelled";
  EXPECT_EQ(engine.ActiveDocument(), tmpl) << "only the template was made active";
}

TEST_F(ColorTableCommandsTest, PressesSelectCellsInTheTemplateEvenWithTheBuildMenuActiveAndShiftAddsThem) {
  photoshop::Document tmpl = addDocument("Button Template", 200, 200);
  photoshop::Layer table = addLayer(tmpl, "Color Table");
  table.SetVisible(false);
  photoshop::Document menu = addDocument("Build Menu");
  engine.SetActiveDocument(menu);
  form().ColorTableCtrl1_MouseDown(1, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(engine.ActiveDocument(), tmpl);
  EXPECT_EQ(selected(tmpl), (engine::Rect{70, 20, 90, 40}));
  EXPECT_TRUE(table.Visible());
  EXPECT_EQ(form().BuildMenuDocument, menu) << "the held documents were refreshed";

  // Presses select cells and Shift adds them.
  form().ColorTableCtrl1_MouseDown(1, 0, 0, 0, 2, 5, 22);
  EXPECT_EQ(selected(tmpl), (engine::Rect{110, 120, 130, 140}));
  form().ColorTableCtrl1_MouseDown(1, 1, 0, 0, 0, 0, 0);  // Shift: added
  EXPECT_EQ(selected(tmpl), (engine::Rect{70, 20, 130, 140}));
  form().ColorTableCtrl1_MouseMove(1, 1, 0, 0, 3, 6, 27);
  EXPECT_EQ(selected(tmpl), (engine::Rect{70, 20, 150, 160}));
  form().ColorTableCtrl1_MouseDown(1, 2, 0, 0, 1, 1, 5);  // Ctrl replaces, like a plain press
  EXPECT_EQ(selected(tmpl), (engine::Rect{90, 40, 110, 60}));
  EXPECT_EQ(tmpl.ActiveLayer().Name(), "Color Table");
}

// With no document open a swatch says so and a click on the frame clears the marks quietly; a press
// without any colour table selects and shows nothing; with one the swatch fills the selection and
// the click deselects.
TEST_F(ColorTableCommandsTest, SwatchesFillTheSelectionOrSayNoDocumentIsOpenAndAClickOnTheFrameDeselects) {
  form().FillGray_Click();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "No Photoshop Main Menu Document Open.");
  EXPECT_EQ(view.messages[0].title, "Quillary");
  EXPECT_EQ(view.messages[0].buttons, MsgBoxButtons::OKOnly);
  form().ColorTableSel_Click();
  EXPECT_EQ(view.colorTableClears, 1);
  photoshop::Document menu = addDocument("Build Menu");  // without any colour table a press selects nothing
  form().ColorTableCtrl1_MouseDown(1, 0, 0, 0, 0, 0, 0);
  EXPECT_FALSE(menu.engineDocument()->content().hasSelection());

  photoshop::Document tmpl = addDocument("Button Template", 200, 200);
  photoshop::Layer table = addLayer(tmpl, "Color Table");
  form().ColorTableCtrl1_MouseDown(1, 0, 0, 0, 1, 1, 5);
  form().FillLtGray_Click();
  EXPECT_EQ(fixtures::pixel(tmpl, table, 95, 45), (engine::Rgb{200, 200, 200}));
  form().ColorTableSel_Click();
  EXPECT_FALSE(tmpl.engineDocument()->content().hasSelection());
  EXPECT_EQ(view.messages.size(), 1u);
}

}  // namespace
