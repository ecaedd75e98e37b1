// Application, Documents, Preferences and the colour objects.

#include <cmath>
#include <filesystem>

#include "engine/errors.h"
#include "engine/operations.h"
#include "formats/document_io.h"
#include "photoshop/action_interpreter.h"
#include "photoshop/object_model.h"
#include "photoshop/units.h"

namespace photoshop {

using engine::ErrorCode;

namespace {

void checkComponent(double v) {
  if (!std::isfinite(v) || v < 0.0 || v > 255.0)
    throw AutomationError(ErrorCode::InvalidArgument, "a colour component must be 0 to 255", "RGBColor");
}

SolidColor fromRgb(engine::Rgb rgb) {
  SolidColor c;
  c.RGB().SetRed(rgb.r);
  c.RGB().SetGreen(rgb.g);
  c.RGB().SetBlue(rgb.b);
  return c;
}

}  // namespace

double toPixels(double value, int rulerUnits, double resolution) {
  switch (rulerUnits) {
    case 2: return value * resolution;
    case 3: return value * resolution / 2.54;
    case 4: return value * resolution / 25.4;
    case 5: return value * resolution / 72.0;
    case 6: return value * resolution / 6.0;
    default: return value;
  }
}

void RGBColor::SetRed(double v) {
  checkComponent(v);
  red_ = v;
}
void RGBColor::SetGreen(double v) {
  checkComponent(v);
  green_ = v;
}
void RGBColor::SetBlue(double v) {
  checkComponent(v);
  blue_ = v;
}

Application::Application() : session_(std::make_shared<detail::Session>()) {}

DocumentsCollection Application::Documents() const {
  return detail::call(session_, "Application.Documents", [&] { return DocumentsCollection(session_); });
}

int DocumentsCollection::Count() const {
  return detail::call(session_, "Documents.Count", [&] { return int(session_->engine.documents().size()); });
}

Document DocumentsCollection::Item(int index) const {
  return detail::call(session_, "Documents.Item", [&] {
    const auto& docs = session_->engine.documents();
    if (index < 1 || index > int(docs.size())) engine::failNoSuchElement();
    return Document(session_, docs[std::size_t(index - 1)]);
  });
}

Document DocumentsCollection::Item(const std::string& name) const {
  return detail::call(session_, "Documents.Item", [&] {
    auto doc = session_->engine.findDocument(name);
    if (!doc) engine::failNoSuchElement();
    return Document(session_, doc);
  });
}

Document DocumentsCollection::Add(double width, double height, double resolution, const std::string& name, int mode,
                                  int initialFill) const {
  return detail::call(session_, "Documents.Add", [&] {
    engine::Engine& eng = session_->engine;
    if (!std::isfinite(resolution) || resolution < 1.0 || resolution > 29999.0)
      engine::fail(ErrorCode::InvalidArgument, "the resolution must be 1 to 29999 pixels per inch");
    if (mode != ps::NewRGB) engine::fail(ErrorCode::InvalidArgument, "only RGB documents (mode 2) can be created");
    if (initialFill < ps::FillWhite || initialFill > ps::FillTransparent)
      engine::fail(ErrorCode::InvalidArgument, "the initial fill must be 1, 2 or 3");
    const double w = toPixels(width, eng.preferences().rulerUnits, resolution);
    const double h = toPixels(height, eng.preferences().rulerUnits, resolution);
    if (!std::isfinite(w) || !std::isfinite(h) || w < 1.0 || h < 1.0)
      engine::fail(ErrorCode::InvalidArgument, "a document needs at least one pixel each way");
    engine::checkPixelArea(std::llround(std::min(w, 1e9)), std::llround(std::min(h, 1e9)));
    engine::DocumentContent content;
    content.width = int(std::lround(w));
    content.height = int(std::lround(h));
    content.resolution = resolution;
    engine::LayerNode first = engine::LayerNode::artLayer(initialFill == ps::FillTransparent ? "Layer 1" : "Background");
    if (initialFill != ps::FillTransparent) {
      first.isBackground = true;
      const engine::Rgb color = initialFill == ps::FillWhite ? engine::Rgb{255, 255, 255} : eng.background;
      first.pixels = engine::Raster::filled(content.canvas(), color);
    }
    content.activeLayer = first.id;
    content.layers.push_back(std::move(first));
    auto doc = eng.addDocument(name.empty() ? eng.untitledName() : name, std::move(content), "New");
    return Document(session_, doc);
  });
}

Document Application::Open(const std::string& path) const {
  return detail::call(session_, "Application.Open", [&] {
    engine::Engine& eng = session_->engine;
    std::error_code ec;
    const std::filesystem::path file(path);
    const std::string canonical = std::filesystem::weakly_canonical(file, ec).string();
    for (const auto& doc : eng.documents()) {
      if (!doc->filePath().empty() && doc->filePath() == canonical) {
        eng.activate(doc->id());
        return Document(session_, doc);
      }
    }
    engine::DocumentContent content = formats::readDocumentFile(path);
    auto doc = eng.addDocument(file.filename().string(), std::move(content), "Open");
    doc->setFilePath(canonical.empty() ? path : canonical);
    return Document(session_, doc);
  });
}

Document Application::ActiveDocument() const {
  return detail::call(session_, "Application.ActiveDocument", [&] {
    auto doc = session_->engine.activeDocument();
    if (!doc) engine::fail(ErrorCode::NoSuchElement, engine::kNoSuchElementText);
    return Document(session_, doc);
  });
}

void Application::SetActiveDocument(const Document& document) const {
  detail::call(session_, "Application.ActiveDocument=", [&] { session_->engine.activate(document.document()->id()); });
}

photoshop::Preferences Application::Preferences() const {
  return detail::call(session_, "Application.Preferences", [&] { return photoshop::Preferences(session_); });
}

SolidColor Application::ForegroundColor() const {
  return detail::call(session_, "Application.ForegroundColor", [&] { return fromRgb(session_->engine.foreground); });
}

void Application::SetForegroundColor(const SolidColor& color) const {
  detail::call(session_, "Application.ForegroundColor=", [&] { session_->engine.foreground = detail::toRgb(color); });
}

SolidColor Application::BackgroundColor() const {
  return detail::call(session_, "Application.BackgroundColor", [&] { return fromRgb(session_->engine.background); });
}

void Application::SetBackgroundColor(const SolidColor& color) const {
  detail::call(session_, "Application.BackgroundColor=", [&] { session_->engine.background = detail::toRgb(color); });
}

TypeID Application::CharIDToTypeID(const std::string& code) const {
  return detail::call(session_, "Application.CharIDToTypeID", [&] { return TypeIdRegistry::charId(code); });
}

TypeID Application::StringIDToTypeID(const std::string& name) const {
  return detail::call(session_, "Application.StringIDToTypeID", [&] { return typeIds().stringId(name); });
}

std::string Application::TypeIDToCharID(TypeID id) const {
  return detail::call(session_, "Application.TypeIDToCharID", [&] {
    auto code = TypeIdRegistry::charCode(id);
    if (!code) engine::fail(ErrorCode::InvalidArgument, "the type ID " + std::to_string(id) + " is not a four-character code");
    return *code;
  });
}

std::string Application::TypeIDToStringID(TypeID id) const {
  return detail::call(session_, "Application.TypeIDToStringID", [&] {
    auto name = typeIds().stringName(id);
    if (!name) engine::fail(ErrorCode::InvalidArgument, "the type ID " + std::to_string(id) + " has no string ID");
    return *name;
  });
}

ActionDescriptor Application::ExecuteAction(TypeID eventId, const ActionDescriptor& descriptor, int dialogMode) const {
  return detail::call(session_, "Application.ExecuteAction", [&] {
    session_->recordedActions.push_back("event " + typeIds().describe(eventId) + " dialog " + std::to_string(dialogMode) +
                                        "\n" + descriptor.text(1));
    if (dialogMode < 1 || dialogMode > 3) engine::fail(ErrorCode::InvalidArgument, "the dialog mode must be 1, 2 or 3");
    return executeAction(*this, eventId, descriptor, dialogMode);
  });
}

int Preferences::RulerUnits() const {
  return detail::call(session_, "Preferences.RulerUnits", [&] { return session_->engine.preferences().rulerUnits; });
}

void Preferences::SetRulerUnits(int units) const {
  detail::call(session_, "Preferences.RulerUnits=", [&] {
    engine::Preferences p = session_->engine.preferences();
    p.rulerUnits = units;
    session_->engine.setPreferences(p);
  });
}

int Preferences::NumberOfHistoryStates() const {
  return detail::call(session_, "Preferences.NumberOfHistoryStates",
                        [&] { return session_->engine.preferences().numberOfHistoryStates; });
}

void Preferences::SetNumberOfHistoryStates(int count) const {
  detail::call(session_, "Preferences.NumberOfHistoryStates=", [&] {
    engine::Preferences p = session_->engine.preferences();
    p.numberOfHistoryStates = count;
    session_->engine.setPreferences(p);
  });
}

int Preferences::Interpolation() const {
  return detail::call(session_, "Preferences.Interpolation", [&] { return session_->engine.preferences().interpolation; });
}

void Preferences::SetInterpolation(int method) const {
  detail::call(session_, "Preferences.Interpolation=", [&] {
    engine::Preferences p = session_->engine.preferences();
    p.interpolation = method;
    session_->engine.setPreferences(p);
  });
}

engine::Rgb detail::toRgb(const SolidColor& c) {
  return {std::uint8_t(std::lround(c.RGB().Red())), std::uint8_t(std::lround(c.RGB().Green())),
          std::uint8_t(std::lround(c.RGB().Blue()))};
}

}  // namespace photoshop
