#pragma once
// TBitmap: the result of every picture decoder, 8-bit RGBA, rows top-down.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace orb {

// An allocator that leaves new bytes uninitialised (value-initialising
// resize would write every byte), so a decoder that writes every pixel does
// not pay for clearing the buffer first.
template <class T>
struct TDefaultInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = TDefaultInitAllocator<U>;
  };
  using std::allocator<T>::allocator;
  template <class U>
  void construct(U* place) noexcept {
    ::new (static_cast<void*>(place)) U;
  }
  template <class U, class... Args>
  void construct(U* place, Args&&... args) {
    ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
  }
};

using TPixelBuffer = std::vector<std::uint8_t, TDefaultInitAllocator<std::uint8_t>>;

struct TBitmap {
  int Width = 0;
  int Height = 0;
  // Width * Height pixels of 4 bytes each (R, G, B, A), row 0 at the top.
  TPixelBuffer Pixels;

  bool IsEmpty() const { return Width == 0 || Height == 0; }
  std::span<std::uint8_t> Row(int y) {
    return {Pixels.data() + std::size_t(y) * std::size_t(Width) * 4, std::size_t(Width) * 4};
  }
  std::span<const std::uint8_t> Row(int y) const {
    return {Pixels.data() + std::size_t(y) * std::size_t(Width) * 4, std::size_t(Width) * 4};
  }
  void SetPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    std::uint8_t* p = Pixels.data() + (std::size_t(y) * std::size_t(Width) + std::size_t(x)) * 4;
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
  }
};

}  // namespace orb
