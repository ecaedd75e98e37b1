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
#include "bench/button_layout/workflow_documents.h"
#include "tools/build/batch_view.h"

namespace {

using bench_workflow::openDocuments;

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
