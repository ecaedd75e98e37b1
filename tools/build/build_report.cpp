#include "tools/build/build_report.h"

#include <cstdio>
#include <sstream>

namespace build {

namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += char(c);
    }
  }
  return out + '"';
}

template <class Array>
std::string numbers(const Array& values) {
  std::ostringstream out;
  out << '[';
  for (std::size_t i = 0; i < values.size(); ++i) out << (i ? ", " : "") << values[i];
  out << ']';
  return out.str();
}

}  // namespace

std::string reportText(const BuildReport& report, const std::string& output) {
  std::ostringstream out;
  out << output << ": " << report.width << " x " << report.height << ", " << report.layers.size() << " layers\n";
  int number = 0;
  for (const LayerBounds& layer : report.layers) {
    out << "  " << ++number << ' ' << layer.name << "  " << layer.bounds[0] << ',' << layer.bounds[1] << " - "
        << layer.bounds[2] << ',' << layer.bounds[3] << '\n';
  }
  return out.str();
}

std::string reportJson(const BuildReport& report) {
  std::ostringstream out;
  out << "{\n  \"width\": " << report.width << ",\n  \"height\": " << report.height << ",\n  \"layers\": [";
  for (std::size_t i = 0; i < report.layers.size(); ++i)
    out << (i ? "," : "") << "\n    {\"name\": " << quoted(report.layers[i].name)
        << ", \"bounds\": " << numbers(report.layers[i].bounds) << '}';
  out << "\n  ],\n  \"buttons\": [";
  for (std::size_t i = 0; i < report.buttons.size(); ++i)
    out << (i ? "," : "") << "\n    {\"name\": " << quoted(report.buttons[i].name)
        << ", \"buildMenu\": " << numbers(report.buttons[i].inBuildMenu)
        << ", \"finalMenu\": " << numbers(report.buttons[i].inFinalMenu) << '}';
  out << "\n  ],\n  \"documentPixelBytes\": " << report.documentPixelBytes
      << ",\n  \"peakResidentBytes\": " << report.peakResidentBytes << ",\n  \"timings\": [";
  for (std::size_t i = 0; i < report.timings.size(); ++i)
    out << (i ? "," : "") << "\n    {\"command\": " << quoted(report.timings[i].command)
        << ", \"seconds\": " << report.timings[i].seconds << '}';
  out << "\n  ]\n}\n";
  return out.str();
}

}  // namespace build
