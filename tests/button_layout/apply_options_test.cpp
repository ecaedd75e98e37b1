// The options applied to the optional layers of the Build Menu and the Button Template.

#include "workflow_fixture.h"

using namespace app;
using namespace layout_test;

namespace {

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

}  // namespace

// On the layers the workflow made: the start-up options keep every optional layer but the
// thumbnail masks' highlight; each option switched away from its start-up value hides its layers,
// or shows that highlight; switched back, they come back.
TEST_F(WorkflowTest, EachOptionHidesOrShowsItsLayersAndSwitchedBackBringsThemBack) {
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
