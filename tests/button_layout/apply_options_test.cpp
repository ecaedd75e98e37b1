// The options applied to the optional layers of the Build Menu and the Button Template.

#include "form_fixture.h"

using namespace app;
using app_test::FormTest;
using photoshop::Document;
using photoshop::Layer;

namespace {

class ApplyOptionsTest : public FormTest {
 protected:
  // Every optional layer the options act on, all visible, for three buttons.
  void buildMenu() {
    Form1& f = form();
    addWorkingDocuments();
    f.ButtonCount = std::string("3");
    const Document& menu = f.BuildMenuDocument;
    const Document& tmpl = f.TemplateDocument;
    for (const std::string set : {"Button Image", "Hilite Mask", "Button Area", "Button Mask"}) {
      std::vector<std::string> members{set + " Next", set + " Prev"};
      if (set == "Hilite Mask")
        members.insert(members.end(), {"Comp Button Mask", "Comp NxtPrv Button Mask", "Comp Thumb Mask"});
      addMembers(menu, set, members);
    }
    addMembers(menu, "Text Area", {"Title Area", "Text Area 1", "Text Area 2", "Text Area 3"});
    for (const char* set : {"Btn 1", "Btn 2", "Btn 3"}) addMembers(menu, set, {"Text Area"});
    for (const char* set : {"Btn Next", "Btn Prev"}) addMembers(menu, set, {});
    activateBottom(menu);
    addLayer(menu, "Title Area");
    for (const char* set : {"Next Tmpl", "Prev Tmpl"}) addMembers(tmpl, set, {});
    addMembers(tmpl, "Btn Tmpl", {"Text Area"});
    activateBottom(tmpl);
    addLayer(tmpl, "Title Area");
  }

  // A new top-level set at the bottom holding the given art layers.
  void addMembers(const Document& doc, const std::string& set, const std::vector<std::string>& members) {
    activateBottom(doc);
    const Layer s = addSet(doc, set);
    for (const std::string& name : members) s.ArtLayers().Add().SetName(name);
  }

  // New layers and sets go beside the active layer: make it the bottom top-level one.
  void activateBottom(Document doc) {
    engine.SetActiveDocument(doc);
    doc.SetActiveLayer(doc.Layers()(doc.Layers().Count()));
  }

  // Every hidden layer or set, as "set/layer" or "layer", top first.
  static std::vector<std::string> hidden(const Document& doc) {
    std::vector<std::string> out;
    for (const engine::LayerNode& n : doc.engineDocument()->content().layers) {
      if (!n.visible) out.push_back(n.name);
      for (const engine::LayerNode& m : n.children)
        if (!m.visible) out.push_back(n.name + "/" + m.name);
    }
    return out;
  }
};

}  // namespace

// The start-up options keep every optional layer but the thumbnail masks' highlight; each option
// switched away from its start-up value hides its layers, or shows that highlight.
TEST_F(ApplyOptionsTest, EachOptionHidesOrShowsItsLayers) {
  buildMenu();
  Form1& f = loadedForm();
  f.ApplyOptionsToLayers();
  EXPECT_EQ(hidden(f.BuildMenuDocument), std::vector<std::string>{"Hilite Mask/Comp Thumb Mask"});
  EXPECT_EQ(hidden(f.TemplateDocument), std::vector<std::string>{});
  EXPECT_EQ(view.pointers, (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));

  for (bool Form1::*option : {&Form1::EnableNextPrevButtons, &Form1::IncludeMenuTitleArea,
                              &Form1::IncludeButtonTextArea, &Form1::KeepButtonImageHilite, &Form1::KeepNextPrevHilite,
                              &Form1::AddHiliteToThumbMask})
    f.*option = !(f.*option);
  f.ApplyOptionsToLayers();
  EXPECT_EQ(hidden(f.BuildMenuDocument),
            (std::vector<std::string>{"Title Area", "Btn Prev", "Btn Next", "Btn 3/Text Area", "Btn 2/Text Area",
                                      "Btn 1/Text Area", "Text Area/Text Area 3", "Text Area/Text Area 2",
                                      "Text Area/Text Area 1", "Text Area/Title Area", "Button Mask/Button Mask Prev",
                                      "Button Mask/Button Mask Next", "Button Area/Button Area Prev",
                                      "Button Area/Button Area Next", "Hilite Mask/Comp NxtPrv Button Mask",
                                      "Hilite Mask/Comp Button Mask", "Hilite Mask/Hilite Mask Prev",
                                      "Hilite Mask/Hilite Mask Next", "Button Image/Button Image Prev",
                                      "Button Image/Button Image Next"}));
  EXPECT_EQ(hidden(f.TemplateDocument),
            (std::vector<std::string>{"Title Area", "Btn Tmpl/Text Area", "Prev Tmpl", "Next Tmpl"}));
}

TEST_F(ApplyOptionsTest, MissingLayersAndDocumentsAreSkippedOneByOne) {
  Form1& f = loadedForm();
  addWorkingDocuments();
  addMembers(f.BuildMenuDocument, "Hilite Mask", {"Comp Thumb Mask"});
  f.TemplateDocument = {};
  f.ButtonCount = std::string("not a number");
  f.AddHiliteToThumbMask = true;
  f.BuildMenuDocument.LayerSets()("Hilite Mask").Layers()("Comp Thumb Mask").SetVisible(false);
  f.ApplyOptionsToLayers();
  EXPECT_EQ(hidden(f.BuildMenuDocument), std::vector<std::string>{}) << "the last rule still ran";
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.pointers.back(), MousePointer::Default);
}
