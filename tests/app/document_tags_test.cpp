// The tag in the Build Menu's keywords: written at the end of a step and read back.

#include "form_fixture.h"

using namespace app;
using app_test::FormTest;
using Keywords = std::vector<std::string>;
using Counted = std::pair<std::string, std::string>;  // the button count and the option flags

TEST_F(FormTest, TheTagReplacesTheKeywordsOfTheHeldBuildMenu) {
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
}

TEST_F(FormTest, ReadingATagRestoresCountFlagsAndMenuMarks) {
  Form1& f = loadedForm();
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

  // Written back, the tag is the same.
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
