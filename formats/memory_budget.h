#pragma once
// How much memory one opened document may take. A picture's size is in its header; checking it
// there refuses a picture that would exhaust the machine before a single pixel is decoded, so
// the window never freezes on it and a command-line reader never dies of it.

#include <cstdint>
#include <string>

namespace formats {

// A quarter of the memory the process may use (the machine's, or less under a ulimit), at most
// 1 GB.
std::uint64_t documentMemoryBudget();
// Replaces the budget for this process; 0 restores the default.
void setDocumentMemoryBudget(std::uint64_t bytes);

// What opening a picture of that size takes at its peak: the decoded picture and the layer it
// becomes, four bytes a pixel each.
std::uint64_t memoryToOpen(std::uint64_t width, std::uint64_t height);

// Throws FormatError naming `path`, the size in pixels and the memory needed when opening a
// picture of that size would take more than the budget.
void checkMemoryBudget(const std::string& path, std::uint64_t width, std::uint64_t height);

}  // namespace formats
