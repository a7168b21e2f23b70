#pragma once
// TPcxDecoder: ZSoft PC Paintbrush pictures (.pcx, .pcc, .scr).

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TPcxDecoder {
 public:
  // Decodes 1, 2, 4 and 8 bits per pixel in one or more planes, with the
  // header's 16-colour palette or the 256-colour palette at the end.
  // Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
