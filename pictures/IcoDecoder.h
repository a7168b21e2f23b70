#pragma once
// TIcoDecoder: Windows icons (.ico) and cursors; the largest image is shown.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TIcoDecoder {
 public:
  // Decodes the largest image of the icon (the deepest colour among equals).
  // Bitmap images take their transparency from the AND mask unless they carry
  // alpha; PNG images go to the PNG decoder. Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
