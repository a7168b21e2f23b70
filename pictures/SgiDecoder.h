#pragma once
// TSgiDecoder: Silicon Graphics image files (.sgi, .rgb, .rgba, .bw).

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TSgiDecoder {
 public:
  // Decodes a verbatim or RLE file of 1 to 4 channels, 8 or 16 bits each.
  // Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
