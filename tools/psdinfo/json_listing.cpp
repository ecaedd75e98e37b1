#include "json_listing.h"

#include <zlib.h>

#include <cstdio>

namespace psdinfo {

namespace {

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

unsigned long pixelCrc(const engine::Raster& r) {
  uLong crc = crc32(0L, Z_NULL, 0);
  if (r.empty()) return crc;
  return crc32_z(crc, r.data(), r.byteSize());
}

void printLayers(std::ostream& out, const std::vector<engine::LayerNode>& layers) {
  out << "[";
  for (std::size_t i = 0; i < layers.size(); ++i) {
    const engine::LayerNode& n = layers[i];
    if (i) out << ",";
    out << "{\"name\":" << quoted(n.name) << ",\"set\":" << (n.isSet ? "true" : "false")
        << ",\"visible\":" << (n.visible ? "true" : "false") << ",\"opacity\":" << int(n.opacity)
        << ",\"kind\":" << int(n.kind) << ",\"background\":" << (n.isBackground ? "true" : "false");
    if (!n.isSet) {
      const engine::Rect b = n.pixels.bounds();
      out << ",\"bbox\":[" << b.left << "," << b.top << "," << b.right << "," << b.bottom << "]"
          << ",\"crc\":" << pixelCrc(n.pixels);
    }
    if (n.isSet) {
      out << ",\"children\":";
      printLayers(out, n.children);
    }
    out << "}";
  }
  out << "]";
}

}  // namespace

void printDocumentJson(std::ostream& out, const formats::PsdFile& file) {
  const engine::DocumentContent& c = file.content;
  out << "{\"width\":" << c.width << ",\"height\":" << c.height << ",\"mode\":" << file.colorMode
      << ",\"depth\":" << file.depth << ",\"keywords\":[";
  for (std::size_t i = 0; i < c.keywords.size(); ++i) out << (i ? "," : "") << quoted(c.keywords[i]);
  out << "],\"layers\":";
  printLayers(out, c.layers);
  out << "}\n";
}

}  // namespace psdinfo
