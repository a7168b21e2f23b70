#pragma once
// Paint Shop Pro (.psp): the composite image when the file holds one, else
// its visible raster layers laid over one another.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TPspDecoder {
 public:
  // Decodes bytes of a file of format version 3 (Paint Shop Pro 5) or later.
  // Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
