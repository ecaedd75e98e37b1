#include "formats/xmp_keywords.h"

#include <cstdlib>

#include "formats/text_encoding.h"

namespace formats {

namespace {

constexpr std::string_view kDcNamespace = "http://purl.org/dc/elements/1.1/";

std::string unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') {
      out += s[i];
      continue;
    }
    const std::size_t semi = s.find(';', i);
    if (semi == std::string_view::npos || semi - i > 10) {
      out += s[i];
      continue;
    }
    const std::string_view entity = s.substr(i + 1, semi - i - 1);
    if (entity == "amp") out += '&';
    else if (entity == "lt") out += '<';
    else if (entity == "gt") out += '>';
    else if (entity == "quot") out += '"';
    else if (entity == "apos") out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
      const bool hex = entity[1] == 'x' || entity[1] == 'X';
      const std::string digits(entity.substr(hex ? 2 : 1));
      char* end = nullptr;
      const unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
      if (digits.empty() || *end || code == 0 || code > 0x10FFFF) {
        out += s[i];
        continue;
      }
      std::vector<std::uint16_t> units;
      if (code >= 0x10000) {
        units = {std::uint16_t(0xD800 + ((code - 0x10000) >> 10)), std::uint16_t(0xDC00 + ((code - 0x10000) & 0x3FF))};
      } else {
        units = {std::uint16_t(code)};
      }
      out += utf16ToUtf8(units);
    } else {
      out += s[i];
      continue;
    }
    i = semi;
  }
  return out;
}

std::string escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

// End of the start tag that begins at `from` (the position of its '>'), minding quoted values.
std::size_t endOfTag(std::string_view s, std::size_t from) {
  char quote = 0;
  for (std::size_t i = from; i < s.size(); ++i) {
    if (quote) {
      if (s[i] == quote) quote = 0;
    } else if (s[i] == '"' || s[i] == '\'') {
      quote = s[i];
    } else if (s[i] == '>') {
      return i;
    }
  }
  return std::string_view::npos;
}

// A start tag `<name` followed by whitespace, '>' or '/'.
std::size_t findStartTag(std::string_view s, std::string_view name, std::size_t from = 0) {
  for (std::size_t at = s.find(name, from); at != std::string_view::npos; at = s.find(name, at + 1)) {
    const std::size_t after = at + name.size();
    if (after < s.size() && (s[after] == '>' || s[after] == '/' || s[after] == ' ' || s[after] == '\t' ||
                             s[after] == '\r' || s[after] == '\n'))
      return at;
  }
  return std::string_view::npos;
}

struct Element {
  std::size_t begin = 0;  // '<' of the start tag
  std::size_t end = 0;    // one past the end of the element
  std::size_t contentBegin = 0, contentEnd = 0;
};

std::optional<Element> findElement(std::string_view s, std::string_view name, std::size_t from, std::size_t limit) {
  const std::size_t begin = findStartTag(s, std::string("<") + std::string(name), from);
  if (begin == std::string_view::npos || begin >= limit) return std::nullopt;
  const std::size_t close = endOfTag(s, begin);
  if (close == std::string_view::npos) return std::nullopt;
  Element e;
  e.begin = begin;
  if (s[close - 1] == '/') {
    e.end = e.contentBegin = e.contentEnd = close + 1;
    return e;
  }
  e.contentBegin = close + 1;
  const std::size_t endTag = s.find(std::string("</") + std::string(name), e.contentBegin);
  if (endTag == std::string_view::npos) return std::nullopt;
  const std::size_t endClose = s.find('>', endTag);
  if (endClose == std::string_view::npos) return std::nullopt;
  e.contentEnd = endTag;
  e.end = endClose + 1;
  return e;
}

std::string subjectElement(const std::vector<std::string>& keywords) {
  std::string out = "<dc:subject><rdf:Bag>";
  for (const std::string& k : keywords) out += "<rdf:li>" + escape(k) + "</rdf:li>";
  return out + "</rdf:Bag></dc:subject>";
}

}  // namespace

std::optional<std::vector<std::string>> xmpKeywords(std::span<const std::uint8_t> packet) {
  const std::string_view s(reinterpret_cast<const char*>(packet.data()), packet.size());
  const auto subject = findElement(s, "dc:subject", 0, s.size());
  if (!subject) return std::nullopt;
  std::vector<std::string> out;
  std::size_t at = subject->contentBegin;
  while (auto item = findElement(s, "rdf:li", at, subject->contentEnd)) {
    out.push_back(unescape(s.substr(item->contentBegin, item->contentEnd - item->contentBegin)));
    at = item->end;
  }
  return out;
}

namespace {

std::string freshPacket(const std::vector<std::string>& keywords) {
  return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
        " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
        "  <rdf:Description rdf:about=\"\" xmlns:dc=\"" + std::string(kDcNamespace) + "\">\n"
        "   " + subjectElement(keywords) + "\n"
        "  </rdf:Description>\n"
        " </rdf:RDF>\n"
        "</x:xmpmeta>\n"
        "<?xpacket end=\"w\"?>";
}

std::string edited(std::string s, const std::vector<std::string>& keywords) {
  if (const auto subject = findElement(s, "dc:subject", 0, s.size())) {
    s.replace(subject->begin, subject->end - subject->begin, keywords.empty() ? std::string() : subjectElement(keywords));
    return s;
  }
  if (keywords.empty()) return s;
  const std::size_t description = findStartTag(s, "<rdf:Description");
  const std::size_t close = description == std::string::npos ? std::string::npos : endOfTag(s, description);
  if (close == std::string::npos) return s;  // not a packet we can extend safely
  std::string insert = subjectElement(keywords);
  std::string tagEnd = ">";
  std::size_t replaceFrom = close, replaceCount = 1;
  if (s[close - 1] == '/') {
    replaceFrom = close - 1;
    replaceCount = 2;
    insert += "</rdf:Description>";
  }
  const std::string_view startTag(s.data() + description, close - description);
  if (startTag.find("xmlns:dc=") == std::string_view::npos)
    tagEnd = " xmlns:dc=\"" + std::string(kDcNamespace) + "\">";
  s.replace(replaceFrom, replaceCount, tagEnd + insert);
  return s;
}

}  // namespace

std::vector<std::uint8_t> xmpWithKeywords(std::span<const std::uint8_t> packet, const std::vector<std::string>& keywords) {
  if (packet.empty()) {
    const std::string s = freshPacket(keywords);
    return {s.begin(), s.end()};
  }
  std::string s = edited(std::string(packet.begin(), packet.end()), keywords);
  // A damaged packet (a tag cut short, a quote never closed) can take the edit somewhere a
  // reader does not look, so that the keywords read back differ, or every save adds them once
  // more. Such a packet gives way to a fresh one that holds the keywords.
  const auto bytesOf = [](const std::string& text) { return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()); };
  if (xmpKeywords(bytesOf(s)).value_or(std::vector<std::string>{}) != keywords || edited(s, keywords) != s)
    s = freshPacket(keywords);
  return {s.begin(), s.end()};
}

}  // namespace formats
