#pragma once
// Hand-made Photoshop files for reader tests: any header, colour mode data, resources, layer
// section and merged image, so that every colour mode, depth and damage can be produced.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/geometry.h"
#include "formats/byte_writer.h"

namespace psdbuild {

struct File {
  int version = 1;
  int channels = 3;
  int width = 2;
  int height = 2;
  int depth = 8;
  int mode = 3;
  std::vector<std::uint8_t> modeData{};
  std::vector<std::uint8_t> resources{};     // serialised blocks
  std::vector<std::uint8_t> layerSection{};  // everything after the section's length field
  std::uint16_t compression = 0;
  std::vector<std::uint8_t> imageData = std::vector<std::uint8_t>(12, 0);  // after the compression field
};

inline void length(formats::ByteWriter& w, std::uint64_t n, bool wide) {
  if (wide) w.u32(std::uint32_t(n >> 32));
  w.u32(std::uint32_t(n));
}

inline std::vector<std::uint8_t> build(const File& f) {
  formats::ByteWriter w;
  w.tag("8BPS");
  w.u16(std::uint16_t(f.version));
  w.zeros(6);
  w.u16(std::uint16_t(f.channels));
  w.u32(std::uint32_t(f.height));
  w.u32(std::uint32_t(f.width));
  w.u16(std::uint16_t(f.depth));
  w.u16(std::uint16_t(f.mode));
  w.u32(std::uint32_t(f.modeData.size()));
  w.bytes(f.modeData);
  w.u32(std::uint32_t(f.resources.size()));
  w.bytes(f.resources);
  length(w, f.layerSection.size(), f.version == 2);
  w.bytes(f.layerSection);
  w.u16(f.compression);
  w.bytes(f.imageData);
  return std::move(w.buffer());
}

inline std::vector<std::uint8_t> resource(std::uint16_t id, const std::string& data) {
  formats::ByteWriter w;
  w.tag("8BIM");
  w.u16(id);
  w.u16(0);  // empty name and its padding
  w.u32(std::uint32_t(data.size()));
  w.bytes(data.data(), data.size());
  if (data.size() % 2) w.u8(0);
  return std::move(w.buffer());
}

struct Channel {
  std::int16_t id = 0;
  std::uint16_t compression = 0;
  std::vector<std::uint8_t> data{};  // after the compression field
};

struct Layer {
  int top = 0, left = 0, bottom = 0, right = 0;
  std::vector<Channel> channels{};
  std::string name = "Layer 1";
  std::vector<std::uint8_t> mask{};    // the mask data, without its length
  std::vector<std::uint8_t> blocks{};  // serialised tagged blocks
  std::uint8_t flags = 0x08;
};

inline std::vector<std::uint8_t> block(const char* key, const std::vector<std::uint8_t>& data) {
  formats::ByteWriter w;
  w.tag("8BIM");
  w.tag(key);
  w.u32(std::uint32_t(data.size()));
  w.bytes(data);
  return std::move(w.buffer());
}

// The layer info (count, records, channel data) as it appears after its length field.
inline std::vector<std::uint8_t> layerInfo(const std::vector<Layer>& layers, bool wide, int count) {
  formats::ByteWriter w;
  w.i16(std::int16_t(count));
  for (const Layer& l : layers) {
    for (int v : {l.top, l.left, l.bottom, l.right}) w.i32(v);
    w.u16(std::uint16_t(l.channels.size()));
    for (const Channel& c : l.channels) {
      w.i16(c.id);
      length(w, c.data.size() + 2, wide);
    }
    w.bytes("8BIMnorm", 8);
    for (int v : {255, 0, int(l.flags), 0}) w.u8(std::uint8_t(v));  // opacity, clipping, flags, filler
    const std::size_t extra = w.beginLength();
    w.u32(std::uint32_t(l.mask.size()));
    w.bytes(l.mask);
    w.u32(0);
    const std::size_t start = w.size();
    w.u8(std::uint8_t(l.name.size()));
    w.bytes(l.name.data(), l.name.size());
    w.padTo(4, start);
    w.bytes(l.blocks);
    w.endLength(extra);
  }
  for (const Layer& l : layers)
    for (const Channel& c : l.channels) {
      w.u16(c.compression);
      w.bytes(c.data);
    }
  return std::move(w.buffer());
}

// A layer section holding the layer info under its length, and nothing else.
inline std::vector<std::uint8_t> layerSection(const std::vector<std::uint8_t>& info, bool wide) {
  formats::ByteWriter w;
  length(w, info.size(), wide);
  w.bytes(info);
  w.u32(0);  // global mask
  return std::move(w.buffer());
}

// A plain file holding `layers`, with the layer count it states.
inline std::vector<std::uint8_t> withLayers(const std::vector<Layer>& layers, int count) {
  return build({.layerSection = layerSection(layerInfo(layers, false, count), false)});
}

inline std::vector<std::uint8_t> joined(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The mask data of a layer record, field by field.
struct MaskData {
  formats::ByteWriter w;
  MaskData& mask(engine::Rect r, int colour, int flags) {
    for (int v : {r.top, r.left, r.bottom, r.right}) w.i32(v);
    return u8(colour).u8(flags);
  }
  MaskData& realMask(engine::Rect r, int colour, int flags) {  // the pixel mask beside a vector mask
    u8(flags).u8(colour);
    for (int v : {r.top, r.left, r.bottom, r.right}) w.i32(v);
    return *this;
  }
  MaskData& u8(int v) {
    w.u8(std::uint8_t(v));
    return *this;
  }
  MaskData& u32(std::uint32_t v) {
    w.u32(v);
    return *this;
  }
  MaskData& f64(double v) {
    w.f64(v);
    return *this;
  }
  std::vector<std::uint8_t> bytes(std::size_t paddedTo = 0) {
    std::vector<std::uint8_t> out = w.buffer();
    if (out.size() < paddedTo) out.resize(paddedTo, 0);
    return out;
  }
};

}  // namespace psdbuild
