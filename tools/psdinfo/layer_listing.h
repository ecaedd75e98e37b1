#pragma once
// The text psdinfo prints for a document: its size, mode, keywords and layer tree.

#include <ostream>

#include "formats/document_io.h"

namespace psdinfo {

void printDocument(std::ostream& out, const formats::PsdFile& file);

}  // namespace psdinfo
