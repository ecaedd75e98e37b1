// The commands that change a layer's look: fill, pictures placed or replacing pixels, and the
// round trip through an external editor.

#include <QFile>
#include <QImage>

#include "formats/document_io.h"
#include "workspace/document_edits.h"
#include "workspace/external_editor.h"
#include "workspace_fixture.h"

using workspace_test::WorkspaceTest;

namespace {

engine::Rgb pixelOf(const engine::LayerNode& n, int x, int y) {
  const std::uint8_t* p = n.pixels.pixel(x, y);
  return {p[0], p[1], p[2]};
}

}  // namespace

struct FillCase {
  const char* name;
  bool preserveTransparency;
  bool emptyPixelsFilled;
};

void PrintTo(const FillCase& c, std::ostream* os) { *os << c.name; }

class FillTest : public WorkspaceTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(FillTest, FillsTheSelectionOnTheActiveLayer) {
  engine().edit("Select", [](engine::DocumentContent& c) {
    engine::selectRegion(c, {{0, 0}, {20, 0}, {20, 20}, {0, 20}}, engine::SelectionType::Replace, 0);
  });
  ASSERT_TRUE(workspace.fillWith(QColor(0, 255, 0), GetParam().preserveTransparency));
  const engine::LayerNode& layer = node(face);
  EXPECT_EQ(pixelOf(layer, 15, 15), (engine::Rgb{0, 255, 0}));  // selected and opaque
  EXPECT_EQ(pixelOf(layer, 30, 25), (engine::Rgb{200, 0, 0}));  // opaque, outside the selection
  const bool filled = layer.pixels.alphaAt(5, 5) == 255;       // transparent before, inside
  EXPECT_EQ(filled, GetParam().emptyPixelsFilled);
  EXPECT_EQ(engine().history().current().name, "Fill");
}

INSTANTIATE_TEST_SUITE_P(Transparency, FillTest,
                         ::testing::Values(FillCase{"Painted", false, true}, FillCase{"Preserved", true, false}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(WorkspaceTest, APlacedPictureBecomesANewLayerAndReplaceKeepsTheLayersCorner) {
  QImage picture(20, 10, QImage::Format_RGB32);
  picture.fill(QColor(10, 20, 30));
  const QString png = dir.filePath(QStringLiteral("stamp.png"));
  ASSERT_TRUE(picture.save(png));

  ASSERT_TRUE(workspace.placePictureFile(png));
  const engine::LayerNode& placed = node(engine().content().activeLayer);
  EXPECT_EQ(placed.name, "stamp");
  EXPECT_EQ(placed.pixels.bounds(), (engine::Rect{50, 35, 70, 45}));  // centred on 120 x 80

  workspace::edits::setActiveLayer(app.engine(), engine(), face);
  ASSERT_TRUE(workspace.replaceLayerPixelsFrom(png));
  EXPECT_EQ(node(face).pixels.bounds(), (engine::Rect{10, 10, 30, 20}));
  EXPECT_EQ(pixelOf(node(face), 10, 10), (engine::Rgb{10, 20, 30}));

  EXPECT_FALSE(workspace.placePictureFile(dir.filePath(QStringLiteral("missing.png"))));
}

TEST_F(WorkspaceTest, AnExternalEditThatRewritesThePsdReplacesTheLayersAsOneState) {
  // What the editor will save: the document with one layer less.
  engine::DocumentContent edited = engine().content();
  edited.layers.erase(edited.layers.begin());  // "Label"
  const QString prepared = dir.filePath(QStringLiteral("edited.psd"));
  formats::writePsd(edited, prepared.toStdString());
  const QString script = dir.filePath(QStringLiteral("editor.sh"));
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QStringLiteral("#!/bin/sh\nsleep 0.2\ncp '%1' \"$1.tmp\" && mv \"$1.tmp\" \"$1\"\n").arg(prepared).toUtf8());
  file.close();
  file.setPermissions(file.permissions() | QFile::ExeUser);

  const std::size_t states = engine().history().size();
  ASSERT_TRUE(workspace.editInExternalEditor(script));
  EXPECT_TRUE(QFile::exists(workspace.externalEditor().fileFor(engine())));
  EXPECT_TRUE(QTest::qWaitFor([&] { return engine().content().layers.size() == 2; }, 10000));
  EXPECT_EQ(engine().history().size(), states + 1);
  EXPECT_EQ(engine().history().current().name, "Edit in External Editor");
  EXPECT_EQ(doc.Name(), "Build Menu");
  EXPECT_EQ(settings.value(QStringLiteral("Workspace/ExternalEditor")).toString(), script);
}
