// Art layers, layer sets and the layer collections of documents and sets.

#include <cmath>

#include "engine/composite.h"
#include "engine/errors.h"
#include "engine/operations.h"
#include "photoshop/object_model.h"
#include "photoshop/units.h"

namespace photoshop {

using engine::ErrorCode;

namespace {

int toPixels(double value, const engine::Engine& eng, const engine::Document& doc) {
  const double px = photoshop::toPixels(value, eng.preferences().rulerUnits, doc.content().resolution);
  if (!std::isfinite(px) || std::fabs(px) > engine::kMaxSide * 2.0)
    engine::fail(ErrorCode::InvalidArgument, "the distance is out of range");
  return int(std::lround(px));
}

}  // namespace

std::shared_ptr<engine::Document> Layer::document() const { return detail::resolveDocument(session_, doc_); }

const engine::LayerNode& Layer::node(const engine::Document& doc) const { return doc.content().layer(id_); }

std::string Layer::member(const char* name) const {
  auto d = doc_.lock();
  const engine::LayerNode* n = d ? d->content().find(id_) : nullptr;
  return std::string(n && n->isSet ? "LayerSet." : "ArtLayer.") + name;
}

template <class F>
void Layer::edit(const char* stateName, F&& change) const {
  auto d = document();
  d->edit(stateName, [&](engine::DocumentContent& c) {
    c.layer(id_);  // the layer must still exist
    change(c);
  });
}

bool Layer::IsLayerSet() const {
  // What kind of object a handle stands for is known to the program without asking the engine.
  auto d = doc_.lock();
  const engine::LayerNode* n = d ? d->content().find(id_) : nullptr;
  return n && n->isSet;
}

std::string Layer::Name() const {
  return detail::call(session_, member("Name"), [&] { return node(*document()).name; });
}

void Layer::SetName(const std::string& name) const {
  detail::call(session_, member("Name="), [&] { edit("Layer Properties", [&](auto& c) { engine::renameLayer(c, id_, name); }); });
}

bool Layer::Visible() const {
  return detail::call(session_, member("Visible"), [&] { return node(*document()).visible; });
}

void Layer::SetVisible(bool visible) const {
  detail::call(session_, member("Visible="), [&] {
    auto d = document();
    node(*d);
    d->adjust([&](engine::DocumentContent& c) { c.layer(id_).visible = visible; });
  });
}

double Layer::Opacity() const {
  return detail::call(session_, member("Opacity"), [&] { return engine::opacityToPercent(node(*document()).opacity); });
}

void Layer::SetOpacity(double percent) const {
  detail::call(session_, member("Opacity="), [&] {
    const std::uint8_t v = engine::opacityFromPercent(percent);
    edit("Opacity Change", [&](auto& c) {
      engine::LayerNode& n = c.layer(id_);
      if (n.isBackground) engine::fail(ErrorCode::NotAvailable, "the background layer's opacity cannot be changed");
      n.opacity = v;
    });
  });
}

double Layer::FillOpacity() const {
  return detail::call(session_, member("FillOpacity"), [&] { return engine::opacityToPercent(node(*document()).fillOpacity); });
}

void Layer::SetFillOpacity(double percent) const {
  detail::call(session_, member("FillOpacity="), [&] {
    const std::uint8_t v = engine::opacityFromPercent(percent);
    edit("Fill Opacity Change", [&](auto& c) {
      engine::LayerNode& n = c.layer(id_);
      if (n.isBackground || n.isSet) engine::fail(ErrorCode::NotAvailable, "fill opacity is not available for this layer");
      n.fillOpacity = v;
    });
  });
}

int Layer::BlendMode() const {
  return detail::call(session_, member("BlendMode"), [&] { return int(node(*document()).blendMode); });
}

void Layer::SetBlendMode(int mode) const {
  detail::call(session_, member("BlendMode="), [&] {
    if (!engine::isValidBlendMode(mode)) engine::fail(ErrorCode::InvalidArgument, "blend mode " + std::to_string(mode) + " is not valid");
    edit("Blending Change", [&](auto& c) {
      engine::LayerNode& n = c.layer(id_);
      if (n.isBackground) engine::fail(ErrorCode::NotAvailable, "the background layer's blend mode cannot be changed");
      if (!n.isSet && mode == int(engine::BlendMode::PassThrough))
        engine::fail(ErrorCode::InvalidArgument, "pass through is a blend mode of layer sets only");
      n.blendMode = engine::BlendMode(mode);
    });
  });
}

int Layer::Kind() const {
  return detail::call(session_, member("Kind"), [&] {
    const engine::LayerNode& n = node(*document());
    if (n.isSet) engine::fail(ErrorCode::NotAvailable, "a layer set has no kind");
    return int(n.kind);
  });
}

bool Layer::IsBackgroundLayer() const {
  return detail::call(session_, member("IsBackgroundLayer"), [&] { return node(*document()).isBackground; });
}

void Layer::SetIsBackgroundLayer(bool value) const {
  detail::call(session_, member("IsBackgroundLayer="), [&] {
    edit(value ? "Background From Layer" : "Layer From Background", [&](engine::DocumentContent& c) {
      engine::LayerNode& n = c.layer(id_);
      if (n.isBackground == value) return;
      if (!value) {
        engine::unlockBackground(n);
        return;
      }
      if (n.isSet || n.kind != engine::LayerKind::Normal) engine::fail(ErrorCode::NotAvailable, "only a pixel layer can become the background");
      engine::forEachLayer(c.layers, [](engine::LayerNode& other) {
        if (other.isBackground) engine::fail(ErrorCode::NotAvailable, "the document already has a background layer");
      });
      // The background is opaque, canvas-sized and at the bottom of the document.
      engine::LayerNode layer = n;
      layer.opacity = 255;
      layer.fillOpacity = 255;
      layer.blendMode = engine::BlendMode::Normal;
      layer.visible = true;
      engine::LayerNode white = engine::LayerNode::artLayer("white");
      white.pixels = engine::Raster::filled(c.canvas(), engine::Rgb{255, 255, 255});
      layer.pixels = engine::compositeLayers({layer, white}, c.canvas());
      layer.isBackground = true;
      layer.name = "Background";
      engine::LayerPath path = c.locate(id_);
      path.siblings->erase(path.siblings->begin() + std::ptrdiff_t(path.index));
      c.layers.push_back(std::move(layer));
    });
  });
}

std::array<double, 4> Layer::Bounds() const {
  return detail::call(session_, member("Bounds"), [&] {
    const engine::Rect r = node(*document()).contentBounds();
    return std::array<double, 4>{double(r.left), double(r.top), double(r.right), double(r.bottom)};
  });
}

Layer Layer::Duplicate() const {
  return detail::call(session_, member("Duplicate"), [&] {
    engine::LayerId copy = 0;
    edit("Duplicate Layer", [&](auto& c) { copy = engine::duplicateLayer(c, id_); });
    return Layer(session_, doc_, copy);
  });
}

void Layer::moveTo(const Document* container, engine::LayerId containerSet, int placement, const char* name) const {
  detail::call(session_, member(name), [&] {
    if (container && container->document() != document())
      engine::fail(ErrorCode::InvalidArgument, "a layer can only move within its own document");
    if (placement < ps::PlaceInside || placement > ps::PlaceAfter) engine::fail(ErrorCode::InvalidArgument, "unknown placement");
    edit("Layer Order", [&](auto& c) { engine::moveLayer(c, id_, containerSet, engine::ElementPlacement(placement)); });
  });
}

void Layer::MoveToBeginning(const Document& container) const { moveTo(&container, 0, ps::PlaceAtBeginning, "MoveToBeginning"); }
void Layer::MoveToBeginning(const Layer& containerSet) const { moveTo(nullptr, containerSet.id_, ps::PlaceAtBeginning, "MoveToBeginning"); }
void Layer::MoveToEnd(const Document& container) const { moveTo(&container, 0, ps::PlaceAtEnd, "MoveToEnd"); }
void Layer::MoveToEnd(const Layer& containerSet) const { moveTo(nullptr, containerSet.id_, ps::PlaceAtEnd, "MoveToEnd"); }
void Layer::Move(const Layer& relativeTo, int placement) const { moveTo(nullptr, relativeTo.id_, placement, "Move"); }

Layer Layer::Merge() const {
  return detail::call(session_, member("Merge"), [&] {
    engine::LayerId merged = 0;
    const bool isSet = node(*document()).isSet;
    edit(isSet ? "Merge Group" : "Merge Down", [&](auto& c) {
      merged = isSet ? engine::mergeSet(c, id_) : engine::mergeDown(c, id_);
    });
    return Layer(session_, doc_, merged);
  });
}

void Layer::Remove() const {
  detail::call(session_, member("Remove"), [&] { edit("Delete Layer", [&](auto& c) { engine::removeLayer(c, id_); }); });
}

void Layer::Rasterize(int target) const {
  detail::call(session_, member("Rasterize"), [&] {
    if (target < 1 || target > 5) engine::fail(ErrorCode::InvalidArgument, "unknown rasterize target");
    edit("Rasterize Layer", [&](auto& c) { engine::rasterizeLayer(c, id_, engine::RasterizeTarget(target)); });
  });
}

void Layer::Translate(double deltaX, double deltaY) const {
  detail::call(session_, member("Translate"), [&] {
    auto d = document();
    const int dx = toPixels(deltaX, session_->engine, *d), dy = toPixels(deltaY, session_->engine, *d);
    edit("Move", [&](auto& c) { engine::translateLayer(c, id_, dx, dy); });
  });
}

void Layer::Link(const Layer& with) const {
  detail::call(session_, member("Link"), [&] {
    if (with.doc_.lock() != document()) engine::fail(ErrorCode::InvalidArgument, "only layers of one document can be linked");
    edit("Link Layers", [&](auto& c) { engine::linkLayers(c, id_, with.id_); });
  });
}

void Layer::Unlink() const {
  detail::call(session_, member("Unlink"), [&] { edit("Unlink Layers", [&](auto& c) { engine::unlinkLayer(c, id_); }); });
}

std::vector<Layer> Layer::LinkedLayers() const {
  return detail::call(session_, member("LinkedLayers"), [&] {
    auto d = document();
    const std::uint32_t group = node(*d).linkGroup;
    std::vector<Layer> out;
    if (!group) return out;
    engine::forEachLayer(d->content().layers, [&](const engine::LayerNode& n) {
      if (n.linkGroup == group && n.id != id_) out.push_back(Layer(session_, doc_, n.id));
    });
    return out;
  });
}

void Layer::ApplyStyle(const std::string& styleName) const {
  detail::call(session_, member("ApplyStyle"), [&] {
    // The engine carries no style presets; only the preset that removes a style exists.
    if (styleName != "Default Style (None)")
      engine::fail(ErrorCode::NotAvailable, "the style \"" + styleName + "\" is not available");
    edit("Apply Style", [&](auto& c) {
      engine::LayerNode& n = c.layer(id_);
      n.hasStyle = false;
      n.styleEnabled = true;
      std::erase_if(n.extraBlocks, [](const engine::TaggedBlock& b) { return b.tie == engine::BlockTie::Style; });
    });
  });
}

void Layer::ApplyClouds() const {
  detail::call(session_, member("ApplyClouds"), [&] {
    const engine::Engine& eng = session_->engine;
    const std::uint32_t seed = session_->engine.nextSeed();
    edit("Clouds", [&](auto& c) { engine::applyClouds(c, id_, eng.foreground, eng.background, seed, false); });
  });
}

void Layer::ApplyDifferenceClouds() const {
  detail::call(session_, member("ApplyDifferenceClouds"), [&] {
    const engine::Engine& eng = session_->engine;
    const std::uint32_t seed = session_->engine.nextSeed();
    edit("Difference Clouds", [&](auto& c) { engine::applyClouds(c, id_, eng.foreground, eng.background, seed, true); });
  });
}

void Layer::Invert() const {
  detail::call(session_, member("Invert"), [&] { edit("Invert", [&](auto& c) { engine::invertLayer(c, id_); }); });
}

namespace {
LayerCollection::Kind kindCheck(const engine::LayerNode& n, LayerCollection::Kind kind) {
  if (!n.isSet) engine::fail(ErrorCode::NotAvailable, "an art layer has no layers of its own");
  return kind;
}
}  // namespace

LayerCollection Layer::ArtLayers() const {
  return detail::call(session_, member("ArtLayers"), [&] {
    return LayerCollection(session_, doc_, id_, kindCheck(node(*document()), LayerCollection::Kind::ArtLayers));
  });
}

LayerCollection Layer::LayerSets() const {
  return detail::call(session_, member("LayerSets"), [&] {
    return LayerCollection(session_, doc_, id_, kindCheck(node(*document()), LayerCollection::Kind::LayerSets));
  });
}

LayerCollection Layer::Layers() const {
  return detail::call(session_, member("Layers"), [&] {
    return LayerCollection(session_, doc_, id_, kindCheck(node(*document()), LayerCollection::Kind::Layers));
  });
}

std::string LayerCollection::member(const char* name) const {
  const char* owner = kind_ == Kind::ArtLayers ? "ArtLayers." : kind_ == Kind::LayerSets ? "LayerSets." : "Layers.";
  return std::string(owner) + name;
}

std::vector<const engine::LayerNode*> LayerCollection::members(const engine::DocumentContent& c) const {
  const std::vector<engine::LayerNode>& list = parent_ ? c.layer(parent_).children : c.layers;
  std::vector<const engine::LayerNode*> out;
  for (const engine::LayerNode& n : list)
    if (kind_ == Kind::Layers || (kind_ == Kind::LayerSets) == n.isSet) out.push_back(&n);
  return out;
}

int LayerCollection::Count() const {
  return detail::call(session_, member("Count"), [&] { return int(members(detail::resolveDocument(session_, doc_)->content()).size()); });
}

Layer LayerCollection::Item(int index) const {
  return detail::call(session_, member("Item"), [&] {
    const auto list = members(detail::resolveDocument(session_, doc_)->content());
    if (index < 1 || index > int(list.size())) engine::failNoSuchElement();
    return Layer(session_, doc_, list[std::size_t(index - 1)]->id);
  });
}

Layer LayerCollection::Item(const std::string& name) const {
  return detail::call(session_, member("Item"), [&] {
    for (const engine::LayerNode* n : members(detail::resolveDocument(session_, doc_)->content()))
      if (n->name == name) return Layer(session_, doc_, n->id);
    engine::failNoSuchElement();
  });
}

Layer LayerCollection::operator()(int index) const { return Item(index); }
Layer LayerCollection::operator()(const std::string& name) const { return Item(name); }

Layer LayerCollection::Add() const {
  return detail::call(session_, member("Add"), [&] {
    if (kind_ == Kind::Layers) engine::fail(ErrorCode::NotAvailable, "add layers through ArtLayers or LayerSets");
    auto d = detail::resolveDocument(session_, doc_);
    const bool set = kind_ == Kind::LayerSets;
    const engine::LayerId id = d->edit(set ? "New Group" : "New Layer", [&](engine::DocumentContent& c) {
      return set ? engine::addLayerSet(c, parent_) : engine::addArtLayer(c, parent_);
    });
    return Layer(session_, doc_, id);
  });
}

void LayerCollection::Remove(const Layer& layer) const {
  detail::call(session_, member("Remove"), [&] {
    auto d = detail::resolveDocument(session_, doc_);
    if (layer.doc_.lock() != d) engine::failNoSuchElement();
    d->edit("Delete Layer", [&](engine::DocumentContent& c) { engine::removeLayer(c, layer.id_); });
  });
}

}  // namespace photoshop
