#pragma once
// TCelDecoder: Autodesk Animator cels and pictures (.cel, .pic).

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TCelDecoder {
 public:
  // Decodes the 0x9119 format: a 32-byte header, a 256-colour palette of
  // 6-bit values and one byte per pixel. Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
