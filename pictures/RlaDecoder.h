#pragma once
// Wavefront/Alias RLA (.rla) and its Rich Pixel Format variant (.rpf): run-
// length encoded colour and matte channels per scanline, rows bottom-up.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TRlaDecoder {
 public:
  // Decodes the active window of the first image. Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
