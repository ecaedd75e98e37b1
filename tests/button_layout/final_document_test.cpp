// The options applied to the optional layers of the Build Menu and the Button Template. Final PSD
// Document: the nine layers, their order, size and contents, read back by our reader; the options
// that change them; the save offered at the end. Undo through the whole workflow, the history
// each run records, Re-Link, and Preview Menu.

#include <QTemporaryDir>
#include <array>
#include <filesystem>
#include <map>

#include "engine/layer_effects.h"
#include "workflow_fixture.h"

using namespace layout_test;
using app::Form1, app::MousePointer;

namespace {

// Top first, as the final document stacks them.
const std::vector<std::string> kNineLayers{"Color Table", "Text Area",    "Thumb Mask",  "Thumb Area", "Button Mask",
                                           "Button Image", "Button Area", "Hilite Mask", "Background"};

// A Build Menu point (720 x 540) where the final document (720 x 480) shows it.
int down(int y) { return y * 480 / 540; }

// Every hidden layer or set, as "set/layer" or "layer", top first.
std::vector<std::string> hidden(const Document& doc) {
  std::vector<std::string> out;
  for (const engine::LayerNode& n : doc.engineDocument()->content().layers) {
    if (!n.visible) out.push_back(n.name);
    for (const engine::LayerNode& m : n.children)
      if (!m.visible) out.push_back(n.name + "/" + m.name);
  }
  return out;
}

bool near(engine::Rgb a, engine::Rgb b) {
  return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
}

class FinalDocumentTest : public WorkflowTest {
 protected:
  void buildFinal(int buttons, const std::function<void(engine::DocumentContent&)>& adjustTemplate = {}) {
    createMenu(adjustTemplate);
    clone(buttons);
    composite();
    form().FinalPSDDocument_Click();
  }
  engine::Rgb at(const std::string& layer, int x, int y) { return rgb(node(doc("Final Menu").ArtLayers()(layer), doc("Final Menu")), x, y); }
  QTemporaryDir dir_;
};

}  // namespace

// On the layers the workflow made: the start-up options keep every optional layer but the
// thumbnail masks' highlight; each option switched away from its start-up value hides its layers,
// or shows that highlight; switched back, they come back. Then the final document follows them.
TEST_F(FinalDocumentTest, EachOptionHidesOrShowsItsLayersAndTheFinalDocumentFollows) {
  createMenu();
  clone(3);
  composite();
  Form1& f = form();
  const std::vector<std::string> startUp{"Color Table", "Hilite Mask/Comp Thumb Mask"};
  EXPECT_EQ(hidden(f.BuildMenuDocument), startUp);
  EXPECT_EQ(hidden(f.TemplateDocument), std::vector<std::string>{});

  const auto switchAll = [&f] {
    for (bool Form1::*option : {&Form1::EnableNextPrevButtons, &Form1::IncludeMenuTitleArea,
                                &Form1::IncludeButtonTextArea, &Form1::KeepButtonImageHilite,
                                &Form1::KeepNextPrevHilite, &Form1::AddHiliteToThumbMask})
      f.*option = !(f.*option);
  };
  switchAll();
  view.pointers.clear();
  f.ApplyOptionsToLayers();
  EXPECT_EQ(view.pointers, (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
  EXPECT_EQ(hidden(f.BuildMenuDocument),
            (std::vector<std::string>{"Color Table", "Hilite Mask/Comp NxtPrv Button Mask",
                                      "Hilite Mask/Comp Button Mask", "Hilite Mask/Hilite Mask Prev",
                                      "Hilite Mask/Hilite Mask Next", "Button Image/Button Image Prev",
                                      "Button Image/Button Image Next", "Button Mask/Button Mask Prev",
                                      "Button Mask/Button Mask Next", "Text Area/Title Area", "Text Area/Text Area 3",
                                      "Text Area/Text Area 2", "Text Area/Text Area 1", "Button Area/Button Area Prev",
                                      "Button Area/Button Area Next", "Btn 1/Text Area", "Btn 2/Text Area",
                                      "Btn 3/Text Area", "Btn Next", "Btn Prev", "Title Area"}));
  EXPECT_EQ(hidden(f.TemplateDocument),
            (std::vector<std::string>{"Title Area", "Btn Tmpl/Text Area", "Next Tmpl", "Prev Tmpl"}));

  switchAll();
  f.ApplyOptionsToLayers();
  EXPECT_EQ(hidden(f.BuildMenuDocument), startUp);
  EXPECT_EQ(hidden(f.TemplateDocument), std::vector<std::string>{});

  // The options change their parts of the final document. No save path: the user cancels.
  f.ReplaceBackgroundWithButtonImage = true;
  f.IncludeMenuTitleArea = false;
  f.EnableNextPrevButtons = false;
  f.ApplyOptionsToLayers();
  f.FinalPSDDocument_Click();
  EXPECT_EQ(topLevel(doc("Final Menu")), kNineLayers);
  EXPECT_TRUE(near(at("Background", 200, down(120)), kTemplateColor)) << "replaced by the button image";
  EXPECT_TRUE(near(at("Text Area", 300, down(40)), (engine::Rgb{255, 255, 255}))) << "no title area";
  EXPECT_TRUE(near(at("Button Area", 630, down(415)), (engine::Rgb{255, 255, 255}))) << "no Next button";
  EXPECT_TRUE(near(at("Button Mask", 630, down(415)), (engine::Rgb{0, 0, 0}))) << "no Next button";

  EXPECT_TRUE(view.messages.empty()) << transcript();
  EXPECT_EQ(f.WorkflowState, app::BuiltFinalSaveNow);
  EXPECT_EQ(doc("Build Menu").Info().KeyWords().at(0), "Build Menu Complete");
  EXPECT_EQ(engine.Documents().Count(), 3) << "the copy is closed";
  EXPECT_EQ(view.pointers.back(), MousePointer::Default);

  // A second final document's save fails, and is reported.
  host.savePaths = {dir_.path().toStdString() + "/no such folder/menu.psd"};
  f.Undo_Click();  // back to an empty Final Menu
  f.FinalPSDDocument_Click();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_NE(view.messages[0].text.find("Final MenuCopy.psd"), std::string::npos) << view.messages[0].text;
  EXPECT_NE(view.messages[0].text.find("no such folder"), std::string::npos) << view.messages[0].text;
  EXPECT_EQ(engine.Documents().Count(), 3);
}

TEST_F(WorkflowTest, MissingLayersAndDocumentsAreSkippedOneByOne) {
  Form1& f = loadedForm();
  addWorkingDocuments();
  addSet(f.BuildMenuDocument, "Hilite Mask").ArtLayers().Add().SetName("Comp Thumb Mask");
  f.TemplateDocument = {};
  f.ButtonCount = std::string("not a number");
  f.AddHiliteToThumbMask = true;
  f.BuildMenuDocument.LayerSets()("Hilite Mask").Layers()("Comp Thumb Mask").SetVisible(false);
  f.ApplyOptionsToLayers();
  EXPECT_EQ(hidden(f.BuildMenuDocument), std::vector<std::string>{}) << "the last rule still ran";
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.pointers.back(), MousePointer::Default);
}

TEST_F(FinalDocumentTest, NineLayersAtTheOutputSizeWithTheButtonsWhereTheyWere) {
  const std::string saved = dir_.path().toStdString() + "/menu.psd";
  host.savePaths = {saved};
  buildFinal(3);
  const Document final = doc("Final Menu");
  EXPECT_EQ(form().WorkflowState, app::BuiltFinalSaveNow) << transcript();
  EXPECT_EQ(std::pair(final.Width(), final.Height()), std::pair(720.0, 480.0));
  EXPECT_EQ(topLevel(final), kNineLayers);
  const engine::Rgb white{255, 255, 255}, black{0, 0, 0};
  for (int n = 1; n <= 3; ++n) {
    const int y = down(120 + (n - 1) * 40);
    const engine::Rgb color = colorValue(form().ButtonColors[std::size_t(n - 1)]);
    for (const auto& [layer, x, expected] : {std::tuple("Button Area", 200, color), {"Thumb Area", 350, color},
                                             {"Text Area", 450, color}, {"Button Mask", 200, white},
                                             {"Button Image", 200, kTemplateColor}})
      EXPECT_TRUE(near(at(layer, x, y), expected)) << layer << " of button " << n;
  }
  for (const char* base : {"Button Area", "Thumb Area", "Text Area"}) EXPECT_EQ(at(base, 5, 470), white) << base;
  for (const char* base : {"Hilite Mask", "Button Mask", "Thumb Mask"}) EXPECT_EQ(at(base, 5, 470), black) << base;
  EXPECT_TRUE(near(at("Background", 5, 470), kMenuBackground));
  EXPECT_TRUE(near(at("Background", 200, down(120)), kMenuBackground)) << "not replaced by the button image";
  EXPECT_TRUE(near(at("Button Mask", 630, down(415)), white)) << "the Next button";
  EXPECT_TRUE(near(at("Text Area", 300, down(40)), (engine::Rgb{127, 127, 127}))) << "the title area";
  EXPECT_TRUE(near(at("Button Area", 630, down(415)), kTemplateColor)) << "the Next button";

  // The colour table is pasted after the resize: each cell where it is in the Build Menu.
  const Document menu = doc("Build Menu");
  const engine::LayerNode& table = node(menu.ArtLayers()("Color Table"), menu);
  for (const auto& [x, y] : {std::pair{75, 25}, {95, 45}, {135, 65}, {215, 25}})
    EXPECT_EQ(at("Color Table", x, y), rgb(table, x, y)) << x << "," << y;

  // The copy was saved where the user chose, and closed.
  EXPECT_EQ(host.questions, std::vector<std::string>{"save as: Final MenuCopy.psd"});
  EXPECT_EQ(menu.Info().KeyWords().at(0), "Build Menu Complete");
  ASSERT_TRUE(std::filesystem::exists(saved));
  const Document reread = engine.Open(saved);
  EXPECT_EQ(topLevel(reread), kNineLayers);
  EXPECT_EQ(reread.Height(), 480);
  for (int i = 1; i <= engine.Documents().Count(); ++i) EXPECT_NE(engine.Documents()(i).Name(), "Final MenuCopy");
}

// A template whose button images carry a layer style (a hard shadow 20 pixels straight down):
// the silhouettes the composites are built from are the bare shapes, while the final "Button
// Image" shows every button with its shadow.
TEST_F(FinalDocumentTest, AStyledTemplatesShadowIsInTheFinalButtonImageButNotInTheSilhouettes) {
  buildFinal(2, [](engine::DocumentContent& c) {
    auto fx = std::make_shared<engine::LayerEffects>();
    fx->dropShadows.emplace_back().angle = 90.0;
    fx->dropShadows.back().distance = 20.0;
    engine::forEachLayer(c.layers, [&](engine::LayerNode& n) {
      if (n.name != "Button Image") return;
      n.hasStyle = true;
      n.effects = fx;
    });
  });
  ASSERT_EQ(form().WorkflowState, app::BuiltFinalSaveNow) << transcript();
  // Button 2's image covers y 145..175 of the Build Menu; its shadow shows from 175 to 195.
  const int inShadow = 185, clear = 215;
  const Document menu = doc("Build Menu");
  const engine::LayerNode& silhouette = member(menu, "Button Mask", "Button Mask 2");
  const engine::Rect canvas = menu.engineDocument()->content().canvas();
  const engine::Raster drawn = engine::compositeLayers({silhouette}, canvas, canvas);
  EXPECT_EQ(drawn.alphaAt(200, 160), 255);
  EXPECT_EQ(drawn.alphaAt(200, inShadow), 0) << "a silhouette is drawn without the style";

  EXPECT_TRUE(near(at("Button Image", 200, down(inShadow)), {0, 0, 0}));
  EXPECT_TRUE(near(at("Button Image", 200, down(clear)), kMenuBackground));
  EXPECT_EQ(at("Button Mask", 200, down(inShadow)), at("Button Mask", 200, down(clear)));
}

TEST_F(WorkflowTest, EachStateComesBackWithinTheHistoryBudgetAndAFinalDocumentMadeAgainIsTheSame) {
  const auto now = [&] {
    return std::array{fingerprint(doc("Button Template")), fingerprint(doc("Build Menu")),
                      fingerprint(doc("Final Menu"))};
  };
  createMenu();
  std::map<int, std::array<std::size_t, 3>> atState;
  atState[2] = atState[3] = now();
  clone(10);
  atState[4] = atState[5] = now();
  composite();
  atState[6] = atState[7] = now();
  form().FinalPSDDocument_Click();
  ASSERT_EQ(form().WorkflowState, app::BuiltFinalSaveNow) << transcript();

  // Every state from the first to the final document fits well within the history.
  const auto serial = [&](int state) { return form().BuildMenuHistory[std::size_t(state - 1)].serial(); };
  EXPECT_LE(serial(8) - serial(1), 250u);
  EXPECT_LE(doc("Build Menu").engineDocument()->history().size(), 250u);

  // Back to the composites, a second final document is the same as the first.
  const std::size_t first = fingerprint(doc("Final Menu"));
  form().Undo_Click();
  form().Undo_Click();
  ASSERT_EQ(form().WorkflowState, app::BuildFinalDocument);
  EXPECT_EQ(now(), atState[6]);
  form().FinalPSDDocument_Click();
  EXPECT_EQ(fingerprint(doc("Final Menu")), first);

  for (int state = 7; state >= 2; --state) {
    form().Undo_Click();
    ASSERT_EQ(form().WorkflowState, state);
    EXPECT_EQ(now(), atState[state]) << "state " << state;
  }
  form().Undo_Click();
  EXPECT_EQ(form().WorkflowState, app::CreateMenuDocs);
  EXPECT_TRUE(view.messages.empty()) << transcript();
}

TEST_F(WorkflowTest, PreviewAndReLinkStopAtTheFirstMissingButtonAndKeepWhatTheyDidBefore) {
  createMenu();
  clone(3);
  const Document menu = doc("Build Menu");
  const std::size_t before = fingerprint(menu);
  form().PreviewMenu_Click();
  for (const char* set : {"Btn 1", "Btn 2", "Btn 3", "Btn Next", "Btn Prev"})
    for (const engine::LayerNode& n : node(menu.LayerSets()(set), menu).children)
      EXPECT_EQ(n.visible, n.name == "Button Image" || (n.name == "Thumb Mask" && set[4] != 'N' && set[4] != 'P'))
          << set << "/" << n.name;
  EXPECT_TRUE(form().PreviewToggle);
  form().PreviewMenu_Click();
  EXPECT_EQ(fingerprint(menu), before);
  EXPECT_FALSE(form().PreviewToggle);

  engine.SetActiveDocument(menu);
  for (int n = 1; n <= 3; ++n)
    for (const char* layer : {"Button Image", "Button Area", "Thumb Mask", "Hilite Mask", "Text Area", "Thumb Area"})
      menu.LayerSets()("Btn " + std::to_string(n)).ArtLayers()(layer).Unlink();
  menu.LayerSets()("Btn 2").Remove();
  view.messages.clear();
  form().LinkBtnLyrs_Click();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Missing Layers in Main Document.");
  EXPECT_EQ(menu.LayerSets()("Btn 1").ArtLayers()("Thumb Area").LinkedLayers().size(), 5u);
  EXPECT_TRUE(menu.LayerSets()("Btn 3").ArtLayers()("Thumb Area").LinkedLayers().empty());
  EXPECT_EQ(view.pointers.back(), app::MousePointer::Default);

  form().PreviewMenu_Click();
  EXPECT_EQ(view.messages.back().text, "Button Layers Missing from Menu Document");
  EXPECT_FALSE(form().PreviewToggle) << "not inverted when the command ends early";
  EXPECT_FALSE(menu.LayerSets()("Btn 1").Layers()("Hilite Mask").Visible()) << "the sets before it changed";
  EXPECT_TRUE(menu.LayerSets()("Btn 3").Layers()("Hilite Mask").Visible());

  doc("Final Menu").Close(photoshop::ps::DoNotSaveChanges);
  form().PreviewMenu_Click();
  EXPECT_EQ(view.messages.back().text, "Menu Document Closed");
}
