// Reading Photoshop documents (PSD, and PSB where the engine can hold them) into the engine's
// document: header, colour mode data, image resources, layers, and the merged image.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <variant>

#include "engine/errors.h"
#include "formats/byte_reader.h"
#include "formats/channel_codec.h"
#include "formats/document_io.h"
#include "formats/image_resources.h"
#include "formats/layer_effects_reader.h"
#include "formats/layer_blocks.h"
#include "formats/memory_budget.h"
#include "formats/packbits.h"
#include "formats/psd_layers.h"
#include "formats/psd_metadata.h"
#include "formats/zip_codec.h"

namespace formats {

void refuseFile(const std::string& name, const std::string& what) {
  throw FormatError("cannot open \"" + name + "\": " + what);
}

namespace {

// However a file is built, decoding it may not take more than this.
constexpr std::uint64_t kDecodeBudget = 6ULL << 30;

struct Header {
  int version = 1;
  int channels = 0;
  int width = 0;
  int height = 0;
  int depth = 8;
  int mode = 3;        // the mode the pixels are read in
  int storedMode = 3;  // the mode the file states
};

Header readHeader(ByteReader& r) {
  if (!r.startsWith("8BPS")) r.fail("it is not a Photoshop document (the 8BPS signature is missing)");
  r.skip(4, "the signature");
  Header h;
  h.version = r.u16("the version");
  if (h.version != 1 && h.version != 2) r.fail("it has an unknown Photoshop file version " + std::to_string(h.version));
  r.skip(6, "the header");
  h.channels = r.u16("the channel count");
  if (h.channels < 1 || h.channels > 56)
    r.fail("it claims " + std::to_string(h.channels) + " channels (1 to 56 are possible)");
  const std::uint32_t height = r.u32("the height"), width = r.u32("the width");
  const std::uint32_t formatLimit = h.version == 1 ? 30000 : 300000;
  if (width == 0 || height == 0 || width > formatLimit || height > formatLimit)
    r.fail("it claims " + std::to_string(width) + " x " + std::to_string(height) + " pixels, which a " +
           (h.version == 1 ? "PSD" : "PSB") + " file cannot hold");
  if (width > std::uint32_t(engine::kMaxSide) || height > std::uint32_t(engine::kMaxSide) ||
      std::uint64_t(width) * height > std::uint64_t(engine::kMaxArea))
    r.fail("it is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, larger than Quillary can open (" + std::to_string(engine::kMaxSide) + " per side)");
  h.width = int(width);
  h.height = int(height);
  h.depth = r.u16("the depth");
  if (h.depth != 1 && h.depth != 8 && h.depth != 16 && h.depth != 32)
    r.fail("it has an unknown depth of " + std::to_string(h.depth) + " bits");
  h.mode = h.storedMode = r.u16("the colour mode");
  // A multichannel document shows its first three channels as RGB, or its first as grey.
  if (h.mode == int(ColorMode::Multichannel)) h.mode = int(h.channels >= 3 ? ColorMode::Rgb : ColorMode::Grayscale);
  if (!isSupportedMode(h.mode))
    r.fail(std::string("it uses the ") + colorModeName(h.mode) + " colour mode (" + std::to_string(h.mode) +
           "), which Quillary cannot convert to RGB");
  if ((h.mode == int(ColorMode::Bitmap)) != (h.depth == 1))
    r.fail("its " + std::to_string(h.depth) + "-bit depth does not fit its " + colorModeName(h.mode) + " colour mode");
  if (h.channels < colorChannelCount(ColorMode(h.mode)))
    r.fail(std::string("it has too few channels for its ") + colorModeName(h.mode) + " colour mode");
  return h;
}

// The merged image's first extra channel is its transparency when the layer count says so.
// Files of more than 8 bits leave the count positive, and so do some other writers: there a
// document without a background has transparency, unless the file names that channel as a
// saved selection (Photoshop names the transparency "Transparency").
bool mergedImageHasTransparency(const LayerSection& layers, const MergedImageNotes& notes) {
  if (!layers.found) return false;  // extra channels of a flat file are saved selections
  if (layers.mergedHasAlpha) return true;
  if (notes.firstAlphaName && *notes.firstAlphaName != "Transparency") return false;
  return !layers.layers.empty() && !layers.layers.back().isBackground;
}

// The merged image: every channel, one after the other, with one compression for all.
// The shape of the merged image's data as stored and as wanted (the colour channels, and the
// transparency when the document has some).
struct MergedShape {
  Compression compression;
  int colourCount, wanted;
  std::size_t rowBytes, channelBytes, pixels;
};

// Claims are checked against the whole remaining data before anything is allocated.
void checkMergedClaim(ByteReader& r, const Header& h, const MergedShape& m, PsdContext& ctx) {
  const std::uint64_t rowsStored = std::uint64_t(h.height) * std::uint64_t(h.channels);
  const std::uint64_t rowsWanted = std::uint64_t(h.height) * std::uint64_t(m.wanted);
  std::uint64_t payload = r.remaining();
  if (m.compression == Compression::Rle) {
    // The size table lists every channel's rows; the rows of unwanted channels need not be read.
    const std::uint64_t unwantedTable = (rowsStored - rowsWanted) * (ctx.wide() ? 4 : 2);
    payload = payload >= unwantedTable ? payload - unwantedTable : 0;
  }
  const std::uint64_t needed = std::uint64_t(m.channelBytes) * std::uint64_t(m.wanted);
  if (!claimFits(m.compression, payload, needed, rowsWanted, ctx.wide()))
    r.fail("the merged image of " + std::to_string(h.width) + " x " + std::to_string(h.height) + " pixels in " +
           std::to_string(m.wanted) + " channels does not fit in the " + std::to_string(r.remaining()) +
           " bytes left in the file");
  ctx.charge(r, needed + std::uint64_t(m.pixels) * (4 + (h.depth == 8 ? 0 : m.wanted)));
}

// The wanted channels' samples at the file's depth, one channel after another.
std::vector<std::uint8_t> decodeMergedSamples(ByteReader& r, const Header& h, const MergedShape& m,
                                              const PsdContext& ctx) {
  std::vector<std::uint8_t> raw(m.channelBytes * std::size_t(m.wanted));
  switch (m.compression) {
    case Compression::Raw: std::memcpy(raw.data(), r.take(raw.size(), "the merged image").data(), raw.size()); break;
    case Compression::Rle: {
      ByteReader sizes = r.sub(std::uint64_t(h.height) * std::uint64_t(h.channels) * (ctx.wide() ? 4 : 2),
                               "the merged image's row table");
      decodeRleRows(sizes, r, std::size_t(h.height) * std::size_t(m.wanted), m.rowBytes, ctx.wide(), raw.data(),
                    "the merged image");
      break;
    }
    case Compression::Zip:
    case Compression::ZipPredicted:
      if (!inflateExactly(r.take(r.remaining(), "the merged image"), raw))
        r.fail("the merged image has damaged zip data");
      if (m.compression == Compression::ZipPredicted && h.depth != 1)
        undoPrediction(raw, h.width, h.height * m.wanted, h.depth);
      break;
  }
  return raw;
}

engine::Raster mergedToRaster(const std::vector<std::uint8_t>& raw, const Header& h, const MergedShape& m,
                              const PsdContext& ctx) {
  // 8-bit samples are used where they lie; other depths are converted channel by channel.
  std::vector<std::vector<std::uint8_t>> converted;
  converted.reserve(std::size_t(m.wanted));
  std::vector<const std::uint8_t*> planes;
  for (int c = 0; c < m.wanted; ++c) {
    const auto samples = std::span(raw).subspan(std::size_t(c) * m.channelBytes, m.channelBytes);
    if (h.depth == 8) {
      planes.push_back(samples.data());
      continue;
    }
    const auto kind = c < m.colourCount ? SampleKind::Color : SampleKind::Coverage;
    converted.push_back(toEightBit({samples.begin(), samples.end()}, h.depth, m.pixels, h.width, kind));
    planes.push_back(converted.back().data());
  }
  engine::Raster out(ctx.canvas);
  const std::vector<const std::uint8_t*> colour(planes.begin(), planes.begin() + m.colourCount);
  convertToRgb(ctx.mode, colour, ctx.palette, out);
  std::uint8_t* px = out.mutableData();
  const bool alpha = m.wanted > m.colourCount;
  for (std::size_t i = 0; i < m.pixels; ++i) {
    std::uint8_t* p = px + 4 * i;
    if (!alpha) {
      p[3] = 255;
      continue;
    }
    // Photoshop blends the merged colour with white where it is transparent; undo that.
    const int a = planes[std::size_t(m.colourCount)][i];
    p[3] = std::uint8_t(a);
    for (int c = 0; c < 3; ++c) {
      const int v = a == 0 ? 0 : ((int(p[c]) - (255 - a)) * 255 + a / 2) / a;
      p[c] = std::uint8_t(std::clamp(v, 0, 255));
    }
  }
  return out;
}

engine::Raster readMergedImage(ByteReader& r, const Header& h, bool hasAlpha, PsdContext& ctx) {
  const std::uint16_t method = r.u16("the merged image's compression");
  if (method > 3) r.fail("the merged image uses unknown compression " + std::to_string(method));
  MergedShape m;
  m.compression = Compression(method);
  m.colourCount = colorChannelCount(ctx.mode);
  m.wanted = std::min(h.channels, m.colourCount + (hasAlpha ? 1 : 0));
  m.rowBytes = std::size_t(rowByteSize(std::uint64_t(h.width), h.depth));
  m.channelBytes = m.rowBytes * std::size_t(h.height);
  m.pixels = std::size_t(h.width) * std::size_t(h.height);
  checkMergedClaim(r, h, m, ctx);
  return mergedToRaster(decodeMergedSamples(r, h, m, ctx), h, m, ctx);
}

// The colour mode data: an indexed document's colour table; nothing else is used.
void readColourModeData(ByteReader& r, PsdContext& ctx, Palette& palette) {
  ByteReader modeData = r.sub(r.u32("the colour mode data length"), "the colour mode data");
  if (ctx.mode != ColorMode::Indexed) return;
  if (modeData.remaining() < 768) r.fail("its indexed colour table is missing or short");
  auto table = modeData.take(768, "the colour table");
  for (int i = 0; i < 256; ++i)
    palette[std::size_t(i)] = {table[std::size_t(i)], table[256 + std::size_t(i)], table[512 + std::size_t(i)]};
  ctx.palette = &palette;
}

// The layers, from the layer info or (deeper documents) from the block that holds it; the
// document's other blocks go to `kept`, except the merged image's transparency blocks.
LayerSection readLayerAndMaskSection(ByteReader& r, PsdContext& ctx, std::vector<engine::TaggedBlock>& kept) {
  ByteReader layerAndMask = r.sub(r.length(ctx.wide(), "the layer section length"), "the layer section");
  LayerSection layers;
  if (layerAndMask.remaining() == 0) return layers;
  const std::uint64_t infoLength = layerAndMask.length(ctx.wide(), "the layer info length");
  layers = readLayerInfo(layerAndMask.sub(infoLength, "the layer info"), ctx);
  if (layerAndMask.remaining() >= 4) {
    const std::uint32_t maskLength = layerAndMask.u32("the global mask length");
    layerAndMask.skip(std::min<std::uint64_t>(maskLength, layerAndMask.remaining()), "the global mask");
  }
  for (const RawBlock& b : readTaggedBlocks(layerAndMask, ctx.wide())) {
    const std::string_view key = keyView(b.key);
    if (key == "Lr16" || key == "Lr32" || key == "Layr") {
      if (!layers.found) layers = readLayerInfo(ByteReader(b.data, r.name()), ctx);
    } else if (key != "Mt16" && key != "Mt32" && key != "Mtrn") {
      engine::TaggedBlock block;
      block.key = b.key;
      block.data = shareBytes(std::vector<std::uint8_t>(b.data.begin(), b.data.end()));
      kept.push_back(std::move(block));
    }
  }
  return layers;
}

// The gamma of a grey profile's tone curve ('kTRC': one gamma value, or a table read at its
// middle). Without a readable one, Photoshop's default grey space, Dot Gain 20 %, is about 1.74.
double greyToneGamma(const std::vector<engine::ImageResource>& resources, const std::string& name) {
  constexpr double kDotGain20 = 1.74;
  const auto icc = std::find_if(resources.begin(), resources.end(), [](const auto& r) { return r.id == resource_id::kIccProfile; });
  if (icc == resources.end() || !icc->data) return kDotGain20;
  try {
    ByteReader r(*icc->data, name);
    r.skip(128, "the profile's header");
    const std::uint32_t tags = r.u32("the profile's tag count");
    for (std::uint32_t i = 0; i < tags && i < 100; ++i) {
      const std::uint32_t sig = r.u32("a profile tag"), offset = r.u32("a profile tag"), size = r.u32("a profile tag");
      if (sig != 0x6B545243) continue;  // 'kTRC'
      ByteReader curve(*icc->data, name);
      curve.skip(offset, "the grey tone curve");
      curve = curve.sub(size, "the grey tone curve");
      curve.skip(8, "the curve's type");
      const std::uint32_t count = curve.u32("the curve's length");
      if (count == 0) return 1.0;
      if (count == 1) return std::clamp(curve.u16("the curve's gamma") / 256.0, 1.0, 3.0);
      curve.skip(std::uint64_t(count / 2) * 2, "the curve's table");
      const double x = double(count / 2) / double(count - 1), y = curve.u16("the curve's table") / 65535.0;
      return y > 0.0 && y < 1.0 ? std::clamp(std::log(y) / std::log(x), 1.0, 3.0) : kDotGain20;
    }
  } catch (const FormatError&) {
    // A damaged profile leaves the default.
  }
  return kDotGain20;
}

// Adjustments read from a grey document, made to work on its RGB conversion: its levels keep
// the grey channel's settings in the record after the composite's, and they apply to all three
// channels now; exposure works through the grey space's tone curve.
void adaptGreyAdjustments(std::vector<engine::LayerNode>& layers, double toneGamma) {
  engine::forEachLayer(layers, [toneGamma](engine::LayerNode& n) {
    if (!n.adjustment) return;
    engine::AdjustmentSettings adapted = *n.adjustment;
    if (auto* levels = std::get_if<engine::LevelsSettings>(&adapted); levels && levels->records.size() >= 4)
      levels->records[2] = levels->records[3] = levels->records[1];
    else if (auto* exposure = std::get_if<engine::ExposureSettings>(&adapted))
      exposure->toneGamma = toneGamma;
    else
      return;
    n.adjustment = std::make_shared<const engine::AdjustmentSettings>(std::move(adapted));
  });
}

}  // namespace

PsdFile decodePsd(std::span<const std::uint8_t> bytes, const std::string& name, MergedImage merged) {
  ByteReader r(bytes, name);
  const Header h = readHeader(r);
  checkMemoryBudget(name, std::uint64_t(h.width), std::uint64_t(h.height));
  PsdFile file;
  file.version = h.version;
  file.colorMode = h.storedMode;
  file.depth = h.depth;

  Palette palette{};
  PsdContext ctx{name, 1, 8, ColorMode::Rgb, nullptr, {}, 0};
  ctx.version = h.version;
  ctx.depth = h.depth;
  ctx.mode = ColorMode(h.mode);
  ctx.canvas = engine::Rect::fromSize(h.width, h.height);
  ctx.budget = kDecodeBudget;

  readColourModeData(r, ctx, palette);

  std::vector<engine::ImageResource> resources =
      parseImageResources(r.sub(r.u32("the image resources length"), "the image resources"));

  LayerSection layers = readLayerAndMaskSection(r, ctx, file.content.extraBlocks);

  const MergedImageNotes notes = mergedImageNotes(resources);
  file.storedCompositeIsReal = notes.real;
  if (merged == MergedImage::Read || !layers.found)
    file.storedComposite = readMergedImage(r, h, mergedImageHasTransparency(layers, notes), ctx);

  engine::DocumentContent& content = file.content;
  content.width = h.width;
  if (h.storedMode == int(ColorMode::Lab)) content.mixing = engine::ColorMixing::Lab;
  content.height = h.height;
  if (layers.found) {
    content.layers = std::move(layers.layers);
    if (h.storedMode == int(ColorMode::Grayscale) || h.storedMode == int(ColorMode::Duotone))
      adaptGreyAdjustments(content.layers, greyToneGamma(resources, name));
  } else {
    // A flat file: its merged image is the background (extra channels are saved selections).
    engine::LayerNode background = engine::LayerNode::artLayer("Background");
    background.isBackground = true;
    background.pixels = file.storedComposite;
    content.layers.push_back(std::move(background));
  }
  ResourceReading reading;
  reading.colourConverted = h.storedMode != int(ColorMode::Rgb);
  reading.recordIds = layers.recordIds;
  applyImageResources(std::move(resources), reading, content);
  // A 32-bit document gives its fill layers' colours in linear light, a Lab one in L*a*b*; they
  // mix there too.
  using Mixing = engine::EffectFill::Mixing;
  attachLayerEffects(content, name, h.depth == 32 ? Mixing::LinearLight : h.storedMode == int(ColorMode::Lab) ? Mixing::Lab : Mixing::Srgb);
  return file;
}

}  // namespace formats
