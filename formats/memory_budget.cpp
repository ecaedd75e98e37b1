#include "formats/memory_budget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "formats/document_io.h"

namespace formats {

namespace {

constexpr std::uint64_t kMegabyte = 1024 * 1024;
constexpr std::uint64_t kLargestBudget = 1024 * kMegabyte;
constexpr std::uint64_t kBytesPerPixel = 4;
constexpr std::uint64_t kCopiesWhileOpening = 2;

std::atomic<std::uint64_t> chosenBudget{0};

std::uint64_t usableMemory() {
  std::uint64_t usable = UINT64_MAX;
  const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages > 0 && pageSize > 0) usable = std::uint64_t(pages) * std::uint64_t(pageSize);
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
    usable = std::min<std::uint64_t>(usable, limit.rlim_cur);
  return usable;
}

std::string megabytes(std::uint64_t bytes) { return std::to_string((bytes + kMegabyte - 1) / kMegabyte) + " MB"; }

}  // namespace

std::uint64_t documentMemoryBudget() {
  if (const std::uint64_t chosen = chosenBudget.load()) return chosen;
  static const std::uint64_t machine = std::min(usableMemory() / 4, kLargestBudget);
  return machine;
}

void setDocumentMemoryBudget(std::uint64_t bytes) { chosenBudget.store(bytes); }

std::uint64_t memoryToOpen(std::uint64_t width, std::uint64_t height) {
  return width * height * kBytesPerPixel * kCopiesWhileOpening;
}

void checkMemoryBudget(const std::string& path, std::uint64_t width, std::uint64_t height) {
  const std::uint64_t needed = memoryToOpen(width, height), budget = documentMemoryBudget();
  if (needed <= budget) return;
  throw FormatError("cannot open \"" + path + "\": it is " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels and would need " + megabytes(needed) + " of memory, more than the " +
                    megabytes(budget) + " one document may use");
}

}  // namespace formats
