#pragma once
// The layer tree as JSON, for comparing our reading of a file with another reader's.
// Pixels are summarised as the CRC-32 of their RGBA bytes, row by row over the layer's bounds.

#include <ostream>

#include "formats/document_io.h"

namespace psdinfo {

void printDocumentJson(std::ostream& out, const formats::PsdFile& file);

}  // namespace psdinfo
