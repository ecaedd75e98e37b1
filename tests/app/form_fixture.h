#pragma once
// A Form1 wired to a scripted view, a settings file and a program folder of its own, and the
// real embedded engine behind the automation layer with a scripted host: a question the test
// did not script is answered as a cancel, and every question is kept.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <memory>

#include "app/form1.h"
#include "app/settings_store.h"
#include "photoshop/photoshop_fixtures.h"
#include "photoshop/scripted_host.h"
#include "scripted_form_view.h"

namespace app_test {

class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    std::filesystem::create_directories(programFolder() + "/Resources");
    for (int n = 1; n <= 9; ++n) std::ofstream(stateFile(n)) << "{\\rtf1 State " << n << "\\par}";
  }

  std::string programFolder() const { return dir_.path().toStdString() + "/program"; }
  std::string stateFile(int n) const { return programFolder() + "/Resources/StateInfo" + std::to_string(n) + ".rtf"; }
  app::SettingsStore& settings() { return settings_; }

  // A fresh core on the same settings file and engine, as a restart would give.
  std::unique_ptr<app::Form1> newForm(ScriptedFormView& view) {
    return std::make_unique<app::Form1>(view, settings(), [this] { return engine; }, programFolder());
  }
  app::Form1& form() {
    if (!form_) form_ = newForm(view);
    return *form_;
  }
  void applyState(int state) {
    form().WorkflowState = std::int16_t(state);
    form().SetUIState();
  }
  // Form_Load, with the transcript of start-up cleared.
  app::Form1& loadedForm() {
    form().Form_Load();
    view.messages.clear();
    view.pointers.clear();
    return form();
  }

  photoshop::Document addDocument(const std::string& name, int width = 64, int height = 48) {
    return engine.Documents().Add(width, height, 72, name, photoshop::ps::NewRGB, photoshop::ps::FillTransparent);
  }
  // A new art layer in a document, which is made active first.
  photoshop::Layer addLayer(const photoshop::Document& doc, const std::string& name) {
    engine.SetActiveDocument(doc);
    return fixtures::named(doc.ArtLayers().Add(), name);
  }
  photoshop::Layer addSet(const photoshop::Document& doc, const std::string& name) {
    engine.SetActiveDocument(doc);
    return fixtures::named(doc.LayerSets().Add(), name);
  }
  // The three working documents of a new menu.
  void addWorkingDocuments() {
    app::Form1& f = form();
    f.TemplateDocument = addDocument("Button Template");
    f.BuildMenuDocument = addDocument("Build Menu");
    f.FinalMenuDocument = addDocument("Final Menu");
  }

  photoshop::Application engine = fixtures::pixelApplication();
  ScriptedFormView view;
  photoshop::ScriptedHost host;

 private:
  engine::HostInstallation hostInstalled_{engine.engine(), host};
  QTemporaryDir dir_;
  app::SettingsStore settings_{dir_.path() + "/settings.ini"};
  std::unique_ptr<app::Form1> form_;
};

}  // namespace app_test
