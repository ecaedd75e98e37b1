// The guide layer of the Build Menu: two one-pixel outlines, red 10 % and yellow 5 % inside the
// menu's edges, for keeping titles and buttons clear of a television's overscan.

#include "app/error_recovery.h"
#include "app/form1.h"
#include "app/held_reference.h"
#include "support/vocabulary.h"
#include "photoshop/color_operations.h"

namespace app {

namespace {

inline constexpr std::int32_t kTypeMismatch = 13;

double menuLength(const std::string& text) {
  const std::optional<double> value = ParseNumber(text);
  if (!value) throw photoshop::AutomationError(kTypeMismatch, "Type mismatch", "Quillary");
  return *value;
}

}  // namespace

void Form1::SetTitleSafeGuides() {
  using namespace vocabulary;
  PhotoshopApp.SetActiveDocument(PhotoshopApp.Documents().Item(kBuildMenu));

  // The guides go on a layer of their own, the one drawn on: a layer of the user's is never
  // renamed or stroked, whatever its name. Without that layer nothing is drawn.
  const bool ownLayer = IgnoreErrors([&] {
    WorkLayer = Held(BuildMenuDocument).ArtLayers().Add();
    WorkLayer.SetName(kTitleSafeZones);
    BuildMenuDocument.SetActiveLayer(WorkLayer);
  });
  if (!ownLayer) return;

  // A size that is not a number leaves the region as it was; what depends on it is skipped.
  photoshop::Region region;
  const auto outline = [&](double margin, std::int32_t color) {
    IgnoreErrors([&] {
      const double w = menuLength(view_.MenuWidthText()), h = menuLength(view_.MenuHeightText());
      region = photoshop::RectangleRegion(margin * w, margin * h, (1 - margin) * w, (1 - margin) * h);
    });
    IgnoreErrors([&] { Held(BuildMenuDocument).Selection().Select(region, photoshop::ps::ReplaceSelection, 0, false); });
    IgnoreErrors([&] { SetPSForegroundColor(color); });
    IgnoreErrors([&] { Held(BuildMenuDocument).Selection().Stroke(WorkSolidColor, 1); });
    IgnoreErrors([&] { Held(BuildMenuDocument).Selection().Deselect(); });
  };
  outline(0.1, photoshop::RGBValue(255, 0, 0));
  outline(0.05, photoshop::RGBValue(255, 255, 0));
}

}  // namespace app
