#pragma once
// Saving that never damages what is there: the new file is written next to the target under a
// temporary name and renamed over it only once it is complete.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

class QIODevice;

namespace formats {

// Calls `write` with the temporary file; it returns an error text, empty when all went well.
// Throws FormatError naming `path` when anything fails; the target is then unchanged.
void saveAtomically(const std::string& path, const std::function<std::string(QIODevice&)>& write);
void saveBytesAtomically(const std::string& path, std::span<const std::uint8_t> bytes);
// The same for bytes held in pieces, written one after another.
void saveBytesAtomically(const std::string& path, std::span<const std::span<const std::uint8_t>> pieces);

}  // namespace formats
