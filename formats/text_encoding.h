#pragma once
// Conversions between the engine's UTF-8 text and the encodings Photoshop files use: UTF-16
// (Unicode names, descriptors) and a one-byte code page (Pascal names).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace formats {

// UTF-16 code units to UTF-8, up to the first NUL; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(const std::vector<std::uint16_t>& units);
std::vector<std::uint16_t> utf8ToUtf16(const std::string& text);
// One-byte names as Windows writes them (Latin-1 with the 0x80..0x9F extras), up to the first NUL.
std::string codePageToUtf8(std::span<const std::uint8_t> bytes);
// The name as one-byte text, characters outside the code page replaced by '?', at most 255 bytes.
std::string utf8ToCodePage(const std::string& text);
bool isValidUtf8(std::span<const std::uint8_t> bytes);

}  // namespace formats
