#pragma once
// A workspace over a fresh engine, with a document made by code: a white background, and a
// button set holding two coloured layers linked together.

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "engine/engine_fixtures.h"
#include "engine/operations.h"
#include "photoshop/photoshop_fixtures.h"
#include "widget_test_environment.h"
#include "workspace/canvas_view.h"
#include "workspace/workspace_window.h"

namespace workspace_test {

class WorkspaceTest : public ::testing::Test {
 protected:
  WorkspaceTest() {
    doc = app.Documents().Add(120, 80, 72, "Build Menu");
    engineDoc = doc.engineDocument();
    engine().edit("Buttons", [this](engine::DocumentContent& c) {
      set = engine::addLayerSet(c);
      c.layer(set).name = "Button 1";
      c.layer(set).children.push_back(fixtures::solidLayer("Face", {10, 10, 40, 30}, {200, 0, 0}));
      c.layers.insert(c.layers.begin(), fixtures::solidLayer("Label", {50, 40, 60, 50}, {0, 0, 200}));
      face = c.layer(set).children.front().id;
      label = c.layers.front().id;
      engine::linkLayers(c, face, label);
      c.activeLayer = face;
    });
    workspace.resize(900, 600);
    workspace.sync();
  }

  // Read past the automation layer, which refuses every call while a transform is pending.
  engine::Document& engine() const { return *engineDoc; }
  const engine::LayerNode& node(engine::LayerId id) const { return engine().content().layer(id); }
  workspace::CanvasView& canvas() const { return workspace.canvas(); }
  void showWorkspace() {
    workspace.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&workspace));
    workspace.sync();
  }

  QTemporaryDir dir;
  QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
  photoshop::Application app = fixtures::pixelApplication();
  photoshop::Document doc;
  std::shared_ptr<engine::Document> engineDoc;
  engine::LayerId set = 0, face = 0, label = 0;
  workspace::Workspace workspace{app, settings};
};

}  // namespace workspace_test
