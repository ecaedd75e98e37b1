#pragma once
// What a save does to file names and to the document saved, and who is asked about saving:
// shared by Document.SaveAs, Document.Close and the save action, so all of them name files and
// documents alike.

#include <string>

#include "engine/document.h"
#include "engine/engine.h"

namespace photoshop::detail {

// `path` with `extension` (".psd") appended when it has none; upper case when asked.
std::string withExtension(const std::string& path, const char* extension, bool upperCase = false);

// After a save that is not a copy: the document is named after the file, remembers it, and
// counts as saved.
void adoptSavedFile(engine::Document& doc, const std::string& path);

// The host to put a question to ("whether to save ...", "where to save ..."). With none installed
// the operation refuses with ErrorCode::NoHostToAsk: nothing is discarded or written unasked,
// and the refusal is not taken for the user's cancel.
engine::Host& hostToAsk(const engine::Engine& engine, const std::string& question);

}  // namespace photoshop::detail
