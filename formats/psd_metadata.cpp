#include "formats/psd_metadata.h"

#include "formats/byte_reader.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "formats/descriptor.h"
#include "formats/image_resources.h"
#include "formats/iptc_keywords.h"
#include "formats/text_encoding.h"
#include "formats/xmp_keywords.h"

namespace formats {

namespace {

using namespace resource_id;

// Made from the layers on every save; what a file carries is stale once the layers change.
bool describesLayersOrChannels(std::uint16_t id) {
  switch (id) {
    case kTargetLayer:
    case kLinkGroups:
    case kLayerIdSeed:
    case kSelectedLayerIds:
    case kLinkGroupsEnabled:
    case kThumbnailOld:
    case kThumbnail:
    // Saved selections (alpha channels) are not kept, so neither are their names and colours.
    case kAlphaNames:
    case kAlphaUnicodeNames:
    case kAlphaIdentifiers:
    case kDisplayInfoOld:
    case kDisplayInfo: return true;
    default: return false;
  }
}

std::span<const std::uint8_t> bytesOf(const engine::ImageResource& r) {
  return r.data ? std::span<const std::uint8_t>(*r.data) : std::span<const std::uint8_t>();
}

std::vector<std::uint8_t> u16Bytes(std::uint16_t v) { return {std::uint8_t(v >> 8), std::uint8_t(v)}; }

bool sameResolution(double a, double b) { return std::fabs(a - b) < 0.5 / 65536.0; }

}  // namespace

MergedImageNotes mergedImageNotes(const std::vector<engine::ImageResource>& resources) {
  MergedImageNotes notes;
  std::optional<std::string> pascalName, unicodeName;
  for (const engine::ImageResource& r : resources) {
    const auto data = bytesOf(r);
    if (r.id == kVersionInfo && data.size() > 4) {
      notes.real = data[4] != 0;
    } else if (r.id == kAlphaNames && !data.empty() && data[0] < data.size()) {
      pascalName = codePageToUtf8(data.subspan(1, data[0]));
    } else if (r.id == kAlphaUnicodeNames && data.size() >= 4) {
      try {
        const std::string empty;
        ByteReader names(data, empty);
        std::string name = readDescriptorUnicode(names);
        while (!name.empty() && name.back() == '\0') name.pop_back();
        unicodeName = std::move(name);
      } catch (const FormatError&) {
        // A damaged list leaves the other one, or no name.
      }
    }
  }
  notes.firstAlphaName = unicodeName ? unicodeName : pascalName;
  return notes;
}

void applyImageResources(std::vector<engine::ImageResource> resources, const ResourceReading& reading,
                         engine::DocumentContent& content) {
  std::optional<std::vector<std::string>> xmp;
  std::vector<std::string> iptc;
  for (const engine::ImageResource& r : resources) {
    const auto data = bytesOf(r);
    if (r.id == kResolution) {
      if (auto ppi = resolutionOf(data)) content.resolution = *ppi;
    } else if (r.id == kIptc) {
      iptc = iptcKeywords(data);
    } else if (r.id == kXmp) {
      xmp = xmpKeywords(data);
    } else if (r.id == kTargetLayer && data.size() >= 2) {
      const std::size_t index = loadU16(data.data());
      if (index < reading.recordIds.size() && reading.recordIds[index]) content.activeLayer = reading.recordIds[index];
    } else if (r.id == kLinkGroups) {
      for (std::size_t i = 0; i + 1 < data.size() && i / 2 < reading.recordIds.size(); i += 2) {
        const std::uint32_t group = loadU16(&data[i]);
        if (engine::LayerNode* node = content.find(reading.recordIds[i / 2])) node->linkGroup = group;
      }
    }
  }
  content.keywords = xmp ? *xmp : iptc;

  // Keep what says more than the fields: a block the writer would make from them is dropped.
  for (engine::ImageResource& r : resources) {
    if (describesLayersOrChannels(r.id)) continue;
    if (r.id == kIccProfile && reading.colourConverted) continue;  // a profile of the old colour mode
    const auto data = bytesOf(r);
    if (r.id == kResolution && r.name.empty() && std::ranges::equal(data, resolutionResource(content.resolution)))
      continue;
    if (r.id == kIptc && r.name.empty() && std::ranges::equal(data, iptcWithKeywords({}, content.keywords))) continue;
    if (r.id == kXmp && r.name.empty() && std::ranges::equal(data, xmpWithKeywords({}, content.keywords))) continue;
    if (r.id == kVersionInfo && data.size() > 4 && data[4] == 0) {
      // The file said its merged image was not real ("maximise compatibility" off); every file
      // the writer makes has a real one, so the block kept for it says so.
      std::vector<std::uint8_t> patched(data.begin(), data.end());
      patched[4] = 1;
      r.data = shareBytes(std::move(patched));
    }
    content.resources.push_back(std::move(r));
  }
  if (!content.activeLayer && !content.layers.empty()) content.activeLayer = content.layers.front().id;
}

std::vector<engine::ImageResource> imageResourcesToWrite(const engine::DocumentContent& content,
                                                         const ResourceWriting& writing) {
  std::vector<engine::ImageResource> out;
  bool hasResolution = false, hasIptc = false, hasXmp = false;
  for (const engine::ImageResource& r : content.resources) {
    if (describesLayersOrChannels(r.id)) continue;
    engine::ImageResource w = r;
    const auto data = bytesOf(r);
    if (r.id == kResolution) {
      hasResolution = true;
      const auto ppi = resolutionOf(data);
      if (!ppi || !sameResolution(*ppi, content.resolution)) w.data = shareBytes(withResolution(data, content.resolution));
    } else if (r.id == kIptc) {
      hasIptc = true;
      if (iptcKeywords(data) != content.keywords) w.data = shareBytes(iptcWithKeywords(data, content.keywords));
    } else if (r.id == kXmp) {
      hasXmp = true;
      const auto words = xmpKeywords(data);
      if (words ? *words != content.keywords : !content.keywords.empty())
        w.data = shareBytes(xmpWithKeywords(data, content.keywords));
    }
    out.push_back(std::move(w));
  }

  std::vector<engine::ImageResource> made;
  const auto make = [&](std::uint16_t id, std::vector<std::uint8_t> data) {
    made.push_back(engine::ImageResource{id, {}, shareBytes(std::move(data))});
  };
  if (!hasResolution) make(kResolution, resolutionResource(content.resolution));
  if (!hasIptc && !content.keywords.empty()) make(kIptc, iptcWithKeywords({}, content.keywords));
  if (!hasXmp && !content.keywords.empty()) make(kXmp, xmpWithKeywords({}, content.keywords));
  if (!writing.recordIds.empty()) {
    const auto active = std::find(writing.recordIds.begin(), writing.recordIds.end(), content.activeLayer);
    if (content.activeLayer && active != writing.recordIds.end())
      make(kTargetLayer, u16Bytes(std::uint16_t(active - writing.recordIds.begin())));
    std::vector<std::uint8_t> groups, enabled;
    for (std::uint32_t g : writing.linkGroups) {
      const auto b = u16Bytes(std::uint16_t(g));
      groups.insert(groups.end(), b.begin(), b.end());
      enabled.push_back(1);
    }
    make(kLinkGroups, std::move(groups));
    make(kLinkGroupsEnabled, std::move(enabled));
    make(kLayerIdSeed, {std::uint8_t(writing.lastLayerId >> 24), std::uint8_t(writing.lastLayerId >> 16),
                        std::uint8_t(writing.lastLayerId >> 8), std::uint8_t(writing.lastLayerId)});
  }

  // Made blocks go before the first kept block with a higher id, so that the order is stable
  // from one save to the next.
  for (engine::ImageResource& m : made) {
    const auto at = std::find_if(out.begin(), out.end(), [&](const engine::ImageResource& r) { return r.id > m.id; });
    out.insert(at, std::move(m));
  }
  return out;
}

}  // namespace formats
