// The Options menu's toggles, their messages and marks, and the small menu commands.

#include "form_fixture.h"

using namespace app;
using app_test::FormTest;

TEST_F(FormTest, NextPreviousButtonsCarryTheirHighlightEntryWithThem) {
  Form1& f = loadedForm();
  f.OptionsMenu_Click(EnableNextPrevOption);
  EXPECT_FALSE(f.EnableNextPrevButtons);
  EXPECT_FALSE(view.optionChecked[RemoveNextPrevHiliteOption]);
  EXPECT_FALSE(view.optionEnabled[RemoveNextPrevHiliteOption]);
  EXPECT_TRUE(f.KeepNextPrevHilite);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            "Menus with NO Next/Previous buttons are for Fixed Menus Only, they will not link to successive Menus.");
  EXPECT_EQ(view.messages[0].title, "Replace Background");

  f.OptionsMenu_Click(EnableNextPrevOption);
  EXPECT_TRUE(view.optionChecked[RemoveNextPrevHiliteOption]);
  EXPECT_TRUE(view.optionEnabled[RemoveNextPrevHiliteOption]);
  EXPECT_FALSE(f.KeepNextPrevHilite);
  EXPECT_EQ(view.messages.size(), 1u) << "no message when they are switched on";
}

TEST_F(FormTest, HiliteEntriesAreTheInverseOfTheirFlagsAndEditBeepsAndHelpShowsTheAboutBox) {
  Form1& f = loadedForm();
  f.OptionsMenu_Click(RemoveButtonHiliteOption);
  EXPECT_TRUE(f.KeepButtonImageHilite);
  f.OptionsMenu_Click(RemoveNextPrevHiliteOption);
  EXPECT_TRUE(f.KeepNextPrevHilite);
  f.OptionsMenu_Click(IncludeMenuTitleOption);
  f.OptionsMenu_Click(IncludeButtonTextOption);
  EXPECT_EQ(f.OptionFlagsText(), "FTFFTTF");
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.pointers.back(), MousePointer::Default);

  f.EditMenu_Click(2);
  f.HelpAbout_Click();
  EXPECT_EQ(std::pair(view.beeps, view.aboutBoxes), std::pair(1, 1));
  EXPECT_FALSE(view.unloaded);
}

TEST_F(FormTest, TheExplainingMessagesComeOnlyWhenSwitchingOn) {
  Form1& f = loadedForm();
  f.OptionsMenu_Click(ReplaceBackgroundOption);
  f.OptionsMenu_Click(ReplaceBackgroundOption);
  f.OptionsMenu_Click(AddHiliteToThumbOption);
  f.OptionsMenu_Click(AddHiliteToThumbOption);
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].title, "Replace Background");
  EXPECT_EQ(view.messages[0].text,
            "This Option allows Layer Styles i.e. \"Drop Shadows...\" to be seen on the Menu Background.\r\n"
            "Menus with this Option will have a \"Fixed\" button count, where all unused Buttons will be\r\n"
            "visible in the Final Menu.");
  EXPECT_EQ(view.messages[1].title, "Highlight Thumbnail");
  EXPECT_EQ(view.messages[1].text,
            "This will JUST add the White area of the Thumbnail Mask to the Hilite Mask.  You Must\r\n"
            "change this White Color to one of the Normal (Row 2) colors in your Color Table.");
  EXPECT_EQ(view.messages[1].buttons, MsgBoxButtons::OKOnly);
  EXPECT_FALSE(f.ReplaceBackgroundWithButtonImage);
  EXPECT_FALSE(f.AddHiliteToThumbMask);
}
