#pragma once
// TPngDecoder: PNG pictures through libpng.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TPngDecoder {
 public:
  // Decodes every colour type and bit depth, interlaced or not, with tRNS
  // transparency; 16-bit samples keep their high byte; gamma is not applied.
  // Throws EPictureError ("PNG: ...").
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
