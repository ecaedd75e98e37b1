#include "engine/pixel_memory.h"

#include <cstdlib>

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#include <sys/mman.h>
#define QUILLARY_HUGE_PIXEL_PAGES 1
#endif

namespace engine::detail {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t roundUp(std::size_t n, std::size_t multiple) { return (n + multiple - 1) / multiple * multiple; }

}  // namespace

// Buffers of a huge page or more are mapped on their own, aligned to huge pages, so that the
// system can back them with huge pages; smaller ones come from the heap. (Under the address
// sanitizer everything comes from the heap, where it watches the bounds.)
void* allocateZeroedPixels(std::size_t bytes) {
#ifdef QUILLARY_HUGE_PIXEL_PAGES
  if (bytes >= kHugePage) {
    const std::size_t size = roundUp(bytes, kHugePage);
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = roundUp(start, kHugePage), end = start + size + kHugePage;
    if (aligned > start) munmap(raw, aligned - start);
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);  // a hint: refused, it still works
    return reinterpret_cast<void*>(aligned);
  }
#endif
  void* memory = std::calloc(bytes ? bytes : 1, 1);
  if (!memory) throw std::bad_alloc();
  return memory;
}

void releasePixels(void* memory, std::size_t bytes) noexcept {
#ifdef QUILLARY_HUGE_PIXEL_PAGES
  if (bytes >= kHugePage) {
    munmap(memory, roundUp(bytes, kHugePage));
    return;
  }
#endif
  (void)bytes;
  std::free(memory);
}

}  // namespace engine::detail
