#pragma once
// What a save does to file names and to the document saved: shared by Document.SaveAs and the
// save action, so both name files and documents alike.

#include <string>

#include "engine/document.h"

namespace photoshop::detail {

// `path` with `extension` (".psd") appended when it has none; upper case when asked.
std::string withExtension(const std::string& path, const char* extension, bool upperCase = false);

// After a save that is not a copy: the document is named after the file, remembers it, and
// counts as saved.
void adoptSavedFile(engine::Document& doc, const std::string& path);

}  // namespace photoshop::detail
