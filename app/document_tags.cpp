// The tag a menu carries in its document keywords: how far the workflow got, the number of
// buttons and the seven options, so that a finished menu can be opened again for editing.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"

namespace app {

std::string Form1::OptionFlagsText() const {
  std::string flags;
  for (bool flag : {ReplaceBackgroundWithButtonImage, EnableNextPrevButtons, IncludeMenuTitleArea, IncludeButtonTextArea,
                    KeepButtonImageHilite, KeepNextPrevHilite, AddHiliteToThumbMask})
    flags += flag ? 'T' : 'F';
  return flags;
}

void Form1::SaveOptionsToDocument(const std::string& marker) {
  Held(BuildMenuDocument).Info().SetKeyWords({marker, ButtonCount.Text(), OptionFlagsText()});
}

void Form1::LoadOptionsFromDocument() {
  // A document without keywords is no menu of ours: nothing changes.
  const bool keywordsRead = IgnoreErrors([&] {
    std::vector<std::string> keywords = PhotoshopApp.ActiveDocument().Info().KeyWords();
    if (keywords.empty()) throw photoshop::AutomationError(engine::ErrorCode::NoSuchElement, engine::kNoSuchElementText, "Quillary");
    DocumentKeywords = std::move(keywords);
  });
  const bool documentFound = IgnoreErrors([&] { BuildMenuDocument = PhotoshopApp.Documents().Item(CompletedMenuName); });
  if (!keywordsRead || !documentFound) return;

  if (DocumentKeywords.size() > 1) ButtonCount = LeadingNumber(DocumentKeywords[1]);
  // Without a flags element every flag reads as off.
  const std::string flags = DocumentKeywords.size() > 2 ? DocumentKeywords[2] : std::string();
  auto flag = [&](std::size_t position) { return position <= flags.size() && flags[position - 1] == 'T'; };
  ReplaceBackgroundWithButtonImage = flag(1);
  EnableNextPrevButtons = flag(2);
  IncludeMenuTitleArea = flag(3);
  IncludeButtonTextArea = flag(4);
  KeepButtonImageHilite = flag(5);
  KeepNextPrevHilite = flag(6);
  AddHiliteToThumbMask = flag(7);

  view_.SetOptionChecked(ReplaceBackgroundOption, ReplaceBackgroundWithButtonImage);
  view_.SetOptionChecked(EnableNextPrevOption, EnableNextPrevButtons);
  view_.SetOptionChecked(IncludeMenuTitleOption, IncludeMenuTitleArea);
  view_.SetOptionChecked(IncludeButtonTextOption, IncludeButtonTextArea);
  view_.SetOptionChecked(RemoveButtonHiliteOption, !KeepButtonImageHilite);
  view_.SetOptionChecked(RemoveNextPrevHiliteOption, !KeepNextPrevHilite);
  view_.SetOptionChecked(AddHiliteToThumbOption, AddHiliteToThumbMask);
  view_.SetOptionEnabled(RemoveNextPrevHiliteOption, EnableNextPrevButtons);
  ApplyOptionsToLayers();
}

}  // namespace app
