#include "photoshop/action_interpreter.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/errors.h"
#include "engine/operations.h"
#include "formats/document_io.h"
#include "photoshop/object_model.h"
#include "photoshop/saved_files.h"

namespace photoshop {

namespace {

using engine::ErrorCode;

// IDs are compared as numbers, so a string ID that stands for a four-character code ("layer"
// for 'Lyr ') matches that code as well.
TypeID code(std::string_view fourChars) { return TypeIdRegistry::charId(fourChars); }
TypeID stringId(std::string_view name) { return typeIds().stringId(name); }

[[noreturn]] void unsupported(TypeID event, const std::string& detail) {
  engine::fail(ErrorCode::UnsupportedAction,
               "the action event " + typeIds().describe(event) + " is not supported by the engine" +
                   (detail.empty() ? "" : ": " + detail));
}

const ActionReference* referenceAt(const ActionDescriptor& d, TypeID key) {
  const ActionValue* v = d.find(key);
  return v ? std::get_if<ActionReference>(v) : nullptr;
}

const ActionDescriptor* objectAt(const ActionDescriptor& d, TypeID key, TypeID& classId) {
  const ActionValue* v = d.find(key);
  const ObjectValue* object = v ? std::get_if<ObjectValue>(v) : nullptr;
  if (!object) return nullptr;
  classId = object->classId;
  return object->descriptor.get();
}

// A reference of one element: an object of `desiredClass` chosen by the ordinal `ordinal`.
bool isOrdinal(const ActionReference* r, TypeID desiredClass, TypeID ordinal) {
  if (!r || r->elements().size() != 1) return false;
  const ReferenceElement& e = r->elements().front();
  return e.form == ReferenceElement::Form::Enumerated && e.desiredClass == desiredClass && e.enumType == code("Ordn") &&
         e.value == ordinal;
}

bool isTargetLayer(const ActionReference* r) { return isOrdinal(r, code("Lyr "), code("Trgt")); }

std::shared_ptr<engine::Document> activeDocument(const engine::Engine& eng) {
  auto doc = eng.activeDocument();
  if (!doc) engine::failNoSuchElement();
  return doc;
}

// The target layer: the active layer of the active document.
engine::LayerId targetLayer(const engine::Document& doc) {
  const engine::LayerId id = doc.content().activeLayer;
  if (!id || !doc.content().find(id)) engine::failNoSuchElement();
  return id;
}

// Keys the event does not know would be dropped without a word; they are refused instead.
void requireOnlyKeys(TypeID event, const ActionDescriptor& d, std::initializer_list<TypeID> known) {
  for (const ActionDescriptor::Entry& e : d.entries()) {
    if (std::find(known.begin(), known.end(), e.key) == known.end())
      unsupported(event, "the key " + typeIds().describe(e.key) + " is not understood");
  }
}

double number(const ActionDescriptor& d, TypeID key) {
  const ActionValue* v = d.find(key);
  if (v) {
    if (const double* x = std::get_if<double>(v)) return *x;
    if (const int* i = std::get_if<int>(v)) return *i;
  }
  return d.GetDouble(key);  // fails naming the key
}

std::uint8_t colorComponent(const ActionDescriptor& d, TypeID key) {
  const double v = number(d, key);
  if (!std::isfinite(v) || v < 0.0 || v > 255.0)
    engine::fail(ErrorCode::InvalidArgument, "a colour component must be 0 to 255");
  return std::uint8_t(std::lround(v));
}

int pixelLength(const ActionDescriptor& d, TypeID key) {
  if (d.GetUnitDoubleType(key) != code("#Pxl"))
    engine::fail(ErrorCode::InvalidArgument, "the image size must be given in pixels ('#Pxl')");
  const double v = d.GetUnitDoubleValue(key);
  if (!std::isfinite(v) || v < 1.0 || v > engine::kMaxSide)
    engine::fail(ErrorCode::InvalidArgument, "the new image size is out of range");
  return int(std::lround(v));
}

engine::ResampleMethod interpolation(const ActionDescriptor& d, const engine::Engine& eng) {
  if (!d.HasKey(code("Intr"))) return engine::ResampleMethod(eng.preferences().interpolation);
  const TypeID v = d.GetEnumerationValue(code("Intr"));
  if (v == code("Bcbc")) return engine::ResampleMethod::Bicubic;
  if (v == code("Nrst")) return engine::ResampleMethod::NearestNeighbor;
  if (v == code("Blnr")) return engine::ResampleMethod::Bilinear;
  if (v == stringId("bicubicSharper")) return engine::ResampleMethod::BicubicSharper;
  if (v == stringId("bicubicSmoother")) return engine::ResampleMethod::BicubicSmoother;
  engine::fail(ErrorCode::InvalidArgument, "unknown interpolation " + typeIds().describe(v));
}

ActionDescriptor imageSize(engine::Engine& eng, TypeID event, const ActionDescriptor& d) {
  requireOnlyKeys(event, d, {code("Wdth"), code("Hght"), code("Intr")});
  const int width = pixelLength(d, code("Wdth"));
  const int height = pixelLength(d, code("Hght"));
  const engine::ResampleMethod method = interpolation(d, eng);
  activeDocument(eng)->edit("Image Size", [&](engine::DocumentContent& c) { engine::resizeImage(c, width, height, method); });
  return {};
}

ActionDescriptor duplicateDocument(engine::Engine& eng, const ActionDescriptor& d) {
  auto source = activeDocument(eng);
  std::string name = source->name() + " copy";
  if (d.HasKey(code("Nm  "))) name = d.GetString(code("Nm  "));
  if (name.empty()) engine::fail(ErrorCode::InvalidArgument, "a document name cannot be empty");
  engine::DocumentContent copy = source->content();  // pixels are shared until either side paints
  eng.addDocument(std::move(name), std::move(copy), "Duplicate Image");
  return {};
}

ActionDescriptor duplicateLayer(engine::Engine& eng, const ActionDescriptor& d) {
  auto source = activeDocument(eng);
  const engine::LayerId id = targetLayer(*source);
  auto dest = source;
  if (const ActionReference* to = referenceAt(d, code("T   "))) {
    const auto& elements = to->elements();
    if (elements.size() != 1 || elements[0].form != ReferenceElement::Form::Name || elements[0].desiredClass != code("Dcmn"))
      engine::fail(ErrorCode::InvalidArgument, "a layer can only be duplicated into a document given by name");
    dest = eng.findDocument(elements[0].name);
    if (!dest) engine::failNoSuchElement();
  }
  const engine::LayerNode layer = source->content().layer(id);
  const engine::Rect canvas = source->content().canvas();
  const bool same = dest == source;
  dest->edit("Duplicate Layer", [&](engine::DocumentContent& c) { engine::copyLayerInto(layer, canvas, c, same); });
  return {};
}

ActionDescriptor duplicate(engine::Engine& eng, TypeID event, const ActionDescriptor& d) {
  const ActionReference* what = referenceAt(d, code("null"));
  if (isOrdinal(what, code("Dcmn"), code("Frst")) || isOrdinal(what, code("Dcmn"), code("Trgt"))) {
    requireOnlyKeys(event, d, {code("null"), code("Nm  ")});
    return duplicateDocument(eng, d);
  }
  if (isTargetLayer(what)) {
    requireOnlyKeys(event, d, {code("null"), code("T   ")});
    return duplicateLayer(eng, d);
  }
  unsupported(event, "only the active document or the target layer can be duplicated");
}

engine::ColorLabel colorLabel(TypeID value) {
  const std::pair<const char*, engine::ColorLabel> labels[] = {
      {"None", engine::ColorLabel::None},  {"Rd  ", engine::ColorLabel::Red},    {"Orng", engine::ColorLabel::Orange},
      {"Ylw ", engine::ColorLabel::Yellow}, {"Grn ", engine::ColorLabel::Green}, {"Bl  ", engine::ColorLabel::Blue},
      {"Vlt ", engine::ColorLabel::Violet}, {"Gry ", engine::ColorLabel::Gray},
  };
  for (const auto& [fourChars, label] : labels)
    if (value == code(fourChars)) return label;
  engine::fail(ErrorCode::InvalidArgument, "unknown colour label " + typeIds().describe(value));
}

ActionDescriptor setProperty(engine::Engine& eng, TypeID event, const ActionDescriptor& d) {
  requireOnlyKeys(event, d, {code("null"), code("T   ")});
  const ActionReference* what = referenceAt(d, code("null"));
  TypeID toClass = 0;
  const ActionDescriptor* to = objectAt(d, code("T   "), toClass);
  if (!to) unsupported(event, "the key 'T   ' must hold an object");

  if (isTargetLayer(what) && toClass == code("Lyr ")) {
    requireOnlyKeys(event, *to, {code("Clr ")});
    if (to->GetEnumerationType(code("Clr ")) != code("Clr "))
      engine::fail(ErrorCode::InvalidArgument, "a colour label must be an enumeration of type 'Clr '");
    const engine::ColorLabel label = colorLabel(to->GetEnumerationValue(code("Clr ")));
    auto doc = activeDocument(eng);
    const engine::LayerId id = targetLayer(*doc);
    doc->edit("Layer Properties", [&](engine::DocumentContent& c) { engine::setColorLabel(c, id, label); });
    return {};
  }
  if (isOrdinal(what, stringId("contentLayer"), code("Trgt")) && toClass == stringId("solidColorLayer")) {
    requireOnlyKeys(event, *to, {code("Clr ")});
    if (to->GetObjectType(code("Clr ")) != code("RGBC"))
      engine::fail(ErrorCode::InvalidArgument, "a fill colour must be an RGB colour ('RGBC')");
    const ActionDescriptor& rgb = to->GetObjectValue(code("Clr "));
    const engine::Rgb color{colorComponent(rgb, code("Rd  ")), colorComponent(rgb, code("Grn ")),
                            colorComponent(rgb, code("Bl  "))};
    auto doc = activeDocument(eng);
    const engine::LayerId id = targetLayer(*doc);
    doc->edit("Modify Fill Layer", [&](engine::DocumentContent& c) { engine::setSolidFillColor(c, id, color); });
    return {};
  }
  unsupported(event, "only a layer's colour label and a fill layer's colour can be set");
}

// The file a Photoshop-format save writes: asked of the host with dialogs (which must be
// there), else as given.
std::string savePath(engine::Engine& eng, const std::string& given, int dialogMode) {
  if (dialogMode != 1) {
    if (given.empty()) engine::fail(ErrorCode::InvalidArgument, "a file name is needed to save");
    return detail::withExtension(given, ".psd");
  }
  const std::optional<std::string> chosen =
      detail::hostToAsk(eng, "where to save \"" + given + "\"").chooseSavePath(detail::withExtension(given, ".psd"));
  if (!chosen || chosen->empty()) engine::fail(ErrorCode::Cancelled, "the user cancelled saving the document");
  return detail::withExtension(*chosen, ".psd");
}

ActionDescriptor save(engine::Engine& eng, TypeID event, const ActionDescriptor& d, int dialogMode) {
  requireOnlyKeys(event, d, {code("As  "), code("In  "), code("Cpy ")});
  TypeID format = 0;
  const ActionDescriptor* options = objectAt(d, code("As  "), format);
  if (!options || format != code("Pht3")) unsupported(event, "only the Photoshop format ('Pht3') can be saved");
  // Maximised compatibility is how every file is written: the merged image is always stored.
  requireOnlyKeys(event, *options, {stringId("maximizeCompatibility")});
  auto doc = activeDocument(eng);
  const bool asCopy = d.HasKey(code("Cpy ")) && d.GetBoolean(code("Cpy "));
  const std::string given = d.HasKey(code("In  ")) ? d.GetPath(code("In  ")) : doc->name();
  const std::string target = savePath(eng, given, dialogMode);
  formats::writePsd(doc->content(), target);
  if (!asCopy) {
    detail::adoptSavedFile(*doc, target);
    eng.noteChange();
  }
  return {};
}

ActionDescriptor disableLayerStyle(engine::Engine& eng, TypeID event, const ActionDescriptor& d) {
  requireOnlyKeys(event, d, {code("null")});
  if (!isTargetLayer(referenceAt(d, code("null")))) unsupported(event, "only the target layer's style can be switched off");
  auto doc = activeDocument(eng);
  const engine::LayerId id = targetLayer(*doc);
  doc->edit("Disable Layer Style", [&](engine::DocumentContent& c) { engine::setLayerStyleEnabled(c, id, false); });
  return {};
}

}  // namespace

ActionDescriptor executeAction(const Application& app, TypeID event, const ActionDescriptor& descriptor, int dialogMode) {
  engine::Engine& eng = app.engine();
  if (event == code("ImgS")) return imageSize(eng, event, descriptor);
  if (event == code("Dplc")) return duplicate(eng, event, descriptor);
  if (event == code("setd")) return setProperty(eng, event, descriptor);
  if (event == code("save")) return save(eng, event, descriptor, dialogMode);
  if (event == stringId("disableLayerStyle")) return disableLayerStyle(eng, event, descriptor);
  unsupported(event, "");
}

}  // namespace photoshop
