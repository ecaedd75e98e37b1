// The button template check: every item a template must hold, made visible one by one, with a
// numbered line for each one that is missing.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "support/vocabulary.h"

namespace app {

namespace {

using namespace vocabulary;

// One template item: a top-level layer (no set), a set (no layer), or a layer in a set.
struct TemplateItem {
  const char* set;
  const char* layer;
};

constexpr TemplateItem kTemplateItems[] = {
    {nullptr, kTitleArea},   {nullptr, kColorTable},
    {kPrevTmpl, nullptr},    {kPrevTmpl, kButtonImage}, {kPrevTmpl, kHiliteMask}, {kPrevTmpl, kButtonArea},
    {kNextTmpl, nullptr},    {kNextTmpl, kButtonImage}, {kNextTmpl, kHiliteMask}, {kNextTmpl, kButtonArea},
    {kBtnTmpl, nullptr},     {kBtnTmpl, kTextArea},     {kBtnTmpl, kThumbMask},   {kBtnTmpl, kThumbArea},
    {kBtnTmpl, kButtonImage}, {kBtnTmpl, kHiliteMask},  {kBtnTmpl, kButtonArea},
};

std::string quoted(const char* name) { return std::string("\"") + name + "\""; }

// The words of a report line after its number.
std::string missingText(const TemplateItem& item) {
  if (!item.set) return ": Layer " + quoted(item.layer) + " Layer is Missing.";
  if (!item.layer) return ": " + quoted(item.set) + " Layer Set " + " is Missing.";
  return ": " + quoted(item.set) + " Layer Set or " + quoted(item.layer) + " Layer is Missing.";
}

}  // namespace

std::string Form1::CheckButtonTemplateLayers(std::int16_t& MissingCount) {
  MissingCount = 0;
  std::string report;
  IgnoreErrors([&] { PhotoshopApp.SetActiveDocument(Held(TemplateDocument)); });
  for (const TemplateItem& item : kTemplateItems) {
    const bool found = IgnoreErrors([&] {
      const photoshop::Document& doc = Held(TemplateDocument);
      if (!item.set) doc.Layers().Item(item.layer).SetVisible(true);
      else if (!item.layer) doc.LayerSets().Item(item.set).SetVisible(true);
      else doc.LayerSets().Item(item.set).Layers().Item(item.layer).SetVisible(true);
    });
    if (found) continue;
    report += std::to_string(MissingCount + 1) + missingText(item) + "\r\n";
    ++MissingCount;
  }
  return report;
}

}  // namespace app
