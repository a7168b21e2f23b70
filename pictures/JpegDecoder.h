#pragma once
// TJpegDecoder: JPEG pictures (jpg, jpeg, jpe, jfif) through libjpeg-turbo.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TJpegDecoder {
 public:
  // Decodes baseline, extended, progressive and arithmetic-coded JPEG of one,
  // three or four components. Throws EPictureError ("JPEG: ...").
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
