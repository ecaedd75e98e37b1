#pragma once
// The program folder's sample data: "Backgrounds" and "Button Templates", each with its empty
// "Preview" folder for the thumbnails the chooser makes.

#include <filesystem>
#include <string>
#include <vector>

namespace sample_data {

inline constexpr const char* kBackgroundsFolder = "Backgrounds";
inline constexpr const char* kButtonTemplatesFolder = "Button Templates";
inline constexpr const char* kPreviewFolder = "Preview";

// Draws every picture and template once and writes them into each program folder, replacing
// earlier copies and the thumbnails made of them. Returns the files written, relative to a
// program folder. Fails with an exception naming the file it could not write.
std::vector<std::string> WriteSampleData(const std::vector<std::filesystem::path>& programFolders);

}  // namespace sample_data
