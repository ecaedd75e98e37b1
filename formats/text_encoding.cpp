#include "formats/text_encoding.h"

namespace formats {

namespace {

// Windows-1252 characters 0x80..0x9F; 0 where the code page leaves a byte undefined.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

// Decodes the UTF-8 sequence at text[i], advancing i; invalid bytes give U+FFFD.
char32_t nextCodePoint(const std::string& text, std::size_t& i) {
  const auto b = [&](std::size_t k) { return std::uint8_t(text[k]); };
  const std::uint8_t lead = b(i++);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || lead > 0xF4) return 0xFFFD;
  char32_t c = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (b(i) & 0xC0) != 0x80) return 0xFFFD;
    c = c << 6 | (b(i++) & 0x3F);
  }
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
  return c;
}

}  // namespace

std::string utf16ToUtf8(const std::vector<std::uint16_t>& units) {
  std::string out;
  // A NUL ends the text: Photoshop terminates some strings with one.
  std::size_t n = 0;
  while (n < units.size() && units[n] != 0) ++n;
  for (std::size_t i = 0; i < n; ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    appendUtf8(out, c);
  }
  return out;
}

std::vector<std::uint16_t> utf8ToUtf16(const std::string& text) {
  std::vector<std::uint16_t> out;
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = nextCodePoint(text, i);
    if (c >= 0x10000) {
      out.push_back(std::uint16_t(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(std::uint16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(std::uint16_t(c));
    }
  }
  return out;
}

std::string codePageToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (std::uint8_t b : bytes) {
    if (b == 0) break;
    char32_t c = b;
    if (b >= 0x80 && b < 0xA0) c = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : 0xFFFD;
    appendUtf8(out, c);
  }
  return out;
}

std::string utf8ToCodePage(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size() && out.size() < 255;) {
    const char32_t c = nextCodePoint(text, i);
    char byte = '?';
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      byte = char(c);
    } else {
      for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] == c) byte = char(0x80 + k);
    }
    out += byte;
  }
  return out;
}

bool isValidUtf8(std::span<const std::uint8_t> bytes) {
  const std::string text(bytes.begin(), bytes.end());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t at = i;
    if (nextCodePoint(text, i) == 0xFFFD && !(text.compare(at, 3, "\xEF\xBF\xBD") == 0)) return false;
  }
  return true;
}

}  // namespace formats
