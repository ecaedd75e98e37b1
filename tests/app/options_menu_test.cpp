// The Options menu's toggles, their messages and marks, the small menu commands, and the tag in
// the Build Menu's keywords that keeps the options: written at the end of a step and read back.

#include "form_fixture.h"

using namespace app;
using app_test::FormTest;
using Keywords = std::vector<std::string>;
using Counted = std::pair<std::string, std::string>;  // the button count and the option flags

// The highlight entries are the inverse of their flags, and the Next/Previous buttons' entry goes
// with the buttons; Edit beeps and Help shows the About box.
TEST_F(FormTest, HiliteEntriesAreTheInverseOfTheirFlagsAndTheNextPreviousOneGoesWithTheButtons) {
  Form1& f = loadedForm();
  const auto nextPrevHilite = [&] {
    return std::tuple(view.optionChecked[RemoveNextPrevHiliteOption], view.optionEnabled[RemoveNextPrevHiliteOption],
                      f.KeepNextPrevHilite);
  };
  f.OptionsMenu_Click(EnableNextPrevOption);
  EXPECT_FALSE(f.EnableNextPrevButtons);
  EXPECT_EQ(nextPrevHilite(), std::tuple(false, false, true));
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            "Menus with NO Next/Previous buttons are for Fixed Menus Only, they will not link to successive Menus.");
  EXPECT_EQ(view.messages[0].title, "Replace Background");
  f.OptionsMenu_Click(EnableNextPrevOption);
  EXPECT_EQ(nextPrevHilite(), std::tuple(true, true, false));
  EXPECT_EQ(view.messages.size(), 1u) << "no message when they are switched on";

  f.OptionsMenu_Click(RemoveButtonHiliteOption);
  EXPECT_TRUE(f.KeepButtonImageHilite);
  f.OptionsMenu_Click(RemoveNextPrevHiliteOption);
  EXPECT_TRUE(f.KeepNextPrevHilite);
  f.OptionsMenu_Click(IncludeMenuTitleOption);
  f.OptionsMenu_Click(IncludeButtonTextOption);
  EXPECT_EQ(f.OptionFlagsText(), "FTFFTTF");
  EXPECT_EQ(view.messages.size(), 1u);
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

// The tag replaces the keywords of the held Build Menu; read from a completed menu, it restores
// the count, the flags and the menu's marks, and is written back the same.
TEST_F(FormTest, TheTagIsWrittenToTheHeldBuildMenuAndReadBackFromACompletedMenu) {
  Form1& f = loadedForm();
  addWorkingDocuments();
  f.BuildMenuDocument.Info().SetKeyWords({"holiday", "family", "2009", "dvd"});
  engine.SetActiveDocument(f.TemplateDocument);
  f.ButtonCount = std::string("6");
  f.SaveOptionsToDocument("Clone Buttons Complete");
  EXPECT_EQ(f.BuildMenuDocument.Info().KeyWords(), (Keywords{"Clone Buttons Complete", "6", "FTTTFFF"}));
  EXPECT_TRUE(f.TemplateDocument.Info().KeyWords().empty());

  f.OptionsMenu_Click(RemoveButtonHiliteOption);
  f.SaveOptionsToDocument("Build Composite Layers Complete");
  EXPECT_EQ(f.BuildMenuDocument.Info().KeyWords()[2], "FTTTTFF");

  f.BuildMenuDocument = {};
  EXPECT_THROW(f.SaveOptionsToDocument("Build Menu Complete"), photoshop::AutomationError)
      << "the calling command decides what a failure means";

  f.CompletedMenuName = "Build Menu Complete";
  photoshop::Document copy = addDocument("Build Menu Complete");
  copy.Info().SetKeyWords({"Build Menu Complete", "10", "TFFFTTT"});
  f.LoadOptionsFromDocument();
  EXPECT_EQ(f.ButtonCount.Number(), 10.0);
  EXPECT_EQ(f.BuildMenuDocument, copy);
  EXPECT_EQ(f.OptionFlagsText(), "TFFFTTT");
  EXPECT_EQ(view.optionChecked, (std::array<bool, 7>{true, false, false, false, false, false, true}));
  EXPECT_FALSE(view.optionEnabled[RemoveNextPrevHiliteOption]);
  EXPECT_EQ(view.pointers.back(), MousePointer::Default) << "the options were applied to the layers";
  f.SaveOptionsToDocument("Build Menu Complete");
  EXPECT_EQ(copy.Info().KeyWords(), (Keywords{"Build Menu Complete", "10", "TFFFTTT"}));
}

TEST_F(FormTest, IncompleteTagsChangeOnlyWhatTheyHold) {
  Form1& f = loadedForm();
  f.CompletedMenuName = "Build Menu Complete";
  f.ButtonCount = std::string("4");
  photoshop::Document copy = addDocument("Build Menu Complete");
  const auto loaded = [&] {
    f.LoadOptionsFromDocument();
    return std::pair(f.ButtonCount.Text(), f.OptionFlagsText());
  };
  EXPECT_EQ(loaded(), Counted("4", "FTTTFFF")) << "no keywords at all";
  copy.Info().SetKeyWords({"Build Menu Complete", "3 buttons", "TT"});
  EXPECT_EQ(loaded(), Counted("3", "TTFFFFF")) << "the number at the start of the text; missing flags are off";
  copy.Info().SetKeyWords({"Build Menu Complete"});
  EXPECT_EQ(loaded(), Counted("3", "FFFFFFF"));
  copy.Info().SetKeyWords({"Build Menu Complete", "7", "TTTTTTT"});
  f.CompletedMenuName = "Build Menu";  // not open
  EXPECT_EQ(loaded(), Counted("3", "FFFFFFF"));
}
