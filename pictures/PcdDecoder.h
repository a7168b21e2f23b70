#pragma once
// Kodak Photo CD (.pcd): the 768x512 Base image of an image pack, turned
// upright by the pack's orientation.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TPcdDecoder {
 public:
  // Decodes the Base resolution image. Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
