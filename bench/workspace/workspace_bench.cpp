// Frames of a drag on a full-HD Build Menu with ten button sets, and a 60-layer full-HD PSD
// opened into a shown workspace. Run offscreen: QT_QPA_PLATFORM=offscreen ./workspace_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>

#include "engine/operations.h"
#include "formats/document_io.h"
#include "photoshop/object_model.h"
#include "workspace/canvas_view.h"
#include "workspace/workspace_window.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

engine::LayerId painted(engine::DocumentContent& c, engine::LayerId set, engine::Rect area, engine::Rgb colour) {
  const engine::LayerId id = engine::addArtLayer(c, set);
  c.layer(id).pixels = engine::Raster::filled(area, colour, 230);
  return id;
}

// A Build Menu: a background and ten button sets (area, image, mask, text) of 320 x 120.
engine::DocumentContent buildMenu(int buttons) {
  engine::DocumentContent c;
  c.width = kWidth;
  c.height = kHeight;
  engine::LayerNode background = engine::LayerNode::artLayer("Background");
  background.isBackground = true;
  background.pixels = engine::Raster::filled(c.canvas(), {30, 60, 90});
  c.layers.push_back(std::move(background));
  for (int b = 0; b < buttons; ++b) {
    const engine::LayerId set = engine::addLayerSet(c);
    const int left = 100 + (b % 3) * 600, top = 80 + (b / 3) * 200;
    for (int k = 0; k < 4; ++k)
      painted(c, set, {left + k * 4, top + k * 4, left + 320 - k * 4, top + 120 - k * 4},
              {std::uint8_t(40 * k), std::uint8_t(20 * b), 200});
    c.activeLayer = set;
  }
  return c;
}

void dragFrame(benchmark::State& state) {
  photoshop::Application app;
  auto doc = app.engine().addDocument("Build Menu", buildMenu(10));
  workspace::CanvasView canvas;
  canvas.setEngine(&app.engine());
  canvas.resize(kWidth, kHeight);
  canvas.setDocument(doc);
  canvas.actualPixels();
  QImage frame(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  const QPointF start = canvas.toWidget(QPointF(250, 120));
  QMouseEvent press(QEvent::MouseButtonPress, start, start, Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(&canvas, &press);
  int step = 0;
  for (auto _ : state) {
    const QPointF at = start + QPointF(step % 40, step % 25);
    QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&canvas, &move);
    canvas.render(&frame);
    ++step;
  }
  QMouseEvent release(QEvent::MouseButtonRelease, start, start, Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(&canvas, &release);
}
BENCHMARK(dragFrame)->Unit(benchmark::kMillisecond);

void openSixtyLayers(benchmark::State& state) {
  QTemporaryDir dir;
  // 15 button sets of four layers, the last one of them replaced by the background: 60 layers.
  engine::DocumentContent content = buildMenu(15);
  content.layers.front().children.pop_back();
  const std::string path = dir.filePath(QStringLiteral("menu.psd")).toStdString();
  formats::writePsd(content, path);
  QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
  photoshop::Application app;
  workspace::Workspace window(app, settings);
  window.resize(kWidth / 2, kHeight / 2);
  window.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    if (!window.openFile(QString::fromStdString(path))) state.SkipWithError("the document did not open");
    QCoreApplication::processEvents();  // until it is on the screen
    state.PauseTiming();
    app.ActiveDocument().Close(photoshop::ps::DoNotSaveChanges);
    window.sync();
    state.ResumeTiming();
  }
}
BENCHMARK(openSixtyLayers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
