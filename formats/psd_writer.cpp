// Writing the engine's document as a Photoshop document (version 1, 8-bit RGB): layer records
// with section dividers for sets, RLE channel data, image resources, and a merged image that
// flat readers and thumbnails show.

#include <algorithm>
#include <map>

#include "engine/composite.h"
#include "formats/byte_writer.h"
#include "formats/channel_codec.h"
#include "formats/descriptor.h"
#include "formats/document_io.h"
#include "formats/image_resources.h"
#include "formats/layer_blocks.h"
#include "formats/layer_settings_codec.h"
#include "formats/mask_parameters.h"
#include "formats/psd_writer.h"
#include "formats/psd_metadata.h"
#include "formats/text_encoding.h"
#include "formats/zip_codec.h"

namespace formats {

namespace {

constexpr const char* kSectionEndName = "</Layer group>";

enum class RecordRole { Layer, Folder, SectionEnd };

struct Record {
  const engine::LayerNode* node = nullptr;  // null for a section end
  RecordRole role = RecordRole::Layer;
  std::uint32_t layerId = 0;
};

// Records as stored: bottom first, a set as its section end, its members, then itself.
void flatten(const std::vector<engine::LayerNode>& layers, std::vector<Record>& out) {
  for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
    if (it->isSet) {
      out.push_back({nullptr, RecordRole::SectionEnd});
      flatten(it->children, out);
      out.push_back({&*it, RecordRole::Folder});
    } else {
      out.push_back({&*it, RecordRole::Layer});
    }
  }
}

struct EncodedChannel {
  std::int16_t id = 0;
  std::vector<std::uint8_t> bytes;  // compression field and data
};

EncodedChannel encodePlane(std::int16_t id, std::span<const std::uint8_t> plane, int width, int height,
                           Compression compression) {
  EncodedChannel ch;
  ch.id = id;
  ByteWriter w;
  if (width <= 0 || height <= 0) {
    w.u16(0);
    ch.bytes = std::move(w.buffer());
    return ch;
  }
  w.u16(std::uint16_t(compression));
  switch (compression) {
    case Compression::Raw: w.bytes(plane); break;
    case Compression::Rle: encodeRleChannel(plane, width, height, w.buffer()); break;
    case Compression::Zip:
    case Compression::ZipPredicted: {
      std::vector<std::uint8_t> data(plane.begin(), plane.end());
      if (compression == Compression::ZipPredicted) applyPrediction(data, width, height);
      w.bytes(deflateBytes(data));
      break;
    }
  }
  ch.bytes = std::move(w.buffer());
  return ch;
}

std::vector<std::uint8_t> planeOf(const engine::Raster& r, int channel) {
  const std::size_t n = std::size_t(r.bounds().area());
  std::vector<std::uint8_t> plane(n);
  const std::uint8_t* p = r.data();
  for (std::size_t i = 0; i < n; ++i) plane[i] = p[4 * i + std::size_t(channel)];
  return plane;
}

// A layer has mask data when it has a pixel mask, or densities or feathers to keep for its
// vector mask; then it has a mask channel too, empty when the data only carries the values.
bool hasMaskData(const engine::LayerNode* node) {
  return node && (!node->mask.empty() || maskParametersOf(*node).any());
}

std::vector<EncodedChannel> layerChannels(const Record& rec, Compression compression) {
  std::vector<EncodedChannel> out;
  const engine::LayerNode* node = rec.node;
  if (rec.role != RecordRole::Layer || node->pixels.empty()) {
    for (std::int16_t id : {std::int16_t(-1), std::int16_t(0), std::int16_t(1), std::int16_t(2)})
      out.push_back(encodePlane(id, {}, 0, 0, compression));
  } else {
    const engine::Raster& px = node->pixels;
    const int w = px.bounds().width(), h = px.bounds().height();
    // A background has no transparency: that is how readers tell it from an ordinary layer.
    if (!node->isBackground) out.push_back(encodePlane(-1, planeOf(px, 3), w, h, compression));
    for (int c = 0; c < 3; ++c) out.push_back(encodePlane(std::int16_t(c), planeOf(px, c), w, h, compression));
  }
  if (node && !node->mask.empty()) {
    const engine::Mask& m = node->mask.pixels;
    const std::span<const std::uint8_t> data(m.data(), std::size_t(m.bounds().area()));
    out.push_back(encodePlane(-2, data, m.bounds().width(), m.bounds().height(), compression));
  } else if (hasMaskData(node)) {
    out.push_back(encodePlane(-2, {}, 0, 0, compression));
  }
  return out;
}

void writeRect(ByteWriter& w, const engine::Rect& r) {
  w.i32(r.top);
  w.i32(r.left);
  w.i32(r.bottom);
  w.i32(r.right);
}

void writeMaskData(ByteWriter& w, const engine::LayerNode* node) {
  if (!hasMaskData(node)) {
    w.u32(0);
    return;
  }
  const std::size_t start = w.beginLength();
  const bool pixelMask = !node->mask.empty();
  const MaskParameters parameters = maskParametersOf(*node);
  writeRect(w, pixelMask ? node->mask.pixels.bounds() : engine::Rect{});
  w.u8(pixelMask ? node->mask.pixels.outside() : 255);
  std::uint8_t flags = node->mask.disabled && pixelMask ? 0x02 : 0x00;
  if (!pixelMask) flags |= 0x08;  // the mask channel holds nothing of its own
  if (parameters.any()) flags |= kMaskHasParameters;
  w.u8(flags);
  if (parameters.any()) writeMaskParameters(w, parameters);
  w.padTo(4, start + 4);  // as Photoshop writes it: 20 bytes for the plain form
  w.endLength(start);
}

void writeBlock(ByteWriter& w, const char* key, std::span<const std::uint8_t> data) {
  w.tag("8BIM");
  w.tag(key);
  // Lengths count the padding, so that every reader finds the next block.
  const std::size_t padded = (data.size() + 1) / 2 * 2;
  w.u32(std::uint32_t(padded));
  w.bytes(data);
  w.zeros(padded - data.size());
}

std::vector<std::uint8_t> unicodeName(const std::string& name) {
  ByteWriter w;
  const std::vector<std::uint16_t> units = utf8ToUtf16(name);
  w.u32(std::uint32_t(units.size()));
  for (std::uint16_t u : units) w.u16(u);
  w.padTo(4);
  return std::move(w.buffer());
}

std::vector<std::uint8_t> sectionBlock(int type, const char* blendKey) {
  ByteWriter w;
  w.u32(std::uint32_t(type));
  w.tag("8BIM");
  w.tag(blendKey);
  return std::move(w.buffer());
}

// The blocks kept from reading, brought in line with the layer as it is now.
void writeKeptBlocks(ByteWriter& w, const engine::LayerNode& node, const std::string& name) {
  // The older 'lrFX' is switched only when there are no object-based effects, which Photoshop
  // prefers; switching both could disagree with what the file said about the one it ignores.
  const bool hasObjectEffects = findBlock(node.extraBlocks, {"lfx2", "lmfx", "lfxs"}) != nullptr;
  for (const auto& [key, data] : layerSettingsBlocks(node)) writeBlock(w, std::string(keyView(key)).c_str(), data);
  for (const engine::TaggedBlock& b : node.extraBlocks) {
    if (!b.data) continue;
    const std::string_view key = keyView(b.key);
    if (isInterpretedBlock(key) && !(key == "SoCo" && node.isSet)) continue;
    // A block that makes another kind of layer belongs to what the layer was before it was
    // rasterised or otherwise changed; writing it back would bring that layer back.
    if (!node.isSet) {
      if (const auto kind = kindOfBlock(key); kind && *kind != node.kind) continue;
    }
    if (isEffectsBlock(key)) {
      if (!node.hasStyle) continue;
      if (key == "lrFX" && hasObjectEffects) {
        writeBlock(w, "lrFX", *b.data);
        continue;
      }
      const std::vector<std::uint8_t> data = withEffectsSwitch(key, *b.data, node.styleEnabled, name);
      writeBlock(w, std::string(key).c_str(), data);
      continue;
    }
    writeBlock(w, std::string(key).c_str(), *b.data);
  }
}

void writeRecord(ByteWriter& w, const Record& rec, const std::vector<EncodedChannel>& channels) {
  const engine::LayerNode* node = rec.node;
  const engine::Rect bounds = rec.role == RecordRole::Layer ? node->pixels.bounds() : engine::Rect{};
  writeRect(w, bounds);
  w.u16(std::uint16_t(channels.size()));
  for (const EncodedChannel& ch : channels) {
    w.i16(ch.id);
    w.u32(std::uint32_t(ch.bytes.size()));
  }
  w.tag("8BIM");
  const engine::BlendMode mode = node ? node->blendMode : engine::BlendMode::Normal;
  w.tag(rec.role == RecordRole::Layer && mode == engine::BlendMode::PassThrough ? "norm" : blendModeKey(mode));
  w.u8(node ? node->opacity : 255);
  w.u8(node && rec.role == RecordRole::Layer && node->clipping ? 1 : 0);
  std::uint8_t flags = 0x08;  // written by a Photoshop 5 or later
  if (rec.role != RecordRole::Layer) flags |= 0x10;  // no pixels of its own
  if (node && rec.role != RecordRole::SectionEnd && !node->visible) flags |= 0x02;
  if (node && rec.role != RecordRole::SectionEnd) flags |= keptRecordFlags(node->keptRecordFlags, node->isSet);
  w.u8(flags);
  w.u8(0);

  const std::size_t extra = w.beginLength();
  writeMaskData(w, node);
  // Blending ranges: the whole range for the composite and each colour channel.
  w.u32(40);
  for (int i = 0; i < 10; ++i) w.u32(0x0000FFFF);
  // The name in the code page, padded to four bytes with its length byte.
  const std::string name = rec.role == RecordRole::SectionEnd ? kSectionEndName : node->name;
  const std::string pascal = utf8ToCodePage(name);
  const std::size_t start = w.size();
  w.u8(std::uint8_t(pascal.size()));
  w.bytes(pascal.data(), pascal.size());
  w.padTo(4, start);

  if (node && rec.role == RecordRole::Layer && node->kind == engine::LayerKind::SolidFill)
    writeBlock(w, "SoCo", solidFillBlock(node->fillColor));
  if (node) writeKeptBlocks(w, *node, name);
  writeBlock(w, "luni", unicodeName(name));
  const std::uint8_t id[4] = {std::uint8_t(rec.layerId >> 24), std::uint8_t(rec.layerId >> 16),
                              std::uint8_t(rec.layerId >> 8), std::uint8_t(rec.layerId)};
  writeBlock(w, "lyid", id);
  if (rec.role == RecordRole::SectionEnd) {
    writeBlock(w, "lsct", sectionBlock(3, "norm"));
  } else if (rec.role == RecordRole::Folder) {
    writeBlock(w, "lsct", sectionBlock(node->expanded ? 1 : 2, blendModeKey(node->blendMode)));
  }
  if (node) {
    const std::uint8_t label[8] = {0, std::uint8_t(node->colorLabel), 0, 0, 0, 0, 0, 0};
    writeBlock(w, "lclr", label);
    if (node->fillOpacity != 255 && rec.role == RecordRole::Layer) {
      const std::uint8_t fill[4] = {node->fillOpacity, 0, 0, 0};
      writeBlock(w, "iOpa", fill);
    }
  }
  w.endLength(extra);
}

// Link groups as Photoshop numbers them (16 bits); numbers that do not fit are renumbered.
std::vector<std::uint32_t> linkGroupsOf(const std::vector<Record>& records) {
  std::vector<std::uint32_t> out;
  bool fits = true;
  for (const Record& r : records) {
    const std::uint32_t g = r.role == RecordRole::SectionEnd ? 0 : r.node->linkGroup;
    fits = fits && g <= 0xFFFF;
    out.push_back(g);
  }
  if (!fits) {
    std::map<std::uint32_t, std::uint32_t> renumbered;
    for (std::uint32_t& g : out)
      if (g) g = renumbered.try_emplace(g, std::uint32_t(renumbered.size() + 1)).first->second;
  }
  return out;
}

void checkWritable(const engine::DocumentContent& content) {
  if (content.width <= 0 || content.height <= 0 || content.width > 30000 || content.height > 30000)
    throw FormatError("the document is " + std::to_string(content.width) + " x " + std::to_string(content.height) +
                      " pixels; a Photoshop file holds 1 to 30000 pixels per side");
  std::size_t records = 0;
  engine::forEachLayer(content.layers, [&](const engine::LayerNode& n) { records += n.isSet ? 2 : 1; });
  if (records > 32767) throw FormatError("the document has more layers than a Photoshop file can hold");
}

}  // namespace

std::vector<std::uint8_t> encodePsd(const engine::DocumentContent& content, Compression compression) {
  checkWritable(content);
  std::vector<Record> records;
  flatten(content.layers, records);
  for (std::size_t i = 0; i < records.size(); ++i) records[i].layerId = std::uint32_t(i + 1);

  const engine::Raster merged = engine::compositeDocument(content);
  const std::size_t pixels = std::size_t(merged.bounds().area());
  bool transparent = false;
  for (std::size_t i = 0; i < pixels && !transparent; ++i) transparent = merged.data()[4 * i + 3] != 255;

  ByteWriter w;
  w.tag("8BPS");
  w.u16(1);
  w.zeros(6);
  w.u16(transparent ? 4 : 3);
  w.u32(std::uint32_t(content.height));
  w.u32(std::uint32_t(content.width));
  w.u16(8);
  w.u16(3);
  w.u32(0);  // no colour mode data in RGB

  ResourceWriting writing;
  for (const Record& r : records) writing.recordIds.push_back(r.node && r.role != RecordRole::SectionEnd ? r.node->id : 0);
  writing.linkGroups = linkGroupsOf(records);
  writing.lastLayerId = std::uint32_t(records.size());
  const std::size_t resources = w.beginLength();
  for (const engine::ImageResource& r : imageResourcesToWrite(content, writing))
    writeImageResource(w, r.id, r.name, r.data ? std::span<const std::uint8_t>(*r.data) : std::span<const std::uint8_t>());
  w.endLength(resources);

  const std::size_t layerAndMask = w.beginLength();
  const std::size_t layerInfo = w.beginLength();
  if (!records.empty()) {
    // A negative count says that the merged image's first extra channel is its transparency.
    const int count = int(records.size());
    w.i16(std::int16_t(transparent ? -count : count));
    std::vector<std::vector<EncodedChannel>> channels;
    for (const Record& r : records) {
      channels.push_back(layerChannels(r, compression));
      writeRecord(w, r, channels.back());
    }
    std::size_t total = 0;
    for (const auto& list : channels)
      for (const EncodedChannel& ch : list) total += ch.bytes.size();
    w.buffer().reserve(w.size() + total + std::size_t(content.width) * std::size_t(content.height) * 4);
    for (auto& list : channels)
      for (EncodedChannel& ch : list) {
        w.bytes(ch.bytes);
        std::vector<std::uint8_t>().swap(ch.bytes);  // done with it: keep the peak low
      }
    w.padTo(2, layerInfo + 4);
  }
  w.endLength(layerInfo);
  w.u32(0);  // no global layer mask information
  // Document blocks keep their true length and are padded to four bytes, as Photoshop writes them.
  for (const engine::TaggedBlock& b : content.extraBlocks) {
    if (!b.data) continue;
    const std::size_t start = w.size();
    w.tag("8BIM");
    w.bytes(b.key.data(), 4);
    w.u32(std::uint32_t(b.data->size()));
    w.bytes(*b.data);
    w.padTo(4, start);
  }
  w.endLength(layerAndMask);

  // The merged image: RLE rows of every channel, the size table first. Where it is transparent,
  // Photoshop stores the colour blended with white, which is what flat readers then show.
  w.u16(std::uint16_t(Compression::Rle));
  std::vector<std::uint8_t> sizes, rows;
  const int channelCount = transparent ? 4 : 3;
  for (int c = 0; c < channelCount; ++c) {
    std::vector<std::uint8_t> plane = planeOf(merged, c);
    if (transparent && c < 3) {
      for (std::size_t i = 0; i < pixels; ++i) {
        const int a = merged.data()[4 * i + 3];
        plane[i] = std::uint8_t((plane[i] * a + 255 * (255 - a) + 127) / 255);
      }
    }
    encodeRleChannel(plane, content.width, content.height, sizes, rows);
  }
  w.bytes(sizes);
  w.bytes(rows);
  return std::move(w.buffer());
}

std::vector<std::uint8_t> encodePsd(const engine::DocumentContent& content) {
  return encodePsd(content, Compression::Rle);
}

}  // namespace formats
