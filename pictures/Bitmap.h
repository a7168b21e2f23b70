#pragma once
// TBitmap: the result of every picture decoder, 8-bit RGBA, rows top-down.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orb {

struct TBitmap {
  int Width = 0;
  int Height = 0;
  // Width * Height pixels of 4 bytes each (R, G, B, A), row 0 at the top.
  std::vector<std::uint8_t> Pixels;

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
