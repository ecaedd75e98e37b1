#pragma once
// The image resource section of a Photoshop file: its blocks, and the few the codec interprets
// (resolution, keywords, the active layer, link groups).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/document.h"
#include "formats/byte_reader.h"
#include "formats/byte_writer.h"

namespace formats {

namespace resource_id {
inline constexpr std::uint16_t kResolution = 1005;
inline constexpr std::uint16_t kAlphaNames = 1006;
inline constexpr std::uint16_t kDisplayInfoOld = 1007;
inline constexpr std::uint16_t kTargetLayer = 1024;
inline constexpr std::uint16_t kLinkGroups = 1026;
inline constexpr std::uint16_t kIptc = 1028;
inline constexpr std::uint16_t kThumbnailOld = 1033;
inline constexpr std::uint16_t kThumbnail = 1036;
inline constexpr std::uint16_t kIccProfile = 1039;
inline constexpr std::uint16_t kLayerIdSeed = 1044;
inline constexpr std::uint16_t kVersionInfo = 1057;
inline constexpr std::uint16_t kAlphaUnicodeNames = 1045;
inline constexpr std::uint16_t kAlphaIdentifiers = 1053;
inline constexpr std::uint16_t kXmp = 1060;
inline constexpr std::uint16_t kSelectedLayerIds = 1069;
inline constexpr std::uint16_t kLinkGroupsEnabled = 1072;
inline constexpr std::uint16_t kDisplayInfo = 1077;
}  // namespace resource_id

std::vector<engine::ImageResource> parseImageResources(ByteReader section);
void writeImageResource(ByteWriter& w, std::uint16_t id, const std::string& name, std::span<const std::uint8_t> data);

std::optional<double> resolutionOf(std::span<const std::uint8_t> data);
std::vector<std::uint8_t> resolutionResource(double pixelsPerInch);
// The block with its resolution replaced, display units kept.
std::vector<std::uint8_t> withResolution(std::span<const std::uint8_t> data, double pixelsPerInch);

std::shared_ptr<const std::vector<std::uint8_t>> shareBytes(std::vector<std::uint8_t> bytes);

}  // namespace formats
