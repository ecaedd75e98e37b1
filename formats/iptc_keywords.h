#pragma once
// Keywords in an IPTC-NAA record (image resource 1028): dataset 2:25, one per keyword.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace formats {

// The keywords of the record; damaged data ends the list where it becomes unreadable.
std::vector<std::string> iptcKeywords(std::span<const std::uint8_t> record);
// The record with its keywords replaced and every other dataset kept in place.
std::vector<std::uint8_t> iptcWithKeywords(std::span<const std::uint8_t> record, const std::vector<std::string>& keywords);

}  // namespace formats
