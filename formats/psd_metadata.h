#pragma once
// Between a file's image resources and the document: the resources the codec interprets
// (resolution, keywords, active layer, link groups), the ones it keeps verbatim, and the ones
// it makes again on every save because they describe the layers as they are then.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/document.h"

namespace formats {

struct ResourceReading {
  bool colourConverted = false;            // the file's colour mode was not RGB
  std::vector<engine::LayerId> recordIds;  // layer records, bottom first, 0 for group ends
};

// Sets resolution, keywords, active layer and link groups of `content` from `resources`, and
// keeps in content.resources every block that says more than those fields.
void applyImageResources(std::vector<engine::ImageResource> resources, const ResourceReading& reading,
                         engine::DocumentContent& content);

// What the image resources say about the merged image stored after the layers.
struct MergedImageNotes {
  bool real = true;  // false when the file stores a blank stand-in (version information, 1057)
  std::optional<std::string> firstAlphaName;  // the name of its first extra channel, if named
};
MergedImageNotes mergedImageNotes(const std::vector<engine::ImageResource>& resources);

struct ResourceWriting {
  std::vector<engine::LayerId> recordIds;  // as written, bottom first, 0 for group ends
  std::vector<std::uint32_t> linkGroups;   // per record
  std::uint32_t lastLayerId = 0;           // the largest layer ID written
};

// The blocks to write: kept ones (with resolution and keywords brought up to date) and the
// ones made from the document.
std::vector<engine::ImageResource> imageResourcesToWrite(const engine::DocumentContent& content,
                                                         const ResourceWriting& writing);

}  // namespace formats
