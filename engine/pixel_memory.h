#pragma once
// Memory for pixel buffers, always handed out zeroed. Large buffers come straight from the system
// in huge pages where it offers them: a 1920 x 1080 layer is 8 MB, and having the system zero
// and map it 4 KB at a time costs more than the painting that fills it. The vector type below
// relies on the zeroing: making n pixels transparent costs no pass over them. (So a buffer keeps
// the size it was made with: growing one that had shrunk would bring back old samples.)

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace engine {

namespace detail {
void* allocateZeroedPixels(std::size_t bytes);
void releasePixels(void* memory, std::size_t bytes) noexcept;
}  // namespace detail

template <class T>
struct PixelAllocator {
  using value_type = T;

  PixelAllocator() = default;
  template <class U>
  PixelAllocator(const PixelAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) { return static_cast<T*>(detail::allocateZeroedPixels(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { detail::releasePixels(p, n * sizeof(T)); }

  // Value-initialising a sample leaves the zero that is already there.
  template <class U>
  void construct(U*) noexcept {}
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  friend bool operator==(const PixelAllocator&, const PixelAllocator&) noexcept { return true; }
};

using PixelBytes = std::vector<std::uint8_t, PixelAllocator<std::uint8_t>>;

// Painting allocates and frees working planes of the same sizes over and over. By default the C
// library hands every block above 128 KB back to the system when it is freed, so that each reuse
// pays its page faults again; this keeps freed blocks of up to 32 MB in the process instead.
// Programs call it once at start (it changes how the whole process allocates).
void keepFreedMemoryForReuse();

}  // namespace engine
