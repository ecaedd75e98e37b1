#include "formats/iptc_keywords.h"

#include "formats/byte_reader.h"

#include "formats/text_encoding.h"

namespace formats {

namespace {

struct Dataset {
  int record = 0;
  int number = 0;
  std::span<const std::uint8_t> whole;  // tag, header and value
  std::span<const std::uint8_t> value;
};

// Splits the record into datasets; stops at the first one that does not fit.
std::vector<Dataset> datasets(std::span<const std::uint8_t> bytes) {
  std::vector<Dataset> out;
  std::size_t i = 0;
  while (i + 5 <= bytes.size() && bytes[i] == 0x1C) {
    Dataset d;
    d.record = bytes[i + 1];
    d.number = bytes[i + 2];
    std::size_t length = loadU16(&bytes[i + 3]);
    std::size_t header = 5;
    if (length & 0x8000) {
      // Extended dataset: the low bits give the size of the length that follows.
      const std::size_t lengthBytes = length & 0x7FFF;
      if (lengthBytes > 4 || i + 5 + lengthBytes > bytes.size()) break;
      length = 0;
      for (std::size_t k = 0; k < lengthBytes; ++k) length = length << 8 | bytes[i + 5 + k];
      header += lengthBytes;
    }
    if (length > bytes.size() - i - header) break;
    d.whole = bytes.subspan(i, header + length);
    d.value = bytes.subspan(i + header, length);
    out.push_back(d);
    i += header + length;
  }
  return out;
}

bool declaresUtf8(const std::vector<Dataset>& sets) {
  for (const Dataset& d : sets) {
    if (d.record == 1 && d.number == 90 && d.value.size() >= 3 && d.value[0] == 0x1B && d.value[1] == 0x25 &&
        d.value[2] == 0x47)
      return true;
  }
  return false;
}

void appendDataset(std::vector<std::uint8_t>& out, int record, int number, std::span<const std::uint8_t> value) {
  out.push_back(0x1C);
  out.push_back(std::uint8_t(record));
  out.push_back(std::uint8_t(number));
  if (value.size() < 0x8000) {
    out.push_back(std::uint8_t(value.size() >> 8));
    out.push_back(std::uint8_t(value.size()));
  } else {
    out.push_back(0x80);
    out.push_back(4);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(value.size() >> shift));
  }
  out.insert(out.end(), value.begin(), value.end());
}

constexpr std::uint8_t kUtf8Declaration[] = {0x1B, 0x25, 0x47};

}  // namespace

std::vector<std::string> iptcKeywords(std::span<const std::uint8_t> record) {
  const std::vector<Dataset> sets = datasets(record);
  const bool utf8 = declaresUtf8(sets);
  std::vector<std::string> out;
  for (const Dataset& d : sets) {
    if (d.record != 2 || d.number != 25) continue;
    // Without a declaration the text is in the writer's code page, unless it is plainly UTF-8.
    if (utf8 || isValidUtf8(d.value)) out.emplace_back(d.value.begin(), d.value.end());
    else out.push_back(codePageToUtf8(d.value));
  }
  return out;
}

std::vector<std::uint8_t> iptcWithKeywords(std::span<const std::uint8_t> record, const std::vector<std::string>& keywords) {
  const std::vector<Dataset> sets = datasets(record);
  bool needUtf8 = !declaresUtf8(sets);
  if (needUtf8) {
    needUtf8 = false;
    for (const std::string& k : keywords)
      for (char c : k)
        if (std::uint8_t(c) >= 0x80) needUtf8 = true;
  }
  std::vector<std::uint8_t> out;
  if (needUtf8) appendDataset(out, 1, 90, kUtf8Declaration);
  bool placed = false;
  const auto placeKeywords = [&] {
    if (placed) return;
    placed = true;
    for (const std::string& k : keywords)
      appendDataset(out, 2, 25, std::span(reinterpret_cast<const std::uint8_t*>(k.data()), k.size()));
  };
  bool hasVersion = false;
  for (const Dataset& d : sets) {
    if (d.record == 2 && d.number == 0) hasVersion = true;
    if (d.record == 2 && d.number == 25) continue;
    // Datasets stay in record and number order: keywords go before the first one after 2:25.
    if (d.record > 2 || (d.record == 2 && d.number > 25)) placeKeywords();
    if (d.record == 2 && !hasVersion && !placed && !keywords.empty()) {
      const std::uint8_t version[] = {0, 4};
      appendDataset(out, 2, 0, version);
      hasVersion = true;
    }
    out.insert(out.end(), d.whole.begin(), d.whole.end());
  }
  if (!hasVersion && !keywords.empty() && !placed) {
    const std::uint8_t version[] = {0, 4};
    appendDataset(out, 2, 0, version);
  }
  placeKeywords();
  // Whatever followed the last readable dataset is kept as it was.
  std::size_t consumed = 0;
  for (const Dataset& d : sets) consumed += d.whole.size();
  out.insert(out.end(), record.begin() + std::ptrdiff_t(consumed), record.end());
  return out;
}

}  // namespace formats
