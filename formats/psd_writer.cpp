// Writing the engine's document as a Photoshop document (version 1, 8-bit RGB): layer records
// with section dividers for sets, RLE channel data, image resources, and a merged image that
// flat readers and thumbnails show.

#include <algorithm>
#include <atomic>
#include <exception>
#include <latch>
#include <map>
#include <mutex>
#include <numeric>
#include <thread>

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
#include "formats/rle_encoder.h"
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

// One channel of a layer record as stored: its id, then the compression field and data, either
// packed in place (RLE) or in a buffer of its own (the other compressions, and empty channels).
struct EncodedChannel {
  std::int16_t id = 0;
  PackedChannel packed;
  std::vector<std::uint8_t> other;

  std::span<const std::uint8_t> bytes() const { return other.empty() ? packed.whole() : std::span(other); }
};

EncodedChannel emptyChannel(std::int16_t id) {
  EncodedChannel ch;
  ch.id = id;
  ch.other = {0, 0};  // raw, no data
  return ch;
}

// The slow, general way, for the compressions saves do not use.
EncodedChannel encodeUnpacked(std::int16_t id, const InterleavedSamples& source, int channel, Compression compression) {
  EncodedChannel ch;
  ch.id = id;
  const std::size_t w = std::size_t(source.width);
  std::vector<std::uint8_t> plane(w * std::size_t(source.height));
  for (int y = 0; y < source.height; ++y)
    for (std::size_t x = 0; x < w; ++x)
      plane[std::size_t(y) * w + x] = source.pixels[std::size_t(y) * source.rowBytes + x * source.pixelBytes + std::size_t(channel)];
  ByteWriter out;
  out.u16(std::uint16_t(compression));
  if (compression == Compression::ZipPredicted) applyPrediction(plane, source.width, source.height);
  out.bytes(compression == Compression::Raw ? plane : deflateBytes(plane));
  ch.other = std::move(out.buffer());
  return ch;
}

void encodeSamples(const InterleavedSamples& source, std::span<const int> offsets, std::span<const std::int16_t> ids,
                   Compression compression, std::vector<EncodedChannel>& out) {
  if (source.width <= 0 || source.height <= 0) {
    for (std::int16_t id : ids) out.push_back(emptyChannel(id));
    return;
  }
  if (compression != Compression::Rle) {
    for (std::size_t i = 0; i < ids.size(); ++i) out.push_back(encodeUnpacked(ids[i], source, offsets[i], compression));
    return;
  }
  std::vector<PackedChannel> packed(ids.size());
  packChannels(source, offsets, packed);
  for (std::size_t i = 0; i < ids.size(); ++i) {
    out.emplace_back();
    out.back().id = ids[i];
    out.back().packed = std::move(packed[i]);
  }
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
      out.push_back(emptyChannel(id));
  } else {
    const engine::Raster& px = node->pixels;
    const InterleavedSamples source{px.data(), px.bounds().width(), px.bounds().height(), 4, std::size_t(px.stride())};
    // A background has no transparency: that is how readers tell it from an ordinary layer.
    static constexpr int kOffsets[] = {3, 0, 1, 2};
    static constexpr std::int16_t kIds[] = {-1, 0, 1, 2};
    const std::size_t first = node->isBackground ? 1 : 0;
    encodeSamples(source, std::span(kOffsets).subspan(first), std::span(kIds).subspan(first), compression, out);
  }
  if (node && !node->mask.empty()) {
    const engine::Mask& m = node->mask.pixels;
    const InterleavedSamples source{m.data(), m.bounds().width(), m.bounds().height(), 1, std::size_t(m.bounds().width())};
    static constexpr int kOffset[] = {0};
    static constexpr std::int16_t kId[] = {-2};
    encodeSamples(source, kOffset, kId, compression, out);
  } else if (hasMaskData(node)) {
    out.push_back(emptyChannel(-2));
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
    w.u32(std::uint32_t(ch.bytes().size()));
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

// The channel data of every record and of the merged image. The merged image is composited on
// this thread while the others start on the layers; its channels are packed once it is there.
struct ChannelData {
  std::vector<std::vector<EncodedChannel>> records;
  engine::Raster merged;
  bool transparent = false;
  std::vector<PackedChannel> mergedChannels = std::vector<PackedChannel>(4);
  std::vector<std::uint8_t> head, tail;  // what the writer puts before and after the layers' data
};

unsigned threadsFor(std::uint64_t pixels) {
  if (pixels < (std::uint64_t(1) << 18)) return 1;  // starting threads would cost more than they save
  return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

void packMergedChannel(ChannelData& data, int channel) {
  const engine::Raster& m = data.merged;
  const InterleavedSamples source{m.data(), m.bounds().width(), m.bounds().height(), 4, std::size_t(m.stride())};
  // Where the merged image is transparent, Photoshop stores the colour blended with white, which
  // is what flat readers then show.
  if (data.transparent && channel < 3) {
    data.mergedChannels[std::size_t(channel)] = packOverWhite(source, channel);
  } else {
    const int offsets[] = {channel};
    packChannels(source, offsets, std::span(data.mergedChannels).subspan(std::size_t(channel), 1));
  }
}

void encodeChannelData(const engine::DocumentContent& content, const std::vector<Record>& records,
                       Compression compression, ChannelData& data) {
  data.records.resize(records.size());
  const auto area = [&](std::size_t i) -> std::uint64_t {
    return records[i].role == RecordRole::Layer ? std::uint64_t(records[i].node->pixels.bounds().area()) : 0;
  };
  // Largest first, so that no thread is left alone with a big layer at the end.
  std::vector<std::size_t> order(records.size());
  std::iota(order.begin(), order.end(), std::size_t(0));
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return area(a) > area(b); });
  std::uint64_t pixels = std::uint64_t(content.width) * std::uint64_t(content.height);
  for (std::size_t i = 0; i < records.size(); ++i) pixels += area(i);

  const std::size_t jobs = order.size() + data.mergedChannels.size();
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr failure;
  std::mutex failureLock;
  std::latch composited(1);
  const auto work = [&] {
    try {
      for (std::size_t job; !failed && (job = next++) < jobs;) {
        if (job < order.size()) {
          data.records[order[job]] = layerChannels(records[order[job]], compression);
          continue;
        }
        composited.wait();
        const int channel = int(job - order.size());
        if (!failed && (channel < 3 || data.transparent)) packMergedChannel(data, channel);
      }
    } catch (...) {
      const std::lock_guard lock(failureLock);
      if (!failure) failure = std::current_exception();
      failed = true;
    }
  };
  std::vector<std::jthread> helpers;
  for (unsigned i = 1; i < threadsFor(pixels); ++i) helpers.emplace_back(work);
  try {
    // The file is written in RGB, whose layers mix in RGB, whatever mode the document was read in.
    data.merged = engine::compositeLayers(content.layers, content.canvas(), content.canvas());
    const std::uint8_t* p = data.merged.data();
    const std::size_t count = std::size_t(data.merged.bounds().area());
    for (std::size_t i = 0; i < count && !data.transparent; ++i) data.transparent = p[4 * i + 3] != 255;
  } catch (...) {
    const std::lock_guard lock(failureLock);
    if (!failure) failure = std::current_exception();
    failed = true;
  }
  composited.count_down();
  work();
  helpers.clear();  // joins them
  if (failure) std::rethrow_exception(failure);
}

void writeHeader(ByteWriter& w, const engine::DocumentContent& content, const std::vector<Record>& records,
                 bool transparent) {
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
}

// Document blocks keep their true length and are padded to four bytes, as Photoshop writes them.
void writeDocumentBlocks(ByteWriter& w, const engine::DocumentContent& content) {
  for (const engine::TaggedBlock& b : content.extraBlocks) {
    if (!b.data) continue;
    const std::size_t start = w.size();
    w.tag("8BIM");
    w.bytes(b.key.data(), 4);
    w.u32(std::uint32_t(b.data->size()));
    w.bytes(*b.data);
    w.padTo(4, start);
  }
}

std::uint32_t sectionLength(std::uint64_t n) {
  if (n > 0xFFFFFFFFu) throw FormatError("the document is too large for a Photoshop file: a section exceeds 4 GB");
  return std::uint32_t(n);
}

}  // namespace

std::size_t EncodedPsd::size() const {
  std::size_t n = 0;
  for (const auto& piece : pieces) n += piece.size();
  return n;
}

std::vector<std::uint8_t> EncodedPsd::joined() const {
  std::vector<std::uint8_t> out;
  out.reserve(size());
  for (const auto& piece : pieces) out.insert(out.end(), piece.begin(), piece.end());
  return out;
}

// The layers' channel data and the merged image's rows stay in the buffers they were packed
// into; the section lengths before them count them.
EncodedPsd encodePsdForSaving(const engine::DocumentContent& content, Compression compression) {
  checkWritable(content);
  std::vector<Record> records;
  flatten(content.layers, records);
  for (std::size_t i = 0; i < records.size(); ++i) records[i].layerId = std::uint32_t(i + 1);

  auto data = std::make_shared<ChannelData>();
  encodeChannelData(content, records, compression, *data);
  ByteWriter w;
  writeHeader(w, content, records, data->transparent);
  const std::size_t layerAndMask = w.beginLength();
  const std::size_t layerInfo = w.beginLength();
  std::uint64_t channelBytes = 0;
  if (!records.empty()) {
    // A negative count says that the merged image's first extra channel is its transparency.
    const int count = int(records.size());
    w.i16(std::int16_t(data->transparent ? -count : count));
    for (std::size_t i = 0; i < records.size(); ++i) {
      writeRecord(w, records[i], data->records[i]);
      for (const EncodedChannel& ch : data->records[i]) channelBytes += ch.bytes().size();
    }
  }
  ByteWriter t;
  const std::uint64_t layerInfoBytes = w.size() - layerInfo - 4 + channelBytes;
  if (layerInfoBytes % 2) t.u8(0);
  w.patch32(layerInfo, sectionLength(layerInfoBytes + t.size()));
  t.u32(0);  // no global layer mask information
  writeDocumentBlocks(t, content);
  w.patch32(layerAndMask, sectionLength(w.size() - layerAndMask - 4 + channelBytes + t.size()));
  t.u16(std::uint16_t(Compression::Rle));  // the merged image: all row sizes, then all rows
  data->head = std::move(w.buffer());
  data->tail = std::move(t.buffer());

  EncodedPsd out;
  out.pieces.push_back(data->head);
  for (const auto& list : data->records)
    for (const EncodedChannel& ch : list) out.pieces.push_back(ch.bytes());
  out.pieces.push_back(data->tail);
  const std::size_t mergedChannels = data->transparent ? 4 : 3;
  for (std::size_t c = 0; c < mergedChannels; ++c) out.pieces.push_back(data->mergedChannels[c].sizeTable());
  for (std::size_t c = 0; c < mergedChannels; ++c) out.pieces.push_back(data->mergedChannels[c].rows());
  out.storage = std::move(data);
  return out;
}

std::vector<std::uint8_t> encodePsd(const engine::DocumentContent& content, Compression compression) {
  return encodePsdForSaving(content, compression).joined();
}

std::vector<std::uint8_t> encodePsd(const engine::DocumentContent& content) {
  return encodePsd(content, Compression::Rle);
}

}  // namespace formats
