#pragma once
// TPsdDecoder: Photoshop documents (.psd, .pdd, and large documents of
// version 2).

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TPsdDecoder {
 public:
  // Decodes the merged composite image that follows the layer section: raw or
  // PackBits, bitmap, grey, duotone, indexed, RGB or CMYK, 1, 8 or 16 bits;
  // the first channel after the colour channels is the alpha unless the
  // layer count says the merged image is opaque; layers themselves are not
  // read. Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
