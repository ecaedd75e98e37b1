#pragma once
// Keywords in an XMP packet (image resource 1060): the items of dc:subject.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace formats {

// The items of dc:subject; nothing when the packet has no dc:subject at all.
std::optional<std::vector<std::string>> xmpKeywords(std::span<const std::uint8_t> packet);
// The packet with dc:subject holding exactly `keywords` (removed when there are none) and
// everything else untouched. An empty `packet` gives a new minimal one.
std::vector<std::uint8_t> xmpWithKeywords(std::span<const std::uint8_t> packet, const std::vector<std::string>& keywords);

}  // namespace formats
