#include "tools/sample_data/sample_backgrounds.h"

#include "engine/layer.h"
#include "tools/sample_data/drawing.h"

namespace sample_data {

namespace {

namespace ps = photoshop::ps;
using photoshop::RectangleRegion;

photoshop::Document NewPicture(photoshop::Application& app, const std::string& name, int width = kMenuWidth,
                               int height = kMenuHeight) {
  return app.Documents().Add(width, height, 72, name, ps::NewRGB, ps::FillWhite);
}

// A new layer above the active one, blended onto what lies below.
photoshop::Layer Overlay(photoshop::Document& doc, int blendMode, double opacity) {
  photoshop::Layer layer = doc.ArtLayers().Add();
  layer.SetBlendMode(blendMode);
  layer.SetOpacity(opacity);
  return layer;
}

// Photoshop's numbers of the blend modes, as layers take them.
constexpr int kOverlayBlend = int(engine::BlendMode::Overlay);
constexpr int kScreenBlend = int(engine::BlendMode::Screen);
constexpr int kSoftLightBlend = int(engine::BlendMode::SoftLight);

// Clouds between two colours over a sky gradient, blended onto it.
struct CloudySky {
  Rgb top, bottom;
  int blendMode;
  double opacity;
  Rgb cloudShade, cloudLight;
};

photoshop::Document Clouds(photoshop::Application& app, const std::string& name, const CloudySky& sky,
                           int width = kMenuWidth, int height = kMenuHeight) {
  photoshop::Document doc = NewPicture(app, name, width, height);
  VerticalGradient(doc, sky.top, sky.bottom);
  photoshop::Layer clouds = Overlay(doc, sky.blendMode, sky.opacity);
  app.SetForegroundColor(Solid(sky.cloudShade));
  app.SetBackgroundColor(Solid(sky.cloudLight));
  clouds.ApplyClouds();
  doc.Flatten();
  return doc;
}

photoshop::Document BlueSky(photoshop::Application& app) {
  return Clouds(app, "Blue Sky", {{52, 104, 190}, {150, 196, 240}, kScreenBlend, 85, {20, 40, 90}, {250, 250, 255}});
}

constexpr CloudySky kSunset{{88, 40, 120}, {250, 150, 70}, kSoftLightBlend, 90, {40, 20, 60}, {255, 230, 200}};

photoshop::Document SunsetClouds(photoshop::Application& app) { return Clouds(app, "Sunset Clouds", kSunset); }

// The same sky for high-definition menus.
photoshop::Document SunsetCloudsFullHd(photoshop::Application& app) {
  return Clouds(app, "Sunset Clouds 1920x1080", kSunset, 1920, 1080);
}

photoshop::Document OceanDepths(photoshop::Application& app) {
  photoshop::Document doc = NewPicture(app, "Ocean Depths");
  VerticalGradient(doc, {24, 110, 160}, {4, 22, 56});
  // Soft light from above: faint ellipses, each on its own layer, brighter where they overlap.
  for (int ring = 0; ring < 6; ++ring) {
    const double inset = 40.0 * ring;
    Overlay(doc, kScreenBlend, 14);
    Paint(doc, {{Ellipse(60 + inset, -320 + inset * 0.8, 660 - inset, 220 - inset * 0.4), {}, {120, 200, 230}}});
  }
  doc.Flatten();
  return doc;
}

photoshop::Document DuskHorizon(photoshop::Application& app) {
  photoshop::Document doc = NewPicture(app, "Dusk Horizon");
  VerticalGradient(doc, {30, 30, 80}, {246, 190, 120});
  // A low sun and the dark line of distant hills.
  Overlay(doc, kScreenBlend, 70);
  Paint(doc, {{Ellipse(300, 330, 420, 450), {}, {255, 210, 140}}});
  doc.ArtLayers().Add();
  photoshop::Region hills{{0, 420},   {90, 400},  {200, 415}, {320, 392}, {450, 410},
                          {580, 396}, {720, 418}, {720, 540}, {0, 540}};
  Paint(doc, {{hills, {}, {36, 26, 52}}});
  doc.Flatten();
  return doc;
}

photoshop::Document BlueChecks(photoshop::Application& app) {
  photoshop::Document doc = NewPicture(app, "Blue Checks");
  VerticalGradient(doc, {46, 78, 140}, {22, 40, 86});
  constexpr int kCell = 45;
  photoshop::Selection selection = doc.Selection();
  Overlay(doc, kOverlayBlend, 35);
  bool first = true;
  for (int row = 0; row * kCell < kMenuHeight; ++row)
    for (int column = row % 2; column * kCell < kMenuWidth; column += 2) {
      selection.Select(RectangleRegion(column * kCell, row * kCell, (column + 1) * kCell, (row + 1) * kCell),
                       first ? ps::ReplaceSelection : ps::ExtendSelection, 0, false);
      first = false;
    }
  selection.Fill(Solid({255, 255, 255}));
  selection.Deselect();
  doc.Flatten();
  return doc;
}

photoshop::Document DiagonalStripes(photoshop::Application& app) {
  photoshop::Document doc = NewPicture(app, "Diagonal Stripes");
  VerticalGradient(doc, {236, 228, 204}, {206, 190, 160});
  constexpr double kPitch = 60, kStripe = 22;
  photoshop::Selection selection = doc.Selection();
  Overlay(doc, ps::NormalBlend, 55);
  for (double x = -kMenuHeight; x < kMenuWidth; x += kPitch)
    selection.Select(
        {{x, kMenuHeight}, {x + kMenuHeight, 0}, {x + kMenuHeight + kStripe, 0}, {x + kStripe, kMenuHeight}},
        x == -kMenuHeight ? ps::ReplaceSelection : ps::ExtendSelection, 0, false);
  selection.Fill(Solid({38, 122, 120}));
  selection.Deselect();
  doc.Flatten();
  return doc;
}

}  // namespace

const std::vector<SampleBackground>& SampleBackgrounds() {
  static const std::vector<SampleBackground> backgrounds{
      {"Skies/Blue Sky.jpg", PictureFormat::Jpeg, BlueSky},
      {"Skies/Sunset Clouds.png", PictureFormat::Png, SunsetClouds},
      {"Gradients/Ocean Depths.png", PictureFormat::Png, OceanDepths},
      {"Gradients/Dusk Horizon.jpg", PictureFormat::Jpeg, DuskHorizon},
      {"Patterns/Blue Checks.bmp", PictureFormat::Bmp, BlueChecks},
      {"Patterns/Diagonal Stripes.bmp", PictureFormat::Bmp, DiagonalStripes},
      {"Full HD/Sunset Clouds 1920x1080.png", PictureFormat::Png, SunsetCloudsFullHd, 1920, 1080},
  };
  return backgrounds;
}

}  // namespace sample_data
