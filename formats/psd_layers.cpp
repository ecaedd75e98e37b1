#include "formats/psd_layers.h"

#include <algorithm>
#include <cstring>

#include "engine/errors.h"
#include "formats/channel_codec.h"
#include "formats/descriptor.h"
#include "formats/image_resources.h"
#include "formats/layer_blocks.h"
#include "formats/layer_settings_codec.h"
#include "formats/mask_parameters.h"
#include "formats/text_encoding.h"

namespace formats {

void PsdContext::charge(const ByteReader& r, std::uint64_t bytes) {
  if (bytes > budget) r.fail("the document needs more memory than the reader allows for one file");
  budget -= bytes;
}

namespace {

constexpr int kMaxChannelsPerLayer = 56;
// Photoshop nests groups ten deep; far deeper trees would only exhaust the stack of code that
// walks them.
constexpr std::size_t kMaxGroupDepth = 100;
constexpr std::int16_t kTransparencyChannel = -1;
constexpr std::int16_t kUserMaskChannel = -2;
constexpr std::int16_t kRealUserMaskChannel = -3;

enum SectionType { kNoSection = 0, kOpenFolder = 1, kClosedFolder = 2, kSectionEnd = 3 };

struct ChannelEntry {
  std::int16_t id = 0;
  std::uint64_t length = 0;
};

struct MaskRecord {
  bool present = false;
  engine::Rect rect;
  std::uint8_t defaultColor = 0;
  std::uint8_t flags = 0;
  bool hasReal = false;
  engine::Rect realRect;
  std::uint8_t realDefault = 0;
  std::uint8_t realFlags = 0;
  MaskParameters parameters;
};

struct LayerRecord {
  engine::Rect bounds;
  std::vector<ChannelEntry> channels;
  std::string blendKey;
  std::uint8_t opacity = 255;
  std::uint8_t clipping = 0;
  std::uint8_t flags = 0;
  MaskRecord mask;
  std::string name;
  std::vector<RawBlock> blocks;
  int section = kNoSection;
  std::string sectionBlendKey;
};

std::string layerLabel(std::size_t index) { return "layer record " + std::to_string(index + 1); }

engine::Rect readRect(ByteReader& r, const std::string& what) {
  const std::int64_t top = r.i32("a rectangle"), left = r.i32("a rectangle");
  const std::int64_t bottom = r.i32("a rectangle"), right = r.i32("a rectangle");
  // Photoshop writes an empty layer's bounds inverted (bottom above top): it covers nothing.
  if (bottom < top || right < left) return {};
  const std::int64_t w = right - left, h = bottom - top;
  if (w > engine::kMaxSide || h > engine::kMaxSide || w * h > engine::kMaxArea)
    r.fail(what + " is " + std::to_string(w) + " x " + std::to_string(h) + " pixels, more than the engine accepts (" +
           std::to_string(engine::kMaxSide) + " per side)");
  return {int(left), int(top), int(right), int(bottom)};
}

bool hasChannel(const LayerRecord& rec, std::int16_t id) {
  return std::any_of(rec.channels.begin(), rec.channels.end(), [&](const ChannelEntry& c) { return c.id == id; });
}

MaskRecord readMask(ByteReader r, const LayerRecord& rec, const std::string& what) {
  MaskRecord m;
  if (r.remaining() < 18) return m;
  m.present = true;
  m.rect = readRect(r, what + "'s mask");
  m.defaultColor = r.u8("a mask colour");
  m.flags = r.u8("mask flags");
  // With both a vector and a pixel mask the record continues with the pixel mask's own values.
  if (r.remaining() >= 18 && hasChannel(rec, kRealUserMaskChannel)) {
    m.hasReal = true;
    m.realFlags = r.u8("mask flags");
    m.realDefault = r.u8("a mask colour");
    m.realRect = readRect(r, what + "'s mask");
  }
  // Densities and feathers come last, after the rectangles of both masks.
  if ((m.flags | m.realFlags) & kMaskHasParameters) m.parameters = readMaskParameters(r);
  return m;
}

std::vector<engine::LayerNode> reversed(std::vector<engine::LayerNode> v) {
  std::reverse(v.begin(), v.end());
  return v;
}

LayerRecord readRecord(ByteReader& r, std::size_t index, const PsdContext& ctx) {
  const std::string what = layerLabel(index);
  LayerRecord rec;
  rec.bounds = readRect(r, what);
  const std::uint16_t channelCount = r.u16("a channel count");
  if (channelCount > kMaxChannelsPerLayer)
    r.fail(what + " claims " + std::to_string(channelCount) + " channels (at most " +
           std::to_string(kMaxChannelsPerLayer) + ")");
  for (std::uint16_t c = 0; c < channelCount; ++c) {
    ChannelEntry e;
    e.id = r.i16("a channel id");
    e.length = r.length(ctx.wide(), "a channel length");
    rec.channels.push_back(e);
  }
  if (!r.startsWith("8BIM")) r.fail(what + " lacks its blend-mode signature");
  r.skip(4, "a signature");
  auto key = r.take(4, "a blend mode");
  rec.blendKey.assign(key.begin(), key.end());
  rec.opacity = r.u8("an opacity");
  rec.clipping = r.u8("a clipping flag");
  rec.flags = r.u8("layer flags");
  r.skip(1, "a filler byte");
  ByteReader extra = r.sub(r.u32("the layer's extra data length"), "the layer's extra data");
  rec.mask = readMask(extra.sub(extra.u32("the mask data length"), "the mask data"), rec, what);
  extra.skip(extra.u32("the blending ranges length"), "the blending ranges");
  const std::uint8_t nameLength = extra.u8("a layer name");
  auto name = extra.take(nameLength, "a layer name");
  rec.name = codePageToUtf8(name);
  // The name is padded so that it and its length byte fill a multiple of four bytes.
  const std::size_t padding = (4 - (nameLength + 1) % 4) % 4;
  extra.skip(std::min<std::size_t>(padding, extra.remaining()), "the name's padding");
  rec.blocks = readTaggedBlocks(extra, ctx.wide());
  for (const RawBlock& b : rec.blocks) {
    const std::string_view k = keyView(b.key);
    if (k == "luni" && b.data.size() >= 4) {
      try {
        ByteReader u(b.data, ctx.name);
        rec.name = readDescriptorUnicode(u);
      } catch (const FormatError&) {
        // A damaged Unicode name leaves the one-byte name, which every record has.
      }
    } else if ((k == "lsct" || k == "lsdk") && b.data.size() >= 4) {
      ByteReader s(b.data, ctx.name);
      const std::uint32_t type = s.u32("a section type");
      if (type <= kSectionEnd) rec.section = int(type);
      if (s.remaining() >= 8 && s.startsWith("8BIM")) {
        s.skip(4, "a signature");
        auto blend = s.take(4, "a blend mode");
        rec.sectionBlendKey.assign(blend.begin(), blend.end());
      }
    }
  }
  return rec;
}

struct DecodedChannels {
  engine::Raster pixels;  // made when the first colour or transparency channel is decoded
  bool hasAlpha = false;
  std::vector<std::vector<std::uint8_t>> colour;  // modes other than RGB: planes converted at the end
  std::vector<std::uint8_t> userMask, realMask;
};

// Puts one 8-bit plane into one component of the RGBA pixels.
void scatter(const std::uint8_t* plane, engine::Raster& pixels, int component) {
  std::uint8_t* px = pixels.mutableData() + component;
  for (std::size_t i = 0, n = std::size_t(pixels.bounds().area()); i < n; ++i, px += 4) *px = plane[i];
}

// Reads one record's channel data (which follows all records, in record order). `scratch` is
// reused from channel to channel so that decoding does not allocate for each one.
DecodedChannels readChannels(ByteReader& r, const LayerRecord& rec, std::size_t index, PsdContext& ctx,
                             std::vector<std::uint8_t>& scratch) {
  const std::string what = layerLabel(index);
  const int colourCount = colorChannelCount(ctx.mode);
  DecodedChannels out;
  for (const ChannelEntry& ch : rec.channels) {
    ByteReader data = r.sub(ch.length, (what + "'s channel data").c_str());
    if (ch.length < 2) continue;  // nothing but (part of) a compression field: an empty channel
    const std::uint16_t compression = data.u16("a compression method");
    if (compression > 3) data.fail(what + " uses unknown compression " + std::to_string(compression));
    engine::Rect area = rec.bounds;
    if (ch.id == kUserMaskChannel) area = rec.mask.rect;
    if (ch.id == kRealUserMaskChannel) area = rec.mask.hasReal ? rec.mask.realRect : engine::Rect{};
    const bool ownPixels = (ch.id >= 0 && ch.id < colourCount) || ch.id == kTransparencyChannel;
    if ((!ownPixels && ch.id != kUserMaskChannel && ch.id != kRealUserMaskChannel) || area.empty()) continue;
    const ChannelShape shape{area.width(), area.height(), ctx.depth, ctx.wide()};
    const auto payload = data.take(data.remaining(), "channel data");
    checkChannelClaim(data, Compression(compression), payload.size(), shape, what.c_str());
    ctx.charge(data, channelByteSize(std::uint64_t(shape.width), std::uint64_t(shape.height), ctx.depth) +
                         std::uint64_t(area.area()));
    decodeChannel(data, payload, Compression(compression), shape, what.c_str(), scratch);
    std::vector<std::uint8_t> converted;
    const std::uint8_t* plane = scratch.data();
    if (ctx.depth != 8) {
      const SampleKind kind = ch.id >= 0 ? SampleKind::Color : SampleKind::Coverage;
      converted = toEightBit(std::move(scratch), ctx.depth, std::size_t(area.area()), area.width(), kind);
      scratch.clear();
      plane = converted.data();
    }
    const std::size_t planeSize = std::size_t(area.area());
    if (ch.id == kUserMaskChannel || ch.id == kRealUserMaskChannel) {
      (ch.id == kUserMaskChannel ? out.userMask : out.realMask).assign(plane, plane + planeSize);
      continue;
    }
    // The layer's own pixels are allocated only for data that is there, so that bounds without
    // channels cannot make the reader allocate more than the file could describe.
    if (out.pixels.empty()) {
      ctx.charge(data, std::uint64_t(rec.bounds.area()) * engine::Raster::kChannels);
      out.pixels = engine::Raster(rec.bounds);
      if (ctx.mode != ColorMode::Rgb) out.colour.resize(std::size_t(colourCount));
    }
    if (ch.id == kTransparencyChannel) {
      out.hasAlpha = true;
      scatter(plane, out.pixels, 3);
    } else if (ctx.mode == ColorMode::Rgb) {
      scatter(plane, out.pixels, ch.id);
    } else {
      out.colour[std::size_t(ch.id)].assign(plane, plane + planeSize);
    }
  }
  return out;
}

engine::LayerMask makeMask(const engine::Rect& rect, std::uint8_t defaultColor, std::uint8_t flags,
                           const std::vector<std::uint8_t>& plane) {
  engine::LayerMask m;
  m.pixels = engine::Mask(plane.empty() ? engine::Rect{} : rect, defaultColor);
  if (!plane.empty()) std::memcpy(m.pixels.mutableData(), plane.data(), plane.size());
  m.disabled = flags & 0x02;
  return m;
}

// A fill colour the file does not state in a form the codec reads: the colour the fill shows.
engine::Rgb colourOfPixels(const engine::Raster& pixels) {
  if (pixels.empty()) return {};
  const std::uint8_t* p = pixels.data();
  for (std::size_t i = 0, n = std::size_t(pixels.bounds().area()); i < n; ++i, p += 4)
    if (p[3]) return {p[0], p[1], p[2]};
  return {};
}

void applyBlocks(engine::LayerNode& node, const LayerRecord& rec, const PsdContext& ctx) {
  std::optional<engine::LayerKind> kind;
  bool fillColourKnown = false;
  // Photoshop goes by the object-based effects when a layer also carries the older 'lrFX'.
  std::optional<bool> effectsOn, legacyEffectsOn;
  for (const RawBlock& b : rec.blocks) {
    const std::string_view k = keyView(b.key);
    if (k == "lclr" && b.data.size() >= 2) {
      const int label = loadU16(b.data.data());
      node.colorLabel = label >= 0 && label <= 7 ? engine::ColorLabel(label) : engine::ColorLabel::None;
    } else if (k == "iOpa" && !b.data.empty()) {
      node.fillOpacity = b.data[0];
    } else if (isEffectsBlock(k)) {
      node.hasStyle = true;
      if (const auto on = effectsSwitch(k, b.data, ctx.name)) (k == "lrFX" ? legacyEffectsOn : effectsOn) = *on;
    }
    if (!kind) kind = kindOfBlock(k);
    if (kind == engine::LayerKind::SolidFill && k == "SoCo") {
      try {
        if (const auto c = solidFillColor(b.data, ctx.name)) {
          node.fillColor = ctx.depth == 32 ? linearColorToSrgb(*c) : *c;
          fillColourKnown = true;
        }
      } catch (const FormatError&) {
        // An unreadable fill description leaves the colour to the pixels below.
      }
    }
    if (k == "TySh") {
      try {
        if (auto t = typeLayerText(b.data, ctx.name)) node.text = std::move(*t);
      } catch (const FormatError&) {
        // The words are only shown; the block itself is kept as read and written back, so a
        // text that cannot be decoded loses nothing but its display.
      }
    }
    if (!isInterpretedBlock(k) || (k == "SoCo" && node.isSet)) {
      engine::TaggedBlock kept;
      kept.key = b.key;
      kept.data = shareBytes(std::vector<std::uint8_t>(b.data.begin(), b.data.end()));
      node.extraBlocks.push_back(std::move(kept));
    }
  }
  if (kind && !node.isSet) node.kind = *kind;
  node.styleEnabled = effectsOn.value_or(legacyEffectsOn.value_or(true));
  if (node.kind == engine::LayerKind::SolidFill && !fillColourKnown) node.fillColor = colourOfPixels(node.pixels);
  interpretLayerBlocks(node, ctx.name);
}

engine::LayerNode makeNode(const LayerRecord& rec, DecodedChannels&& ch, const PsdContext& ctx, bool isSet) {
  engine::LayerNode node = isSet ? engine::LayerNode::layerSet(rec.name) : engine::LayerNode::artLayer(rec.name);
  node.visible = !(rec.flags & 0x02);
  node.keptRecordFlags = keptRecordFlags(rec.flags, isSet);
  node.opacity = rec.opacity;
  node.clipping = rec.clipping != 0 && !isSet;
  const std::string& key = isSet && !rec.sectionBlendKey.empty() ? rec.sectionBlendKey : rec.blendKey;
  node.blendMode = blendModeFromKey(key).value_or(engine::BlendMode::Normal);
  if (!isSet && node.blendMode == engine::BlendMode::PassThrough) node.blendMode = engine::BlendMode::Normal;
  if (isSet) node.expanded = rec.section == kOpenFolder;

  // The pixel mask: the "real" one when the record also renders a vector mask, else the user
  // mask unless that is only a rendering of other data (a vector mask, kept as its block).
  if (rec.mask.hasReal && !ch.realMask.empty()) {
    node.mask = makeMask(rec.mask.realRect, rec.mask.realDefault, rec.mask.realFlags, ch.realMask);
  } else if (rec.mask.present && !(rec.mask.flags & 0x08)) {
    node.mask = makeMask(rec.mask.rect, rec.mask.defaultColor, rec.mask.flags, ch.userMask);
  }
  applyMaskParameters(rec.mask.parameters, node);

  if (!isSet && !ch.pixels.empty()) {
    node.pixels = std::move(ch.pixels);
    const std::size_t n = std::size_t(rec.bounds.area());
    if (!ch.colour.empty()) {
      std::vector<std::uint8_t> none;
      std::vector<const std::uint8_t*> planes;
      for (auto& plane : ch.colour) {
        if (plane.empty() && none.empty()) none.assign(n, 0);
        planes.push_back(plane.empty() ? none.data() : plane.data());
      }
      convertToRgb(ctx.mode, planes, ctx.palette, node.pixels);
    }
    if (!ch.hasAlpha) {
      std::uint8_t* px = node.pixels.mutableData();
      for (std::size_t i = 0; i < n; ++i) px[4 * i + 3] = 255;
    }
  }
  applyBlocks(node, rec, ctx);
  return node;
}

}  // namespace

std::vector<RawBlock> readTaggedBlocks(ByteReader& r, bool wide) {
  std::vector<RawBlock> out;
  while (r.remaining() >= 12) {
    if (!r.startsWith("8BIM") && !r.startsWith("8B64")) {
      // Writers pad between blocks to two or four bytes; anything else ends the list.
      std::size_t zeros = 0;
      while (zeros < 3 && r.remaining() > 0 && r.bytes()[r.position()] == 0) {
        r.skip(1, "padding");
        ++zeros;
      }
      if (zeros == 0 || !(r.startsWith("8BIM") || r.startsWith("8B64"))) break;
      continue;
    }
    r.skip(4, "a block signature");
    RawBlock b;
    auto key = r.take(4, "a block key");
    std::memcpy(b.key.data(), key.data(), 4);
    const std::uint64_t length = r.length(wide && hasWideLength(keyView(b.key)), "a block length");
    b.data = r.take(length, "a tagged block");
    out.push_back(b);
  }
  return out;
}

LayerSection readLayerInfo(ByteReader r, PsdContext& ctx) {
  LayerSection out;
  if (r.remaining() < 2) return out;
  const std::int16_t count = r.i16("the layer count");
  out.mergedHasAlpha = count < 0;
  const std::size_t n = std::size_t(count < 0 ? -int(count) : int(count));
  // A record takes at least 34 bytes: refuse counts the section cannot hold before reserving.
  if (n * 34 > r.remaining())
    r.fail("the layer section claims " + std::to_string(n) + " layers but holds only " +
           std::to_string(r.remaining()) + " bytes");
  std::vector<LayerRecord> records;
  records.reserve(n);
  for (std::size_t i = 0; i < n; ++i) records.push_back(readRecord(r, i, ctx));
  out.found = n > 0;

  // Channel data follows the records; all of it must be there before any is decoded.
  std::uint64_t total = 0;
  for (const LayerRecord& rec : records)
    for (const ChannelEntry& ch : rec.channels) total += ch.length;
  if (total > r.remaining())
    r.fail("the layers' channel data needs " + std::to_string(total) + " bytes but only " +
           std::to_string(r.remaining()) + " remain");

  // Records run bottom to top; a section end opens a group that the folder record above closes.
  std::vector<std::vector<engine::LayerNode>> stack(1);
  out.recordIds.assign(n, 0);
  std::vector<std::uint8_t> scratch;
  for (std::size_t i = 0; i < n; ++i) {
    const LayerRecord& rec = records[i];
    DecodedChannels channels = readChannels(r, rec, i, ctx, scratch);
    if (rec.section == kSectionEnd) {
      if (stack.size() > kMaxGroupDepth)
        r.fail("its groups are nested more than " + std::to_string(kMaxGroupDepth) + " deep");
      stack.emplace_back();
      continue;
    }
    const bool isSet = rec.section == kOpenFolder || rec.section == kClosedFolder;
    engine::LayerNode node = makeNode(rec, std::move(channels), ctx, isSet);
    if (isSet && stack.size() > 1) {
      node.children = reversed(std::move(stack.back()));
      stack.pop_back();
    }
    out.recordIds[i] = node.id;
    stack.back().push_back(std::move(node));
  }
  // A group that never closes keeps its layers, one level up.
  while (stack.size() > 1) {
    auto orphans = std::move(stack.back());
    stack.pop_back();
    for (auto& o : orphans) stack.back().push_back(std::move(o));
  }
  out.layers = reversed(std::move(stack.back()));

  // The bottom layer is the document's background when, as Photoshop writes it, it has no
  // transparency and covers the canvas.
  if (n > 0 && !out.layers.empty()) {
    engine::LayerNode& bottom = out.layers.back();
    const LayerRecord& rec = records[0];
    if (!bottom.isSet && rec.section == kNoSection && !hasChannel(rec, kTransparencyChannel) &&
        rec.bounds == ctx.canvas && bottom.kind == engine::LayerKind::Normal)
      bottom.isBackground = true;
  }
  return out;
}

}  // namespace formats
