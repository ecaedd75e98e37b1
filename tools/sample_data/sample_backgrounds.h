#pragma once
// The background pictures the program ships: skies, gradients and patterns at the menu's size
// (and one for high-definition menus),
// each drawn as a flat document through the automation layer.

#include <functional>
#include <string>
#include <vector>

#include "photoshop/object_model.h"

namespace sample_data {

inline constexpr int kMenuWidth = 720;
inline constexpr int kMenuHeight = 540;

enum class PictureFormat { Jpeg, Png, Bmp };

struct SampleBackground {
  std::string path;  // below "Backgrounds", with its extension
  PictureFormat format;
  // Draws the picture into a new document and returns it, flattened.
  std::function<photoshop::Document(photoshop::Application&)> draw;
  int width = kMenuWidth;
  int height = kMenuHeight;
};

const std::vector<SampleBackground>& SampleBackgrounds();

}  // namespace sample_data
