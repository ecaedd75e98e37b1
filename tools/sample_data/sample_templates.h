#pragma once
// The button templates the program ships: documents with the template items Create/Edit Menu
// checks for, each a real button design, built through the automation layer. One of them
// deliberately lacks an item, so the user meets the structure check.

#include <string>
#include <vector>

#include "photoshop/object_model.h"
#include "tools/sample_data/drawing.h"

namespace sample_data {

// The three layers every button set holds.
struct ButtonArt {
  Art buttonArea, hiliteMask, buttonImage;
};

struct TemplateDesign {
  std::string fileName;  // below "Button Templates"
  Art titleArea;
  ButtonArt button;
  Art thumbArea, thumbMask, textArea;
  ButtonArt next;           // the previous button is its mirror image
  std::string missingItem;  // a "Btn Tmpl" layer left out; "" for a complete template
};

const std::vector<TemplateDesign>& SampleTemplates();

// A new document named after the design's file, holding its items and the colour table.
photoshop::Document BuildTemplate(photoshop::Application& app, const TemplateDesign& design);

}  // namespace sample_data
