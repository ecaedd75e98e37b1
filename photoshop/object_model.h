#pragma once
// The automation object model: Application, Documents, Document, art layers and layer sets,
// Selection, SolidColor, save options. Shaped like Photoshop's and bound to the embedded
// engine. Objects are handles: cheap to copy, and a handle to a closed document or a removed
// layer fails on use with "there is no such element". Properties are read with Name() and
// assigned with SetName(); every call may throw AutomationError.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/document.h"
#include "photoshop/action_descriptor.h"
#include "photoshop/automation_error.h"
#include "photoshop/session.h"

namespace photoshop {

class Application;
class Document;
class Layer;
using ArtLayer = Layer;
using LayerSet = Layer;

// Photoshop's enumeration values the program passes.
namespace ps {
inline constexpr int Pixels = 1;                 // RulerUnits
inline constexpr int NearestNeighbor = 2;        // Interpolation / ResampleMethod
inline constexpr int Bicubic = 4;
inline constexpr int NewRGB = 2;                 // NewDocumentMode
inline constexpr int FillWhite = 1, FillBackgroundColor = 2, FillTransparent = 3;  // DocumentFill
inline constexpr int SaveChanges = 1, DoNotSaveChanges = 2, PromptToSaveChanges = 3;  // SaveOptions
inline constexpr int ReplaceSelection = 1, ExtendSelection = 2, DiminishSelection = 3, IntersectSelection = 4;
inline constexpr int NormalBlend = 2;            // ColorBlendMode / BlendMode
inline constexpr int Lowercase = 2, Uppercase = 3;  // Extension
inline constexpr int StandardBaseline = 1;       // FormatOptions
inline constexpr int NoMatte = 1;                // MatteType
inline constexpr int StrokeInside = 1, StrokeCenter = 2, StrokeOutside = 3;
inline constexpr int RasterizeShape = 2;         // RasterizeType
inline constexpr int PlaceInside = 0, PlaceAtBeginning = 1, PlaceAtEnd = 2, PlaceBefore = 3, PlaceAfter = 4;
}  // namespace ps

class RGBColor {
 public:
  double Red() const { return red_; }
  double Green() const { return green_; }
  double Blue() const { return blue_; }
  // Components are 0..255; anything else fails as Photoshop's does.
  void SetRed(double v);
  void SetGreen(double v);
  void SetBlue(double v);

 private:
  double red_ = 0, green_ = 0, blue_ = 0;
};

// A colour value object; the application's colours are assigned from copies of it.
class SolidColor {
 public:
  SolidColor() = default;
  SolidColor(double red, double green, double blue) {
    rgb_.SetRed(red);
    rgb_.SetGreen(green);
    rgb_.SetBlue(blue);
  }
  RGBColor& RGB() { return rgb_; }
  const RGBColor& RGB() const { return rgb_; }

 private:
  RGBColor rgb_;
};

struct JPEGSaveOptions {
  bool EmbedColorProfile = true;
  int FormatOptions = ps::StandardBaseline;
  int Matte = ps::NoMatte;
  int Quality = 3;  // 0..12
};
struct PhotoshopSaveOptions {};
struct PNGSaveOptions {};
using SaveOptions = std::variant<std::monostate, PhotoshopSaveOptions, JPEGSaveOptions, PNGSaveOptions>;

// A region: corner points (x, y) in document pixels.
using Region = std::vector<std::array<double, 2>>;

// The four corners of a rectangle, top-left first and clockwise, as Select takes them.
inline Region RectangleRegion(double left, double top, double right, double bottom) {
  return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

class HistoryState {
 public:
  HistoryState() = default;
  std::string Name() const;
  bool IsNothing() const { return !session_; }
  std::uint64_t serial() const { return serial_; }

 private:
  friend class Document;
  HistoryState(detail::SessionPtr s, std::weak_ptr<engine::Document> d, std::uint64_t serial)
      : session_(std::move(s)), doc_(std::move(d)), serial_(serial) {}
  detail::SessionPtr session_;
  std::weak_ptr<engine::Document> doc_;
  std::uint64_t serial_ = 0;
};

// The collections of a document or a set: all layers, art layers only, or sets only.
class LayerCollection {
 public:
  enum class Kind { Layers, ArtLayers, LayerSets };
  int Count() const;
  Layer Item(int index) const;  // 1-based, topmost first
  Layer Item(const std::string& name) const;
  Layer operator()(int index) const;
  Layer operator()(const std::string& name) const;
  Layer Add() const;  // ArtLayers and LayerSets only
  void Remove(const Layer& layer) const;

 private:
  friend class Document;
  friend class Layer;
  LayerCollection(detail::SessionPtr s, std::weak_ptr<engine::Document> d, engine::LayerId parent, Kind kind)
      : session_(std::move(s)), doc_(std::move(d)), parent_(parent), kind_(kind) {}
  std::string member(const char* name) const;
  std::vector<const engine::LayerNode*> members(const engine::DocumentContent& c) const;

  detail::SessionPtr session_;
  std::weak_ptr<engine::Document> doc_;
  engine::LayerId parent_ = 0;  // 0: the document's top level
  Kind kind_;
};
using ArtLayers = LayerCollection;
using LayerSets = LayerCollection;
using Layers = LayerCollection;

class Layer {
 public:
  Layer() = default;
  bool IsNothing() const { return !session_; }
  bool IsLayerSet() const;
  engine::LayerId Id() const { return id_; }
  bool operator==(const Layer& other) const { return id_ == other.id_ && doc_.lock() == other.doc_.lock(); }

  std::string Name() const;
  void SetName(const std::string& name) const;
  bool Visible() const;
  void SetVisible(bool visible) const;
  double Opacity() const;  // percent
  void SetOpacity(double percent) const;
  double FillOpacity() const;
  void SetFillOpacity(double percent) const;
  int BlendMode() const;
  void SetBlendMode(int mode) const;
  int Kind() const;  // art layers only
  bool IsBackgroundLayer() const;
  void SetIsBackgroundLayer(bool value) const;
  std::array<double, 4> Bounds() const;  // left, top, right, bottom

  Layer Duplicate() const;
  void MoveToBeginning(const Document& container) const;
  void MoveToBeginning(const Layer& containerSet) const;
  void MoveToEnd(const Document& container) const;
  void MoveToEnd(const Layer& containerSet) const;
  void Move(const Layer& relativeTo, int placement) const;
  Layer Merge() const;
  void Remove() const;
  void Rasterize(int target = ps::RasterizeShape) const;
  void Translate(double deltaX, double deltaY) const;
  void Link(const Layer& with) const;
  void Unlink() const;
  std::vector<Layer> LinkedLayers() const;
  void ApplyStyle(const std::string& styleName) const;
  void ApplyClouds() const;
  void ApplyDifferenceClouds() const;
  void Invert() const;

  LayerCollection ArtLayers() const;
  LayerCollection LayerSets() const;
  LayerCollection Layers() const;

 private:
  friend class LayerCollection;
  friend class Document;
  friend class Application;
  Layer(detail::SessionPtr s, std::weak_ptr<engine::Document> d, engine::LayerId id)
      : session_(std::move(s)), doc_(std::move(d)), id_(id) {}
  std::string member(const char* name) const;
  std::shared_ptr<engine::Document> document() const;
  const engine::LayerNode& node(const engine::Document& doc) const;
  template <class F>
  void edit(const char* stateName, F&& change) const;
  void moveTo(const Document* container, engine::LayerId containerSet, int placement, const char* member) const;

  detail::SessionPtr session_;
  std::weak_ptr<engine::Document> doc_;
  engine::LayerId id_ = 0;
};

class Selection {
 public:
  void Select(const Region& region, int type = ps::ReplaceSelection, double feather = 0, bool antiAlias = true) const;
  void SelectAll() const;
  void Deselect() const;
  void Invert() const;
  void Fill(const SolidColor& color, int mode = ps::NormalBlend, double opacity = 100, bool preserveTransparency = false) const;
  void Stroke(const SolidColor& color, int width, int location = ps::StrokeCenter, int mode = ps::NormalBlend,
              double opacity = 100, bool preserveTransparency = false) const;
  void Copy(bool merged = false) const;
  void Similar(int tolerance, bool antiAlias = true) const;
  std::array<double, 4> Bounds() const;
  bool Solid() const;  // true when something is selected

 private:
  friend class Document;
  Selection(detail::SessionPtr s, std::weak_ptr<engine::Document> d) : session_(std::move(s)), doc_(std::move(d)) {}
  // The selection's document, which must be the active one (0x80041FA4 otherwise).
  std::shared_ptr<engine::Document> activeDocument() const;
  detail::SessionPtr session_;
  std::weak_ptr<engine::Document> doc_;
};

class Channel {
 public:
  std::string Name() const { return name_; }
  // Pixel counts of each level 0..255 of the merged image (within the selection, if any).
  std::vector<int> Histogram() const;

 private:
  friend class Channels;
  Channel(detail::SessionPtr s, std::weak_ptr<engine::Document> d, int index, std::string name)
      : session_(std::move(s)), doc_(std::move(d)), index_(index), name_(std::move(name)) {}
  detail::SessionPtr session_;
  std::weak_ptr<engine::Document> doc_;
  int index_;
  std::string name_;
};

class Channels {
 public:
  int Count() const { return 3; }
  Channel Item(int index) const;  // 1-based: Red, Green, Blue
  Channel Item(const std::string& name) const;
  Channel operator()(const std::string& name) const { return Item(name); }

 private:
  friend class Document;
  Channels(detail::SessionPtr s, std::weak_ptr<engine::Document> d) : session_(std::move(s)), doc_(std::move(d)) {}
  detail::SessionPtr session_;
  std::weak_ptr<engine::Document> doc_;
};

class DocumentInfo {
 public:
  std::vector<std::string> KeyWords() const;
  void SetKeyWords(const std::vector<std::string>& keywords) const;

 private:
  friend class Document;
  DocumentInfo(detail::SessionPtr s, std::weak_ptr<engine::Document> d) : session_(std::move(s)), doc_(std::move(d)) {}
  detail::SessionPtr session_;
  std::weak_ptr<engine::Document> doc_;
};

class Document {
 public:
  Document() = default;
  bool IsNothing() const { return !session_; }
  bool operator==(const Document& other) const { return doc_.lock() == other.doc_.lock(); }

  std::string Name() const;
  std::string FullName() const;  // the file's path; fails for a document never saved
  double Width() const;
  double Height() const;
  double Resolution() const;
  bool Saved() const;
  DocumentInfo Info() const;

  Layer ActiveLayer() const;
  void SetActiveLayer(const Layer& layer) const;
  HistoryState ActiveHistoryState() const;
  void SetActiveHistoryState(const HistoryState& state) const;

  LayerCollection ArtLayers() const;
  LayerCollection LayerSets() const;
  LayerCollection Layers() const;
  photoshop::Selection Selection() const;
  photoshop::Channels Channels() const;

  Layer Paste(bool intoSelection = false) const;
  // Bounds left, top, right, bottom in ruler units.
  void Crop(const std::array<double, 4>& bounds) const;
  void Flatten() const;
  void ResizeImage(double width, double height, double resolution = 0, int resampleMethod = ps::Bicubic) const;
  void SaveAs(const std::string& path, const SaveOptions& options = {}, bool asCopy = false,
              int extensionType = ps::Lowercase) const;
  void Close(std::optional<int> saving = std::nullopt) const;
  // Runs `body` with the document's history suspended: all it changes in this document is one
  // history state named `historyString` (Photoshop's suspendHistory). Failures of the body pass on.
  void SuspendHistory(const std::string& historyString, const std::function<void()>& body) const;

  // The engine's document behind the handle (for the workspace and tests).
  std::shared_ptr<engine::Document> engineDocument() const;

 private:
  friend class Application;
  friend class DocumentsCollection;
  friend class Layer;
  friend class LayerCollection;
  Document(detail::SessionPtr s, std::weak_ptr<engine::Document> d) : session_(std::move(s)), doc_(std::move(d)) {}
  std::shared_ptr<engine::Document> document() const;

  detail::SessionPtr session_;
  std::weak_ptr<engine::Document> doc_;
};

class DocumentsCollection {
 public:
  int Count() const;
  Document Item(int index) const;  // 1-based, in the order the documents were opened
  Document Item(const std::string& name) const;
  Document operator()(int index) const { return Item(index); }
  Document operator()(const std::string& name) const { return Item(name); }
  // Lengths in ruler units; mode 2 (RGB) only; fill 1 white, 2 background colour, 3 transparent.
  Document Add(double width, double height, double resolution = 72, const std::string& name = "",
               int mode = ps::NewRGB, int initialFill = ps::FillWhite) const;

 private:
  friend class Application;
  explicit DocumentsCollection(detail::SessionPtr s) : session_(std::move(s)) {}
  detail::SessionPtr session_;
};
using Documents = DocumentsCollection;

class Preferences {
 public:
  int RulerUnits() const;
  void SetRulerUnits(int units) const;
  int NumberOfHistoryStates() const;
  void SetNumberOfHistoryStates(int count) const;
  int Interpolation() const;
  void SetInterpolation(int method) const;

 private:
  friend class Application;
  explicit Preferences(detail::SessionPtr s) : session_(std::move(s)) {}
  detail::SessionPtr session_;
};

class Application {
 public:
  // A new embedded engine with no documents.
  Application();
  explicit Application(detail::SessionPtr session) : session_(std::move(session)) {}

  DocumentsCollection Documents() const;
  Document Open(const std::string& path) const;
  Document ActiveDocument() const;
  void SetActiveDocument(const Document& document) const;
  photoshop::Preferences Preferences() const;
  SolidColor ForegroundColor() const;
  void SetForegroundColor(const SolidColor& color) const;
  SolidColor BackgroundColor() const;
  void SetBackgroundColor(const SolidColor& color) const;
  TypeID CharIDToTypeID(const std::string& code) const;
  TypeID StringIDToTypeID(const std::string& name) const;
  std::string TypeIDToCharID(TypeID id) const;
  std::string TypeIDToStringID(TypeID id) const;
  // Runs an action event; dialog mode 1 shows all dialogs, 2 errors only, 3 none.
  ActionDescriptor ExecuteAction(TypeID eventId, const ActionDescriptor& descriptor = {}, int dialogMode = 2) const;

  // The embedded engine and the test hooks.
  engine::Engine& engine() const { return session_->engine; }
  FaultHook& faults() const { return session_->faults; }
  CallLog& calls() const { return session_->calls; }
  const std::vector<std::string>& recordedActions() const { return session_->recordedActions; }
  const detail::SessionPtr& session() const { return session_; }
  // Handles for engine objects (workspace, tests).
  Document documentFor(const std::shared_ptr<engine::Document>& doc) const { return Document(session_, doc); }
  Layer layerFor(const std::shared_ptr<engine::Document>& doc, engine::LayerId id) const { return Layer(session_, doc, id); }

 private:
  detail::SessionPtr session_;
};

}  // namespace photoshop
