#pragma once
// Layer blocks the engine uses as typed settings: vector mask paths ('vmsk', 'vsms'),
// adjustment settings ('curv', 'levl', 'post', 'thrs', 'expA', 'hue2', 'brit'), the knockout
// option ('knko'), whether the masks hide the effects ('lmgm', 'vmgm') and whether interior
// effects blend with the layer as a group ('infx'). Reading turns them into the layer's fields;
// writing makes the blocks again from the fields, byte for byte as read when the engine left
// them alone.

#include <string>
#include <utility>
#include <vector>

#include "engine/layer.h"
#include "formats/layer_blocks.h"

namespace formats {

// Turns the blocks of `node.extraBlocks` that the engine uses into its fields, and marks the
// kept blocks with what they belong to. A block that cannot be read stays as it is, so that it
// is written back unchanged; the layer then goes without that setting.
void interpretLayerBlocks(engine::LayerNode& node, const std::string& fileName);

// The blocks made from the layer's fields, in the order the writer puts them.
std::vector<std::pair<BlockKey, std::vector<std::uint8_t>>> layerSettingsBlocks(const engine::LayerNode& node);

}  // namespace formats
