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
    for (const char* set : {"Button Image", "Hilite Mask", "Button Area", "Button Mask"}) {
      addMembers(menu, set, {std::string(set) + " Next", std::string(set) + " Prev"});
    }
    addMembers(menu, "Hilite Mask", {"Comp Button Mask", "Comp NxtPrv Button Mask", "Comp Thumb Mask"});
    addMembers(menu, "Text Area", {"Title Area", "Text Area 1", "Text Area 2", "Text Area 3"});
    for (const char* set : {"Btn 1", "Btn 2", "Btn 3"}) addMembers(menu, set, {"Text Area"});
    addMembers(menu, "Btn Next", {});
    addMembers(menu, "Btn Prev", {});
    activateBottom(menu);
    addLayer(menu, "Title Area");
    addMembers(tmpl, "Next Tmpl", {});
    addMembers(tmpl, "Prev Tmpl", {});
    addMembers(tmpl, "Btn Tmpl", {"Text Area"});
    activateBottom(tmpl);
    addLayer(tmpl, "Title Area");
  }

  // A top-level set (made once) holding the given art layers.
  void addMembers(const Document& doc, const std::string& set, const std::vector<std::string>& members) {
    Layer s;
    try {
      s = doc.LayerSets()(set);
    } catch (const photoshop::AutomationError&) {
      activateBottom(doc);
      s = addSet(doc, set);
    }
    for (const std::string& name : members) s.ArtLayers().Add().SetName(name);
  }

  // New layers and sets go beside the active layer: make it the bottom top-level one.
  void activateBottom(Document doc) {
    engine.SetActiveDocument(doc);
    doc.SetActiveLayer(doc.Layers()(doc.Layers().Count()));
  }

  bool visible(const Document& doc, const std::string& set, const std::string& layer) {
    return doc.LayerSets()(set).Layers()(layer).Visible();
  }
};

}  // namespace

// The start-up options keep every optional layer but the thumbnail masks' highlight.
TEST_F(ApplyOptionsTest, StartUpOptionsHideOnlyTheThumbMaskHighlight) {
  buildMenu();
  Form1& f = loadedForm();
  f.ApplyOptionsToLayers();
  for (const Document& doc : {f.BuildMenuDocument, f.TemplateDocument})
    engine::forEachLayer(doc.engineDocument()->content().layers, [](const engine::LayerNode& n) {
      EXPECT_EQ(n.visible, n.name != "Comp Thumb Mask") << n.name;
    });
  EXPECT_EQ(view.pointers, (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
}

TEST_F(ApplyOptionsTest, EveryOptionSwitchedAwayFromItsDefaultHidesOrShowsItsLayers) {
  buildMenu();
  Form1& f = loadedForm();
  f.EnableNextPrevButtons = false;
  f.IncludeMenuTitleArea = false;
  f.IncludeButtonTextArea = false;
  f.KeepButtonImageHilite = true;
  f.KeepNextPrevHilite = true;
  f.AddHiliteToThumbMask = true;
  f.ApplyOptionsToLayers();

  const Document& menu = f.BuildMenuDocument;
  const Document& tmpl = f.TemplateDocument;
  for (const char* set : {"Button Image", "Hilite Mask", "Button Area", "Button Mask"}) {
    EXPECT_FALSE(visible(menu, set, std::string(set) + " Next")) << set;
    EXPECT_FALSE(visible(menu, set, std::string(set) + " Prev")) << set;
  }
  for (const char* set : {"Next Tmpl", "Prev Tmpl"}) EXPECT_FALSE(tmpl.LayerSets()(set).Visible());
  for (const char* set : {"Btn Next", "Btn Prev"}) EXPECT_FALSE(menu.LayerSets()(set).Visible());
  EXPECT_FALSE(visible(menu, "Text Area", "Title Area"));
  EXPECT_FALSE(tmpl.ArtLayers()("Title Area").Visible());
  EXPECT_FALSE(menu.ArtLayers()("Title Area").Visible());
  EXPECT_FALSE(visible(tmpl, "Btn Tmpl", "Text Area"));
  for (int n = 1; n <= 3; ++n) {
    EXPECT_FALSE(visible(menu, "Text Area", "Text Area " + std::to_string(n)));
    EXPECT_FALSE(visible(menu, "Btn " + std::to_string(n), "Text Area"));
  }
  EXPECT_FALSE(visible(menu, "Hilite Mask", "Comp Button Mask"));
  EXPECT_FALSE(visible(menu, "Hilite Mask", "Comp NxtPrv Button Mask"));
  EXPECT_TRUE(visible(menu, "Hilite Mask", "Comp Thumb Mask"));
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
  EXPECT_TRUE(visible(f.BuildMenuDocument, "Hilite Mask", "Comp Thumb Mask")) << "the last rule still ran";
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.pointers.back(), MousePointer::Default);
}
