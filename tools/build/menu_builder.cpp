#include "tools/build/menu_builder.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

#include "app/form1.h"
#include "app/settings_store.h"
#include "formats/document_io.h"
#include "photoshop/automation_error.h"
#include "support/vocabulary.h"
#include "tools/build/batch_view.h"
#include "tools/build/button_grid.h"

namespace build {

namespace {

namespace fs = std::filesystem;

std::string joined(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) out += (out.empty() ? "" : "; ") + t;
  return out;
}

std::string buttonSetName(int n) { return "Btn " + std::to_string(n); }

// The output is written beside its final place and renamed there only when the whole build
// has succeeded, so a failed build leaves an older file of that name as it was.
class PendingOutput {
 public:
  explicit PendingOutput(const std::string& output) : output_(output) {
    const fs::path target(output);
    temporary_ = (target.parent_path() / (".quillary-build-" + std::to_string(::getpid()) + "-" +
                                          target.filename().string())).string();
  }
  ~PendingOutput() {
    std::error_code ignored;
    if (!committed_) fs::remove(temporary_, ignored);
  }
  const std::string& temporary() const { return temporary_; }
  void commit() {
    std::error_code ec;
    fs::rename(temporary_, output_, ec);
    if (ec) throw BuildError("cannot write \"" + output_ + "\": " + ec.message());
    committed_ = true;
  }

 private:
  std::string output_, temporary_;
  bool committed_ = false;
};

// The workflow behind a scripted view: one engine, one main-window core, nothing persisted.
class Workflow {
 public:
  Workflow(const BuildRequest& request, const std::string& savePath, std::ostream& transcript)
      : request_(request),
        host_(savePath, transcript),
        settings_(app::SettingsStore::inMemory()),
        view_(request.background, request.buttonTemplate, request.width, request.height, request.buttons, transcript),
        form_(view_, *settings_, [this] { return application_; }, std::string()) {
    application_.engine().host = &host_;
    form_.Form_Load();
    view_.takeMessages();
  }

  app::Form1& form() { return form_; }
  photoshop::Application& application() { return application_; }
  bool saved() const { return host_.saved(); }

  void applyOptions() {
    for (const auto& [flag, on] : request_.options) {
      const bool current = view_.OptionChecked(flag->menuIndex) != flag->markIsInverse;
      if (current == on) continue;
      if (!view_.OptionEnabled(flag->menuIndex))
        throw RequestError(std::string(flag->name) + " cannot be changed while EnableNextPrevButtons is off");
      form_.OptionsMenu_Click(std::int16_t(flag->menuIndex));
    }
    view_.takeMessages();
  }

  // Runs one workflow command and requires the state it leads to.
  void run(const char* name, void (app::Form1::*command)(), std::int16_t expectedState,
           std::vector<CommandTiming>& timings) {
    const auto start = std::chrono::steady_clock::now();
    (form_.*command)();
    timings.push_back({name, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()});
    const std::vector<std::string> messages = view_.takeMessages();
    if (form_.WorkflowState != expectedState)
      throw BuildError(std::string(name) + " did not complete: " +
                       (messages.empty() ? std::string("it ended without saying why") : joined(messages)));
  }

 private:
  const BuildRequest& request_;
  photoshop::Application application_;
  BatchHost host_;
  std::unique_ptr<app::SettingsStore> settings_;
  BatchView view_;
  app::Form1 form_;
};

Box boxOf(const std::array<double, 4>& b) { return {b[0], b[1], b[2], b[3]}; }

// The title-safe area below the title area and above the Next/Previous buttons.
Box buttonArea(app::Form1& form, const BuildRequest& request) {
  const photoshop::Document menu = form.BuildMenuDocument;
  Box area{0.1 * request.width, 0.1 * request.height, 0.9 * request.width, 0.9 * request.height};
  if (form.IncludeMenuTitleArea)
    area.top = std::max(area.top, menu.ArtLayers()(vocabulary::kTitleArea).Bounds()[3]);
  if (form.EnableNextPrevButtons) {
    for (const char* name : {"Btn Next", "Btn Prev"}) {
      const Box b = boxOf(menu.LayerSets()(name).Bounds());
      if (b.top >= area.top) area.bottom = std::min(area.bottom, b.top);
    }
  }
  return area;
}

// Moves the cloned buttons into a grid, as the user would drag them.
void arrangeGrid(app::Form1& form, photoshop::Application& application, const BuildRequest& request) {
  const photoshop::Document menu = form.BuildMenuDocument;
  application.SetActiveDocument(menu);
  std::vector<photoshop::Layer> sets;
  double width = 0, height = 0;
  for (int n = 1; n <= request.buttons; ++n) {
    sets.push_back(menu.LayerSets()(buttonSetName(n)));
    const Box b = boxOf(sets.back().Bounds());
    width = std::max(width, b.width());
    height = std::max(height, b.height());
  }
  const Box area = buttonArea(form, request);
  const GridPlan plan = planGrid(area, width, height, request.buttons);
  if (plan.places.empty())
    throw BuildError(std::to_string(request.buttons) + " buttons of " + std::to_string(int(width)) + " x " +
                     std::to_string(int(height)) + " pixels do not fit in the title-safe area below the title area (" +
                     std::to_string(int(area.width())) + " x " + std::to_string(int(std::max(0.0, area.height()))) +
                     " pixels): " + std::to_string(plan.fits) + " fit; ask for fewer buttons or use --arrange keep");
  for (std::size_t i = 0; i < sets.size(); ++i) {
    const Box now = boxOf(sets[i].Bounds());
    sets[i].Translate(plan.places[i].left - now.left, plan.places[i].top - now.top);
  }
}

std::vector<ButtonPlace> buttonPlaces(app::Form1& form, const BuildRequest& request, int finalWidth, int finalHeight) {
  std::vector<ButtonPlace> places;
  const double sx = double(finalWidth) / request.width, sy = double(finalHeight) / request.height;
  for (int n = 1; n <= request.buttons; ++n) {
    ButtonPlace p{buttonSetName(n), form.BuildMenuDocument.LayerSets()(buttonSetName(n)).Bounds(), {}};
    p.inFinalMenu = {p.inBuildMenu[0] * sx, p.inBuildMenu[1] * sy, p.inBuildMenu[2] * sx, p.inBuildMenu[3] * sy};
    places.push_back(p);
  }
  return places;
}

std::uint64_t pixelBytes(const engine::Engine& engine) {
  std::uint64_t bytes = 0;
  for (const auto& doc : engine.documents())
    engine::forEachLayer(doc->content().layers, [&](const engine::LayerNode& n) {
      bytes += std::uint64_t(n.pixels.bounds().area()) * 4 + std::uint64_t(n.mask.pixels.bounds().area());
    });
  return bytes;
}

std::uint64_t peakResidentBytes() {
  rusage usage{};
  return ::getrusage(RUSAGE_SELF, &usage) == 0 ? std::uint64_t(usage.ru_maxrss) * 1024 : 0;
}

// "01 Background.png" ... for the layers of the written document, bottom first.
void writeLayerPictures(const engine::DocumentContent& written, const std::string& folder) {
  int number = 0;
  for (auto layer = written.layers.rbegin(); layer != written.layers.rend(); ++layer) {
    engine::DocumentContent one;
    one.width = written.width;
    one.height = written.height;
    one.resolution = written.resolution;
    one.layers = {*layer};
    one.layers.front().visible = true;
    ++number;
    const std::string prefix = (number < 10 ? "0" : "") + std::to_string(number);
    formats::writePng(one, (fs::path(folder) / (prefix + " " + layer->name + ".png")).string());
  }
}

}  // namespace

BuildReport buildMenu(const BuildRequest& request, std::ostream& transcript, const ProgressReport& progress) {
  checkFiles(request);
  PendingOutput output(request.output);
  Workflow workflow(request, output.temporary(), transcript);
  workflow.applyOptions();
  BuildReport report;
  try {
    workflow.run("Create/Edit Menu", &app::Form1::CreateNewMenuDoc_Click, app::EditButtonTemplate, report.timings);
    progress("Create/Edit Menu", 25);
    workflow.run("Clone Button Template", &app::Form1::CloneButtons_Click, app::EditClonedLayout, report.timings);
    if (request.arrange == Arrange::Grid) arrangeGrid(workflow.form(), workflow.application(), request);
    progress("Clone Button Template", 50);
    workflow.run("Build Composite Layers", &app::Form1::BuildCompositeLayers_Click, app::BuildFinalDocument,
                 report.timings);
    progress("Build Composite Layers", 75);
    workflow.run("Final PSD Document", &app::Form1::FinalPSDDocument_Click, app::BuiltFinalSaveNow, report.timings);
  } catch (const photoshop::AutomationError& error) {
    throw BuildError(error.Description());
  }
  if (!workflow.saved() || !fs::exists(output.temporary()))
    throw BuildError("Final PSD Document did not save the menu");

  const formats::PsdFile written = formats::readPsd(output.temporary());
  report.width = written.content.width;
  report.height = written.content.height;
  for (auto layer = written.content.layers.rbegin(); layer != written.content.layers.rend(); ++layer) {
    const engine::Rect b = layer->contentBounds();
    report.layers.push_back({layer->name, {b.left, b.top, b.right, b.bottom}});
  }
  report.buttons = buttonPlaces(workflow.form(), request, report.width, report.height);
  report.documentPixelBytes = pixelBytes(workflow.application().engine());
  if (!request.pngDir.empty()) writeLayerPictures(written.content, request.pngDir);
  report.peakResidentBytes = peakResidentBytes();
  output.commit();
  progress("Final PSD Document", 100);
  return report;
}

}  // namespace build
