// The whole button-layout workflow (ten buttons, 720 x 540) once without and once with a shown
// workspace on the same engine. Events are handled after every command and at every progress
// step, as a window that keeps its progress bar moving handles them, so the workspace gets
// every chance to follow the documents while the commands run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>
#include <sstream>

#include "app/form1.h"
#include "app/settings_store.h"
#include "bench/button_layout/workflow_documents.h"
#include "tools/build/batch_view.h"
#include "workspace/workspace_window.h"

namespace {

constexpr int kWidth = 720, kHeight = 540, kButtons = 10;

class LiveBatchView : public build::BatchView {
 public:
  using BatchView::BatchView;
  void SetProgressValue(double value) override {
    BatchView::SetProgressValue(value);
    QCoreApplication::processEvents();
  }
};

void workflow(benchmark::State& state, bool withWorkspace) {
  QTemporaryDir dir;
  QSettings workspaceSettings(dir.filePath(QStringLiteral("workspace.ini")), QSettings::IniFormat);
  for (auto _ : state) {
    state.PauseTiming();
    photoshop::Application app;
    app.Preferences().SetRulerUnits(photoshop::ps::Pixels);
    std::unique_ptr<workspace::Workspace> window;
    if (withWorkspace) {
      window = std::make_unique<workspace::Workspace>(app, workspaceSettings);
      window->resize(1000, 700);
      window->show();
    }
    std::ostringstream transcript;
    // The workspace installed itself as the host; a batch answers the save dialog instead.
    build::BatchHost host(dir.filePath(QStringLiteral("menu.psd")).toStdString(), transcript);
    app.engine().host = &host;
    bench_workflow::openDocuments(app, kWidth, kHeight);
    LiveBatchView view("", "", kWidth, kHeight, kButtons, transcript);
    app::SettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
    app::Form1 form(view, settings, [&] { return app; }, dir.path().toStdString());
    form.Form_Load();
    QCoreApplication::processEvents();
    state.ResumeTiming();

    for (auto command : {&app::Form1::CreateNewMenuDoc_Click, &app::Form1::CloneButtons_Click,
                         &app::Form1::BuildCompositeLayers_Click, &app::Form1::FinalPSDDocument_Click}) {
      (form.*command)();
      QCoreApplication::processEvents();
    }

    state.PauseTiming();
    if (form.WorkflowState != app::BuiltFinalSaveNow) state.SkipWithError("the workflow did not reach the final document");
    app.engine().host = nullptr;
    window.reset();
    state.ResumeTiming();
  }
}

void workflowAlone(benchmark::State& state) { workflow(state, false); }
void workflowWithWorkspace(benchmark::State& state) { workflow(state, true); }
BENCHMARK(workflowAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(workflowWithWorkspace)->Unit(benchmark::kMillisecond);

}  // namespace
