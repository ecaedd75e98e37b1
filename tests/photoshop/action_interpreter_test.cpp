// Type IDs and action descriptors (stable numbers, typed values, printing), and the action
// interpreter on descriptors built by hand: the forms it accepts, the history it makes, and the
// clear refusals of everything else.

#include <gtest/gtest.h>

#include "photoshop/action_operations.h"
#include "photoshop_fixtures.h"

using namespace photoshop;
using engine::ErrorCode;
using fixtures::pixelApplication;

namespace {

TypeID c(const char* code) { return TypeIdRegistry::charId(code); }
TypeID s(const char* name) { return typeIds().stringId(name); }

ActionReference targetLayer() {
  ActionReference r;
  r.PutEnumerated(c("Lyr "), c("Ordn"), c("Trgt"));
  return r;
}

AutomationError failureOf(Application& app, TypeID event, const ActionDescriptor& d) {
  return fixtures::errorOf([&] { app.ExecuteAction(event, d, 3); });
}

}  // namespace

// Four-character codes keep their blanks; string IDs are stable, some stand for codes, and the
// interpreter takes them where it takes codes. Descriptors hold the typed values they are given.
TEST(TypeIds, FourCharacterCodesKeepTheirBlanksAndStringIdsWorkWhereCodesDo) {
  Application app = pixelApplication();
  EXPECT_EQ(app.CharIDToTypeID("Nm  "), 0x4E6D2020);
  EXPECT_EQ(app.TypeIDToCharID(app.CharIDToTypeID("T   ")), "T   ");
  EXPECT_THROW(app.CharIDToTypeID("Name!"), AutomationError);

  const TypeID content = app.StringIDToTypeID("contentLayer");
  EXPECT_EQ(app.StringIDToTypeID("contentLayer"), content);
  EXPECT_EQ(app.TypeIDToStringID(content), "contentLayer");
  EXPECT_LT(static_cast<std::uint32_t>(content), 0x20202020u) << "cannot collide with a four-character code";
  EXPECT_EQ(app.StringIDToTypeID("layer"), app.CharIDToTypeID("Lyr "));
  EXPECT_NE(app.StringIDToTypeID("someNewIdentifier"), app.StringIDToTypeID("anotherNewIdentifier"));

  Document doc = app.Documents().Add(40, 30);
  ActionDescriptor d;
  d.PutUnitDouble(s("width"), s("pixelsUnit"), 20.4);
  d.PutUnitDouble(s("height"), s("pixelsUnit"), 10);
  d.PutEnumerated(s("interpolation"), s("interpolationType"), s("nearestNeighbor"));
  app.ExecuteAction(s("imageSize"), d, 3);
  EXPECT_EQ(doc.Width(), 20);
  EXPECT_EQ(doc.Height(), 10);

  ActionDescriptor label, to;
  label.PutReference(s("null"), targetLayer());
  to.PutEnumerated(s("color"), s("color"), s("orange"));
  label.PutObject(s("to"), s("layer"), to);
  app.ExecuteAction(s("set"), label, 3);
  EXPECT_EQ(doc.engineDocument()->content().layer(doc.ActiveLayer().Id()).colorLabel, engine::ColorLabel::Orange);

  // Descriptors hold typed values in order and replace a repeated key.
  ActionDescriptor held;
  held.PutUnitDouble(c("Wdth"), c("#Pxl"), 720);
  held.PutString(c("Nm  "), "first");
  held.PutBoolean(c("Nm  "), true);
  EXPECT_EQ(held.Count(), 2);
  EXPECT_EQ(held.GetKey(1), c("Nm  "));
  EXPECT_TRUE(held.GetBoolean(c("Nm  ")));
  EXPECT_THROW(held.GetString(c("Nm  ")), std::invalid_argument);
  EXPECT_EQ(std::pair(held.GetUnitDoubleValue(c("Wdth")), held.GetUnitDoubleType(c("Wdth"))),
            std::pair(720.0, c("#Pxl")));
  EXPECT_FALSE(held.HasKey(c("Hght")));

  // Objects, references, numbers and paths print as the operations' recorded actions show them.
  ActionDescriptor printed;
  ActionList list;
  list.PutInteger(3);
  list.PutInteger(-4);
  printed.PutList(c("Lyr "), list);
  EXPECT_EQ(printed.text(), "'Lyr ': list [\n  integer 3\n  integer -4\n]\n") << "one item a line";
}

TEST(ActionInterpreter, EachChangeIsOneHistoryStateAndAFailureChangesNothing) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(40, 30, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  const HistoryState start = doc.ActiveHistoryState();
  SetLayerColorLabel(app, "Grn ");
  ScaleImageSize(app, 80, 60);
  EXPECT_EQ(doc.engineDocument()->history().size(), 3u);
  const HistoryState scaled = doc.ActiveHistoryState();

  ActionDescriptor bad, to;
  bad.PutReference(c("null"), targetLayer());
  to.PutEnumerated(c("Clr "), c("Clr "), c("Pink"));
  bad.PutObject(c("T   "), c("Lyr "), to);
  EXPECT_TRUE(failureOf(app, c("setd"), bad).Is(ErrorCode::InvalidArgument));
  ActionDescriptor tooBig;
  tooBig.PutUnitDouble(c("Wdth"), c("#Pxl"), 1e9);
  tooBig.PutUnitDouble(c("Hght"), c("#Pxl"), 10);
  EXPECT_TRUE(failureOf(app, c("ImgS"), tooBig).Is(ErrorCode::InvalidArgument));
  ActionDescriptor percent;
  percent.PutUnitDouble(c("Wdth"), c("#Prc"), 50);
  percent.PutUnitDouble(c("Hght"), c("#Pxl"), 10);
  EXPECT_NE(failureOf(app, c("ImgS"), percent).Description().find("pixels"), std::string::npos);
  EXPECT_EQ(doc.ActiveHistoryState().serial(), scaled.serial());

  doc.SetActiveHistoryState(start);
  EXPECT_EQ(doc.Width(), 40);
  EXPECT_EQ(doc.engineDocument()->content().layer(doc.ActiveLayer().Id()).colorLabel, engine::ColorLabel::None);
}

// Every event is recorded, even one refused.
TEST(ActionInterpreter, RefusesWhatItDoesNotImplementNamingTheEvent) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(40, 30);
  const auto refusal = [&](TypeID event, const ActionDescriptor& d) {
    const AutomationError e = failureOf(app, event, d);
    EXPECT_TRUE(e.Is(ErrorCode::UnsupportedAction)) << e.Description();
    return e.Description();
  };
  ActionDescriptor named;
  named.PutString(c("Nm  "), "x");
  EXPECT_NE(refusal(c("Xyzw"), named).find("'Xyzw'"), std::string::npos);
  EXPECT_EQ(app.recordedActions(), std::vector<std::string>{"event 'Xyzw' dialog 3\n  'Nm  ': string \"x\"\n"});
  ActionDescriptor channel;
  ActionReference r;
  r.PutEnumerated(c("Chnl"), c("Ordn"), c("Trgt"));
  channel.PutReference(c("null"), r);
  EXPECT_EQ(refusal(c("Dplc"), channel).rfind("the action event 'Dplc' is not supported by the engine: ", 0), 0u);

  ActionDescriptor extra;
  extra.PutReference(c("null"), targetLayer());
  extra.PutBoolean(c("Mrgd"), true);
  EXPECT_NE(refusal(c("Dplc"), extra).find("'Mrgd'"), std::string::npos);

  ActionDescriptor jpeg, options;
  jpeg.PutObject(c("As  "), c("JPEG"), options);
  jpeg.PutPath(c("In  "), "/tmp/x.jpg");
  EXPECT_NE(refusal(c("save"), jpeg).find("'save'"), std::string::npos);

  ActionDescriptor opacity, to;
  opacity.PutReference(c("null"), targetLayer());
  to.PutUnitDouble(c("Opct"), c("#Prc"), 50);
  opacity.PutObject(c("T   "), c("Lyr "), to);
  EXPECT_NE(refusal(c("setd"), opacity).find("'Opct'"), std::string::npos);
  EXPECT_EQ(doc.engineDocument()->history().size(), 1u);
}

TEST(ActionInterpreter, ActionsNeedAnOpenDocumentAndCopyABackgroundAsAnOrdinaryLayer) {
  Application app = pixelApplication();
  ActionDescriptor d;
  d.PutReference(c("null"), targetLayer());
  EXPECT_EQ(failureOf(app, s("disableLayerStyle"), d).Description(), "there is no such element");
  EXPECT_NE(failureOf(app, c("Dplc"), d).Description().find("no such element"), std::string::npos);

  app.Documents().Add(10, 10, 72, "Build Menu");
  const AutomationError e = failureOf(app, s("disableLayerStyle"), d);
  EXPECT_EQ(e.Description(), "the layer \"Background\" has no layer style");
  std::vector<std::string> shown;
  DuplicateLayer(app, "Build Menu", [&](const std::string& m) { shown.push_back(m); });
  EXPECT_TRUE(shown.empty());
  Document doc = app.Documents()("Build Menu");
  EXPECT_EQ(doc.Layers()(1).Name(), "Background Copy");
  EXPECT_FALSE(doc.Layers()(1).IsBackgroundLayer()) << "a copied background is an ordinary layer";
  EXPECT_TRUE(doc.Layers()(2).IsBackgroundLayer());
}
