// Type IDs and action descriptors: stable numbers, typed values, printing.

#include <gtest/gtest.h>

#include "photoshop_fixtures.h"

using namespace photoshop;

TEST(TypeIds, FourCharacterCodesKeepTheirBlanksAndStringIdsAreStableAndSomeStandForCodes) {
  Application app;
  EXPECT_EQ(app.CharIDToTypeID("Nm  "), 0x4E6D2020);
  EXPECT_EQ(app.TypeIDToCharID(app.CharIDToTypeID("T   ")), "T   ");
  EXPECT_THROW(app.CharIDToTypeID("Name!"), AutomationError);

  const TypeID content = app.StringIDToTypeID("contentLayer");
  EXPECT_EQ(app.StringIDToTypeID("contentLayer"), content);
  EXPECT_EQ(app.TypeIDToStringID(content), "contentLayer");
  EXPECT_LT(static_cast<std::uint32_t>(content), 0x20202020u) << "cannot collide with a four-character code";
  EXPECT_EQ(app.StringIDToTypeID("layer"), app.CharIDToTypeID("Lyr "));
  EXPECT_NE(app.StringIDToTypeID("someNewIdentifier"), app.StringIDToTypeID("anotherNewIdentifier"));
}

TEST(Descriptors, HoldTypedValuesInOrderAndReplaceARepeatedKey) {
  Application app;
  const auto c = [&](const char* code) { return app.CharIDToTypeID(code); };
  ActionDescriptor d;
  d.PutUnitDouble(c("Wdth"), c("#Pxl"), 720);
  d.PutString(c("Nm  "), "first");
  d.PutBoolean(c("Nm  "), true);
  EXPECT_EQ(d.Count(), 2);
  EXPECT_EQ(d.GetKey(1), c("Nm  "));
  EXPECT_TRUE(d.GetBoolean(c("Nm  ")));
  EXPECT_THROW(d.GetString(c("Nm  ")), std::invalid_argument);
  EXPECT_EQ(d.GetUnitDoubleValue(c("Wdth")), 720);
  EXPECT_EQ(d.GetUnitDoubleType(c("Wdth")), c("#Pxl"));
  EXPECT_FALSE(d.HasKey(c("Hght")));
}

// Objects, references, numbers and paths print as the operations' recorded actions show them.
TEST(Descriptors, PrintListsOneItemALine) {
  Application app;
  ActionDescriptor d;
  ActionList list;
  list.PutInteger(3);
  list.PutInteger(-4);
  d.PutList(app.CharIDToTypeID("Lyr "), list);
  EXPECT_EQ(d.text(), "'Lyr ': list [\n  integer 3\n  integer -4\n]\n");
}

TEST(ExecuteAction, RecordsEveryEventAndRefusesUnknownOnesByName) {
  Application app;
  ActionDescriptor d;
  d.PutString(app.CharIDToTypeID("Nm  "), "x");
  const AutomationError e = fixtures::errorOf([&] { app.ExecuteAction(app.CharIDToTypeID("Xyzw"), d, 3); });
  EXPECT_NE(e.Description().find("'Xyzw'"), std::string::npos);
  EXPECT_EQ(app.recordedActions(), std::vector<std::string>{"event 'Xyzw' dialog 3\n  'Nm  ': string \"x\"\n"});
}
