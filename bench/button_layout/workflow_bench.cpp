// The whole workflow with ten buttons, from Create/Edit Menu to the saved final document, at
// 720 x 540 and 1920 x 1080: its time, each command's share of it, and the history states each
// working document records.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <chrono>
#include <map>
#include <sstream>

#include "app/form1.h"
#include "app/settings_store.h"
#include "tools/build/batch_view.h"

namespace {

using photoshop::Document;

void paint(const photoshop::Application& app, const Document& doc, const photoshop::Layer& layer, double l, double t,
           double r, double b) {
  app.SetActiveDocument(doc);
  doc.SetActiveLayer(layer);
  doc.Selection().Select(photoshop::RectangleRegion(l, t, r, b));
  doc.Selection().Fill(photoshop::SolidColor(40, 80, 160));
  doc.Selection().Deselect();
}

// A button template and a Build Menu of the page's size, open as a user leaves them.
void openDocuments(const photoshop::Application& app, int w, int h) {
  const double sx = w / 720.0, sy = h / 540.0;
  const Document tmpl = app.Documents().Add(w, h, 72, "Button Template", photoshop::ps::NewRGB, photoshop::ps::FillTransparent);
  const std::pair<const char*, std::vector<const char*>> sets[] = {
      {"Prev Tmpl", {"Button Area", "Hilite Mask", "Button Image"}},
      {"Next Tmpl", {"Button Area", "Hilite Mask", "Button Image"}},
      {"Btn Tmpl", {"Button Area", "Hilite Mask", "Button Image", "Thumb Area", "Thumb Mask", "Text Area"}}};
  double x = 100;
  for (const auto& [set, members] : sets) {
    const photoshop::Layer s = tmpl.LayerSets().Add();
    s.SetName(set);
    for (const char* member : members) {
      const photoshop::Layer layer = s.ArtLayers().Add();
      layer.SetName(member);
      paint(app, tmpl, layer, x * sx, 100 * sy, (x + 60) * sx, 140 * sy);
      x += 30;
    }
  }
  const photoshop::Layer title = tmpl.ArtLayers().Add();
  title.SetName("Title Area");
  paint(app, tmpl, title, 100 * sx, 20 * sy, 600 * sx, 60 * sy);
  tmpl.ArtLayers()("Layer 1").Remove();
  const Document menu = app.Documents().Add(w, h, 72, "Build Menu", photoshop::ps::NewRGB, photoshop::ps::FillWhite);
  paint(app, menu, menu.ArtLayers()("Background"), 0, 0, w, h / 2.0);
}

void BM_WholeWorkflowTenButtons(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  QTemporaryDir dir;
  std::map<std::string, double> seconds;
  double total = 0;
  std::size_t states[3] = {};
  for (auto _ : state) {
    state.PauseTiming();
    photoshop::Application app;
    app.Preferences().SetRulerUnits(photoshop::ps::Pixels);
    // Answered like a user who keeps the open documents and asks for ten buttons.
    std::ostringstream transcript;
    build::BatchHost host(dir.path().toStdString() + "/menu.psd", transcript);
    app.engine().host = &host;
    openDocuments(app, w, h);
    build::BatchView view("", "", w, h, 10, transcript);
    app::SettingsStore settings(dir.path() + "/settings.ini");
    app::Form1 form(view, settings, [&] { return app; }, dir.path().toStdString());
    form.Form_Load();
    state.ResumeTiming();

    const std::pair<const char*, void (app::Form1::*)()> commands[] = {
        {"create", &app::Form1::CreateNewMenuDoc_Click},
        {"clone", &app::Form1::CloneButtons_Click},
        {"composite", &app::Form1::BuildCompositeLayers_Click},
        {"final", &app::Form1::FinalPSDDocument_Click}};
    for (const auto& [name, command] : commands) {
      const auto start = std::chrono::steady_clock::now();
      (form.*command)();
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      seconds[name] += s;
      total += s;
    }
    if (form.WorkflowState != app::BuiltFinalSaveNow) state.SkipWithError("the workflow did not reach the final document");
    state.PauseTiming();
    const char* names[] = {"Button Template", "Build Menu", "Final Menu"};
    for (int i = 0; i < 3; ++i) states[i] = app.Documents()(names[i]).engineDocument()->history().size();
    app.engine().host = nullptr;
    state.ResumeTiming();
  }
  for (const auto& [name, s] : seconds) state.counters[std::string(name) + "_share"] = s / total;
  state.counters["template_states"] = double(states[0]);
  state.counters["build_menu_states"] = double(states[1]);
  state.counters["final_menu_states"] = double(states[2]);
}

BENCHMARK(BM_WholeWorkflowTenButtons)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace
