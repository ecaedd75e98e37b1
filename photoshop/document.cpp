// Document, its information, history states, channels and selection.

#include <cmath>
#include <filesystem>

#include "engine/composite.h"
#include "engine/errors.h"
#include "engine/operations.h"
#include "formats/document_io.h"
#include "photoshop/object_model.h"
#include "photoshop/saved_files.h"
#include "photoshop/units.h"

namespace photoshop {

using engine::ErrorCode;

namespace {

void requireActive(const detail::SessionPtr& session, const engine::Document& doc) {
  auto active = session->engine.activeDocument();
  if (!active || active->id() != doc.id()) engine::fail(ErrorCode::NotActiveDocument, kNotActiveText);
}

engine::BlendMode colorBlendMode(int mode) {
  if (!engine::isValidBlendMode(mode) || mode == int(engine::BlendMode::PassThrough))
    engine::fail(ErrorCode::InvalidArgument, "blend mode " + std::to_string(mode) + " is not valid for painting");
  return engine::BlendMode(mode);
}

}  // namespace

std::shared_ptr<engine::Document> Document::document() const { return detail::resolveDocument(session_, doc_); }

std::shared_ptr<engine::Document> Document::engineDocument() const {
  return detail::call(session_, "Document", [&] { return document(); });
}

std::string Document::Name() const {
  return detail::call(session_, "Document.Name", [&] { return document()->name(); });
}

std::string Document::FullName() const {
  return detail::call(session_, "Document.FullName", [&] {
    auto d = document();
    if (d->filePath().empty()) engine::fail(ErrorCode::NotAvailable, "the document has not been saved yet");
    return d->filePath();
  });
}

double Document::Width() const {
  return detail::call(session_, "Document.Width", [&] { return double(document()->content().width); });
}

double Document::Height() const {
  return detail::call(session_, "Document.Height", [&] { return double(document()->content().height); });
}

double Document::Resolution() const {
  return detail::call(session_, "Document.Resolution", [&] { return document()->content().resolution; });
}

bool Document::Saved() const {
  return detail::call(session_, "Document.Saved", [&] { return !document()->modified(); });
}

DocumentInfo Document::Info() const {
  return detail::call(session_, "Document.Info", [&] {
    document();
    return DocumentInfo(session_, doc_);
  });
}

std::vector<std::string> DocumentInfo::KeyWords() const {
  return detail::call(session_, "DocumentInfo.KeyWords", [&] { return detail::resolveDocument(session_, doc_)->content().keywords; });
}

void DocumentInfo::SetKeyWords(const std::vector<std::string>& keywords) const {
  detail::call(session_, "DocumentInfo.KeyWords=", [&] {
    for (const std::string& k : keywords)
      if (k.size() > 64 * 1024) engine::fail(ErrorCode::InvalidArgument, "a keyword is limited to 65536 characters");
    detail::resolveDocument(session_, doc_)->adjust([&](engine::DocumentContent& c) { c.keywords = keywords; });
  });
}

Layer Document::ActiveLayer() const {
  return detail::call(session_, "Document.ActiveLayer", [&] {
    auto d = document();
    if (!d->content().activeLayer || !d->content().find(d->content().activeLayer)) engine::failNoSuchElement();
    return Layer(session_, doc_, d->content().activeLayer);
  });
}

void Document::SetActiveLayer(const Layer& layer) const {
  detail::call(session_, "Document.ActiveLayer=", [&] {
    auto d = document();
    requireActive(session_, *d);
    if (layer.doc_.lock() != d || !d->content().find(layer.id_))
      engine::fail(ErrorCode::InvalidArgument, "the layer does not belong to this document");
    d->adjust([&](engine::DocumentContent& c) { c.activeLayer = layer.id_; });
  });
}

HistoryState Document::ActiveHistoryState() const {
  return detail::call(session_, "Document.ActiveHistoryState", [&] {
    auto d = document();
    return HistoryState(session_, doc_, d->currentState());
  });
}

void Document::SetActiveHistoryState(const HistoryState& state) const {
  detail::call(session_, "Document.ActiveHistoryState=", [&] {
    auto d = document();
    if (state.IsNothing()) engine::fail(ErrorCode::InvalidArgument, "no history state was given");
    if (state.doc_.lock() != d) engine::fail(ErrorCode::InvalidArgument, "the history state belongs to another document");
    d->rewindTo(state.serial_);
  });
}

std::string HistoryState::Name() const {
  return detail::call(session_, "HistoryState.Name", [&] {
    const auto* s = detail::resolveDocument(session_, doc_)->history().find(serial_);
    if (!s) engine::fail(ErrorCode::HistoryStateGone, "the history state is no longer available");
    return s->name;
  });
}

LayerCollection Document::ArtLayers() const {
  return detail::call(session_, "Document.ArtLayers", [&] {
    document();
    return LayerCollection(session_, doc_, 0, LayerCollection::Kind::ArtLayers);
  });
}

LayerCollection Document::LayerSets() const {
  return detail::call(session_, "Document.LayerSets", [&] {
    document();
    return LayerCollection(session_, doc_, 0, LayerCollection::Kind::LayerSets);
  });
}

LayerCollection Document::Layers() const {
  return detail::call(session_, "Document.Layers", [&] {
    document();
    return LayerCollection(session_, doc_, 0, LayerCollection::Kind::Layers);
  });
}

photoshop::Selection Document::Selection() const {
  return detail::call(session_, "Document.Selection", [&] {
    document();
    return photoshop::Selection(session_, doc_);
  });
}

photoshop::Channels Document::Channels() const {
  return detail::call(session_, "Document.Channels", [&] {
    document();
    return photoshop::Channels(session_, doc_);
  });
}

Layer Document::Paste(bool intoSelection) const {
  return detail::call(session_, "Document.Paste", [&] {
    auto d = document();
    requireActive(session_, *d);
    if (intoSelection) engine::fail(ErrorCode::NotAvailable, "pasting into a selection is not supported");
    const engine::Raster clip = session_->engine.clipboard;
    const engine::LayerId id = d->edit("Paste", [&](engine::DocumentContent& c) { return engine::pastePixels(c, clip); });
    return Layer(session_, doc_, id);
  });
}

void Document::Crop(const std::array<double, 4>& bounds) const {
  detail::call(session_, "Document.Crop", [&] {
    auto d = document();
    const int units = session_->engine.preferences().rulerUnits;
    const double res = d->content().resolution;
    std::array<int, 4> px{};
    for (std::size_t i = 0; i < 4; ++i) {
      const double v = toPixels(bounds[i], units, res);
      if (!std::isfinite(v) || std::fabs(v) > engine::kMaxSide * 2.0)
        engine::fail(ErrorCode::InvalidArgument, "the crop bounds are out of range");
      px[i] = int(std::lround(v));
    }
    d->edit("Crop", [&](engine::DocumentContent& c) { engine::cropDocument(c, {px[0], px[1], px[2], px[3]}); });
  });
}

void Document::SuspendHistory(const std::string& historyString, const std::function<void()>& body) const {
  detail::call(session_, "Document.SuspendHistory", [&] {
    auto d = document();
    d->beginHistoryGroup(historyString);
    struct GroupEnd {
      engine::Document& doc;
      ~GroupEnd() { doc.endHistoryGroup(); }
    } end{*d};
    body();
  });
}

void Document::Flatten() const {
  detail::call(session_, "Document.Flatten", [&] { document()->edit("Flatten Image", engine::flattenDocument); });
}

void Document::ResizeImage(double width, double height, double resolution, int resampleMethod) const {
  detail::call(session_, "Document.ResizeImage", [&] {
    auto d = document();
    const int units = session_->engine.preferences().rulerUnits;
    const double res = resolution > 0 ? resolution : d->content().resolution;
    const double w = toPixels(width, units, res), h = toPixels(height, units, res);
    if (!std::isfinite(w) || !std::isfinite(h) || w < 1 || h < 1 || w > engine::kMaxSide || h > engine::kMaxSide)
      engine::fail(ErrorCode::InvalidArgument, "the new image size is out of range");
    if (resampleMethod < 1 || resampleMethod > 9) engine::fail(ErrorCode::InvalidArgument, "unknown resample method");
    d->edit("Image Size", [&](engine::DocumentContent& c) {
      engine::resizeImage(c, int(std::lround(w)), int(std::lround(h)), engine::ResampleMethod(resampleMethod));
      c.resolution = res;
    });
  });
}

void Document::SaveAs(const std::string& path, const SaveOptions& options, bool asCopy, int extensionType) const {
  detail::call(session_, "Document.SaveAs", [&] {
    auto d = document();
    if (path.empty()) engine::fail(ErrorCode::InvalidArgument, "a file name is needed to save");
    std::string target;
    if (const auto* jpeg = std::get_if<JPEGSaveOptions>(&options)) {
      if (jpeg->Quality < 0 || jpeg->Quality > 12) engine::fail(ErrorCode::InvalidArgument, "JPEG quality must be 0 to 12");
      target = detail::withExtension(path, ".jpg", extensionType == ps::Uppercase);
      formats::writeJpeg(d->content(), target, formats::JpegOptions{jpeg->Quality});
    } else if (std::holds_alternative<PNGSaveOptions>(options)) {
      target = detail::withExtension(path, ".png", extensionType == ps::Uppercase);
      formats::writePng(d->content(), target);
    } else {
      target = detail::withExtension(path, ".psd", extensionType == ps::Uppercase);
      formats::writePsd(d->content(), target);
    }
    if (!asCopy) detail::adoptSavedFile(*d, target);
  });
}

void Document::Close(std::optional<int> saving) const {
  detail::call(session_, "Document.Close", [&] {
    auto d = document();
    int choice = saving.value_or(ps::PromptToSaveChanges);
    if (choice < ps::SaveChanges || choice > ps::PromptToSaveChanges)
      engine::fail(ErrorCode::InvalidArgument, "the close option must be 1, 2 or 3");
    if (choice == ps::PromptToSaveChanges) {
      choice = ps::DoNotSaveChanges;
      if (d->modified()) {
        const std::string question = "whether to save the changes of \"" + d->name() + "\"";
        switch (detail::hostToAsk(session_->engine, question).askSaveChanges(d->name())) {
          case engine::SaveChangesAnswer::Save: choice = ps::SaveChanges; break;
          case engine::SaveChangesAnswer::DontSave: break;
          case engine::SaveChangesAnswer::Cancel: engine::fail(ErrorCode::Cancelled, "the user cancelled closing the document");
        }
      }
    }
    if (choice == ps::SaveChanges && d->modified()) {
      std::string path = d->filePath();
      if (path.empty() || std::filesystem::path(path).extension() != ".psd") {
        const std::string question = "where to save \"" + d->name() + "\"";
        auto chosen = detail::hostToAsk(session_->engine, question).chooseSavePath(d->name() + ".psd");
        if (!chosen) engine::fail(ErrorCode::Cancelled, "the user cancelled saving the document");
        path = *chosen;
      }
      formats::writePsd(d->content(), path);
    }
    session_->engine.closeDocument(d->id());
  });
}

Channel Channels::Item(int index) const {
  return detail::call(session_, "Channels.Item", [&] {
    static const char* const names[] = {"Red", "Green", "Blue"};
    detail::resolveDocument(session_, doc_);
    if (index < 1 || index > 3) engine::failNoSuchElement();
    return Channel(session_, doc_, index - 1, names[index - 1]);
  });
}

Channel Channels::Item(const std::string& name) const {
  return detail::call(session_, "Channels.Item", [&] {
    detail::resolveDocument(session_, doc_);
    const int index = name == "Red" ? 0 : name == "Green" ? 1 : name == "Blue" ? 2 : -1;
    if (index < 0) engine::failNoSuchElement();
    return Channel(session_, doc_, index, name);
  });
}

std::vector<int> Channel::Histogram() const {
  return detail::call(session_, "Channel.Histogram", [&] {
    auto d = detail::resolveDocument(session_, doc_);
    const engine::DocumentContent& c = d->content();
    const engine::Raster merged = engine::compositeDocument(c);
    std::vector<int> counts(256, 0);
    const engine::Rect area = merged.bounds();
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (c.hasSelection() && c.selection.at(x, y) < 128) continue;
        // Transparent pixels count as white, as they show over the transparency checkerboard's light squares.
        const std::uint8_t* p = merged.pixel(x, y);
        const int alpha = p[3];
        counts[std::size_t((p[index_] * alpha + 255 * (255 - alpha) + 127) / 255)]++;
      }
    }
    return counts;
  });
}

std::shared_ptr<engine::Document> Selection::activeDocument() const {
  auto d = detail::resolveDocument(session_, doc_);
  requireActive(session_, *d);
  return d;
}

void Selection::Select(const Region& region, int type, double feather, bool antiAlias) const {
  (void)antiAlias;  // selections are hard-edged: a pixel is in when its centre is inside
  detail::call(session_, "Selection.Select", [&] {
    auto d = activeDocument();
    if (type < ps::ReplaceSelection || type > ps::IntersectSelection)
      engine::fail(ErrorCode::InvalidArgument, "selection type " + std::to_string(type) + " is not valid");
    std::vector<engine::Point> points;
    for (const auto& p : region) points.push_back({p[0], p[1]});
    d->edit("Select", [&](engine::DocumentContent& c) {
      engine::selectRegion(c, points, engine::SelectionType(type), feather);
    });
  });
}

void Selection::SelectAll() const {
  detail::call(session_, "Selection.SelectAll", [&] { activeDocument()->edit("Select All", engine::selectAll); });
}

void Selection::Deselect() const {
  detail::call(session_, "Selection.Deselect", [&] { activeDocument()->edit("Deselect", engine::deselect); });
}

void Selection::Invert() const {
  detail::call(session_, "Selection.Invert", [&] { activeDocument()->edit("Inverse", engine::invertSelection); });
}

void Selection::Fill(const SolidColor& color, int mode, double opacity, bool preserveTransparency) const {
  detail::call(session_, "Selection.Fill", [&] {
    auto d = activeDocument();
    const engine::BlendMode blend = colorBlendMode(mode);
    d->edit("Fill", [&](engine::DocumentContent& c) {
      engine::fillSelection(c, c.activeLayer, detail::toRgb(color), blend, opacity, preserveTransparency);
    });
  });
}

void Selection::Stroke(const SolidColor& color, int width, int location, int mode, double opacity,
                       bool preserveTransparency) const {
  detail::call(session_, "Selection.Stroke", [&] {
    auto d = activeDocument();
    const engine::BlendMode blend = colorBlendMode(mode);
    d->edit("Stroke", [&](engine::DocumentContent& c) {
      engine::strokeSelection(c, c.activeLayer, detail::toRgb(color), width, engine::StrokeLocation(location), blend, opacity,
                              preserveTransparency);
    });
  });
}

void Selection::Copy(bool merged) const {
  detail::call(session_, "Selection.Copy", [&] {
    auto d = activeDocument();
    const engine::DocumentContent& c = d->content();
    if (merged) {
      engine::DocumentContent flat;
      flat.width = c.width;
      flat.height = c.height;
      flat.selection = c.selection;
      flat.layers.push_back(engine::LayerNode::artLayer("merged"));
      flat.layers[0].pixels = engine::compositeDocument(c);
      session_->engine.clipboard = engine::copyPixels(flat, flat.layers[0].id);
    } else {
      session_->engine.clipboard = engine::copyPixels(c, c.activeLayer);
    }
  });
}

void Selection::Similar(int tolerance, bool antiAlias) const {
  (void)antiAlias;
  detail::call(session_, "Selection.Similar", [&] {
    activeDocument()->edit("Similar", [&](engine::DocumentContent& c) { engine::selectSimilar(c, tolerance); });
  });
}

std::array<double, 4> Selection::Bounds() const {
  return detail::call(session_, "Selection.Bounds", [&] {
    const engine::Rect r = detail::resolveDocument(session_, doc_)->content().selection.coveredBounds();
    if (r.empty()) engine::fail(ErrorCode::NothingSelected, "nothing is selected");
    return std::array<double, 4>{double(r.left), double(r.top), double(r.right), double(r.bottom)};
  });
}

bool Selection::Solid() const {
  return detail::call(session_, "Selection.Solid", [&] { return detail::resolveDocument(session_, doc_)->content().hasSelection(); });
}

}  // namespace photoshop
