// The Options menu's toggles, their messages and marks, the small menu commands, and the tag in
// the Build Menu's keywords that keeps the options: written at the end of a step and read back.

#include "form_fixture.h"

using namespace app;
using app_test::FormTest;
using Keywords = std::vector<std::string>;
using Counted = std::pair<std::string, std::string>;  // the button count and the option flags

// The highlight entries are the inverse of their flags, and the Next/Previous buttons' entry goes
// with the buttons; the explaining messages come only when switching on. Edit beeps and Help shows
// the About box.
TEST_F(FormTest, HiliteEntriesAreTheInverseOfTheirFlagsAndTheExplainingMessagesComeOnlyWhenSwitchingOn) {
  Form1& f = loadedForm();
  const auto nextPrevHilite = [&] {
    return std::tuple(view.optionChecked[RemoveNextPrevHiliteOption], view.optionEnabled[RemoveNextPrevHiliteOption],
                      f.KeepNextPrevHilite);
  };
  f.OptionsMenu_Click(EnableNextPrevOption);
  EXPECT_FALSE(f.EnableNextPrevButtons);
  EXPECT_EQ(nextPrevHilite(), std::tuple(false, false, true));
  f.OptionsMenu_Click(EnableNextPrevOption);
  EXPECT_EQ(nextPrevHilite(), std::tuple(true, true, false));

  for (int option : {RemoveButtonHiliteOption, RemoveNextPrevHiliteOption, IncludeMenuTitleOption,
                     IncludeButtonTextOption, ReplaceBackgroundOption, ReplaceBackgroundOption,
                     AddHiliteToThumbOption, AddHiliteToThumbOption})
    f.OptionsMenu_Click(option);
  EXPECT_EQ(f.OptionFlagsText(), "FTFFTTF") << "both highlights kept, the switched-on options off again";
  EXPECT_EQ(view.pointers.back(), MousePointer::Default);
  ASSERT_EQ(view.messages.size(), 3u) << "one message for each option switched on";
  EXPECT_EQ(view.messages[0].text,
            "Menus with NO Next/Previous buttons are for Fixed Menus Only, they will not link to successive Menus.");
  EXPECT_EQ(view.messages[0].title, "Replace Background");
  EXPECT_EQ(view.messages[1].title, "Replace Background");
  EXPECT_EQ(view.messages[1].text,
            "This Option allows Layer Styles i.e. \"Drop Shadows...\" to be seen on the Menu Background.\r\n"
            "Menus with this Option will have a \"Fixed\" button count, where all unused Buttons will be\r\n"
            "visible in the Final Menu.");
  EXPECT_EQ(view.messages[2].title, "Highlight Thumbnail");
  EXPECT_EQ(view.messages[2].text,
            "This will JUST add the White area of the Thumbnail Mask to the Hilite Mask.  You Must\r\n"
            "change this White Color to one of the Normal (Row 2) colors in your Color Table.");
  EXPECT_EQ(view.messages[2].buttons, MsgBoxButtons::OKOnly);

  f.EditMenu_Click(2);
  f.HelpAbout_Click();
  EXPECT_EQ(std::pair(view.beeps, view.aboutBoxes), std::pair(1, 1));
  EXPECT_FALSE(view.unloaded);
}

// The tag replaces the keywords of the held Build Menu; read from a completed menu, it restores
// the count, the flags and the menu's marks, and is written back the same. An incomplete tag
// changes only what it holds.
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

  // Incomplete tags change only what they hold.
  const auto loaded = [&] {
    f.LoadOptionsFromDocument();
    return std::pair(f.ButtonCount.Text(), f.OptionFlagsText());
  };
  copy.Info().SetKeyWords({});
  EXPECT_EQ(loaded(), Counted("10", "TFFFTTT")) << "no keywords at all";
  copy.Info().SetKeyWords({"Build Menu Complete", "3 buttons", "TT"});
  EXPECT_EQ(loaded(), Counted("3", "TTFFFFF")) << "the number at the start of the text; missing flags are off";
  copy.Info().SetKeyWords({"Build Menu Complete"});
  EXPECT_EQ(loaded(), Counted("3", "FFFFFFF"));
  copy.Info().SetKeyWords({"Build Menu Complete", "7", "TTTTTTT"});
  f.CompletedMenuName = "Last Year Menu Complete";  // not open
  EXPECT_EQ(loaded(), Counted("3", "FFFFFFF"));
}
