#pragma once
// An application set up the way the program sets it up: rulers in pixels.

#include <gtest/gtest.h>

#include "engine/engine_fixtures.h"
#include "photoshop/object_model.h"

namespace fixtures {

inline photoshop::Application pixelApplication() {
  photoshop::Application app;
  app.Preferences().SetRulerUnits(photoshop::ps::Pixels);
  return app;
}

// A new layer or set, named.
inline photoshop::Layer named(photoshop::Layer layer, const std::string& name) {
  layer.SetName(name);
  return layer;
}

// The colour of one pixel of a layer, read from the engine.
inline engine::Rgb pixel(const photoshop::Document& doc, const photoshop::Layer& layer, int x, int y) {
  return rgbAt(doc.engineDocument()->content().layer(layer.Id()).pixels, x, y);
}

// The AutomationError a call raises; a failed expectation when it raises none.
template <class F>
photoshop::AutomationError errorOf(F&& call) {
  try {
    call();
  } catch (const photoshop::AutomationError& e) {
    return e;
  }
  ADD_FAILURE() << "no AutomationError";
  return photoshop::AutomationError(0, "", "");
}

}  // namespace fixtures
